#include "core/data/moduledbfixture.h"
#include "masterdata/keyregister.h"
#include "platform/table/table.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(KeyRegister, ObjectNumberIsTheFirstWordOfTheObjectText) {
    const struct {
        QString text;
        int nr;
    } cases[] = {
        {u"12 Rathaus"_s, 12}, {u"   12 Rathaus"_s, 12}, {u"12"_s, 12}, {u"Rathaus 12"_s, 0},
        {u"12a Rathaus"_s, 0}, {QString(), 0},           {u"   "_s, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyObjektNr(c.text), c.nr) << c.text.toStdString();
}

// One key, handed to employee 7 on 1 March 2024, for object 12.
class KeyEditors : public datatest::ModuleDbFixture {
protected:
    void SetUp() override {
        ModuleDbFixture::SetUp();
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 1}, {u"O_Nr"_s, 12}, {u"O_Match"_s, u"RATHAUS"_s}});
        addRow(u"Objekte.DB"_s,
               {{u"O_ID"_s, 2}, {u"O_Nr"_s, 13}, {u"O_Match"_s, QString(40, u'X')}});
        addRow(u"Personal.DB"_s, {{u"P_ID"_s, 1}, {u"P_Nr"_s, 7}, {u"P_Name1"_s, u"Meier"_s}});
        addRow(u"Personal.DB"_s, {{u"P_ID"_s, 2}, {u"P_Nr"_s, 8}, {u"P_Name1"_s, u"Schulz"_s}});
        addRow(u"Schluess.DB"_s, {{u"S_ID"_s, 1},
                                  {u"S_Nr"_s, 1},
                                  {u"S_Objekt"_s, u"12 RATHAUS"_s},
                                  {u"S_PersNo"_s, 7},
                                  {u"S_Halter"_s, u"Meier (alt)"_s},
                                  {u"S_Gegeben"_s, QDate(2024, 3, 1)}});
        createModule();
        keys = open(u"Schluess.DB"_s);
        keys->first();
    }
    QString text(const QString& field) { return keys->field(field).asStringOr(QString()); }

    std::unique_ptr<table::Table> keys;
};

TEST_F(KeyEditors, ObjectPickerWritesNumberAndSearchTermOnlyForAnotherObject) {
    EXPECT_FALSE(TakeKeyObjekt(*keys, 12, 0));
    EXPECT_FALSE(TakeKeyObjekt(*keys, 12, 12));
    EXPECT_FALSE(keys->isEditing());
    EXPECT_TRUE(TakeKeyObjekt(*keys, 12, 99));
    EXPECT_EQ(text(u"S_Objekt"_s), u"99 "_s);
    EXPECT_TRUE(TakeKeyObjekt(*keys, 99, 13));
    EXPECT_EQ(text(u"S_Objekt"_s), u"13 "_s + QString(37, u'X'));
    EXPECT_TRUE(keys->isEditing());
    keys->post();
}

TEST_F(KeyEditors, StaffPickerKeepsTheStoredNameForTheSameEmployee) {
    EXPECT_FALSE(TakeKeyHalter(*keys, 7, 7));
    EXPECT_EQ(text(u"S_Halter"_s), u"Meier (alt)"_s);
    EXPECT_TRUE(TakeKeyHalter(*keys, 7, 8));
    EXPECT_EQ(keys->field(u"S_PersNo"_s).asIntegerOr(0), 8);
    EXPECT_EQ(text(u"S_Halter"_s), u"Schulz"_s);
    EXPECT_TRUE(TakeKeyHalter(*keys, 8, 99));
    EXPECT_EQ(text(u"S_Halter"_s), QString());
}

TEST_F(KeyEditors, CalendarWritesOnlyAnotherDate) {
    const QDate start(2024, 3, 1);
    EXPECT_FALSE(TakeKeyGegeben(*keys, start, start));
    EXPECT_FALSE(keys->isEditing());
    EXPECT_TRUE(TakeKeyGegeben(*keys, start, QDate(2024, 4, 2)));
    EXPECT_EQ(keys->field(u"S_Gegeben"_s).asDate(), QDate(2024, 4, 2));
}

} // namespace
