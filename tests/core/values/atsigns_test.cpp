#include "core/regionalguard.h"
#include "core/values/atsigns.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

TEST(ReplaceAtSigns, EachSignBecomesTwoBlanks) {
    EXPECT_EQ(ReplaceAtSigns(QStringLiteral("@ 3 Std. à @ 25,50")),
              QStringLiteral("   3 Std. à    25,50"));
    EXPECT_EQ(ReplaceAtSigns(QStringLiteral("ohne")), QStringLiteral("ohne"));
    EXPECT_EQ(ReplaceAtSigns(QString()), QString());
}

struct TotalCase {
    const char* text;
    std::optional<double> total;
};

class AtSignTotalTest : public ::testing::TestWithParam<RegionalSettings> {};

TEST_P(AtSignTotalTest, PairsOfQuantityAndPrice) {
    RegionalGuard regional(GetParam());
    const TotalCase cases[] = {
        // Pairs on one line and across lines add up.
        {"Reinigung @ 3 Stunden zu je @ 25,50 Euro\nFenster @2 Stück à @4,25", 85.00},
        {"Menge @ 3\nPreis @ 25,50", 76.50},
        // "." ends the number: 1.000 is read as 1.
        {"@ 1.000 Stück zu @ 5", 5.00},
        // A last quantity without its price is ignored.
        {"@ 2 à @ 3\n@ 7", 6.00},
        {"nur eine Menge @ 4", std::nullopt},
        {"kein Zeichen", std::nullopt},
        {"", std::nullopt},
        // Unreadable numbers count 0, but the pair is still complete.
        {"@ viel zu @ 3", 0.0},
        {"@ 2 zu @ 1,2,3", 0.0},
        // Signs and blanks belong to the number; blanks inside are dropped.
        {"@ -2 zu @ 10", -20.00},
        {"@ 1 0 zu @ 1,5", 15.00},
        // Each partial sum is rounded to cents.
        {"@ 1 @ 0,005\n@ 1 @ 0,005", 0.02},
        {"@3@0,333", 1.00},
        // Carriage returns and soft line breaks end lines as well.
        {"@ 2\r@ 2,5", 5.00},
    };
    for (const TotalCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(AtSignTotal(QString::fromUtf8(c.text)), c.total);
    }
}

INSTANTIATE_TEST_SUITE_P(Regional, AtSignTotalTest,
                         ::testing::Values(RegionalSettings::german(),
                                           RegionalGuard::english(QStringLiteral("$"))));

} // namespace
