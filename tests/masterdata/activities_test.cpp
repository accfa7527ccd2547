#include "core/data/recordrulesfixture.h"
#include "masterdata/activities.h"

#include <QDate>
#include <QMimeData>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

class Activities : public datatest::RecordRules {};

TEST_F(Activities, ACopyTakesEverythingButTheNumber) {
    setCompanyField(u"F_MinNrTaetig"_s, 10);
    addRow(u"Taetig.DB"_s, {{u"T_ID"_s, 1},
                            {u"T_Nr"_s, 10},
                            {u"T_Match"_s, u"FENSTER"_s},
                            {u"T_Gruppe"_s, u"Glas"_s},
                            {u"T_SaisonVon"_s, QDate(2000, 4, 1)},
                            {u"T_SaisonBis"_s, QDate(2000, 10, 31)},
                            {u"T_TextTour"_s, u"{\\rtf1 Fenster putzen}"_s},
                            {u"T_BasisEinheit"_s, u"Stunde"_s},
                            {u"T_BasisPreis"_s, 28.5},
                            {u"T_BasisMinuten"_s, 60.0},
                            {u"T_KostArt"_s, 901},
                            {u"T_Func"_s, 2}});
    addRow(u"Taetig.DB"_s, {{u"T_ID"_s, 2}, {u"T_Nr"_s, 11}});
    table::Table& shared = this->shared(dm->TabTaetig());
    ASSERT_TRUE(shared.locate({u"T_Nr"_s}, {10}));

    EXPECT_EQ(CopyTaetigRecord(shared), 12);
    EXPECT_EQ(shared.field(u"T_Nr"_s).asInteger(), 12);
    EXPECT_EQ(shared.field(u"T_ID"_s).asInteger(), 3);
    for (const QString& field : {u"T_Match"_s, u"T_Gruppe"_s, u"T_SaisonVon"_s, u"T_SaisonBis"_s,
                                 u"T_TextTour"_s, u"T_BasisEinheit"_s, u"T_BasisPreis"_s,
                                 u"T_BasisMinuten"_s, u"T_KostArt"_s, u"T_Func"_s}) {
        auto original = open(u"Taetig.DB"_s);
        ASSERT_TRUE(original->locate({u"T_Nr"_s}, {10}));
        EXPECT_EQ(shared.field(field).value(), original->field(field).value())
            << field.toStdString();
    }
}

TEST_F(Activities, TheCostTypeNameOrUndefiniert) {
    addRow(u"Kostart.DB"_s, {{u"A_ID"_s, 1}, {u"A_Nr"_s, 901}, {u"A_Text"_s, u"Reinigung"_s}});
    shared(dm->TabKostart());
    EXPECT_EQ(TaetigKostartName(901), u"Reinigung"_s);
    EXPECT_EQ(TaetigKostartName(902), u"Undefiniert"_s);
    EXPECT_EQ(TaetigKostartName(0), u"Undefiniert"_s);
}

TEST(ActivityDrag, TheDragDataCarriesTheActivityNumberOnly) {
    std::unique_ptr<QMimeData> data(TaetigDragData(4711));
    EXPECT_EQ(TaetigNrOfDragData(*data), 4711);
    QMimeData text;
    text.setText(u"4711"_s);
    EXPECT_EQ(TaetigNrOfDragData(text), 0);
}

} // namespace
