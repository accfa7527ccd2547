#include "accountingfixture.h"
#include "datasafety/accounting/invoiceexporttable.h"
#include "datasafety/accounting/journalselection.h"

#include <cmath>

using namespace Qt::StringLiterals;
using accountingtest::AccountingFixture;

namespace {

const QDate kMarch1(2024, 3, 1), kMarch31(2024, 3, 31);

class InvoiceExportTableTest : public AccountingFixture {
protected:
    InvoiceExportTable build(const QDate& from = kMarch1, const QDate& to = kMarch31) {
        return BuildInvoiceExportTable(u"LumoDB"_s, from, to);
    }
    // The work table's rows as field name -> value, in X_ID order.
    QList<QVariantMap> rows(const InvoiceExportTable& work) {
        table::Table t(table::aliases::database(u"LumoDB"_s), work.table->name());
        t.open();
        QList<QVariantMap> result;
        for (t.first(); !t.eof() && !t.isEmpty(); t.next()) {
            QVariantMap row;
            for (int i = 0; i < t.fieldCount(); ++i)
                row.insert(t.field(i).name(), t.field(i).value());
            result << row;
        }
        return result;
    }
};

TEST_F(InvoiceExportTableTest, TheFieldsStandInTheirOrderWithAUniqueKey) {
    booking(1, 0, u"RE-1"_s, QDate(2024, 3, 5));
    const InvoiceExportTable work = build();
    ASSERT_EQ(work.count, 1);
    const table::TableDef def = table::aliases::database(u"LumoDB"_s)->tableDef(work.table->name());
    QStringList names;
    for (const table::FieldDef& f : def.fields)
        names << f.name;
    EXPECT_EQ(names, (QStringList{u"X_ID"_s,
                                  u"X_Bkz"_s,
                                  u"X_Nr"_s,
                                  u"X_NrNum"_s,
                                  u"X_KundenNr"_s,
                                  u"X_RgDatum"_s,
                                  u"X_Netto"_s,
                                  u"X_Netto1"_s,
                                  u"X_Netto2"_s,
                                  u"X_Brutto"_s,
                                  u"X_Brutto1"_s,
                                  u"X_Brutto2"_s,
                                  u"X_Mwst"_s,
                                  u"X_Mwst1"_s,
                                  u"X_Mwst2"_s,
                                  u"X_KontoNr"_s,
                                  u"X_Kostenstelle1"_s,
                                  u"X_Kostenstelle2"_s,
                                  u"X_Split"_s,
                                  u"X_StKz"_s,
                                  u"X_Skontotage1"_s,
                                  u"X_SkontoProz1"_s,
                                  u"X_SkontoProzInt1"_s,
                                  u"X_Skontotage2"_s,
                                  u"X_SkontoProz2"_s,
                                  u"X_SkontoProzInt2"_s,
                                  u"X_NettoTage"_s,
                                  u"X_Faelligdatum"_s,
                                  u"Y_Netto"_s,
                                  u"Y_Netto1"_s,
                                  u"Y_Netto2"_s,
                                  u"Y_Brutto"_s,
                                  u"Y_Brutto1"_s,
                                  u"Y_Brutto2"_s,
                                  u"Y_Mwst"_s,
                                  u"Y_Mwst1"_s,
                                  u"Y_Mwst2"_s}));
    EXPECT_EQ(def.fields.at(2).size, 20);
    // X_ID is the primary key: a second row of the same number is refused.
    table::Table t(table::aliases::database(u"LumoDB"_s), work.table->name());
    t.open();
    EXPECT_THROW(t.appendRecord({1}), table::TableError);
}

TEST_F(InvoiceExportTableTest, EveryFieldComesFromItsJournalField) {
    const QList<accountingtest::Field> amounts = {
        {u"R_Netto"_s, 150.0},         {u"R_Netto1"_s, 100.0},
        {u"R_Netto2"_s, 50.0},         {u"R_Brutto"_s, 172.5},
        {u"R_Brutto1"_s, 119.0},       {u"R_Brutto2"_s, 53.5},
        {u"R_Mwst"_s, 22.5},           {u"R_Mwst1"_s, 19.0},
        {u"R_Mwst2"_s, 3.5},           {u"R_FKontoNr"_s, 10100},
        {u"R_KKostenstelle1"_s, 11},   {u"R_KKostenstelle2"_s, 12},
        {u"R_ZahlbedTage"_s, 8},       {u"R_ZahlbedSkonto"_s, 2.5},
        {u"R_ZahlbedTage2"_s, 14},     {u"R_ZahlbedSkonto2"_s, 1.0},
        {u"R_ZahlbedNettoTage"_s, 30}, {u"R_FaelligDatum"_s, QDate(2024, 4, 4)}};
    booking(1, 0, u"RE-1"_s, QDate(2024, 3, 5), amounts);
    booking(2, 2, u"GS-1"_s, QDate(2024, 3, 6), amounts);
    const InvoiceExportTable work = build();
    ASSERT_EQ(work.count, 2);
    const QList<QVariantMap> r = rows(work);
    ASSERT_EQ(r.size(), 2);
    const struct {
        const char* field;
        QVariant invoice, creditNote;
    } expected[] = {
        {"X_ID", 1, 2},
        {"X_Bkz", 0, 2},
        {"X_Nr", u"RE-1"_s, u"GS-1"_s},
        {"X_NrNum", 10, 20},
        {"X_KundenNr", 101, 102},
        {"X_RgDatum", QDate(2024, 3, 5), QDate(2024, 3, 6)},
        {"X_Netto", 150.0, 150.0},
        {"X_Netto1", 100.0, 100.0},
        {"X_Netto2", 50.0, 50.0},
        {"X_Brutto", 172.5, 172.5},
        {"X_Brutto1", 119.0, 119.0},
        {"X_Brutto2", 53.5, 53.5},
        {"X_Mwst", 22.5, 22.5},
        {"X_Mwst1", 19.0, 19.0},
        {"X_Mwst2", 3.5, 3.5},
        {"X_KontoNr", 10100, 10100},
        {"X_Kostenstelle1", 11, 11},
        {"X_Kostenstelle2", 12, 12},
        {"X_Split", 1, 1},
        {"X_StKz", 0, 0},
        {"X_Skontotage1", 8, 8},
        {"X_SkontoProz1", 2.5, 2.5},
        {"X_SkontoProzInt1", 250, 250},
        {"X_Skontotage2", 14, 14},
        {"X_SkontoProz2", 1.0, 1.0},
        {"X_SkontoProzInt2", 100, 100},
        {"X_NettoTage", 30, 30},
        {"X_Faelligdatum", QDate(2024, 4, 4), QDate(2024, 4, 4)},
        // A credit note keeps its own amounts in X_ and is negative in Y_.
        {"Y_Netto", 150.0, -150.0},
        {"Y_Netto1", 100.0, -100.0},
        {"Y_Netto2", 50.0, -50.0},
        {"Y_Brutto", 172.5, -172.5},
        {"Y_Brutto1", 119.0, -119.0},
        {"Y_Brutto2", 53.5, -53.5},
        {"Y_Mwst", 22.5, -22.5},
        {"Y_Mwst1", 19.0, -19.0},
        {"Y_Mwst2", 3.5, -3.5},
    };
    for (const auto& e : expected) {
        const QString name = QString::fromLatin1(e.field);
        EXPECT_EQ(r[0].value(name), e.invoice) << e.field;
        EXPECT_EQ(r[1].value(name), e.creditNote) << e.field;
    }
}

TEST_F(InvoiceExportTableTest, EveryKindButTheOutgoingInvoiceIsNegativeAndZeroStaysPlain) {
    for (int kind = 0; kind <= 3; ++kind)
        booking(kind + 1, kind, u"B-%1"_s.arg(kind), QDate(2024, 3, 5), {{u"R_Netto2"_s, 0.0}});
    const QList<QVariantMap> r = rows(build());
    ASSERT_EQ(r.size(), 4);
    const double expected[] = {119.0, -119.0, -119.0, -119.0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(r[i].value(u"Y_Brutto"_s).toDouble(), expected[i]) << i;
        EXPECT_EQ(r[i].value(u"X_Brutto"_s).toDouble(), 119.0) << i;
        // No "-0,00" in a file: a zero is written as a plain zero.
        EXPECT_FALSE(std::signbit(r[i].value(u"Y_Netto2"_s).toDouble())) << i;
        EXPECT_FALSE(std::signbit(r[i].value(u"Y_Brutto2"_s).toDouble())) << i;
    }
}

TEST_F(InvoiceExportTableTest, SplitAndTaxMarkFollowTheVatCodesInUse) {
    const struct {
        QVariant brutto1, brutto2;
        int split, stkz;
    } cases[] = {
        {119.0, 53.5, 1, 0},                                  // both VAT codes
        {0.0, 53.5, 0, 0},                                    // only the reduced rate
        {119.0, 0.0, 0, 1},                                   // only the full rate
        {0.0, 0.0, 0, 0},     {QVariant(), QVariant(), 0, 0}, // a missing value reads as 0
        {-119.0, 53.5, 1, 0},
    };
    int id = 0;
    for (const auto& c : cases) {
        ++id;
        booking(id, 0, u"RE-%1"_s.arg(id), QDate(2024, 3, 5),
                {{u"R_Brutto1"_s, c.brutto1}, {u"R_Brutto2"_s, c.brutto2}});
    }
    const QList<QVariantMap> r = rows(build());
    ASSERT_EQ(r.size(), int(std::size(cases)));
    for (int i = 0; i < r.size(); ++i) {
        EXPECT_EQ(r[i].value(u"X_Split"_s).toInt(), cases[i].split) << i;
        EXPECT_EQ(r[i].value(u"X_StKz"_s).toInt(), cases[i].stkz) << i;
    }
}

TEST_F(InvoiceExportTableTest, DiscountRatesBecomeHundredthsRoundedToTheNearest) {
    const struct {
        QVariant rate;
        int hundredths;
    } cases[] = {{2.5, 250}, {3.0, 300}, {0.125, 13}, {1.994, 199}, {QVariant(), 0}, {-2.5, -250}};
    int id = 0;
    for (const auto& c : cases) {
        ++id;
        booking(id, 0, u"RE-%1"_s.arg(id), QDate(2024, 3, 5),
                {{u"R_ZahlbedSkonto"_s, c.rate}, {u"R_ZahlbedSkonto2"_s, c.rate}});
    }
    const QList<QVariantMap> r = rows(build());
    ASSERT_EQ(r.size(), int(std::size(cases)));
    for (int i = 0; i < r.size(); ++i) {
        EXPECT_EQ(r[i].value(u"X_SkontoProzInt1"_s).toInt(), cases[i].hundredths) << i;
        EXPECT_EQ(r[i].value(u"X_SkontoProzInt2"_s).toInt(), cases[i].hundredths) << i;
    }
}

TEST_F(InvoiceExportTableTest, TheMonthsUnexportedBookingsAreTakenAndMarked) {
    booking(1, 0, u"RE-FEB"_s, QDate(2024, 2, 29));
    booking(2, 0, u"RE-FIRST"_s, kMarch1);
    booking(3, 0, u"RE-LAST"_s, kMarch31);
    booking(4, 0, u"RE-APR"_s, QDate(2024, 4, 1));
    booking(5, 0, u"RE-DONE"_s, QDate(2024, 3, 9), {{u"R_Exported"_s, true}});
    booking(6, 3, u"ER-OHNE"_s, QDate());
    // A mark left by an earlier journal list is cleared.
    booking(7, 0, u"RE-ALT"_s, QDate(2024, 1, 9), {{u"R_Selected"_s, true}});
    const InvoiceExportTable work = build();
    ASSERT_EQ(work.count, 3);
    const QList<QVariantMap> r = rows(work);
    QStringList numbers;
    for (const QVariantMap& row : r)
        numbers << row.value(u"X_Nr"_s).toString();
    EXPECT_EQ(numbers, (QStringList{u"RE-FIRST"_s, u"RE-LAST"_s, u"ER-OHNE"_s}));
    EXPECT_EQ(journalWith(u"R_Selected"_s), numbers);
    // A booking without a print date gives the day zero.
    EXPECT_EQ(r[2].value(u"X_RgDatum"_s).toDate(), QDate(1899, 12, 30));
    EXPECT_EQ(r[2].value(u"X_Faelligdatum"_s).toDate(), QDate(1899, 12, 30));
    EXPECT_EQ(table::aliases::database(u"LumoDB"_s)->transactionDepth(), 0);
}

TEST_F(InvoiceExportTableTest, ABookingWithoutPrintDateIsOfferedInEveryMonthUntilExported) {
    booking(1, 0, u"RE-OHNE"_s, QDate());
    for (int month = 1; month <= 12; ++month) {
        const QDate first(2025, month, 1);
        const InvoiceExportTable work = build(first, first.addMonths(1).addDays(-1));
        EXPECT_EQ(work.count, 1) << month;
    }
    ClearJournalSelection(table::aliases::database(u"LumoDB"_s), true);
    EXPECT_EQ(build().count, 0);
}

TEST_F(InvoiceExportTableTest, OnlyMarksThatChangeAreWrittenAndNothingLeavesATable) {
    for (int id = 1; id <= 5; ++id)
        booking(id, 0, u"RE-%1"_s.arg(id), id <= 2 ? QDate(2024, 3, 5) : QDate(2024, 5, 5),
                {{u"R_Selected"_s, false}});
    const auto db = table::aliases::database(u"LumoDB"_s);
    quint64 before = db->tableWrites(u"RAListe"_s);
    EXPECT_EQ(build().count, 2);
    EXPECT_EQ(db->tableWrites(u"RAListe"_s) - before, 2u);
    before = db->tableWrites(u"RAListe"_s);
    EXPECT_EQ(build().count, 2);
    EXPECT_EQ(db->tableWrites(u"RAListe"_s), before);
    // Nothing in May: the two marks of March go, the rest stay as they are.
    before = db->tableWrites(u"RAListe"_s);
    const InvoiceExportTable none = build(QDate(2024, 6, 1), QDate(2024, 6, 30));
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.table, nullptr);
    EXPECT_EQ(db->tableWrites(u"RAListe"_s) - before, 2u);
    EXPECT_TRUE(journalWith(u"R_Selected"_s).isEmpty());
    EXPECT_TRUE(tmpprTables().isEmpty());
}

