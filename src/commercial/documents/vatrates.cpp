#include "commercial/documents/vatrates.h"

#include "core/values/calendar.h"
#include "core/values/money.h"
#include "platform/table/table.h"

#include <algorithm>
#include <cmath>

namespace {

TDateTime DateOrEmpty(table::Field& field) {
    return field.isNull() ? EmptyDate : DateTimeOfDate(field.asDate());
}

} // namespace

TVatLookup LookupVatRate(const std::vector<TVatRateRow>& rows, int code, TDateTime date) {
    const TVatRateRow* best = nullptr;
    for (const TVatRateRow& row : rows) {
        if (row.Nr != code || !DateInRange(date, row.GueltigVon, row.GueltigBis))
            continue;
        if (!best || row.Id < best->Id)
            best = &row;
    }
    TVatLookup result;
    if (best) {
        result.Rate = best->Satz;
        result.Kurz = best->Kurz;
        result.Lang = best->Lang;
        result.Found = true;
    }
    return result;
}

double GetVatRateAt(const std::vector<TVatRateRow>& rows, int code, TDateTime date) {
    return LookupVatRate(rows, code, date).Rate;
}

std::array<double, 3> VatRatesAt(const std::vector<TVatRateRow>& rows, TDateTime date) {
    return {GetVatRateAt(rows, 0, date), GetVatRateAt(rows, 1, date), GetVatRateAt(rows, 2, date)};
}

double DefaultVatRate(const std::vector<TVatRateRow>& rows, TDateTime today) {
    return GetVatRateAt(rows, DefaultMwstKz, today);
}

int VatCodeOfRate(const std::vector<TVatRateRow>& rows, double rate, TDateTime date) {
    if (std::fabs(rate - GetVatRateAt(rows, 1, date)) < 0.001)
        return 1;
    if (std::fabs(rate - GetVatRateAt(rows, 2, date)) < 0.001)
        return 2;
    return 0;
}

double CalcVatAmount(double amount, double rate) {
    return RoundCents(amount * rate / 100.0);
}

TVatRateRow ReadVatRateRow(table::Table& tab) {
    TVatRateRow row;
    row.Id = tab.field(QStringLiteral("Mwst_ID")).asInteger();
    row.Nr = tab.field(QStringLiteral("Mwst_Nr")).asInteger();
    row.Kurz = tab.field(QStringLiteral("Mwst_Kurz")).asString();
    row.Lang = tab.field(QStringLiteral("Mwst_Lang")).asString();
    row.Satz = tab.field(QStringLiteral("Mwst_Satz")).asFloat();
    row.GueltigVon = DateOrEmpty(tab.field(QStringLiteral("Mwst_GueltigVon")));
    row.GueltigBis = DateOrEmpty(tab.field(QStringLiteral("Mwst_GueltigBis")));
    return row;
}

std::vector<TVatRateRow> ReadVatRateRows(table::Table& tab) {
    std::vector<TVatRateRow> rows;
    for (tab.first(); !tab.eof(); tab.next())
        rows.push_back(ReadVatRateRow(tab));
    std::stable_sort(rows.begin(), rows.end(),
                     [](const TVatRateRow& a, const TVatRateRow& b) { return a.Id < b.Id; });
    return rows;
}
