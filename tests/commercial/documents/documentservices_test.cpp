#include "commercial/bookingfixture.h"
#include "commercial/documents/documentservices.h"
#include "core/data/rubrikdefaultkostart.h"

#include <gtest/gtest.h>

namespace {

class DocumentServices : public bookingtest::Bookings {
protected:
    void SetUp() override {
        Bookings::SetUp();
        // An order line and a delivery-note line of 10 units, 7 delivered or billed.
        for (const char* file : {"Auftsatz.DB", "LSsatz.DB"})
            addRow(QString::fromLatin1(file), {{QStringLiteral("S_ID"), 5},
                                               {QStringLiteral("S_Menge"), 10.0},
                                               {QStringLiteral("S_MengeGeliefert"), 7.0}});
        addRow(QStringLiteral("LSsatz.DB"),
               {{QStringLiteral("S_ID"), 6}, {QStringLiteral("S_Menge"), 10.0}});
    }
    double delivered(int id) {
        return valueOf(QStringLiteral("LSsatz.DB"), QStringLiteral("S_ID"), id,
                       QStringLiteral("S_MengeGeliefert"))
            .toDouble();
    }
};

TEST_F(DocumentServices, LimitToUndeliveredMenge) {
    struct Case {
        int kind;
        int lineId;
        double menge;
        bool capped;
        double result;
    };
    const Case cases[] = {
        {4, 5, 4, true, 3},    {4, 5, 3, false, 3},  {2, 5, 9, true, 3},  {7, 5, 5, true, 3},
        {4, 6, 10, false, 10}, {4, 6, 11, true, 10}, {4, 5, 0, false, 0}, {4, 5, -2, false, -2},
        {4, 0, 5, false, 5},   {4, 99, 5, false, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << "/" << c.lineId << "/" << c.menge);
        double menge = c.menge;
        EXPECT_EQ(LimitToUndeliveredMenge(c.kind, menge, c.lineId), c.capped);
        EXPECT_DOUBLE_EQ(menge, c.result);
    }
}

TEST_F(DocumentServices, AdjustMengeGeliefertMovesByTheDifference) {
    AdjustMengeGeliefert(5, 6, 4);
    EXPECT_DOUBLE_EQ(delivered(5), 9);
    AdjustMengeGeliefert(5, 0, 4);
    EXPECT_DOUBLE_EQ(delivered(5), 5);
    AdjustMengeGeliefert(6, 2, 0); // a null delivered quantity counts 0
    EXPECT_DOUBLE_EQ(delivered(6), 2);
    AdjustMengeGeliefert(5, 3, 3);
    AdjustMengeGeliefert(0, 3, 0);
    AdjustMengeGeliefert(99, 3, 0);
    EXPECT_DOUBLE_EQ(delivered(5), 5);
}

TEST_F(DocumentServices, HasObjektArtikelSeesNewCopies) {
    EXPECT_TRUE(HasObjektArtikel(QStringLiteral("4711"), 0));
    EXPECT_FALSE(HasObjektArtikel(QStringLiteral("4711"), 7));
    addArticle(2, 7, QStringLiteral("4711"), 0, 2.0);
    EXPECT_TRUE(HasObjektArtikel(QStringLiteral("4711"), 7));
    EXPECT_EQ(ArtikelIdOfObjekt(QStringLiteral("4711"), 7), 2);
    EXPECT_FALSE(HasObjektArtikel(QStringLiteral("0815"), 0));
}

TEST_F(DocumentServices, RevenueAccountByLineType) {
    addRow(QStringLiteral("Fremdlst.db"),
           {{QStringLiteral("S_ID"), 8},
            {QStringLiteral("S_KostArt"), bookingtest::kKostartPersonal}});
    addRow(QStringLiteral("Taetig.DB"),
           {{QStringLiteral("T_ID"), 3},
            {QStringLiteral("T_Nr"), 30},
            {QStringLiteral("T_KostArt"), bookingtest::kKostartRubrik1}});
    refreshSharedTables();
    LoadRubrikDefaultKostart();
    struct Case {
        QVariant posTyp;
        int matId, refId, account, expected;
    };
    const Case cases[] = {
        {0, 1, 0, 555, 555}, // a given account stays
        {0, 1, 0, 0, bookingtest::kKostartWaren},
        {0, 99, 0, 0, GetRubrikDefaultKostart(2)},
        {2, 0, 8, 0, bookingtest::kKostartPersonal},
        {2, 0, 99, 0, GetRubrikDefaultKostart(3)},
        {1, 3, 0, 0, bookingtest::kKostartRubrik1},
        {5, 99, 0, 0, GetRubrikDefaultKostart(1)},
        {4, 1, 8, 0, GetRubrikDefaultKostart(1)},
        {QVariant(), 1, 8, 0, GetRubrikDefaultKostart(1)}, // null counts as a free line
    };
    int id = 0;
    for (const Case& c : cases)
        addRow(QStringLiteral("Rechsatz.db"), {{QStringLiteral("S_ID"), ++id},
                                               {QStringLiteral("S_PosTyp"), c.posTyp},
                                               {QStringLiteral("S_MatID"), c.matId},
                                               {QStringLiteral("S_RefID"), c.refId}});
    auto lines = open(QStringLiteral("Rechsatz.db"));
    id = 0;
    for (const Case& c : cases) {
        ASSERT_TRUE(lines->locate({QStringLiteral("S_ID")}, {++id}));
        EXPECT_EQ(DefaultErloesKonto(*lines, c.account), c.expected) << "line " << id;
    }
}

TEST_F(DocumentServices, ObjectActivitiesReportPatternsAndSpecialPrices) {
    addRow(QStringLiteral("ObjTaet.db"), {{QStringLiteral("TS_ID"), 12},
                                          {QStringLiteral("TS_Objekt"), 700},
                                          {QStringLiteral("TS_Taetigkeit"), 30}});
    EXPECT_EQ(FindObjTaetId(700, 30), 12);
    EXPECT_EQ(FindObjTaetId(700, 31), 0);
    EXPECT_EQ(FindObjTaetId(30, 700), 0);

    addRow(QStringLiteral("ZahlIV.DB"),
           {{QStringLiteral("ZI_ID"), 77}, {QStringLiteral("ZI_Pattern"), QStringLiteral("135")}});
    EXPECT_EQ(GetZahlIntervPattern(77), QStringLiteral("135"));
    EXPECT_EQ(GetZahlIntervPattern(78), QString());

    addArticle(2, 7, QStringLiteral("4711"), 0, 2.0);
    EXPECT_TRUE(SetObjektArtikelPreis(2, 3.75));
    EXPECT_DOUBLE_EQ(article(2, "A_Preis1"), 3.75);
    EXPECT_FALSE(SetObjektArtikelPreis(1, 3.75)); // a general article keeps its price
    EXPECT_DOUBLE_EQ(article(1, "A_Preis1"), 0);
    EXPECT_FALSE(SetObjektArtikelPreis(99, 3.75));
}

} // namespace