TEST_F(InvoiceExportTableTest, AFailureOnTheWayLeavesNoMarkAndNoWorkTable) {
    booking(1, 0, u"RE-1"_s, QDate(2024, 3, 5));
    booking(2, 0, u"RE-2"_s, QDate(2024, 3, 6), {{u"R_ZahlbedSkonto"_s, 1e300}});
    booking(3, 0, u"RE-ALT"_s, QDate(2024, 1, 9), {{u"R_Selected"_s, true}});
    EXPECT_THROW(build(), DbError);
    EXPECT_EQ(journalWith(u"R_Selected"_s), QStringList{u"RE-ALT"_s});
    EXPECT_TRUE(tmpprTables().isEmpty());
    EXPECT_EQ(table::aliases::database(u"LumoDB"_s)->transactionDepth(), 0);
}

TEST_F(InvoiceExportTableTest, AWorkTableThatCannotBeCreatedGivesMinusOne) {
    booking(1, 0, u"RE-1"_s, QDate(2024, 3, 5));
    const InvoiceExportTable work =
        BuildInvoiceExportTable(u"LumoDB"_s, kMarch1, kMarch31, [] { return u"raliste.db"_s; });
    EXPECT_EQ(work.count, -1);
    EXPECT_EQ(work.table, nullptr);
    EXPECT_TRUE(journalWith(u"R_Selected"_s).isEmpty());
}

TEST_F(InvoiceExportTableTest, MarkingAsksFirstAndClearsTheMarksEitherWay) {
    booking(1, 0, u"RE-1"_s, QDate(2024, 3, 5));
    booking(2, 0, u"RE-2"_s, QDate(2024, 3, 6));
    booking(3, 0, u"RE-APR"_s, QDate(2024, 4, 6));
    build();
    presenter.answers = {false};
    MarkExportedInvoices(u"LumoDB"_s);
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Question),
              QStringList{u"Sollen die übergebenen Rechnungen als exportiert markiert werden?"_s});
    EXPECT_TRUE(journalWith(u"R_Selected"_s).isEmpty());
    EXPECT_TRUE(journalWith(u"R_Exported"_s).isEmpty());
    build();
    presenter.answers = {true};
    MarkExportedInvoices(u"LumoDB"_s);
    EXPECT_TRUE(journalWith(u"R_Selected"_s).isEmpty());
    EXPECT_EQ(journalWith(u"R_Exported"_s), (QStringList{u"RE-1"_s, u"RE-2"_s}));
}

} // namespace
