#include "commercial/documents/vatrates.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

TDateTime D(int y, int m, int d) {
    return DateTimeOfDate(QDate(y, m, d));
}

// The rates as a new client starts with them: the full rate changes from
// 16 % to 19 % on 01.01.2007.
std::vector<TVatRateRow> StandardRows() {
    return {
        {1, 0, QStringLiteral("Mwst-frei"), QStringLiteral("Keine"), 0.0, D(2000, 1, 1),
         D(2100, 12, 31)},
        {2, 1, QStringLiteral("Mwst 16 %"), QStringLiteral("voll"), 16.0, D(2000, 1, 1),
         D(2006, 12, 31)},
        {3, 2, QStringLiteral("Mwst 7 %"), QStringLiteral("halb"), 7.0, D(2000, 1, 1),
         D(2100, 12, 31)},
        {4, 1, QStringLiteral("Mwst 19 %"), QStringLiteral("voll"), 19.0, D(2007, 1, 1),
         D(2100, 12, 31)},
    };
}

TEST(VatRates, RatePerCodeAcrossTheRateChange) {
    struct Case {
        int code;
        TDateTime date;
        double rate;
    };
    const Case cases[] = {
        {1, D(2006, 12, 31), 16.0},
        {1, D(2007, 1, 1), 19.0},
        {1, D(2000, 1, 1), 16.0},
        {2, D(2006, 12, 31), 7.0},
        {2, D(2007, 1, 1), 7.0},
        {0, D(2007, 1, 1), 0.0},
        // Outside every period the fallback applies, to code 0 as well.
        {0, D(1999, 12, 31), 16.0},
        {1, D(1999, 12, 31), 16.0},
        {2, D(2101, 1, 1), 16.0},
        // An unknown code has no rows.
        {3, D(2007, 1, 1), 16.0},
    };
    const auto rows = StandardRows();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code << " date " << c.date);
        EXPECT_DOUBLE_EQ(GetVatRateAt(rows, c.code, c.date), c.rate);
    }
    const auto before = VatRatesAt(rows, D(2006, 6, 1));
    const auto after = VatRatesAt(rows, D(2007, 6, 1));
    EXPECT_EQ(before, (std::array<double, 3>{0.0, 16.0, 7.0}));
    EXPECT_EQ(after, (std::array<double, 3>{0.0, 19.0, 7.0}));
    EXPECT_DOUBLE_EQ(DefaultVatRate(rows, D(2026, 12, 10)), 19.0);
    EXPECT_DOUBLE_EQ(DefaultVatRate({}, D(2026, 12, 10)), FallbackVatRate);
}

TEST(VatRates, LookupGivesTextsAndOverlapsGoToTheSmallerId) {
    auto rows = StandardRows();
    // Listed first but with the larger key: the older row must still win.
    rows.insert(rows.begin(), {9, 2, QStringLiteral("Neu"), QStringLiteral("neu"), 5.0,
                               D(2020, 1, 1), EmptyDate});
    const TVatLookup hit = LookupVatRate(rows, 2, D(2021, 1, 1));
    EXPECT_TRUE(hit.Found);
    EXPECT_DOUBLE_EQ(hit.Rate, 7.0);
    EXPECT_EQ(hit.Kurz, QStringLiteral("Mwst 7 %"));
    EXPECT_EQ(hit.Lang, QStringLiteral("halb"));
    // After the older row ends, the open-ended newer row takes over.
    EXPECT_DOUBLE_EQ(GetVatRateAt(rows, 2, D(2150, 1, 1)), 5.0);

    const TVatLookup miss = LookupVatRate(rows, 1, D(1990, 1, 1));
    EXPECT_FALSE(miss.Found);
    EXPECT_DOUBLE_EQ(miss.Rate, 16.0);
    EXPECT_TRUE(miss.Kurz.isEmpty());
}

TEST(VatRates, CodeOfRate) {
    const auto rows = StandardRows();
    EXPECT_EQ(VatCodeOfRate(rows, 19.0, D(2008, 1, 1)), 1);
    EXPECT_EQ(VatCodeOfRate(rows, 16.0, D(2008, 1, 1)), 0);
    EXPECT_EQ(VatCodeOfRate(rows, 16.0, D(2005, 1, 1)), 1);
    EXPECT_EQ(VatCodeOfRate(rows, 7.0005, D(2008, 1, 1)), 2);
    // Without a full-rate row the fallback is compared.
    EXPECT_EQ(VatCodeOfRate({}, 16.0, D(2008, 1, 1)), 1);
}

TEST(VatRates, VatAmountRoundsHalfAwayFromZero) {
    struct Case {
        double amount;
        double rate;
        double vat;
    };
    const Case cases[] = {
        {100.05, 16.0, 16.01}, {0.10, 16.0, 0.02},  {0.30, 16.0, 0.05}, {0.5, 19.0, 0.10},
        {6.25, 7.0, 0.44},     {-6.25, 7.0, -0.44}, {123.45, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.amount << " at " << c.rate);
        EXPECT_DOUBLE_EQ(CalcVatAmount(c.amount, c.rate), c.vat);
    }
}

} // namespace
