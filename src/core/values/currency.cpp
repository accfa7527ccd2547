#include "core/values/currency.h"

#include "core/messages/messagecatalog.h"
#include "core/settings/regionalsettings.h"
#include "core/values/money.h"
#include "core/values/rangeerrors.h"

#include <utility>

namespace {

CurrencyTable& table() {
    static CurrencyTable currencies;
    return currencies;
}

} // namespace

CurrencyTable::CurrencyTable()
    : m_entries{{
          {QStringLiteral("DEM"), QStringLiteral(" Deutsche Mark"), QStringLiteral("DM"), 1.0},
          {QStringLiteral("EUR"), QStringLiteral(" Euro"), QStringLiteral("EUR"), kDmPerEuro},
      }} {}

const CurrDef& CurrencyTable::operator[](int index) const {
    if (index < 1 || index > 2)
        RaiseRangeError();
    return m_entries[std::size_t(index - 1)];
}

CurrDef& CurrencyTable::operator[](int index) {
    return const_cast<CurrDef&>(std::as_const(*this)[index]);
}

const CurrencyTable& CurrTable() {
    return table();
}

void SwapCurrencies() {
    std::swap(table()[1], table()[2]);
}

void ResetCurrencyTable() {
    table() = CurrencyTable();
}

void InitCurrency() {
    CurrencyTable& currencies = table();
    const QString& regionalSymbol = Regional().currencyString;
    if (regionalSymbol != u"DM" && currencies[1].Symbol == u"DM") {
        const double oldMainRate = currencies[1].Rate;
        const double oldSecondRate = currencies[2].Rate;
        SwapCurrencies();
        currencies[2].Rate = RoundToFactor(oldMainRate / oldSecondRate, 100000);
        currencies[1].Rate = 1.0;
    }
    if (currencies[1].Symbol == u"EUR")
        currencies[1].Symbol = regionalSymbol;
}

QString GetCurrencyName(int index) {
    if (index == 1 || index == 2)
        return CurrTable()[index].Name;
    return LoadMessage(65257) + QString::number(index) + u']';
}

QString GetCurrencySymbol(int index) {
    if (index == 1 || index == 2)
        return CurrTable()[index].Symbol;
    return QStringLiteral("?$?");
}

bool IsWindowsCurrencyDM() {
    return Regional().currencyString == u"DM";
}
