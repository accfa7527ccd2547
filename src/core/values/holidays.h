#pragma once

#include "core/values/packeddate.h"

#include <QString>
#include <array>

// The German public holidays of one year. Built on demand for the year asked
// about and kept until another year is asked for.
struct HolidayEntry {
    quint8 Day = 0;
    quint8 Month = 0;
    QString Name; // at most 20 characters
};

struct HolidayTable {
    static constexpr int kEntries = 20; // 12 used; the rest stay zero and never match
    std::array<HolidayEntry, kEntries> entries;
    int year = 0;
};

// Easter Sunday of Year (Gauss's formula).
TPackedDate CalcEasterDate(int year);
HolidayTable BuildHolidayTable(int year);

bool IsHoliday(int year, int month, int day);
// The holiday's name; "Unbekannter Feiertag" when the day is none.
QString GetHolidayName(int year, int month, int day);
