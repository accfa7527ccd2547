#include "core/values/orderquantity.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

namespace {

struct OrderCase {
    double minMenge;
    double packMenge;
    double menge;
    double expected;
};

TEST(OrderQuantity, MinimumThenWholePacks) {
    const OrderCase cases[] = {
        {5, 1, 2, 5},  // raised to the minimum
        {5, 6, 0, 0},  // nothing proposed: nothing ordered, minimum ignored
        {0, 6, 7, 12}, // raised to whole packs
        {0, 6, 10, 12},   {0, 6, 12, 12},   {0, 6, 13, 18},
        {0, 6, 1, 6},     {8, 6, 2, 12},                    // minimum first, then packs
        {0, 1, 7.5, 7.5},                                   // pack size 1: the quantity itself
        {0, 0, 3, 3},     {10, 0.5, 3, 10}, {0, 6, 6.4, 6}, // round(5.4) = 5
        {0, 3, 3.5, 3},   // round(2.5) = 2: halves go to the even neighbour
        {0, 2.5, 5, 7.5}, // pack size rounded for the division, kept for the result
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(CalcBestellMenge(c.minMenge, c.packMenge, c.menge), c.expected)
            << c.minMenge << "/" << c.packMenge << "/" << c.menge;
}

TEST(OrderQuantity, QuantitiesBeyondWholeNumbersRaise) {
    EXPECT_THROW(CalcBestellMenge(0, 6, 1e300), DbError);
    EXPECT_THROW(CalcBestellMenge(0, 1e300, 5), DbError);
}

} // namespace
