#pragma once

#include "core/values/datetimevalue.h"

#include <QString>
#include <array>
#include <vector>

namespace table {
class Table;
}

// VAT codes of document lines: 0 tax-free, 1 full rate, 2 reduced rate.
inline constexpr int DefaultMwstKz = 1;
// The rate used when no row of the rate table covers a date.
inline constexpr double FallbackVatRate = 16.0;

// One row of the VAT-rate table; both validity bounds are inclusive and an
// empty bound is open.
struct TVatRateRow {
    int Id = 0;
    int Nr = 0;
    QString Kurz;
    QString Lang;
    double Satz = 0.0;
    TDateTime GueltigVon = EmptyDate;
    TDateTime GueltigBis = EmptyDate;
};

struct TVatLookup {
    double Rate = FallbackVatRate;
    QString Kurz;
    QString Lang;
    bool Found = false;
};

// The first row (in Id order) of the code whose period covers Date.
TVatLookup LookupVatRate(const std::vector<TVatRateRow>& rows, int code, TDateTime date);
double GetVatRateAt(const std::vector<TVatRateRow>& rows, int code, TDateTime date);
// The rates of codes 0, 1 and 2 at Date.
std::array<double, 3> VatRatesAt(const std::vector<TVatRateRow>& rows, TDateTime date);
// Today's rate of the default code.
double DefaultVatRate(const std::vector<TVatRateRow>& rows, TDateTime today);
// 1 for the full rate at Date, 2 for the reduced one, else 0.
int VatCodeOfRate(const std::vector<TVatRateRow>& rows, double rate, TDateTime date);
// Amount x rate / 100 rounded to cents.
double CalcVatAmount(double amount, double rate);

// The current row of an open VAT-rate table.
TVatRateRow ReadVatRateRow(table::Table& tab);
// The rows of an open VAT-rate table in Id order; its cursor ends after the
// last row.
std::vector<TVatRateRow> ReadVatRateRows(table::Table& tab);
