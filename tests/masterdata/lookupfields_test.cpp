#include "core/data/clientdbfixture.h"
#include "datasafety/opendatasets.h"
#include "masterdata/lookupfields.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// An archived time record naming object 7 of the client.
class LookupFields : public datatest::ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 7}, {u"O_Nr"_s, 7}, {u"O_Match"_s, u"HAUS A"_s}});
        addRow(u"Zeiterf.DB"_s, {{u"Z_ID"_s, 1}, {u"Z_ObjNr"_s, 7}}, u"AblageDB"_s);
    }
    static QList<LookupFieldDecl> objectName(const QString& alias) {
        return {{u"ObjektMatch"_s, table::FieldType::String, 40, u"Z_ObjNr"_s, u"Objekte.DB"_s,
                 u"O_Nr"_s, u"O_Match"_s, alias}};
    }
};

TEST_F(LookupFields, AnArchivedRecordLooksUpTheClientsTableOfTheGivenAlias) {
    table::Table archived(table::aliases::database(u"AblageDB"_s), u"Zeiterf.DB"_s);
    AddLookupFields(archived, objectName(u"LumoDB"_s));
    archived.open();
    EXPECT_EQ(archived.field(u"ObjektMatch"_s).asString(), u"HAUS A"_s);
}

TEST_F(LookupFields, ACursorReopenedBeforeItsLookupCursorsStillCalculates) {
    addRow(u"Zeiterf.DB"_s, {{u"Z_ID"_s, 1}, {u"Z_ObjNr"_s, 7}});
    table::Table records(table::aliases::database(u"LumoDB"_s), u"Zeiterf.DB"_s);
    AddLookupFields(records, objectName({}));
    records.open();
    ASSERT_EQ(records.field(u"ObjektMatch"_s).asString(), u"HAUS A"_s);
    // A backup closes every cursor of the database, the lookup's too, and
    // opens them again in an order of its own.
    TOpenList open;
    open.closeAll(u"LumoDB"_s);
    ASSERT_FALSE(records.isOpen());
    open.reopenAll();
    ASSERT_TRUE(records.isOpen());
    EXPECT_EQ(records.field(u"ObjektMatch"_s).asString(), u"HAUS A"_s);
}

} // namespace
