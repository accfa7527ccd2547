#include "core/data/dbhelpers.h"
#include "core/datagui/gridservices.h"
#include "masterdata/gui/fremdleistform.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/tableformdecl.h"
#include "masterdata/gui/tf_listform.h"
#include "masterdata/gui/tf_tableform.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datagridmodel.h"
#include "tableformfixture.h"

#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

// Services for object 12 (key 1), for an object that no longer exists and
// for none.
class FremdleistForm : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 1}, {u"O_Nr"_s, 12}, {u"O_Match"_s, u"RATHAUS"_s}});
        const struct {
            int id, object;
            const char* invoice;
        } services[] = {{1, 1, "ER-7"}, {2, 9, "ER-8"}, {3, 0, "ER-9"}};
        for (const auto& s : services)
            addRow(u"Fremdlst.DB"_s, {{u"S_ID"_s, s.id},
                                      {u"S_ObjID"_s, s.object},
                                      {u"R_Nr"_s, QString::fromLatin1(s.invoice)}});
    }
};

TEST_F(FremdleistForm, EachServiceShowsItsObjectsNumberAndSearchTerm) {
    table::Table& services = dm->TabFremdLeist();
    services.open();
    AddFremdleistObjectFields(services);
    AddFremdleistObjectFields(services); // once per cursor
    ASSERT_TRUE(services.isOpen());
    ASSERT_TRUE(services.findField(u"ObjName"_s)->isCalculated());
    TF_TableForm form(FremdleistTableDecl(), services);
    form.show();
    const widgets::DataGridModel& rows = form.grid().gridModel();
    ASSERT_EQ(rows.rowCount(), 3);
    const int nr = rows.columnOf(u"ObjNr"_s);
    const int name = rows.columnOf(u"ObjName"_s);
    const QStringList expected[] = {
        {u"12"_s, u"RATHAUS"_s}, {QString(), QString()}, {QString(), QString()}};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(rows.index(row, nr).data().toString(), expected[row][0]) << row;
        EXPECT_EQ(rows.index(row, name).data().toString(), expected[row][1]) << row;
    }
    ASSERT_TRUE(services.locate({u"S_ID"_s}, {1}));
    EXPECT_EQ(FieldText(services, u"ObjName"_s), u"RATHAUS"_s);
    // Read-only list: no cell takes an edit.
    for (int column = 0; column < rows.columnCount(); ++column)
        EXPECT_FALSE(rows.flags(rows.index(0, column)) & Qt::ItemIsEditable) << column;
}

// The search line's key filter over the list's own columns: the object's
// number and search term come from another table and are no search fields.
TEST_F(FremdleistForm, SearchRefusesTheObjectColumns) {
    table::Table& services = dm->TabFremdLeist();
    AddFremdleistObjectFields(services);
    services.open();
    TF_ListForm form(FremdleistFormDecl(), services);
    form.show();
    const struct {
        const char* field;
        QChar key;
        QChar passed;
        int boxes;
    } cases[] = {
        {"ObjNr", u'1', QChar(), 1},   {"ObjName", u'a', QChar(), 1},
        {"S_Kurztext", u'a', u'a', 0}, {"S_KostArt", u'a', QChar(), 0},
        {"S_KostArt", u'4', u'4', 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        presenter.boxes.clear();
        QChar key = c.key;
        FilterSearchKey(form.grid(), form.searchEdit(),
                        form.grid().gridModel().columnOf(QString::fromLatin1(c.field)), key);
        EXPECT_EQ(key, c.passed);
        ASSERT_EQ(presenter.boxes.size(), c.boxes);
        if (c.boxes > 0) {
            EXPECT_EQ(presenter.boxes.first().text, u"Dieses Feld ist kein Suchfeld!"_s);
        }
    }
    EXPECT_NE(form.findChild<QLabel*>(u"lbSortND"_s), nullptr);
}

} // namespace
