#include "platform/errors.h"
#include "platform/table/table.h"
#include "recordrulesfixture.h"

namespace {

using datatest::RecordRules;
using Kind = MessagePresenter::Kind;

// The search word fills the tour and control texts only while they are empty.
TEST_F(RecordRules, AnActivitysSearchWordFillsItsEmptyTexts) {
    addRow(QStringLiteral("Taetig.DB"),
           {{QStringLiteral("T_ID"), 1},
            {QStringLiteral("T_Nr"), 5},
            {QStringLiteral("T_TextKontroll"), QStringLiteral("Eigen")}});
    table::Table& t = dm->TabTaetig();
    if (!t.isOpen())
        t.open();
    t.refresh();
    ASSERT_TRUE(t.locate({QStringLiteral("T_Nr")}, {5}));
    t.edit();
    t.field(QStringLiteral("T_Match")).setValue(QStringLiteral("FENSTER"));
    EXPECT_EQ(t.field(QStringLiteral("T_TextTour")).asString(), QStringLiteral("FENSTER"));
    EXPECT_EQ(t.field(QStringLiteral("T_TextKontroll")).asString(), QStringLiteral("Eigen"));
    t.field(QStringLiteral("T_Match")).setValue(QStringLiteral("GLAS"));
    EXPECT_EQ(t.field(QStringLiteral("T_TextTour")).asString(), QStringLiteral("FENSTER"));
    t.cancel();
}

TEST_F(RecordRules, AnActivitysCostTypeMustExist) {
    addRow(QStringLiteral("Taetig.DB"), {{QStringLiteral("T_ID"), 1}, {QStringLiteral("T_Nr"), 5}});
    addRow(QStringLiteral("Kostart.DB"), {{QStringLiteral("A_ID"), 1},
                                          {QStringLiteral("A_Nr"), 40},
                                          {QStringLiteral("A_RubrikNr"), 1}});
    table::Table& t = dm->TabTaetig();
    if (!t.isOpen())
        t.open();
    t.refresh();
    ASSERT_TRUE(t.locate({QStringLiteral("T_Nr")}, {5}));
    t.edit();
    for (int kostart : {0, 40}) {
        SCOPED_TRACE(kostart);
        t.field(QStringLiteral("T_KostArt")).setValue(kostart);
    }
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_THROW(t.field(QStringLiteral("T_KostArt")).setValue(41), Abort);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Kostenart: Sie müssen eine gültige Nummer eingeben")});
    t.cancel();
}

} // namespace

namespace {

// The activities' second cursor posts under the same rules, on its own record.
TEST_F(RecordRules, TheActivityLookupCursorChecksAndCarriesItsOwnRecord) {
    addRow(QStringLiteral("Taetig.DB"), {{QStringLiteral("T_ID"), 1}, {QStringLiteral("T_Nr"), 5}});
    addRow(QStringLiteral("Taetig.DB"), {{QStringLiteral("T_ID"), 2}, {QStringLiteral("T_Nr"), 6}});
    addRow(QStringLiteral("ObjTaet.db"),
           {{QStringLiteral("TS_ID"), 1}, {QStringLiteral("TS_Taetigkeit"), 5}});
    table::Table& lookup = dm->TabLUTaetig();
    if (!lookup.isOpen())
        lookup.open();
    ASSERT_TRUE(lookup.locate({QStringLiteral("T_Nr")}, {5}));

    lookup.edit();
    EXPECT_THROW(lookup.field(QStringLiteral("T_Nr")).setValue(6), DbError);
    lookup.cancel();

    presenter.answers = {true};
    lookup.edit();
    lookup.field(QStringLiteral("T_Nr")).setValue(9);
    lookup.post();
    EXPECT_EQ(column(QStringLiteral("ObjTaet.db"), QStringLiteral("TS_Taetigkeit")), QList<int>{9});
    EXPECT_EQ(column(QStringLiteral("Taetig.DB"), QStringLiteral("T_Nr")), (QList<int>{9, 6}));
}

} // namespace
