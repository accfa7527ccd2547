#include "commercial/bookings/supplierturnover.h"
#include "core/data/recordrulesfixture.h"
#include "platform/errors.h"

#include <QDate>
#include <cmath>
#include <ostream>

namespace {

class SupplierTurnover : public datatest::RecordRules {
protected:
    void addSupplier(int nr, const QList<std::pair<QString, QVariant>>& more = {}) {
        QList<std::pair<QString, QVariant>> values{{QStringLiteral("K_ID"), nr},
                                                   {QStringLiteral("K_Nr"), nr}};
        values.append(more);
        addRow(QStringLiteral("Liefrnt.db"), values);
    }
    QVariant supplier(int nr, const char* field) {
        auto t = open(QStringLiteral("Liefrnt.db"));
        EXPECT_TRUE(t->locate({QStringLiteral("K_Nr")}, {nr}));
        return t->field(QString::fromLatin1(field)).value();
    }
    // The month turnover of the supplier; NaN when the row is missing.
    double month(int nr, int year, int month) {
        auto t = open(QStringLiteral("LUmsatz.db"));
        if (!t->locate(
                {QStringLiteral("U_Kunde"), QStringLiteral("U_Jahr"), QStringLiteral("U_Monat")},
                {nr, year, month}))
            return std::nan("");
        return t->field(QStringLiteral("U_Betrag")).asFloatOr(0);
    }
    int monthRows() { return open(QStringLiteral("LUmsatz.db"))->recordCount(); }
};

TEST_F(SupplierTurnover, TwoInvoicesRaiseTheSumsAndBookTheNetIntoTheirMonths) {
    addSupplier(20, {{QStringLiteral("K_UmsGesamt"), 10.0}});
    BookLieferantUmsatz(20, 100.0, 84.03, QDate(2026, 3, 15));
    BookLieferantUmsatz(20, 50.004, 42.02, QDate(2026, 4, 2));
    EXPECT_DOUBLE_EQ(supplier(20, "K_UmsGesamt").toDouble(), 160.0);
    EXPECT_DOUBLE_EQ(supplier(20, "K_Rechoffen").toDouble(), 150.0);
    EXPECT_DOUBLE_EQ(supplier(20, "K_UmsLetzt").toDouble(), 50.0);
    EXPECT_EQ(supplier(20, "K_UmsLetztDat").toDate(), QDate(2026, 4, 2));
    EXPECT_DOUBLE_EQ(month(20, 2026, 3), 84.03);
    EXPECT_DOUBLE_EQ(month(20, 2026, 4), 42.02);
    EXPECT_EQ(monthRows(), 12);
}

// What one booking of supplier 20 (which exists) or another leaves behind.
struct BookingCase {
    const char* name;
    int nr;
    double brutto, netto;
    double umsGesamt;  // of supplier 20; NaN: still empty
    double monthMarch; // NaN: no month row
};
void PrintTo(const BookingCase& c, std::ostream* os) {
    *os << c.name;
}

class BookingCases : public SupplierTurnover, public ::testing::WithParamInterface<BookingCase> {};

TEST_P(BookingCases, BookWhatTheCaseLeaves) {
    const BookingCase& c = GetParam();
    addSupplier(20);
    BookLieferantUmsatz(c.nr, c.brutto, c.netto, QDate(2026, 3, 15));
    const QVariant sum = supplier(20, "K_UmsGesamt");
    if (std::isnan(c.umsGesamt))
        EXPECT_TRUE(sum.isNull()) << sum.toDouble();
    else
        EXPECT_DOUBLE_EQ(sum.toDouble(), c.umsGesamt);
    const double m = month(c.nr, 2026, 3);
    if (std::isnan(c.monthMarch))
        EXPECT_TRUE(std::isnan(m)) << m;
    else
        EXPECT_DOUBLE_EQ(m, c.monthMarch);
}

const double kNone = std::nan("");

INSTANTIATE_TEST_SUITE_P(
    Bookings, BookingCases,
    ::testing::Values(BookingCase{"GrossRoundingToNothingBooksNothing", 20, 0.004, 5, kNone, kNone},
                      BookingCase{"ACreditKeepsItsSign", 20, -23.8, -20, -23.8, -20},
                      BookingCase{"SupplierZeroBooksNothing", 0, 100, 80, kNone, kNone},
                      BookingCase{"AnUnknownSupplierGetsOnlyTheMonth", 99, 100, 80, kNone, 80}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SupplierTurnover, ASupplierHeldElsewhereStillGetsTheMonthAndTheErrorReachesTheCaller) {
    addSupplier(20);
    {
        datatest::HeldElsewhere held(QStringLiteral("Liefrnt.db"), QStringLiteral("K_Nr"), 20);
        EXPECT_THROW(BookLieferantUmsatz(20, 119, 100, QDate(2026, 5, 1)), DbError);
    }
    EXPECT_DOUBLE_EQ(month(20, 2026, 5), 100.0);
    EXPECT_TRUE(supplier(20, "K_UmsGesamt").isNull());
}

TEST_F(SupplierTurnover, TheSupplierFormsRecordShowsTheNewSums) {
    addSupplier(20);
    addSupplier(21);
    table::Table& shared = this->shared(QStringLiteral("TabLieferant"));
    ASSERT_TRUE(shared.locate({QStringLiteral("K_Nr")}, {21}));
    BookLieferantUmsatz(20, 10, 8, QDate(2026, 3, 1));
    EXPECT_EQ(shared.field(QStringLiteral("K_Nr")).asInteger(), 21);
    ASSERT_TRUE(shared.locate({QStringLiteral("K_Nr")}, {20}));
    EXPECT_DOUBLE_EQ(shared.field(QStringLiteral("K_UmsGesamt")).asFloat(), 10.0);
}

} // namespace
