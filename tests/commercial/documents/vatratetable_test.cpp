#include "commercial/documents/vatrates.h"
#include "core/data/clientdbfixture.h"
#include "platform/table/table.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

using VatRateTable = datatest::ClientDbFixture;

TDateTime D(int y, int m, int d) {
    return DateTimeOfDate(QDate(y, m, d));
}

TEST_F(VatRateTable, NewClientRatesChangeOnTheFirstOf2007) {
    auto tab = open(QStringLiteral("MwstSatz.DB"));
    const std::vector<TVatRateRow> rows = ReadVatRateRows(*tab);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(VatRatesAt(rows, D(2006, 12, 31)), (std::array<double, 3>{0.0, 16.0, 7.0}));
    EXPECT_EQ(VatRatesAt(rows, D(2007, 1, 1)), (std::array<double, 3>{0.0, 19.0, 7.0}));
    EXPECT_EQ(LookupVatRate(rows, 1, D(2007, 1, 1)).Kurz, QStringLiteral("Mwst 19 %"));
}

TEST_F(VatRateTable, EmptyBoundIsOpenAndRowsComeInKeyOrder) {
    addRow(QStringLiteral("MwstSatz.DB"), {{QStringLiteral("Mwst_ID"), 5},
                                           {QStringLiteral("Mwst_Nr"), 2},
                                           {QStringLiteral("Mwst_Satz"), 5.0},
                                           {QStringLiteral("Mwst_GueltigVon"), QDate(2101, 1, 1)}});
    auto tab = open(QStringLiteral("MwstSatz.DB"));
    const std::vector<TVatRateRow> rows = ReadVatRateRows(*tab);
    ASSERT_EQ(rows.size(), 5u);
    for (std::size_t i = 1; i < rows.size(); ++i)
        EXPECT_LT(rows[i - 1].Id, rows[i].Id);
    EXPECT_EQ(rows.back().GueltigBis, EmptyDate);
    EXPECT_DOUBLE_EQ(GetVatRateAt(rows, 2, D(2100, 12, 31)), 7.0);
    EXPECT_DOUBLE_EQ(GetVatRateAt(rows, 2, D(3000, 1, 1)), 5.0);
}

} // namespace
