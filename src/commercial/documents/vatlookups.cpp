#include "commercial/documents/vatlookups.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

namespace {

TDateTime today() {
    return DateTimeOfDate(QDate::currentDate());
}

template <typename Work> auto onTabMwst(Work work) {
    table::Table& tab = DataModule1().TabMwst();
    OpenForCall open(tab);
    auto result = work(tab);
    open.close();
    return result;
}

} // namespace

TVatLookup LookupVatRateOn(table::Table& tabMwst, int code, TDateTime date) {
    for (tabMwst.first(); !tabMwst.eof(); tabMwst.next()) {
        const TVatLookup hit = LookupVatRate({ReadVatRateRow(tabMwst)}, code, date);
        if (hit.Found)
            return hit;
    }
    return {};
}

TVatLookup LookupVatRate(int code, TDateTime date) {
    return onTabMwst([&](table::Table& tab) { return LookupVatRateOn(tab, code, date); });
}

double GetVatRateAt(int code, TDateTime date) {
    return LookupVatRate(code, date).Rate;
}

int VatCodeOfRate(double rate, TDateTime date) {
    return onTabMwst(
        [&](table::Table& tab) { return VatCodeOfRate(ReadVatRateRows(tab), rate, date); });
}

std::array<double, 3> VatRatesAt(TDateTime date) {
    return onTabMwst([&](table::Table& tab) { return VatRatesAt(ReadVatRateRows(tab), date); });
}

double DefaultVatRate() {
    return onTabMwst(
        [](table::Table& tab) { return DefaultVatRate(ReadVatRateRows(tab), today()); });
}
