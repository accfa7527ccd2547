#include "core/values/holidays.h"

#include "core/messages/messagecatalog.h"
#include "core/values/rangeerrors.h"

#include <QDate>

namespace {
constexpr int kMaxNameLength = 20;

// Catalog numbers of the holiday names and of the national holiday's date.
enum : quint16 {
    kUnknownHoliday = 65256,
    kNewYear = 65265,
    kMayDay,
    kNationalHoliday,
    kChristmas1,
    kChristmas2,
    kEaster1,
    kEaster2,
    kGoodFriday,
    kWhitsun1,
    kWhitsun2,
    kAscension,
    kCorpusChristi,
    kNationalHolidayMonth = 65277,
    kNationalHolidayDay = 65278,
};

HolidayEntry entry(quint16 nameNumber, quint8 day, quint8 month) {
    return {day, month, LoadMessage(nameNumber).left(kMaxNameLength)};
}

// Easter offsets are counted in days, so they cross month ends.
HolidayEntry easterEntry(quint16 nameNumber, TPackedDate easter, int offset) {
    const QDate day = QDate(easter.Year, easter.Month, easter.Day).addDays(offset);
    return entry(nameNumber, quint8(day.day()), quint8(day.month()));
}

HolidayTable& cachedTable() {
    static HolidayTable table;
    return table;
}

const HolidayEntry* findHoliday(int year, int month, int day) {
    HolidayTable& table = cachedTable();
    if (table.year != year || year == 0)
        table = BuildHolidayTable(year);
    for (const HolidayEntry& e : table.entries) {
        if (e.Day != 0 && e.Day == day && e.Month == month)
            return &e;
    }
    return nullptr;
}
} // namespace

TPackedDate CalcEasterDate(int year) {
    if (year < 0 || year > 65535)
        RaiseRangeError();
    const int k = year / 100 - year / 400 + 4;
    const int m = k - year / 300 + 11;
    const int d = (19 * (year % 19) + m) % 30;
    const int e = (2 * (year % 4) + 4 * year + 6 * d + k) % 7;
    const int s = d + e;
    if (s <= 9)
        return {quint16(year), 3, quint8(s + 22)};
    int day = s - 9;
    if (day == 26)
        day = 19;
    else if (day == 25 && d == 28 && (11 * m + 11) % 30 < 19)
        day = 18;
    return {quint16(year), 4, quint8(day)};
}

HolidayTable BuildHolidayTable(int year) {
    HolidayTable table;
    table.year = year;
    const TPackedDate easter = CalcEasterDate(year);
    table.entries[0] = entry(kNewYear, 1, 1);
    table.entries[1] = entry(kMayDay, 1, 5);
    table.entries[2] = entry(kNationalHoliday, quint8(LoadMessage(kNationalHolidayDay).toInt()),
                             quint8(LoadMessage(kNationalHolidayMonth).toInt()));
    table.entries[3] = entry(kChristmas1, 25, 12);
    table.entries[4] = entry(kChristmas2, 26, 12);
    table.entries[5] = easterEntry(kEaster1, easter, 0);
    table.entries[6] = easterEntry(kEaster2, easter, 1);
    table.entries[7] = easterEntry(kGoodFriday, easter, -2);
    table.entries[8] = easterEntry(kWhitsun1, easter, 49);
    table.entries[9] = easterEntry(kWhitsun2, easter, 50);
    table.entries[10] = easterEntry(kAscension, easter, 39);
    table.entries[11] = easterEntry(kCorpusChristi, easter, 60);
    return table;
}

bool IsHoliday(int year, int month, int day) {
    return findHoliday(year, month, day) != nullptr;
}

QString GetHolidayName(int year, int month, int day) {
    const HolidayEntry* holiday = findHoliday(year, month, day);
    return holiday ? holiday->Name : LoadMessage(kUnknownHoliday);
}
