#pragma once

#include <QString>
#include <array>

// One currency of the program: entry 1 of CurrTable is the currency of every
// amount held in the database, entry 2 the one shown beside totals.
struct CurrDef {
    QString Code;
    QString Name;   // display name with a leading blank
    QString Symbol; // shown with amounts
    double Rate;    // units of the main currency one unit of this one is worth
};

// Entries 1 and 2; any other index raises a range error.
class CurrencyTable {
public:
    CurrencyTable();
    const CurrDef& operator[](int index) const;
    CurrDef& operator[](int index);

private:
    std::array<CurrDef, 2> m_entries;
};

// The program-wide table, written only at start-up.
const CurrencyTable& CurrTable();

// Settles the main currency from the regional currency symbol: anything but
// "DM" makes the program run in euros with the regional symbol.
void InitCurrency();
// Exchanges entries 1 and 2.
void SwapCurrencies();
// Back to the contents before InitCurrency (main currency DM).
void ResetCurrencyTable();

QString GetCurrencyName(int index);
QString GetCurrencySymbol(int index);
bool IsWindowsCurrencyDM();

// The fixed conversion rate of the euro.
inline constexpr double kDmPerEuro = 1.95583;
