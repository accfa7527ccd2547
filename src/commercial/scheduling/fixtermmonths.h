#pragma once

#include <QString>
#include <array>

// Fixed execution dates are kept per tour, object and activity as twelve
// month texts TF_Termine01 .. TF_Termine12 of 31 characters each: character
// d stands for day d of that calendar month (of whatever year is asked),
// "+" marks a date and anything else marks none.

inline constexpr int kFixTermDays = 31;

// Index d - 1 tells whether day d is marked.
using MonthMarks = std::array<bool, kFixTermDays>;

// The month texts of a row by calendar month (index 0 = January), as stored.
using FixTermMonths = std::array<QString, 12>;

// "TF_Termine" followed by the month in two digits; month 1 .. 12.
QString FixTermFieldName(int month);

// A stored text cut or filled with blanks to exactly 31 characters (null: 31 blanks).
QString PadMonthMarks(const QString& stored);
// Whether day (1 .. 31) is marked in a stored text of any length.
bool IsMarkedDay(const QString& stored, int day);
MonthMarks DecodeMonthMarks(const QString& stored);
// Always 31 characters: "+" for every marked day, "-" for every other one.
QString EncodeMonthMarks(const MonthMarks& marks);

// Months counted from January 2000 as 1: (year - 2000) * 12 + month.
int FixTermMonthIndex(int year, int month);
int YearOfFixTermMonth(int monthIndex);
int MonthOfFixTermMonth(int monthIndex);

// The marks of the month monthIndex carried to the same month one year
// later: each marked day moves to the same weekday in the same week of the
// month (days 1-7, 8-14, 15-21, from 22 on). A mark on a day the source
// month lacks counts for its last day.
QString ShiftFixTermMonth(int monthIndex, const QString& dayMarks);
