#include "printing/printingsetup.h"

#include "core/settings/regionalsettings.h"
#include "core/values/money.h"
#include "platform/report/displaymask.h"
#include "platform/report/reportreader.h"
#include "printing/listreport.h"

void InstallReportFormatter() {
    const RegionalSettings& regional = Regional();
    report::ValueFormatter formatter = report::ValueFormatter::plain();
    formatter.decimalSeparator = regional.decimalSeparator;
    formatter.thousandSeparator = regional.thousandSeparator;
    formatter.dateSeparator = regional.dateSeparator;
    if (regional.shortMonthNames.size() == 12)
        formatter.shortMonthNames = regional.shortMonthNames;
    if (regional.longMonthNames.size() == 12)
        formatter.longMonthNames = regional.longMonthNames;
    if (regional.shortDayNames.size() == 7)
        formatter.shortDayNames = regional.shortDayNames;
    if (regional.longDayNames.size() == 7)
        formatter.longDayNames = regional.longDayNames;
    formatter.money = [](double amount) { return FormatMoney(1, amount); };
    report::setValueFormatter(formatter);
}

void InitPrinting() {
    static const bool registered = [] {
        report::addReportDirectory(QStringLiteral(":/reports"));
        AddListDirectory(QStringLiteral(":/lists"));
        return true;
    }();
    Q_UNUSED(registered);
    InstallReportFormatter();
}
