#include "core/regionalguard.h"
#include "core/values/money.h"
#include "platform/errors.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <limits>

namespace {

struct RoundCase {
    double amount;
    double expected;
};

TEST(RoundCents, HalvesOfTheDecimalTextRoundAwayFromZero) {
    const RoundCase cases[] = {
        {2.345, 2.35},
        {-2.345, -2.35},
        {2.344, 2.34},
        {0.005, 0.01},
        {0.0, 0.0},
        // Held just below the half in binary: the decimal text decides.
        {1.005, 1.01},
        {2.675, 2.68},
        {1.015, 1.02},
        {0.285, 0.29},
        {-1.005, -1.01},
        {-0.005, -0.01},
        {1.15 * 3, 3.45}, // computed as 3.4499999999999997
        {0.1 + 0.2, 0.3},
        {0.0049, 0.0},
        // The text of amount × 100 is rounded at its second decimal first, so
        // a fourth decimal of 5 or more can lift the third to 5.
        {0.00499999, 0.01},
        {2.34449, 2.34},
        {2.3445, 2.34},
        {2.34495, 2.35},
        // Beyond 32-bit cents.
        {21474836.475, 21474836.48},
        {-21474836.475, -21474836.48},
        {1e12 + 0.005, 1000000000000.01},
        {1e13 + 0.01, 10000000000000.01},
        {123456789012.344, 123456789012.34},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoundCents(c.amount), c.expected) << std::to_string(c.amount);
}

TEST(RoundCents, EveryTypedAmountWithThreeDecimals) {
    // Amounts typed as text with three decimals round like the text does,
    // across small values and values of many digits.
    for (const long long base : {0LL, 1000000000LL, 99999999990000LL}) {
        for (long long m = -20000; m <= 20000; ++m) {
            const long long thousandths = (m < 0 ? -base : base) + m;
            const long long abs = thousandths < 0 ? -thousandths : thousandths;
            char typed[64];
            std::snprintf(typed, sizeof typed, "%s%lld.%03lld", thousandths < 0 ? "-" : "",
                          abs / 1000, abs % 1000);
            const long long cents = (abs + 5) / 10;
            char rounded[64];
            std::snprintf(rounded, sizeof rounded, "%s%lld.%02lld", thousandths < 0 ? "-" : "",
                          cents / 100, cents % 100);
            const double amount = std::strtod(typed, nullptr);
            const double expected = cents == 0 ? 0.0 : std::strtod(rounded, nullptr);
            ASSERT_EQ(RoundCents(amount), expected) << typed;
        }
    }
}

TEST(RoundCents, ZeroResultsCarryNoSign) {
    EXPECT_FALSE(std::signbit(RoundCents(-0.0049)));
    EXPECT_FALSE(std::signbit(RoundCents(-0.0)));
}

TEST(RoundCents, HugeAmountsStayAndInvalidOnesRaise) {
    for (double whole : {0x1p52, -0x1p53, 1e20})
        EXPECT_EQ(RoundCents(whole), whole);
    EXPECT_EQ(RoundCents(0x1p52 - 0.5), 0x1p52 - 0.5);
    EXPECT_EQ(RoundCents(1e15 + 0.125), 1e15 + 0.125); // x.13 is not a double here
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {nan, inf, -inf})
        EXPECT_THROW(RoundCents(bad), DbError);
}

struct FactorCase {
    double value;
    double factor;
    double expected;
};

