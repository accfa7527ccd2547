#include "core/data/reportsource.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

TEST(ReportSource, ScopesPutBackWhatTheyFoundAlsoWhenAnErrorLeavesThem) {
    ASSERT_EQ(RgPrintSource, RgSourceInvoices);
    ASSERT_EQ(ReportDatabaseName, QStringLiteral("LumoDB"));
    try {
        RgPrintSourceScope templates(RgSourceTemplates);
        ReportDatabaseScope archive(QStringLiteral("AblageDB"));
        EXPECT_EQ(RgPrintSource, RgSourceTemplates);
        EXPECT_EQ(ReportDatabaseName, QStringLiteral("AblageDB"));
        throw std::runtime_error("Druck abgebrochen");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(RgPrintSource, RgSourceInvoices);
    EXPECT_EQ(ReportDatabaseName, QStringLiteral("LumoDB"));

    // A nested scope hands the outer scope's value back, not the default.
    {
        RgPrintSourceScope openItems(RgSourceOpenItems);
        {
            RgPrintSourceScope templates(RgSourceTemplates);
            EXPECT_EQ(RgPrintSource, RgSourceTemplates);
        }
        EXPECT_EQ(RgPrintSource, RgSourceOpenItems);
    }
    EXPECT_EQ(RgPrintSource, RgSourceInvoices);
}

} // namespace
