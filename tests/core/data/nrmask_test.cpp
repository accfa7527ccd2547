#include "core/data/nrmask.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

struct MaskCase {
    const char* mask;
    qint64 nr;
    int year;
    int month;
    const char* expected;
};

const MaskCase kMaskCases[] = {
    {"RE-jj-####", 17, 2024, 3, "RE-24-  17"},
    {"0000/jjjj", 5, 2024, 3, "0005/2024"},
    {"jjmm###", 123, 2024, 3, "2403123"},
    {"", 17, 2024, 3, "00017"},
    {"ABC", 17, 2024, 3, "ABC"},
    {"A*B#", 3, 2024, 3, "A B3"},
    {"##x##", 7, 2024, 3, " 7x  "}, // only the first run is filled
    {"mmm/jj", 1, 1999, 11, "011/99"},
    {"jjjjj-0", 9, 2024, 3, "2024 -9"}, // a year shorter than its run leaves a blank
    {"#-00", 4, 2024, 3, "4-04"},       // both number runs are filled
    {"j-m-#", 8, 2024, 3, " - -8"},     // a single j or m is no run and stays blank
    // Values longer than their run widen the text instead of losing digits.
    {"", 123456, 2024, 3, "123456"},
    {"RE-jj-####", 123456, 2024, 3, "RE-24-123456"},
    {"####-jj", 12345, 2024, 3, "12345-24"},
    {"0000", 99999, 2024, 3, "99999"},
    {"jjj-##", 5, 2024, 3, "2024- 5"},
    {"#-00", 123, 2024, 3, "123-123"},
    {"##", 2147483647, 2024, 3, "2147483647"},
};

TEST(NrMask, FormatsTableOfMasks) {
    for (const MaskCase& c : kMaskCases)
        EXPECT_EQ(FormatNrByMask(QString::fromUtf8(c.mask), c.nr, c.year, c.month),
                  QString::fromUtf8(c.expected))
            << "mask " << c.mask << " nr " << c.nr;
}

TEST(NrMask, ParsesEveryFormattedNumberBack) {
    const char* masks[] = {"",      "RE-jj-####",    "0000/jjjj", "jjmm###", "jjj-##", "#-00",
                           "00-##", "AB*##/mm.jjjj", "##",        "x0",      "jjjjj-0"};
    const qint64 numbers[] = {0, 1, 17, 99, 100, 9999, 12345, 999999, 2147483647};
    for (const char* m : masks)
        for (qint64 nr : numbers)
            for (int year : {2024, 1999}) {
                const QString mask = QString::fromUtf8(m);
                const QString text = FormatNrByMask(mask, nr, year, 12);
                EXPECT_EQ(ParseNrByMask(mask, text), nr)
                    << "mask " << m << " text " << text.toStdString();
            }
}

TEST(NrMask, NumbersBeyondTheRunStayDistinct) {
    for (const char* m : {"##", "RE-00", "jj-#"}) {
        QSet<QString> seen;
        for (int nr = 0; nr < 1200; ++nr)
            seen.insert(FormatNrByMask(QString::fromUtf8(m), nr, 2024, 3));
        EXPECT_EQ(seen.size(), 1200) << m;
    }
}

TEST(NrMask, ParsesTextsWithoutNumberRunOrTypedByHand) {
    struct Case {
        const char* mask;
        const char* text;
        int expected;
    } cases[] = {
        {"RE-jj-####", "RE-24-  17", 17},
        {"", "00017", 17},
        {"ABC", "ABC", 0},        // no number run
        {"RE-####", "RE-12", 12}, // shorter than the mask: read at the mask's position
        {"RE-####", "RE-12ab", 0},
        {"0000/jjjj", "0042/2024", 42},
        {"", "", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseNrByMask(QString::fromUtf8(c.mask), QString::fromUtf8(c.text)), c.expected)
            << c.mask << " / " << c.text;
}

} // namespace
