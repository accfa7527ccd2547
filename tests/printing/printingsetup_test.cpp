#include "core/settings/regionalsettings.h"
#include "core/values/money.h"
#include "platform/report/displaymask.h"
#include "printing/printingsetup.h"

#include <gtest/gtest.h>

namespace {

TEST(PrintingSetupTest, ReportsPrintInTheRegionalNotation) {
    RegionalSettings regional = RegionalSettings::german();
    regional.thousandSeparator = u'\'';
    SetRegional(regional);
    InstallReportFormatter();
    // Money without a mask in the program's money format, masks with the
    // regional separators.
    EXPECT_EQ(report::displayText(1234.5, table::FieldType::Currency, QString()),
              FormatMoney(1, 1234.5));
    EXPECT_EQ(report::formatFloat(1234.5, QStringLiteral("#,##0.00")), QStringLiteral("1'234,50"));
    EXPECT_EQ(report::formatDateTime(QDateTime(QDate(2024, 3, 5), QTime()),
                                     QStringLiteral("dd. mmmm yyyy")),
              QStringLiteral("05. März 2024"));
    report::resetValueFormatter();
    SetRegional(RegionalSettings::german());
}

} // namespace
