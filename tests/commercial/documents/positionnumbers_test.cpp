#include "commercial/documents/positionnumbers.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

namespace {

TEST(PositionNumbers, NormalizeStripAndText) {
    struct Case {
        int typed;
        int stored;
        int shortForm;
        const char* text;
    };
    const Case cases[] = {
        {0, 1000000, 1, "1"},
        {1, 1000000, 1, "1"},
        {100, 1000000, 1, "1"},
        {102, 1020000, 102, "1.02"},
        {120, 1200000, 120, "1.20"},
        {12, 12000000, 12, "12"},
        {1203, 12030000, 1203, "12.03"},
        {10203, 1020300, 10203, "1.02.03"},
        {10001, 1000100, 10001, "1.00.01"},
        {1020304, 1020304, 1020304, "1.02.03.04"},
        {99999999, 99999999, 99999999, "99.99.99.99"},
        {10000000, 10000000, 10, "10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(NormalizePosNr(c.typed), c.stored);
        EXPECT_EQ(StripPosNr(c.stored), c.shortForm);
        EXPECT_EQ(PosNrToText(c.stored), QString::fromLatin1(c.text));
        EXPECT_EQ(PosNrTextToNr(QString::fromLatin1(c.text)), c.shortForm);
    }
    EXPECT_EQ(StripPosNr(0), 0);
}

TEST(PositionNumbers, NegativeNumberRaisesInsteadOfLooping) {
    EXPECT_THROW(NormalizePosNr(-1), DbError);
}

TEST(PositionNumbers, FormatDropsTrailingZeroLevelsAndReadsGarbageAsZero) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"1.02.00", "1.02"}, {"1.02.03", "1.02.03"}, {"1020000", "1.02"},
        {"3", "3"},          {"abc", "0"},           {"", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(FormatPosNr(QString::fromLatin1(c.in)), QString::fromLatin1(c.out));
    }
}

TEST(PositionNumbers, GroupEnd) {
    const std::pair<int, int> cases[] = {{103, 199}, {100, 199}, {199, 199}, {1, 99}, {0, 99}};
    for (auto [n, end] : cases)
        EXPECT_EQ(PosNrGroupEnd(n), end) << n;
}

// The number a new line gets in a document holding Lines (stored numbers)
// with the cursor on Current.
struct FreeCase {
    std::vector<int> lines;
    int current;
    bool insertBefore;
    int expected;
};

TEST(PositionNumbers, FreeNumberForNewLines) {
    const FreeCase cases[] = {
        // Empty document: 1 in both modes.
        {{}, 0, true, 1000000},
        {{}, 0, false, 1000000},
        // Before a first line 1 there is no room; before 2 there is.
        {{1000000}, 0, true, -1},
        {{2000000}, 0, true, 1000000},
        // Appending continues at the level of the last line, with carry.
        {{1000000}, 0, false, 2000000},
        {{1000000, 1020000}, 0, false, 1030000},
        {{1000000, 1990000}, 1, false, 2000000},
        {{1000000, 1029900}, 1, false, 1030000},
        // Appending always looks at the last line, whatever the current one.
        {{1000000, 3000000}, 0, false, 4000000},
        // Inserting between two lines goes one level deeper when needed.
        {{1020000, 1030000}, 1, true, 1020100},
        {{1000000, 1010000}, 1, true, 1000100},
        {{1000000, 3000000}, 1, true, 2000000},
        {{1020304, 1020305}, 1, true, -1},
        // The upper bound is exclusive, so 99.99.99.99 is never handed out.
        {{99999999}, 0, false, -1},
        {{99999998}, 0, false, -1},
        {{99999997}, 0, false, 99999998},
    };
    for (const FreeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "current " << c.current << " insert " << c.insertBefore
                                        << " lines " << testing::PrintToString(c.lines));
        EXPECT_EQ(NextFreePosNr(PosNrBoundsFor(c.lines, c.current, c.insertBefore)), c.expected);
    }
}

TEST(PositionNumbers, AppendAfterLastLevelOneNumberStaysInOrder) {
    // A carry out of level 1 would wrap round to 1, before every other line;
    // the new line goes one level deeper instead.
    for (int last : {99000000, 99990000, 99999900}) {
        SCOPED_TRACE(last);
        const int next = NextFreePosNr(PosNrBoundsFor({1000000, last}, 1, false));
        EXPECT_GT(next, last);
        EXPECT_LE(next, MaxPosNr);
    }
}

TEST(PositionNumbers, BadCurrentIndexRaises) {
    EXPECT_THROW(PosNrBoundsFor({1000000}, 1, false), DbError);
    EXPECT_THROW(PosNrBoundsFor({1000000}, -1, true), DbError);
}

TEST(PositionNumbers, StoredBoundsFeedTheNextNumber) {
    SetLastLineKey(InsertLineKey);
    EXPECT_EQ(LastLineKey(), InsertLineKey);
    SetPosNrBounds(PosNrBoundsFor({1020000, 1030000}, 1, LastLineKey() == InsertLineKey));
    EXPECT_EQ(NextFreePosNr(), 1020100);
    SetLastLineKey(0);
    SetPosNrBounds(PosNrBoundsFor({1020000, 1030000}, 1, LastLineKey() == InsertLineKey));
    EXPECT_EQ(NextFreePosNr(), 1040000);
    SetPosNrBounds(TPosNrBounds{});
}

TEST(PositionNumbers, CopiedLinesFollowTheLastLevelOneNumber) {
    EXPECT_EQ(LastPosNrBase({}), 0);
    const int base = LastPosNrBase({1000000, 3020000});
    EXPECT_EQ(base, 3000000);
    EXPECT_EQ(AppendedPosNr(1000000, base), 4000000);
    EXPECT_EQ(AppendedPosNr(1010000, base), 4010000);
    EXPECT_EQ(AppendedPosNr(2, base), 5000000);
    EXPECT_EQ(AppendedPosNr(102, 0), 1020000);
    EXPECT_EQ(AppendedPosNr(99000000, base), MaxPosNr);
}

struct RenumberCase {
    const char* name;
    std::vector<TRenumberLine> lines;
    int from;
    int start;
    std::vector<int> expected;
};

TEST(PositionNumbers, Renumbering) {
    const RenumberCase cases[] = {
        {"all, text line shares the next number",
         {{1000000, 0}, {1010000, PosArtText}, {1020000, 0}, {2000000, 0}},
         0,
         1,
         {1000000, 2000000, 2000000, 3000000}},
        {"flattens deeper levels from here",
         {{1000000, 0}, {1030000, 0}, {1030100, 0}, {1040000, 0}, {2000000, 0}},
         103,
         103,
         {1000000, 1030000, 1040000, 1050000, 2000000}},
        {"start above the default",
         {{1000000, 0}, {1020000, 0}, {1030000, 0}},
         102,
         110,
         {1000000, 1100000, 1110000}},
        {"unsorted input is visited in number order",
         {{3000000, 0}, {1000000, 0}, {2000000, 0}},
         0,
         5,
         {7000000, 5000000, 6000000}},
        {"a single line is left alone", {{5000000, 0}}, 0, 1, {5000000}},
    };
    for (const RenumberCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RenumberedPosNrs(c.lines, c.from, c.start), c.expected);
    }
}

} // namespace
