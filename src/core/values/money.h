#pragma once

#include <QString>

// Money amounts are doubles in the main currency; these helpers round them to
// cents, convert them into the second currency and turn them into text and
// back with the regional money settings.

// Amount rounded to cents, half away from zero, judged on the amount's
// decimal text rounded at the fourth decimal (so 1.005, held as
// 1.00499999..., gives 1.01).
double RoundCents(double amount);
// Value rounded to a multiple of 1 / factor, half away from zero; factor 0
// returns value.
double RoundToFactor(double value, double factor);
// An amount of the main currency expressed in the second currency, in cents.
double ConvertToAltW(double amount);
// Money text in the regional currency format; index 0 and 1 carry the main
// currency's symbol, index 2 the second currency's. Other indexes raise.
QString FormatMoney(int index, double amount);
// A money text of the main currency as money text of the second currency.
QString MoneyStrToAltW(const QString& text);
// Money text in the regional notation to a number; 0.0 when not a number.
double MoneyStrToFloat(const QString& text);
// Money text in German notation ("1.234,56 DM") whatever the regional
// settings; 0.0 when not a number.
double MoneyStrToFloatDE(const QString& text);
