#include "masterdata/reportpatterns.h"

#include <QDate>
#include <QStringList>

MonthPatternMarks ReadMonthPattern(const QString& pattern) {
    MonthPatternMarks marks{};
    for (int p = 0; p < std::min<qsizetype>(pattern.size(), 31); ++p)
        marks[p] = pattern[p] != QLatin1Char('0');
    return marks;
}

QString WriteMonthPattern(const MonthPatternMarks& marks) {
    QString pattern;
    for (bool marked : marks)
        pattern += marked ? QLatin1Char('*') : QLatin1Char('0');
    return pattern;
}

YearPatternMarks ReadYearPattern(const QString& pattern) {
    YearPatternMarks marks{};
    const auto number = [](const QString& entry, int from) {
        bool ok = false;
        const int value = entry.mid(from, 2).toInt(&ok);
        return ok ? value : 0;
    };
    for (const QString& entry : pattern.split(QLatin1Char(';'))) {
        const int day = number(entry, 0);
        const int month = number(entry, 3);
        if (day >= 1 && day <= 31 && month >= 1 && month <= 12)
            marks[month - 1][day - 1] = true;
    }
    return marks;
}

QString WriteYearPattern(const YearPatternMarks& marks) {
    QString pattern;
    for (int m = 1; m <= 12; ++m)
        for (int d = 1; d <= 31; ++d)
            if (marks[m - 1][d - 1])
                pattern += QStringLiteral("%1.%2;")
                               .arg(d, 2, 10, QLatin1Char('0'))
                               .arg(m, 2, 10, QLatin1Char('0'));
    return pattern;
}

bool IsYearPatternDay(int month, int day) {
    if (month < 1 || month > 12 || day < 1)
        return false;
    // A leap year's month lengths, February cut to 28.
    return day <= (month == 2 ? 28 : QDate(2000, month, 1).daysInMonth());
}

int CountYearPatternDates(const YearPatternMarks& marks) {
    int count = 0;
    for (const auto& month : marks)
        for (bool marked : month)
            count += marked ? 1 : 0;
    return count;
}

YearMarkChange ToggleYearPatternDay(YearPatternMarks& marks, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return YearMarkChange::Cleared;
    bool& cell = marks[month - 1][day - 1];
    if (!IsYearPatternDay(month, day) || cell) {
        cell = false;
        return YearMarkChange::Cleared;
    }
    if (CountYearPatternDates(marks) >= MaxYearPatternDates)
        return YearMarkChange::TooManyDates;
    cell = true;
    return YearMarkChange::Marked;
}
