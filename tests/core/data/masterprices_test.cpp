#include "core/data/articleprices.h"
#include "core/data/recordrules.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/session.h"
#include "recordrulesfixture.h"

namespace {

using datatest::RecordRules;

double value(table::Table& t, const char* field) {
    return t.field(QString::fromLatin1(field)).asFloatOr(0);
}

table::Table& opened(table::Table& t) {
    if (!t.isOpen())
        t.open();
    t.refresh();
    return t;
}

// The company's yearly overheads and wage costs over its yearly hours give
// the rates every staff member carries; a stale record is left in edit with
// the new rates and its cost price, a current one is not touched.
TEST_F(RecordRules, StaffRatesFollowTheCompanyFiguresOnOpenAndScroll) {
    const struct {
        const char* name;
        double hours;
        double overhead, wages, wageExtras; // company per year
        bool rewritten;
        double rate, wageRate, costPrice;
    } cases[] = {
        {"stale rates", 1000, 4000, 5000, 1000, true, 4, 6, 25},
        {"rounded to cents", 3, 10, 1, 0, true, 3.33, 0.33, 18.66},
        {"rates already current", 1000, 3000, 3000, 1000, false, 3, 4, 0},
        {"no yearly hours", 0, 4000, 5000, 1000, false, 3, 4, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        table::aliases::database(datatest::kDb)->emptyTable(QStringLiteral("Personal.DB"));
        for (int id : {1, 2})
            addRow(QStringLiteral("Personal.DB"), {{QStringLiteral("P_ID"), id},
                                                   {QStringLiteral("P_Nr"), id},
                                                   {QStringLiteral("P_Bruttolohn"), 15.0},
                                                   {QStringLiteral("P_Gemeinkosten"), 3.0},
                                                   {QStringLiteral("P_LNebenkosten"), 4.0}});
        setCompanyField(QStringLiteral("F_StundenproJahr"), c.hours);
        setCompanyField(QStringLiteral("F_Gemeinkosten"), c.overhead);
        setCompanyField(QStringLiteral("F_Lohnkosten"), c.wages);
        setCompanyField(QStringLiteral("F_LNebenkosten"), c.wageExtras);
        table::Table& t = dm->TabPersonal();
        if (t.isOpen())
            t.close();
        t.open();
        for (int id : {1, 2}) {
            SCOPED_TRACE(id);
            if (id == 2) {
                if (t.isEditing())
                    t.post();
                t.next();
            }
            EXPECT_EQ(t.field(QStringLiteral("P_ID")).asInteger(), id);
            EXPECT_EQ(t.isEditing(), c.rewritten);
            EXPECT_DOUBLE_EQ(value(t, "P_Gemeinkosten"), c.rate);
            EXPECT_DOUBLE_EQ(value(t, "P_LNebenkosten"), c.wageRate);
            EXPECT_DOUBLE_EQ(value(t, "P_Einstandspreis"), c.costPrice);
        }
        if (t.isEditing())
            t.cancel();
    }
}

TEST_F(RecordRules, ArticlePriceAndMarkupFollowEachOther) {
    addRow(QStringLiteral("Artikel.DB"), {{QStringLiteral("A_ID"), 1},
                                          {QStringLiteral("A_ObjID"), 0},
                                          {QStringLiteral("A_ArtNo"), QStringLiteral("000001")},
                                          {QStringLiteral("A_Preis1"), 7.0}});
    table::Table& t = opened(dm->TabArtikel());
    ASSERT_FALSE(t.isEmpty());
    const struct {
        double ek, markup, expectedPrice;
    } prices[] = {
        {10, 25, 12.5},     {10.004, 50, 15}, // the purchase price counts in cents
        {3.33, 33.3, 4.44},                   // 4.43889 rounded
        {0, 25, 7},                           // no purchase price: the price stays
        {0.004, 25, 7},                       // less than a cent counts as none
    };
    for (const auto& c : prices) {
        SCOPED_TRACE(c.ek);
        t.edit();
        t.field(QStringLiteral("A_EkPreis")).setValue(c.ek);
        t.field(QStringLiteral("A_Aufschlag1")).setValue(c.markup);
        t.field(QStringLiteral("A_Preis1")).setValue(7.0);
        t.post();
        CalcArtikelPreis1();
        // A new price is left for the caller to post.
        EXPECT_EQ(t.isEditing(), c.expectedPrice != 7);
        EXPECT_DOUBLE_EQ(value(t, "A_Preis1"), c.expectedPrice);
        t.cancel();
    }
    const struct {
        double ek, price, expectedMarkup;
    } markups[] = {{10, 12.5, 25}, {8, 6, -25}, {0, 12, 0}, {10, 0, 0}};
    for (const auto& c : markups) {
        SCOPED_TRACE(c.price);
        t.edit();
        t.field(QStringLiteral("A_EkPreis")).setValue(c.ek);
        t.field(QStringLiteral("A_Preis1")).setValue(c.price);
        t.field(QStringLiteral("A_Aufschlag1")).setValue(99.0);
        CalcArtikelAufschlag1();
        EXPECT_NEAR(value(t, "A_Aufschlag1"), c.expectedMarkup, 1e-9);
        t.cancel();
    }
}

TEST_F(RecordRules, ArticlePricesNeedAnArticle) {
    table::Table& t = opened(dm->TabArtikel());
    ASSERT_TRUE(t.isEmpty());
    EXPECT_THROW(CalcArtikelPreis1(), DbError);
    EXPECT_THROW(CalcArtikelAufschlag1(), DbError);
    EXPECT_FALSE(t.isEditing()) << "an empty list gets no record";
}

// A failed article post shows the number message and puts the number the
// article had when last read back into the record, which stays in edit.
TEST_F(RecordRules, AFailedArticlePostSetsTheNumberBack) {
    addRow(QStringLiteral("Artikel.DB"), {{QStringLiteral("A_ID"), 1},
                                          {QStringLiteral("A_ObjID"), 0},
                                          {QStringLiteral("A_ArtNo"), QStringLiteral("000001")}});
    table::Table& t = opened(dm->TabArtikel());
    t.first();
    t.edit();
    // Typed while importing: the change rule does not take the number over.
    dm->SetImportRunning(true);
    t.field(QStringLiteral("A_ArtNo")).setValue(QStringLiteral("000777"));
    dm->SetImportRunning(false);
    // The row disappears underneath the edit.
    open(QStringLiteral("Artikel.DB"))->database()->emptyTable(QStringLiteral("Artikel.DB"));
    try {
        t.post();
        FAIL() << "posted a vanished row";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), NumberTakenShortText());
    }
    EXPECT_TRUE(t.isEditing());
    EXPECT_EQ(t.field(QStringLiteral("A_ArtNo")).asString(), QStringLiteral("000001"));
    t.cancel();
}

} // namespace
