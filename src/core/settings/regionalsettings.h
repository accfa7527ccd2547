#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// The regional settings the conversions and calendar helpers use. One
// process-wide instance, German by default and replaceable, so results never
// depend on the machine's locale.
struct RegionalSettings {
    QChar decimalSeparator = u',';
    QChar thousandSeparator = u'.';
    QString currencyString = QStringLiteral("€");
    int currencyDecimals = 2;
    // Placement of the currency symbol as the Windows settings number it:
    // 0 "€1", 1 "1€", 2 "€ 1", 3 "1 €".
    int currencyFormat = 3;
    // Negative amounts, Windows numbering; 8 is "-1 €".
    int negCurrFormat = 8;
    QChar dateSeparator = u'.';
    QChar timeSeparator = u':';
    QString shortDateFormat = QStringLiteral("dd.MM.yyyy");
    QString longDateFormat = QStringLiteral("dddd, d. MMMM yyyy");
    QString shortTimeFormat = QStringLiteral("hh:mm");
    QString longTimeFormat = QStringLiteral("hh:mm:ss");
    QStringList shortDayNames;   // Sunday first, 7 entries
    QStringList longDayNames;    // Sunday first, 7 entries
    QStringList shortMonthNames; // January first, 12 entries
    QStringList longMonthNames;  // January first, 12 entries

    static RegionalSettings german();
};

const RegionalSettings& Regional();
void SetRegional(const RegionalSettings& settings);

// The formats the start-up fixes for the run: short date "dd.MM.yyyy", short
// time "hh:mm", and the long time format the same as the short one, so that
// times show no seconds.
void ApplyStartupFormats();
