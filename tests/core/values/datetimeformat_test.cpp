#include "core/regionalguard.h"
#include "core/values/datetimeformat.h"

#include <QDate>
#include <QTime>
#include <gtest/gtest.h>

namespace {

TEST(DateTimeFormat, Patterns) {
    RegionalGuard regional;
    // Friday, 7 March 2008, 14:05:09.042
    const TDateTime value = DateTimeOfMoment(QDate(2008, 3, 7), QTime(14, 5, 9, 42));
    const struct {
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"dd/mm/yyyy", "07.03.2008"},
        {"d.m.yy", "7.3.08"},
        {"ddd, dddd", "Fr, Freitag"},
        {"mmm mmmm", "Mär März"},
        {"DD.MM.YYYY", "07.03.2008"}, // letters without regard to case
        {"hh:nn:ss.zzz", "14:05:09.042"},
        {"h:mm", "14:05"}, // m after an hour: minutes
        {"hh 'Uhr' \"mm\"", "14 Uhr mm"},
        {"h am/pm", "2 pm"},
        {"ddddd", "07.03.2008"},
        {"dddddd", "Freitag, 7. März 2008"},
        {"t", "14:05"},
        {"c", "07.03.2008 14:05:09"},
        {"KW#", "KW#"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateTime(QString::fromUtf8(c.pattern), value),
                  QString::fromUtf8(c.expected))
            << c.pattern;
}

TEST(DateTimeFormat, SeparatorsComeFromTheRegion) {
    RegionalSettings s = RegionalSettings::german();
    s.dateSeparator = u'/';
    s.timeSeparator = u'.';
    RegionalGuard regional(s);
    const TDateTime value = DateTimeOfMoment(QDate(2008, 3, 7), QTime(9, 30));
    EXPECT_EQ(FormatDateTime(QStringLiteral("dd/mm/yyyy hh:nn"), value),
              QStringLiteral("07/03/2008 09.30"));
}

} // namespace