TEST(RoundToFactor, RoundsToMultiplesOfTheInverse) {
    const FactorCase cases[] = {
        {1 / 1.95583, 100000, 0.51129},
        {2.5, 1, 3.0},
        {-2.5, 1, -3.0},
        {1.13, 4, 1.25},
        {-1.12, 4, -1.0},
        {7.3, 0, 7.3},
        {0.0, 10, 0.0},
        {12345.6, 0.01, 12300.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(RoundToFactor(c.value, c.factor), c.expected)
            << c.value << "/" << c.factor;
}

struct FormatCase {
    int index;
    double amount;
    const char* expected;
};

TEST(FormatMoney, GermanNotationWithTheRightSymbol) {
    RegionalGuard german;
    InitCurrency(); // euros, second currency DM
    const FormatCase cases[] = {
        {1, 1234.5, "1.234,50 €"},
        {0, 1234.5, "1.234,50 €"},
        {1, -1234.5, "-1.234,50 €"},
        {1, 0.0, "0,00 €"},
        {1, -0.001, "0,00 €"},
        {1, 1.005, "1,01 €"},
        {1, 1234567.891, "1.234.567,89 €"},
        {1, -999.999, "-1.000,00 €"},
        {2, 10.0, "10,00 DM"},
        {2, -19558.3, "-19.558,30 DM"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatMoney(c.index, c.amount), QString::fromUtf8(c.expected)) << c.amount;
    EXPECT_THROW(FormatMoney(3, 1.0), DbError);
    EXPECT_THROW(FormatMoney(-1, 1.0), DbError);
}

struct LayoutCase {
    int currencyFormat;
    int negCurrFormat;
    const char* positive;
    const char* negative;
};

TEST(FormatMoney, SymbolPlacementFollowsTheRegionalFormats) {
    const LayoutCase cases[] = {
        {0, 0, "€1,50", "(€1,50)"},    {1, 1, "1,50€", "-€1,50"},    {2, 2, "€ 1,50", "€-1,50"},
        {3, 3, "1,50 €", "€1,50-"},    {3, 4, "1,50 €", "(1,50€)"},  {3, 5, "1,50 €", "-1,50€"},
        {3, 6, "1,50 €", "1,50-€"},    {3, 7, "1,50 €", "1,50€-"},   {3, 8, "1,50 €", "-1,50 €"},
        {3, 9, "1,50 €", "-€ 1,50"},   {3, 10, "1,50 €", "1,50 €-"}, {3, 11, "1,50 €", "€ 1,50-"},
        {3, 12, "1,50 €", "€ -1,50"},  {3, 13, "1,50 €", "1,50- €"}, {3, 14, "1,50 €", "(€ 1,50)"},
        {3, 15, "1,50 €", "(1,50 €)"},
    };
    for (const auto& c : cases) {
        RegionalSettings settings = RegionalSettings::german();
        settings.currencyFormat = c.currencyFormat;
        settings.negCurrFormat = c.negCurrFormat;
        RegionalGuard guard(settings);
        EXPECT_EQ(FormatMoney(1, 1.5), QString::fromUtf8(c.positive)) << c.currencyFormat;
        EXPECT_EQ(FormatMoney(1, -1.5), QString::fromUtf8(c.negative)) << c.negCurrFormat;
    }
}

TEST(FormatMoney, CurrencyDecimalsOfTheRegion) {
    RegionalSettings settings = RegionalSettings::german();
    settings.currencyDecimals = 0;
    RegionalGuard guard(settings);
    EXPECT_EQ(FormatMoney(1, 1234.5), QStringLiteral("1.235 €"));
}

struct ParseCase {
    const char* text;
    double expected;
};

TEST(MoneyText, ReadsTheRegionalNotation) {
    RegionalGuard german;
    InitCurrency();
    const ParseCase cases[] = {
        {"1.234,56 €", 1234.56},
        {"-1.234,56 €", -1234.56},
        {"€1.234,56", 1234.56},
        {"12,5", 12.5},
        {"1.234,56 DM", 1234.56},
        {"  7 €  ", 7.0},
        {"", 0.0},
        {"€", 0.0},
        {"abc €", 0.0},
        {"(1,50 €)", 0.0},
        {"1.234.567,891", 1234567.891},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MoneyStrToFloat(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(MoneyText, RoundTripsFormattedAmounts) {
    RegionalGuard german;
    InitCurrency();
    for (double amount : {0.0, 0.01, -0.01, 1.5, 999.99, 1000.0, -1234567.89, 21474836.47})
        EXPECT_EQ(MoneyStrToFloat(FormatMoney(1, amount)), amount) << amount;
}

TEST(MoneyText, RemovesTheMainCurrencySymbolOfAProgramInDM) {
    RegionalGuard dm([] {
        RegionalSettings s = RegionalSettings::german();
        s.currencyString = QStringLiteral("DM");
        return s;
    }());
    InitCurrency();
    EXPECT_EQ(MoneyStrToFloat(QStringLiteral("DM1.234,56")), 1234.56);
    EXPECT_EQ(MoneyStrToFloat(QStringLiteral("1.234,56 DM")), 1234.56);
}

TEST(MoneyText, GermanNotationWhateverTheRegion) {
    RegionalGuard english(RegionalGuard::english(QStringLiteral("$")));
    InitCurrency();
    const ParseCase cases[] = {
        {"1.234,56 DM", 1234.56},
        {"$1.234,56", 1234.56},
        {"-0,5", -0.5},
        {"12", 12.0},
        {"x,5", 0.0},
        {"", 0.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MoneyStrToFloatDE(QString::fromUtf8(c.text)), c.expected) << c.text;
    EXPECT_EQ(MoneyStrToFloat(QStringLiteral("$1,234.56")), 1234.56);
}

TEST(SecondCurrency, ProgramInDMConvertsToEuro) {
    RegionalGuard dm([] {
        RegionalSettings s = RegionalSettings::german();
        s.currencyString = QStringLiteral("DM");
        return s;
    }());
    InitCurrency();
    EXPECT_EQ(ConvertToAltW(1.95583), 1.0);
    EXPECT_EQ(ConvertToAltW(100.0), 51.13);
    EXPECT_EQ(ConvertToAltW(-19558.30), -10000.0);
    EXPECT_EQ(MoneyStrToAltW(QStringLiteral("1.000,00 DM")), QStringLiteral("511,29 EUR"));
}

TEST(SecondCurrency, ProgramInEuroUsesTheFixedRate) {
    RegionalGuard german;
    InitCurrency();
    // Through the rounded inverse 0.51129 these would come out as
    // 19.558,35 and 1.955.834,69.
    const RoundCase cases[] = {
        {1.0, 1.96}, {10000.0, 19558.3}, {1000000.0, 1955830.0}, {-2.5, -4.89}, {0.0, 0.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConvertToAltW(c.amount), c.expected) << c.amount;
    EXPECT_EQ(MoneyStrToAltW(QStringLiteral("10.000,00 €")), QStringLiteral("19.558,30 DM"));
    EXPECT_EQ(MoneyStrToAltW(QStringLiteral("abc")), QStringLiteral("0,00 DM"));
}

} // namespace
