#include "commercial/billing/billingperiods.h"
#include "commercial/billing/defrgmodel.h"
#include "commercial/billing/generatedposnrs.h"
#include "commercial/billing/recurringmemo.h"

#include <gtest/gtest.h>

namespace {

QDate d(int day, int month, int year) {
    return QDate(year, month, day);
}

TEST(ShiftDateKeepMonthEnd, MovesForwardKeepingMonthEnds) {
    struct Case {
        int years;
        QDate from;
        QDate expected;
    };
    const Case cases[] = {
        {1, d(28, 2, 2023), d(29, 2, 2024)}, // the month's last day stays the last
        {1, d(29, 2, 2024), d(28, 2, 2025)},
        {2, d(28, 2, 2022), d(29, 2, 2024)},
        {1, d(27, 2, 2023), d(27, 2, 2024)},
        {23, d(31, 1, 2002), d(31, 1, 2025)},
        {22, d(30, 4, 2002), d(30, 4, 2024)},
        {3, d(15, 3, 2002), d(15, 3, 2005)},
        {0, d(28, 2, 2023), d(28, 2, 2023)},
        {-4, d(28, 2, 2023), d(28, 2, 2023)}, // never back
        {5, QDate(), QDate()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShiftDateKeepMonthEnd(c.years, c.from), c.expected)
            << c.years << " " << c.from.toString(u"dd.MM.yyyy").toStdString();
}

QList<TRgPeriod> monthly(int createDay, int year = 2002) {
    QList<TRgPeriod> periods;
    for (int m = 1; m <= 12; ++m) {
        const QDate start(year, m, 1);
        const QDate end = start.addDays(start.daysInMonth() - 1);
        const int day = std::min(createDay, start.daysInMonth());
        periods.append({m, start, end, end, QDate(year, m, day)});
    }
    return periods;
}

TEST(NextBillingPeriod, FindsTheEarliestMovedPeriodInTheRange) {
    struct Case {
        const char* name;
        QList<TRgPeriod> periods;
        QDate from, to, notBefore;
        QDate plan; // invalid: nothing found
    };
    TRgPeriod noCreation = monthly(25)[0];
    noCreation.CreateDate = QDate();
    const Case cases[] = {
        {"one month", monthly(25), d(1, 3, 2025), d(31, 3, 2025), {}, d(25, 3, 2025)},
        {"not in the range", monthly(25), d(1, 3, 2025), d(24, 3, 2025), {}, {}},
        {"on the start", monthly(25), d(25, 3, 2025), d(25, 3, 2025), {}, d(25, 3, 2025)},
        {"before Rg.nicht vor", monthly(25), d(1, 1, 2025), d(31, 12, 2025), d(1, 6, 2025),
         d(25, 6, 2025)},
        {"on Rg.nicht vor", monthly(25), d(1, 1, 2025), d(31, 12, 2025), d(25, 6, 2025),
         d(25, 6, 2025)},
        {"across New Year, 28th", monthly(28), d(29, 12, 2024), d(31, 1, 2025), {}, d(28, 1, 2025)},
        {"across New Year, month ends",
         monthly(31),
         d(15, 12, 2024),
         d(31, 1, 2025),
         {},
         d(31, 12, 2024)},
        {"a reference year after the range stays",
         monthly(25, 2026),
         d(1, 1, 2025),
         d(31, 12, 2025),
         {},
         {}},
        {"a reference year inside the range",
         monthly(25, 2026),
         d(1, 12, 2025),
         d(31, 1, 2026),
         {},
         d(25, 1, 2026)},
        {"month end into a leap year",
         monthly(31),
         d(1, 2, 2024),
         d(29, 2, 2024),
         {},
         d(29, 2, 2024)},
        {"no creation date is never found", {noCreation}, d(1, 1, 2024), d(31, 12, 2024), {}, {}},
        {"a reversed range finds nothing", monthly(25), d(31, 3, 2025), d(1, 3, 2025), {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto found = NextBillingPeriod(c.periods, c.from, c.to, c.notBefore);
        ASSERT_EQ(found.has_value(), c.plan.isValid());
        if (found) {
            EXPECT_EQ(found->PlanDate, c.plan);
        }
    }
}

TEST(NextBillingPeriod, MovesAllFourDatesTogether) {
    // A yearly invoice made at the end of the first reference year for the second one.
    const QList<TRgPeriod> yearly{
        {1, d(1, 1, 2003), d(31, 12, 2003), d(1, 1, 2003), d(28, 12, 2002)}};
    const auto found = NextBillingPeriod(yearly, d(1, 12, 2024), d(31, 12, 2024), {});
    ASSERT_TRUE(found);
    EXPECT_EQ(found->PlanDate, d(28, 12, 2024));
    EXPECT_EQ(found->BillDate, d(1, 1, 2025));
    EXPECT_EQ(found->RangeStart, d(1, 1, 2025));
    EXPECT_EQ(found->RangeEnd, d(31, 12, 2025));
    EXPECT_EQ(found->Text(), QStringLiteral("01.01.2025 - 31.12.2025"));

    // February's period created on 31 January: its end moves to a leap year's end.
    const QList<TRgPeriod> february{
        {1, d(1, 2, 2002), d(28, 2, 2002), d(28, 2, 2002), d(31, 1, 2002)}};
    const auto leap = NextBillingPeriod(february, d(1, 1, 2024), d(31, 1, 2024), {});
    ASSERT_TRUE(leap);
    EXPECT_EQ(leap->RangeEnd, d(29, 2, 2024));
    EXPECT_EQ(leap->BillDate, d(29, 2, 2024));
}

TEST(NextBillingPeriod, WalksARangeAcrossNewYearInDateOrder) {
    for (int createDay : {28, 31}) {
        SCOPED_TRACE(createDay);
        QList<QDate> plans;
        QDate from = d(15, 12, 2024);
        while (const auto p = NextBillingPeriod(monthly(createDay), from, d(31, 1, 2025), {})) {
            plans.append(p->PlanDate);
            from = p->PlanDate.addDays(1);
        }
        EXPECT_EQ(plans, (QList<QDate>{d(createDay, 12, 2024), d(createDay, 1, 2025)}));
    }
}

TEST(GeneratedPosNrs, TemplateNumbersStayAndDeliveryLinesFollow) {
    TGeneratedPosNrs numbers(1);
    EXPECT_EQ(numbers.TemplateLine(1000000), 1000000);
    EXPECT_EQ(numbers.TemplateLine(2), 2000000) << "normalised";
    EXPECT_EQ(numbers.TemplateLine(2000000), 3000000) << "not above the line before: appended";
    EXPECT_EQ(numbers.TemplateLine(0), 4000000) << "no number: appended";
    EXPECT_EQ(numbers.TemplateLine(7010000), 7010000);
    EXPECT_EQ(numbers.DeliveryLine(), 7020000) << "appended at the level of the line before";
    EXPECT_EQ(numbers.DeliveryLine(), 7030000);
}

TEST(GeneratedPosNrs, DeliveryLinesGoOneLevelDownPast99AndStartAtTheFirstNumber) {
    TGeneratedPosNrs numbers(98);
    EXPECT_EQ(numbers.DeliveryLine(), 98000000);
    EXPECT_EQ(numbers.DeliveryLine(), 99000000);
    EXPECT_EQ(numbers.DeliveryLine(), 99010000) << "past 99 one level down, never back to 1";
    EXPECT_EQ(numbers.DeliveryLine(), 99020000);
    for (int first : {0, -5}) {
        TGeneratedPosNrs fromOne(first);
        EXPECT_EQ(fromOne.DeliveryLine(), 1000000);
    }
    TGeneratedPosNrs full(1);
    EXPECT_EQ(full.TemplateLine(99999999), 99999999);
    EXPECT_EQ(full.DeliveryLine(), -1) << "no number left";
    EXPECT_EQ(full.TemplateLine(5), -1);
}

TEST(RecurringMemo, LinesAreFormattedForAFixedPitchMemo) {
    EXPECT_EQ(RecurringMemoHeader(),
              QStringLiteral("ObjNr Formular     Rg-Datum   Plandatum        Betrag Zeitraumtext"));
    const QString start =
        RecurringMemoLineStart(42, QStringLiteral("RV42_01"), d(31, 3, 2025), d(25, 3, 2025));
    EXPECT_EQ(start, QStringLiteral("   42 RV42_01      31.03.2025 25.03.2025 "));
    EXPECT_EQ(RecurringMemoLineStart(123456, QStringLiteral("EINE_SEHR_LANGE_NUMMER"),
                                     d(1, 1, 2025), d(1, 1, 2025)),
              QStringLiteral("123456 EINE_SEHR_LAN01.01.2025 01.01.2025 "));
    EXPECT_EQ(RecurringMemoMade(119.0, QStringLiteral("01.03.2025 - 31.03.2025")),
              QStringLiteral("    119,00 € 01.03.2025 - 31.03.2025"));
    EXPECT_EQ(RecurringMemoExists(1234.5), QStringLiteral("  1.234,50 € (bereits vorhanden)"));
    EXPECT_EQ(RecurringMemoEmpty(0.0), QStringLiteral("      0,00 € (leer, nicht erstellt)"));
    EXPECT_EQ(RecurringMemoPlanTotal(238.0),
              QStringLiteral("238,00 € (Gesamt-Bruttosumme)").rightJustified(74));
    EXPECT_EQ(RecurringCountText(7), QStringLiteral("  7 Rechnungen erstellt."));
    EXPECT_EQ(RecurringSummaryText(1234), QStringLiteral("1234 Rechnungen erstellt."));
    // The columns line up under the header.
    EXPECT_EQ(RecurringMemoHeader().indexOf(QStringLiteral("Betrag")) + 6,
              QString(start + RecurringMemoAmount(1.0)).size());
}

} // namespace
