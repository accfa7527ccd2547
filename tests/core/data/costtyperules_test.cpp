#include "recordrulesfixture.h"

namespace {

using datatest::RecordRules;
using Kind = MessagePresenter::Kind;

// A renumbered cost type is carried into every field that holds a cost-type
// number, whichever tables use it, without a question.
TEST_F(RecordRules, ARenumberedCostTypeIsCarriedIntoEveryCostTypeField) {
    const struct {
        const char* file;
        const char* field;
    } uses[] = {
        {"Zeiterf.DB", "Z_Kostart"},      {"Personal.DB", "P_Kostart3"},
        {"BestSatz.DB", "S_KostenKonto"}, {"RechSatz.DB", "S_ErloesKonto"},
        {"ORgDef.db", "T_ErloesKonto"},   {"KostSumD.db", "K_Kostart"},
    };
    addRow(QStringLiteral("Kostart.DB"), {{QStringLiteral("A_ID"), 1},
                                          {QStringLiteral("A_Nr"), 5},
                                          {QStringLiteral("A_RubrikNr"), 1}});
    for (const auto& use : uses) {
        addRow(QString::fromLatin1(use.file), {{QString::fromLatin1(use.field), 5}});
        addRow(QString::fromLatin1(use.file), {{QString::fromLatin1(use.field), 9}});
    }
    table::Table& t = dm->TabKostart();
    if (!t.isOpen())
        t.open();
    t.refresh();
    ASSERT_TRUE(t.locate({QStringLiteral("A_Nr")}, {5}));
    t.edit();
    t.field(QStringLiteral("A_Nr")).setValue(6);
    t.post();
    EXPECT_TRUE(presenter.boxes.isEmpty());
    for (const auto& use : uses)
        EXPECT_EQ(column(QString::fromLatin1(use.file), QString::fromLatin1(use.field)),
                  (QList<int>{6, 9}))
            << use.file << " " << use.field;
}

TEST_F(RecordRules, ANewCostTypeGetsTheFirstFreeNumberAndItsDefaults) {
    addRow(QStringLiteral("Kostart.DB"),
           {{QStringLiteral("A_ID"), 1}, {QStringLiteral("A_Nr"), 1}});
    table::Table& t = dm->TabKostart();
    if (!t.isOpen())
        t.open();
    t.append();
    EXPECT_EQ(t.field(QStringLiteral("A_ID")).asInteger(), 2);
    EXPECT_EQ(t.field(QStringLiteral("A_Nr")).asInteger(), 2);
    EXPECT_EQ(t.field(QStringLiteral("A_MwstKz")).asInteger(), 1);
    EXPECT_FALSE(t.field(QStringLiteral("A_Personal")).asBoolean());
    t.cancel();
}

} // namespace
