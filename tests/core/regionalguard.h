#pragma once

#include "core/settings/regionalsettings.h"
#include "core/values/currency.h"

// Puts German regional settings and the initial currency table in place for
// one test and restores what was there before.
class RegionalGuard {
public:
    explicit RegionalGuard(const RegionalSettings& settings = RegionalSettings::german())
        : m_saved(Regional()) {
        SetRegional(settings);
        ResetCurrencyTable();
    }
    ~RegionalGuard() {
        SetRegional(m_saved);
        ResetCurrencyTable();
    }
    RegionalGuard(const RegionalGuard&) = delete;
    RegionalGuard& operator=(const RegionalGuard&) = delete;

    // English separators ("1,234.56") with the given currency symbol.
    static RegionalSettings english(const QString& symbol) {
        RegionalSettings s = RegionalSettings::german();
        s.decimalSeparator = u'.';
        s.thousandSeparator = u',';
        s.currencyString = symbol;
        return s;
    }

private:
    RegionalSettings m_saved;
};
