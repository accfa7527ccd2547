#include "bookingfixture.h"
#include "commercial/documentservices.h"

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

} // namespace
