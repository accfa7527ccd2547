#include "commercial/scheduling/fixtermmonths.h"

#include "core/values/calendar.h"
#include "core/values/rangeerrors.h"

#include <QtNumeric>

QString FixTermFieldName(int month) {
    if (month < 1 || month > 12)
        RaiseRangeError();
    return QStringLiteral("TF_Termine%1").arg(month, 2, 10, QLatin1Char('0'));
}

QString PadMonthMarks(const QString& stored) {
    return stored.left(kFixTermDays).leftJustified(kFixTermDays, QLatin1Char(' '));
}

bool IsMarkedDay(const QString& stored, int day) {
    return day >= 1 && day <= kFixTermDays && day <= stored.size() &&
           stored.at(day - 1) == QLatin1Char('+');
}

MonthMarks DecodeMonthMarks(const QString& stored) {
    MonthMarks marks{};
    for (int d = 1; d <= kFixTermDays; ++d)
        marks[d - 1] = IsMarkedDay(stored, d);
    return marks;
}

QString EncodeMonthMarks(const MonthMarks& marks) {
    QString text(kFixTermDays, QLatin1Char('-'));
    for (int d = 0; d < kFixTermDays; ++d)
        if (marks[d])
            text[d] = QLatin1Char('+');
    return text;
}

int FixTermMonthIndex(int year, int month) {
    int index = 0;
    if (qMulOverflow(year - 2000, 12, &index) || qAddOverflow(index, month, &index))
        RaiseOverflowError();
    return index;
}

// Floor division, so that months before 2000 come out right as well.
int YearOfFixTermMonth(int monthIndex) {
    const int zeroBased = monthIndex - 1;
    return 2000 + (zeroBased >= 0 ? zeroBased / 12 : -((11 - zeroBased) / 12));
}

int MonthOfFixTermMonth(int monthIndex) {
    return monthIndex - (YearOfFixTermMonth(monthIndex) - 2000) * 12;
}

QString ShiftFixTermMonth(int monthIndex, const QString& dayMarks) {
    const int year = YearOfFixTermMonth(monthIndex);
    const int month = MonthOfFixTermMonth(monthIndex);
    const int length = DaysOfMonth(year, month);
    MonthMarks shifted{};
    const MonthMarks source = DecodeMonthMarks(dayMarks);
    for (int d = 1; d <= kFixTermDays; ++d) {
        if (!source[d - 1])
            continue;
        const int weekday = WeekdayOfYMD(year, month, qMin(d, length));
        int target = d <= 7 ? 1 : d <= 14 ? 8 : d <= 21 ? 15 : 22;
        while (WeekdayOfYMD(year + 1, month, target) != weekday)
            ++target;
        shifted[target - 1] = true;
    }
    return EncodeMonthMarks(shifted);
}
