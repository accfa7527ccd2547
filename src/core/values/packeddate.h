#pragma once

#include "core/values/datetimevalue.h"

#include <QtGlobal>

// A calendar date whose parts can be changed one at a time. Day 0 (and the
// whole value 0) means no date. Deliberately without ordering: as a 32-bit
// word the day is the most significant byte, so comparing raw values is wrong.
struct TPackedDate {
    quint16 Year = 0;
    quint8 Month = 0;
    quint8 Day = 0;

    constexpr TPackedDate() = default;
    constexpr TPackedDate(quint16 year, quint8 month, quint8 day)
        : Year(year), Month(month), Day(day) {}

    // The 32-bit word as stored: Year in bits 0-15, Month 16-23, Day 24-31.
    constexpr quint32 raw() const {
        return quint32(Year) | (quint32(Month) << 16) | (quint32(Day) << 24);
    }
    static constexpr TPackedDate fromRaw(quint32 value) {
        return {quint16(value & 0xFFFF), quint8((value >> 16) & 0xFF), quint8(value >> 24)};
    }
    constexpr bool isNull() const { return raw() == 0; }
    friend constexpr bool operator==(TPackedDate, TPackedDate) = default;
};

static_assert(sizeof(TPackedDate) == 4, "a packed date is one 32-bit word");

bool IsValidPackedDate(TPackedDate p);
TPackedDate DateToPacked(TDateTime d);
// Midnight of P; 0.0 for every value that is not a usable date.
TDateTime PackedToDate(TPackedDate p);
qint32 PackedToDayNo(TPackedDate p);
TPackedDate DayNoToPacked(qint32 dayNo);

// Day steps; a date from 14.10.2173 on is not moved further, no date becomes
// 31.12.1899, and no step goes below day number 0.
void IncPackedDay(TPackedDate& p);
void DecPackedDay(TPackedDate& p);

// Month and year steps keep the day, cut to the length of the new month.
void IncPackedMonth(TPackedDate& p);
void IncPackedMonthEx(TPackedDate& p, bool toMonthEnd);
void DecPackedMonth(TPackedDate& p);
void IncPackedYear(TPackedDate& p);

// The same on date-time values; the time of day is dropped.
void IncMonthOfDate(TDateTime& d);
void DecMonthOfDate(TDateTime& d);
// D with its year replaced; 0.0 when that day does not exist in Year.
TDateTime SetYearOfDate(int year, TDateTime d);
TDateTime IncYearOfDate(TDateTime d);
TDateTime DecYearOfDate(TDateTime d);
