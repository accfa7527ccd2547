#include "core/messages/messagecatalog.h"
#include "core/regionalguard.h"
#include "core/values/currency.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

namespace {

RegionalSettings withSymbol(const QString& symbol) {
    RegionalSettings s = RegionalSettings::german();
    s.currencyString = symbol;
    return s;
}

struct Entry {
    const char* code;
    const char* name;
    const char* symbol;
    double rate;
};

void expectEntry(int index, const Entry& e) {
    const CurrDef& def = CurrTable()[index];
    EXPECT_EQ(def.Code, QString::fromUtf8(e.code)) << index;
    EXPECT_EQ(def.Name, QString::fromUtf8(e.name)) << index;
    EXPECT_EQ(def.Symbol, QString::fromUtf8(e.symbol)) << index;
    EXPECT_DOUBLE_EQ(def.Rate, e.rate) << index;
}

TEST(Currency, InitialTableHasDMAsMainCurrency) {
    RegionalGuard guard;
    expectEntry(1, {"DEM", " Deutsche Mark", "DM", 1.0});
    expectEntry(2, {"EUR", " Euro", "EUR", 1.95583});
}

TEST(Currency, DMRegionKeepsTheTable) {
    RegionalGuard guard(withSymbol(QStringLiteral("DM")));
    EXPECT_TRUE(IsWindowsCurrencyDM());
    InitCurrency();
    expectEntry(1, {"DEM", " Deutsche Mark", "DM", 1.0});
    expectEntry(2, {"EUR", " Euro", "EUR", 1.95583});
}

TEST(Currency, OtherRegionsRunInEurosWithTheRegionalSymbol) {
    for (const char* symbol : {"€", "EUR", "Fr.", "dm"}) {
        RegionalGuard guard(withSymbol(QString::fromUtf8(symbol)));
        EXPECT_FALSE(IsWindowsCurrencyDM());
        InitCurrency();
        expectEntry(1, {"EUR", " Euro", symbol, 1.0});
        expectEntry(2, {"DEM", " Deutsche Mark", "DM", 0.51129});
        // A second start-up switch changes nothing.
        InitCurrency();
        expectEntry(1, {"EUR", " Euro", symbol, 1.0});
        expectEntry(2, {"DEM", " Deutsche Mark", "DM", 0.51129});
    }
}

TEST(Currency, NamesAndSymbolsOfUnknownIndexes) {
    RegionalGuard guard;
    InitCurrency();
    EXPECT_EQ(GetCurrencyName(1), QStringLiteral(" Euro"));
    EXPECT_EQ(GetCurrencyName(2), QStringLiteral(" Deutsche Mark"));
    EXPECT_EQ(GetCurrencySymbol(1), QStringLiteral("€"));
    EXPECT_EQ(GetCurrencySymbol(2), QStringLiteral("DM"));
    EXPECT_EQ(GetCurrencyName(3), QStringLiteral("Unbekannte Währung [Index = 3]"));
    EXPECT_EQ(GetCurrencyName(-1), LoadMessage(65257) + QStringLiteral("-1]"));
    EXPECT_EQ(GetCurrencySymbol(0), QStringLiteral("?$?"));
    EXPECT_EQ(GetCurrencySymbol(3), QStringLiteral("?$?"));
}

TEST(Currency, TableIndexesOutsideOneAndTwoRaise) {
    RegionalGuard guard;
    for (int bad : {0, 3, -1})
        EXPECT_THROW(CurrTable()[bad], DbError) << bad;
}

TEST(Currency, SwapExchangesTheEntries) {
    RegionalGuard guard;
    SwapCurrencies();
    expectEntry(1, {"EUR", " Euro", "EUR", 1.95583});
    expectEntry(2, {"DEM", " Deutsche Mark", "DM", 1.0});
}

} // namespace
