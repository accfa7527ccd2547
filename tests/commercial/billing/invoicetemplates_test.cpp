#include "commercial/billing/invoicetemplates.h"
#include "commercial/bookingfixture.h"

#include <gtest/gtest.h>

namespace {

const QString kTpl = QStringLiteral("Rgvkopf.db");

// Object 700 prints 3 copies; object 800 has no copy count. Interval 94 has
// periods stored late-in-year first.
class InvoiceTemplates : public bookingtest::Bookings {
protected:
    void SetUp() override {
        Bookings::SetUp();
        auto objects = open(QStringLiteral("Objekte.DB"));
        ASSERT_TRUE(objects->locate({QStringLiteral("O_Nr")}, {700}));
        objects->edit();
        objects->field(QStringLiteral("O_KopienRG")).setValue(3);
        objects->post();
        addRow(kTpl, {{QStringLiteral("R_ID"), 1},
                      {QStringLiteral("R_Nr"), QStringLiteral("RV700_01")},
                      {QStringLiteral("R_ObjektNr"), 700},
                      {QStringLiteral("R_Drucke"), 0}});
        addRow(kTpl, {{QStringLiteral("R_ID"), 2},
                      {QStringLiteral("R_Nr"), QStringLiteral("RV700_02")},
                      {QStringLiteral("R_ObjektNr"), 700}});
        addRow(QStringLiteral("IvDefH.DB"),
               {{QStringLiteral("I_ID"), 91}, {QStringLiteral("I_DefNo"), 94}});
        addRow(QStringLiteral("IvDefH.DB"),
               {{QStringLiteral("I_ID"), 92}, {QStringLiteral("I_DefNo"), 95}});
        int id = 900;
        for (const QDate& d :
             {QDate(2001, 10, 1), QDate(2001, 4, 1), QDate(2001, 1, 1), QDate(2001, 7, 1)})
            addRow(QStringLiteral("IvDef.DB"), {{QStringLiteral("ID"), ++id},
                                                {QStringLiteral("Def"), 94},
                                                {QStringLiteral("CreateDate"), d}});
        addRow(QStringLiteral("IvDef.DB"), {{QStringLiteral("ID"), ++id},
                                            {QStringLiteral("Def"), 95},
                                            {QStringLiteral("CreateDate"), QDate(2000, 2, 29)}});
    }
};

TEST_F(InvoiceTemplates, CopyCounts) {
    EXPECT_EQ(CopiesOfObjekt(700), 3);
    EXPECT_EQ(CopiesOfObjekt(800), 1); // null
    EXPECT_EQ(CopiesOfObjekt(999), 1); // unknown
    EXPECT_EQ(CopiesForInvoice(700, QStringLiteral("RV700_01")), 0);
    EXPECT_EQ(CopiesForInvoice(700, QStringLiteral("RV700_02")), 0); // null prints none
    EXPECT_EQ(CopiesForInvoice(700, QStringLiteral("RV700_09")), 3);
    EXPECT_EQ(CopiesForInvoice(800, QStringLiteral("RV700_01")), 1);
}

TEST_F(InvoiceTemplates, NextPlanDate) {
    struct Case {
        int interval;
        QDate erstellt, druck, plan, today, expected;
    };
    const QDate none;
    const Case cases[] = {
        // The earliest period after the base, not the first one stored.
        {94, QDate(2024, 2, 10), none, none, QDate(2024, 2, 12), QDate(2024, 4, 1)},
        {94, QDate(2024, 2, 10), QDate(2024, 5, 3), none, QDate(2024, 2, 12), QDate(2024, 7, 1)},
        // Over the year end into the next year.
        {94, QDate(2024, 12, 1), none, none, QDate(2024, 12, 20), QDate(2025, 1, 1)},
        // On the base date is not after it.
        {94, QDate(2024, 10, 1), none, none, QDate(2024, 10, 1), QDate(2025, 1, 1)},
        // Before 2000 or empty: today is the base.
        {94, QDate(1999, 5, 5), none, none, QDate(2030, 3, 31), QDate(2030, 4, 1)},
        // Nothing before the limit: the date stays.
        {94, QDate(2031, 12, 2), none, QDate(2031, 6, 6), QDate(2024, 12, 20), QDate(2031, 6, 6)},
        // The day is cut to the length of the month.
        {95, QDate(2023, 1, 1), none, none, QDate(2023, 1, 1), QDate(2023, 2, 28)},
        // Unknown interval: nothing is written; interval 0: cleared.
        {99, QDate(2024, 1, 1), none, QDate(2020, 1, 1), QDate(2024, 1, 1), QDate(2020, 1, 1)},
        {0, QDate(2024, 1, 1), none, QDate(2020, 1, 1), QDate(2024, 1, 1), none},
    };
    auto tpl = open(kTpl);
    ASSERT_TRUE(tpl->locate({QStringLiteral("R_ID")}, {1}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.erstellt.toString().toStdString());
        tpl->edit();
        tpl->field(QStringLiteral("R_Intervall")).setValue(c.interval);
        tpl->field(QStringLiteral("R_DatumErstell")).setValue(c.erstellt);
        tpl->field(QStringLiteral("R_DatumDruck"))
            .setValue(c.druck.isValid() ? QVariant(c.druck) : QVariant());
        tpl->field(QStringLiteral("R_PlanDatum"))
            .setValue(c.plan.isValid() ? QVariant(c.plan) : QVariant());
        tpl->post();
        UpdateRgvPlanDatum(*tpl, c.today);
        if (tpl->isEditing())
            tpl->post();
        EXPECT_EQ(tpl->field(QStringLiteral("R_PlanDatum")).asDate(), c.expected);
    }
}

} // namespace
