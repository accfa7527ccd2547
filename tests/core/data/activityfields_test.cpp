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
