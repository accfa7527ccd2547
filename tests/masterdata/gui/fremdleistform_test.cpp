#include "core/data/dbhelpers.h"
#include "masterdata/gui/fremdleistform.h"
#include "masterdata/gui/tableformdecl.h"
#include "masterdata/gui/tf_tableform.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datagridmodel.h"
#include "tableformfixture.h"

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

} // namespace
