#include "commercial/bookingfixture.h"
#include "commercial/bookings/costbookings.h"
#include "core/data/datamodule.h"
#include "core/messages/messages.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <gtest/gtest.h>
#include <ostream>

namespace {

using bookingtest::kKostartPersonal;
using bookingtest::kKostartRubrik1;
using bookingtest::kKostartWaren;
using datatest::HeldElsewhere;

const QDate kDay(2026, 3, 15);

class CostBookings : public bookingtest::Bookings {
protected:
    // The article's costs in the month of kDay.
    double articleCosts(int artikelId) {
        auto t = open(QStringLiteral("AUmsatz.DB"));
        if (!t->locate({QStringLiteral("U_ArtikelID"), QStringLiteral("U_Jahr"),
                        QStringLiteral("U_Monat")},
                       {artikelId, kDay.year(), kDay.month()}))
            return -1;
        return t->field(QStringLiteral("U_Kosten")).asFloatOr(0);
    }
    double sum(const char* file, int kostart, int objektId, const char* field, int periode = 2) {
        return kostSum(file, kostart, objektId, field, kDay, periode);
    }
};

// Which amounts of a cost type go into the stock column and to the customer.
struct KostSumCase {
    const char* name;
    int kostart;
    double bestandInRows; // of a booking of Zugang 10, Bestand 4, Erloes 1
    double customerCosts;
};
// Shown by the test runner in place of the raw bytes.
void PrintTo(const KostSumCase& c, std::ostream* os) {
    *os << c.name;
}

class KostSumCases : public CostBookings, public ::testing::WithParamInterface<KostSumCase> {};

TEST_P(KostSumCases, BookTwelveRowsAndTheCustomersCosts) {
    const KostSumCase& c = GetParam();
    BookKostSum(7, c.kostart, kDay, 10, 4, 1);

    EXPECT_EQ(rowCount(QStringLiteral("KostSumH.db")), 9);
    EXPECT_EQ(rowCount(QStringLiteral("KostSumD.db")), 3);
    for (int periode : {0, 1, 2}) {
        SCOPED_TRACE(periode);
        const std::pair<const char*, std::pair<int, int>> rows[] = {
            {"KostSumH.db", {-1, -1}},
            {"KostSumH.db", {c.kostart, -1}},
            {"KostSumH.db", {-1, 7}},
            {"KostSumD.db", {c.kostart, 7}},
        };
        for (const auto& [file, key] : rows) {
            EXPECT_DOUBLE_EQ(sum(file, key.first, key.second, "K_Zugang", periode), 10);
            EXPECT_DOUBLE_EQ(sum(file, key.first, key.second, "K_Bestand", periode),
                             c.bestandInRows);
            EXPECT_DOUBLE_EQ(sum(file, key.first, key.second, "K_Erloes", periode), 1);
            EXPECT_EQ(sum(file, key.first, key.second, "K_ObjektNr", periode), 700);
            EXPECT_EQ(sum(file, key.first, key.second, "K_Periode", periode), periode);
        }
    }
    EXPECT_DOUBLE_EQ(customerCosts(100, kDay), c.customerCosts);

    // A second booking adds to the same rows.
    BookKostSum(7, c.kostart, kDay, 5, 2, 0);
    EXPECT_EQ(rowCount(QStringLiteral("KostSumH.db")), 9);
    EXPECT_DOUBLE_EQ(sum("KostSumD.db", c.kostart, 7, "K_Zugang"), 15);
    EXPECT_DOUBLE_EQ(sum("KostSumD.db", c.kostart, 7, "K_Bestand"), c.bestandInRows * 1.5);
}

INSTANTIATE_TEST_SUITE_P(Cases, KostSumCases,
                         ::testing::Values(KostSumCase{"Ordinary", kKostartWaren, 4, 6},
                                           KostSumCase{"Overhead", kKostartPersonal, 0, 10},
                                           KostSumCase{"Section1", kKostartRubrik1, 0, 10}),
                         [](const ::testing::TestParamInfo<KostSumCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(CostBookings, AnotherObjectAddsToTheSharedRowsAndGetsItsOwn) {
    BookKostSum(7, kKostartWaren, kDay, 10, 0, 0);
    BookKostSum(8, kKostartWaren, kDay.addDays(3), 20, 0, 0);
    EXPECT_EQ(rowCount(QStringLiteral("KostSumH.db")), 12);
    EXPECT_EQ(rowCount(QStringLiteral("KostSumD.db")), 6);
    EXPECT_DOUBLE_EQ(sum("KostSumH.db", -1, -1, "K_Zugang"), 30);
    EXPECT_DOUBLE_EQ(sum("KostSumH.db", kKostartWaren, -1, "K_Zugang", 0), 30);
    EXPECT_DOUBLE_EQ(sum("KostSumH.db", -1, 7, "K_Zugang"), 10);
    EXPECT_DOUBLE_EQ(sum("KostSumD.db", kKostartWaren, 8, "K_Zugang", 1), 20);
    EXPECT_EQ(sum("KostSumH.db", -1, -1, "K_ObjektNr"), 800); // the last object touched
    // Another month of the year: only the month rows are new.
    BookKostSum(7, kKostartWaren, QDate(2026, 4, 1), 1, 0, 0);
    EXPECT_EQ(rowCount(QStringLiteral("KostSumH.db")), 15);
    EXPECT_DOUBLE_EQ(sum("KostSumH.db", -1, -1, "K_Zugang", 1), 31);
}

TEST_F(CostBookings, CostTypeFlagsAndTheCountedOpen) {
    EXPECT_TRUE(IsPersonalKostart(kKostartPersonal));
    EXPECT_FALSE(IsPersonalKostart(kKostartWaren));
    EXPECT_FALSE(IsPersonalKostart(4242));
    EXPECT_TRUE(IsRubrik1Kostart(kKostartRubrik1));
    EXPECT_FALSE(IsRubrik1Kostart(kKostartWaren));
    EXPECT_FALSE(IsRubrik1Kostart(4242));

    // Nested opens close the tables with the last close only.
    OpenKostSumTables();
    BookKostSum(7, kKostartWaren, kDay, 1, 0, 0);
    EXPECT_TRUE(dm->TabKostH().isOpen());
    EXPECT_TRUE(dm->TabKostD().isOpen());
    CloseKostSumTables();
    EXPECT_FALSE(dm->TabKostH().isOpen());
    EXPECT_FALSE(dm->TabKostD().isOpen());
    // Tables that were open before stay open, and see rows posted meanwhile.
    dm->TabKostH().open();
    BookKostSum(8, kKostartWaren, kDay, 1, 0, 0);
    EXPECT_TRUE(dm->TabKostH().isOpen());
    EXPECT_FALSE(dm->TabKostD().isOpen());
    EXPECT_EQ(rowCount(QStringLiteral("KostSumH.db")), 12);
}

TEST_F(CostBookings, AFailingRowLeavesAllSumsAsTheyWere) {
    BookKostSum(7, kKostartWaren, kDay, 10, 0, 0);
    auto d = open(QStringLiteral("KostSumD.db"));
    ASSERT_TRUE(d->locate({QStringLiteral("K_Jahr"), QStringLiteral("K_Monat")}, {2026, 3}));
    const int monthRow = d->field(QStringLiteral("K_ID")).asInteger();
    {
        HeldElsewhere held(QStringLiteral("KostSumD.db"), QStringLiteral("K_ID"), monthRow);
        EXPECT_ANY_THROW(BookKostSum(7, kKostartWaren, kDay, 5, 0, 0));
    }
    EXPECT_DOUBLE_EQ(sum("KostSumH.db", -1, -1, "K_Zugang", 0), 10);
    EXPECT_DOUBLE_EQ(sum("KostSumD.db", kKostartWaren, 7, "K_Zugang", 0), 10);
    EXPECT_DOUBLE_EQ(customerCosts(100, kDay), 10);
}

TEST_F(CostBookings, CostEntryIsRecordedAndBookedAsStock) {
    const int id = AddKostenEntry(QStringLiteral("4711"), 1, 7, kDay, 3, 6, kKostartWaren, true);
    ASSERT_GT(id, 0);
    const auto kosten = [&](const char* field) {
        return valueOf(QStringLiteral("Kosten.db"), QStringLiteral("K_ID"), id,
                       QString::fromLatin1(field));
    };
    EXPECT_EQ(kosten("K_Datum").toDate(), kDay);
    EXPECT_DOUBLE_EQ(kosten("K_Menge").toDouble(), 3);
    EXPECT_DOUBLE_EQ(kosten("K_Betrag").toDouble(), 6);
    EXPECT_EQ(kosten("K_ArtNo").toString(), QStringLiteral("4711"));
    EXPECT_EQ(kosten("K_MatID").toInt(), 1);
    EXPECT_EQ(kosten("K_ObjID").toInt(), 7);
    EXPECT_EQ(kosten("K_KostArt").toInt(), kKostartWaren);
    EXPECT_DOUBLE_EQ(sum("KostSumD.db", kKostartWaren, 7, "K_Zugang"), 6);
    EXPECT_DOUBLE_EQ(sum("KostSumD.db", kKostartWaren, 7, "K_Bestand"), 6);
    EXPECT_DOUBLE_EQ(customerCosts(100, kDay), 0); // goods into stock cost the customer nothing
    EXPECT_DOUBLE_EQ(articleCosts(1), 6);
    EXPECT_FALSE(dm->TabKosten().isOpen());

    // Without write only the sums move.
    EXPECT_EQ(AddKostenEntry(QString(), 0, 7, kDay, 1, 4, kKostartPersonal, false), 0);
    EXPECT_EQ(rowCount(QStringLiteral("Kosten.db")), 1);
    EXPECT_DOUBLE_EQ(customerCosts(100, kDay), 4);

    DeleteKostenEntry(id);
    EXPECT_EQ(rowCount(QStringLiteral("Kosten.db")), 0);
    EXPECT_DOUBLE_EQ(articleCosts(1), 0);
    EXPECT_DOUBLE_EQ(sum("KostSumD.db", kKostartWaren, 7, "K_Zugang"), 0);
    EXPECT_DOUBLE_EQ(sum("KostSumD.db", kKostartWaren, 7, "K_Bestand"), 0);
    DeleteKostenEntry(id); // gone: nothing happens
    DeleteKostenEntry(0);
    EXPECT_DOUBLE_EQ(sum("KostSumH.db", -1, -1, "K_Zugang"), 4);
}

TEST_F(CostBookings, MonthTurnoverCreatesTheYearAndRoundsToCents) {
    const QString file = QStringLiteral("LUmsatz.db");
    BookMonthUmsatz(55, QStringLiteral("LumoDB"), file, 10.004, 3, true, kDay);
    EXPECT_EQ(rowCount(file), 12);
    auto t = open(file);
    ASSERT_TRUE(t->locate({QStringLiteral("U_Kunde"), QStringLiteral("U_Monat")}, {55, 3}));
    EXPECT_DOUBLE_EQ(t->field(QStringLiteral("U_Betrag")).asFloat(), 10.0);
    BookMonthUmsatz(55, QStringLiteral("LumoDB"), file, -9.997, 0, true, kDay);
    BookMonthUmsatz(55, QStringLiteral("LumoDB"), file, 1, 0, true, QDate(2026, 7, 1));
    EXPECT_EQ(rowCount(file), 12);
    t->refresh();
    ASSERT_TRUE(t->locate({QStringLiteral("U_Kunde"), QStringLiteral("U_Monat")}, {55, 3}));
    EXPECT_EQ(t->field(QStringLiteral("U_Betrag")).asFloat(), 0.0);
    // With costs on a customer table.
    BookMonthUmsatz(100, QStringLiteral("LumoDB"), QStringLiteral("KUmsatz.DB"), 0, 2.345, false,
                    kDay);
    EXPECT_DOUBLE_EQ(customerCosts(100, kDay), 2.35);
}

// Incoming-invoice lines.
class IncomingInvoiceLines : public CostBookings {
protected:
    void SetUp() override {
        CostBookings::SetUp();
        addRow(QStringLiteral("ERkopf.DB"), {{QStringLiteral("R_ID"), 1},
                                             {QStringLiteral("R_Nr"), QStringLiteral("ER-17")},
                                             {QStringLiteral("R_DatumErstell"), kDay}});
    }
    void addLine(const QList<std::pair<QString, QVariant>>& values) {
        QList<std::pair<QString, QVariant>> all{{QStringLiteral("S_ID"), 11},
                                                {QStringLiteral("S_Ref"), 1}};
        all.append(values);
        addRow(QStringLiteral("ERsatz.db"), all);
        positionLine(dm->TabERKopf(), dm->TabERSatz(), 1, 11);
    }
    table::Table& line() { return dm->TabERSatz(); }
    void post() {
        BookERSatzKosten(*dm, false);
        line().post();
    }
    void remove() {
        BookERSatzKosten(*dm, true);
        line().deleteRecord();
    }
    void addService(int id, int gebucht) {
        addRow(QStringLiteral("FremdLst.db"), {{QStringLiteral("S_ID"), id},
                                               {QStringLiteral("S_ObjID"), 7},
                                               {QStringLiteral("S_Netto"), 50.0},
                                               {QStringLiteral("S_Gebucht"), gebucht}});
    }
    // A cost line of object 7 booked before: its cost entry 5 and service 9.
    void addBookedServiceLine(int gebucht) {
        addService(9, gebucht);
        const int kostId = AddKostenEntry(QString(), 0, 7, kDay, 1, 50, kKostartWaren, true);
        addLine({{QStringLiteral("S_ObjID"), 7},
                 {QStringLiteral("S_Menge"), 1.0},
                 {QStringLiteral("S_Netto"), 50.0},
                 {QStringLiteral("S_KostArt"), kKostartWaren},
                 {QStringLiteral("S_KostID"), kostId},
                 {QStringLiteral("S_FremdID"), 9},
                 {QStringLiteral("S_OldObjID"), 7},
                 {QStringLiteral("S_OldMenge"), 1.0},
                 {QStringLiteral("S_OldNetto"), 50.0},
                 {QStringLiteral("S_OldFremdID"), 9}});
    }
    int lineInt(const char* field) {
        return line().field(QString::fromLatin1(field)).asIntegerOr(0);
    }
};

TEST_F(IncomingInvoiceLines, CostLineOfAnObjectBringsInAnExternalService) {
    addLine({{QStringLiteral("S_ObjID"), 7},
             {QStringLiteral("S_Kurztext"), QStringLiteral("Glasreinigung")},
             {QStringLiteral("S_Menge"), 2.0},
             {QStringLiteral("S_Netto"), 50.0},
             {QStringLiteral("S_KostArt"), kKostartWaren}});
    post();

    const int fremdId = lineInt("S_FremdID");
    ASSERT_GT(fremdId, 0);
    const auto service = [&](const char* field) {
        return valueOf(QStringLiteral("FremdLst.db"), QStringLiteral("S_ID"), fremdId,
                       QString::fromLatin1(field));
    };
    EXPECT_EQ(service("R_Nr").toString(), QStringLiteral("ER-17"));
    EXPECT_EQ(service("S_Kurztext").toString(), QStringLiteral("Glasreinigung"));
    EXPECT_DOUBLE_EQ(service("S_Netto").toDouble(), 50);
    EXPECT_EQ(service("S_ObjID").toInt(), 7);
    const int kostId = lineInt("S_KostID");
    ASSERT_GT(kostId, 0);
    EXPECT_EQ(valueOf(QStringLiteral("Kosten.db"), QStringLiteral("K_ID"), kostId,
                      QStringLiteral("K_Datum"))
                  .toDate(),
              kDay);
    EXPECT_DOUBLE_EQ(sum("KostSumD.db", kKostartWaren, 7, "K_Zugang"), 50);
    EXPECT_EQ(lineInt("S_OldFremdID"), fremdId);
    EXPECT_EQ(lineInt("S_OldMwstKz"), 1); // the default VAT code for a line without one
    EXPECT_DOUBLE_EQ(line().field(QStringLiteral("S_OldNetto")).asFloat(), 50);

    // Posting again rewrites the service and replaces the cost entry.
    line().edit();
    line().field(QStringLiteral("S_Netto")).setValue(60.0);
    post();
    EXPECT_EQ(lineInt("S_FremdID"), fremdId);
    EXPECT_DOUBLE_EQ(service("S_Netto").toDouble(), 60);
    EXPECT_EQ(rowCount(QStringLiteral("Kosten.db")), 1);
    EXPECT_DOUBLE_EQ(sum("KostSumD.db", kKostartWaren, 7, "K_Zugang"), 60);
}

TEST_F(IncomingInvoiceLines, OverheadAndCentralCostLinesBringNoService) {
    struct Case {
        int objId;
        int kostart;
    };
    for (const Case c : {Case{7, kKostartPersonal}, Case{0, kKostartWaren}}) {
        SCOPED_TRACE(c.kostart);
        addLine({{QStringLiteral("S_ObjID"), c.objId},
                 {QStringLiteral("S_Menge"), 1.0},
                 {QStringLiteral("S_Netto"), 20.0},
                 {QStringLiteral("S_KostArt"), c.kostart}});
        post();
        EXPECT_EQ(lineInt("S_FremdID"), 0);
        EXPECT_GT(lineInt("S_KostID"), 0);
        EXPECT_EQ(rowCount(QStringLiteral("FremdLst.db")), 0);
        EXPECT_DOUBLE_EQ(sum("KostSumD.db", c.kostart, c.objId, "K_Zugang"), 20);
        remove();
        EXPECT_EQ(rowCount(QStringLiteral("Kosten.db")), 0);
        EXPECT_DOUBLE_EQ(sum("KostSumD.db", c.kostart, c.objId, "K_Zugang"), 0);
    }
}

TEST_F(IncomingInvoiceLines, BilledServiceBlocksTheDelete) {
    addBookedServiceLine(1);
    EXPECT_THROW(BookERSatzKosten(*dm, true), Abort);
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error),
              QStringList{QStringLiteral("Dieser Datensatz wurde bereits in Rechnung gestellt "
                                         "und\rkann daher nicht verändert werden!")});
    EXPECT_EQ(rowCount(QStringLiteral("FremdLst.db")), 1);
    EXPECT_EQ(rowCount(QStringLiteral("Kosten.db")), 1);
    EXPECT_DOUBLE_EQ(sum("KostSumD.db", kKostartWaren, 7, "K_Zugang"), 50);

    // A post that keeps the service is allowed.
    line().edit();
    line().field(QStringLiteral("S_Kurztext")).setValue(QStringLiteral("neu"));
    EXPECT_NO_THROW(post());
}

TEST_F(IncomingInvoiceLines, UnbilledServiceGoesWithTheLine) {
    addBookedServiceLine(0);
    remove();
    EXPECT_EQ(rowCount(QStringLiteral("FremdLst.db")), 0);
    EXPECT_EQ(rowCount(QStringLiteral("Kosten.db")), 0);
    EXPECT_DOUBLE_EQ(sum("KostSumD.db", kKostartWaren, 7, "K_Zugang"), 0);
}

TEST_F(IncomingInvoiceLines, ArticleLineBuysIntoTheCentralStock) {
    addLine({{QStringLiteral("S_ArtNo"), QStringLiteral("4711")},
             {QStringLiteral("S_MatID"), 1},
             {QStringLiteral("S_Menge"), 10.0},
             {QStringLiteral("S_Netto"), 30.0},
             {QStringLiteral("S_KostArt"), kKostartWaren}});
    post();
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 110);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagerwert"), 230);
    EXPECT_DOUBLE_EQ(article(1, "A_EkPreis"), 2.09);
    EXPECT_EQ(lineInt("S_KostID"), 0); // the stock side records no cost entry
    EXPECT_EQ(rowCount(QStringLiteral("FremdLst.db")), 0);
    EXPECT_DOUBLE_EQ(kostSum("KostSumD.db", kKostartWaren, 0, "K_Bestand"), 30);

    // A text change books nothing.
    line().edit();
    line().field(QStringLiteral("S_Kurztext")).setValue(QStringLiteral("Reiniger 10 l"));
    post();
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 110);
    EXPECT_DOUBLE_EQ(kostSum("KostSumD.db", kKostartWaren, 0, "K_Bestand"), 30);

    remove();
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 100);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagerwert"), 200);
    EXPECT_DOUBLE_EQ(article(1, "A_EkPreis"), 2);
}

TEST_F(IncomingInvoiceLines, ReversalBeyondTheObjectsStockFallsBackToTheCentralArticle) {
    addArticle(2, 7, QStringLiteral("4711"), 4, 2.0);
    addLine({{QStringLiteral("S_ObjID"), 7},
             {QStringLiteral("S_ArtNo"), QStringLiteral("4711")},
             {QStringLiteral("S_MatID"), 2},
             {QStringLiteral("S_Menge"), 10.0},
             {QStringLiteral("S_Netto"), 25.0},
             {QStringLiteral("S_OldObjID"), 7},
             {QStringLiteral("S_OldArtNo"), QStringLiteral("4711")},
             {QStringLiteral("S_OldMatID"), 2},
             {QStringLiteral("S_OldMenge"), 10.0},
             {QStringLiteral("S_OldNetto"), 25.0}});
    remove();
    EXPECT_DOUBLE_EQ(article(2, "A_Lagermenge"), 0);
    EXPECT_DOUBLE_EQ(article(2, "A_Lagerwert"), 0);
    EXPECT_DOUBLE_EQ(article(2, "A_EkPreis"), 2); // kept when the stock is 0
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 94);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagerwert"), 183);
}

TEST_F(IncomingInvoiceLines, ReversingAReturnAddsToTheObjectOnly) {
    // A line that booked 3 units out of the object's stock (a return to the supplier).
    addArticle(2, 7, QStringLiteral("4711"), 4, 2.0);
    addLine({{QStringLiteral("S_ObjID"), 7},
             {QStringLiteral("S_ArtNo"), QStringLiteral("4711")},
             {QStringLiteral("S_MatID"), 2},
             {QStringLiteral("S_Menge"), -3.0},
             {QStringLiteral("S_Netto"), -6.0},
             {QStringLiteral("S_OldObjID"), 7},
             {QStringLiteral("S_OldArtNo"), QStringLiteral("4711")},
             {QStringLiteral("S_OldMatID"), 2},
             {QStringLiteral("S_OldMenge"), -3.0},
             {QStringLiteral("S_OldNetto"), -6.0}});
    remove();
    EXPECT_DOUBLE_EQ(article(2, "A_Lagermenge"), 7);
    EXPECT_DOUBLE_EQ(article(2, "A_Lagerwert"), 14);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 100);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagerwert"), 200);
}

class OrderDelivery : public IncomingInvoiceLines {
protected:
    void SetUp() override {
        IncomingInvoiceLines::SetUp();
        addRow(QStringLiteral("bestkopf.db"),
               {{QStringLiteral("R_ID"), 3}, {QStringLiteral("R_Nr"), QStringLiteral("B-3")}});
        addOrderLine(30, 20, 10);
        addRow(QStringLiteral("BestObj.DB"), {{QStringLiteral("BO_ID"), 300},
                                              {QStringLiteral("BO_Ref"), 30},
                                              {QStringLiteral("BO_ObjID"), 7},
                                              {QStringLiteral("BO_ArtID"), 1},
                                              {QStringLiteral("BO_BestMenge"), 20.0},
                                              {QStringLiteral("BO_Liefermenge"), 10.0}});
        setBestellt(1, 5);
    }
    void addOrderLine(int id, double menge, double geliefert) {
        addRow(QStringLiteral("bestsatz.db"), {{QStringLiteral("S_ID"), id},
                                               {QStringLiteral("S_Ref"), 3},
                                               {QStringLiteral("S_PosNr"), id},
                                               {QStringLiteral("S_Menge"), menge},
                                               {QStringLiteral("S_LieferMenge"), geliefert}});
    }
    void setBestellt(int artikelId, double menge) {
        auto t = open(QStringLiteral("Artikel.DB"));
        ASSERT_TRUE(t->locate({QStringLiteral("A_ID")}, {artikelId}));
        t->edit();
        t->field(QStringLiteral("A_Bestellt")).setValue(menge);
        t->post();
    }
    double orderLine(const char* field) {
        return valueOf(QStringLiteral("bestsatz.db"), QStringLiteral("S_ID"), 30,
                       QString::fromLatin1(field))
            .toDouble();
    }
    double orderObject(const char* field) {
        return valueOf(QStringLiteral("BestObj.DB"), QStringLiteral("BO_ID"), 300,
                       QString::fromLatin1(field))
            .toDouble();
    }
    void addOrderedArticleLine() {
        addLine({{QStringLiteral("S_ObjID"), 7},
                 {QStringLiteral("S_ArtNo"), QStringLiteral("4711")},
                 {QStringLiteral("S_MatID"), 1},
                 {QStringLiteral("S_Menge"), 8.0},
                 {QStringLiteral("S_Netto"), 16.0},
                 {QStringLiteral("S_BestKopfID"), 3},
                 {QStringLiteral("S_BestSatzID"), 30}});
    }
};

TEST_F(OrderDelivery, DeliveryIsCountedAndGivenBackOnDelete) {
    addOrderedArticleLine();
    post();
    EXPECT_DOUBLE_EQ(orderLine("S_LieferMenge"), 18);
    EXPECT_DOUBLE_EQ(orderObject("BO_Liefermenge"), 18);
    EXPECT_DOUBLE_EQ(article(1, "A_Bestellt"), 0); // 5 - 8, never below 0
    EXPECT_EQ(lineInt("S_OldBestSatzID"), 30);

    remove();
    EXPECT_DOUBLE_EQ(orderLine("S_LieferMenge"), 10);
    EXPECT_DOUBLE_EQ(orderObject("BO_Liefermenge"), 10);
    EXPECT_DOUBLE_EQ(article(1, "A_Bestellt"), 8);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 100);
}

TEST_F(OrderDelivery, WithoutARowForTheObjectTheLinesFirstRowIsOnOrder) {
    addLine({{QStringLiteral("S_ObjID"), 8},
             {QStringLiteral("S_ArtNo"), QStringLiteral("4711")},
             {QStringLiteral("S_MatID"), 1},
             {QStringLiteral("S_Menge"), 2.0},
             {QStringLiteral("S_Netto"), 4.0},
             {QStringLiteral("S_BestKopfID"), 3},
             {QStringLiteral("S_BestSatzID"), 30}});
    post();
    EXPECT_DOUBLE_EQ(orderLine("S_LieferMenge"), 12);
    EXPECT_DOUBLE_EQ(orderObject("BO_Liefermenge"), 10); // object 8 has no row
    EXPECT_DOUBLE_EQ(article(1, "A_Bestellt"), 3);
    // The reversal finds no row of object 8 and leaves the article alone.
    remove();
    EXPECT_DOUBLE_EQ(orderLine("S_LieferMenge"), 10);
    EXPECT_DOUBLE_EQ(article(1, "A_Bestellt"), 3);
}

TEST_F(OrderDelivery, AFailingStepLeavesStockAndOrderUntouched) {
    addOrderedArticleLine();
    {
        HeldElsewhere held(QStringLiteral("BestObj.DB"), QStringLiteral("BO_ID"), 300);
        EXPECT_ANY_THROW(BookERSatzKosten(*dm, false));
    }
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 100);
    EXPECT_DOUBLE_EQ(orderLine("S_LieferMenge"), 10);
    EXPECT_EQ(rowCount(QStringLiteral("KostSumH.db")), 0);
    EXPECT_FALSE(line().isEditing());
}

TEST_F(OrderDelivery, ReleasingAnOrderGivesBackItsOpenQuantities) {
    addOrderLine(31, 5, 0);
    addArticle(3, 0, QStringLiteral("0815"), 0, 1.0);
    addRow(QStringLiteral("BestObj.DB"), {{QStringLiteral("BO_ID"), 310},
                                          {QStringLiteral("BO_Ref"), 31},
                                          {QStringLiteral("BO_ObjID"), 8},
                                          {QStringLiteral("BO_ArtID"), 3},
                                          {QStringLiteral("BO_BestMenge"), 5.0},
                                          {QStringLiteral("BO_Liefermenge"), 0.0}});
    setBestellt(1, 25);
    setBestellt(3, 2);
    positionLine(dm->TabBestKopf(), dm->TabBestSatz(), 3, 30);
    {
        HeldElsewhere held(QStringLiteral("Artikel.DB"), QStringLiteral("A_ID"), 3);
        EXPECT_ANY_THROW(ReleaseOpenOrderQuantities(*dm, false));
    }
    EXPECT_DOUBLE_EQ(article(1, "A_Bestellt"), 25); // all or nothing

    ReleaseOpenOrderQuantities(*dm, false);
    EXPECT_DOUBLE_EQ(article(1, "A_Bestellt"), 15);
    EXPECT_DOUBLE_EQ(article(3, "A_Bestellt"), 0); // 2 - 5, never below 0
    ReleaseOpenOrderQuantities(*dm, true);
    EXPECT_DOUBLE_EQ(article(1, "A_Bestellt"), 25);
    EXPECT_DOUBLE_EQ(article(3, "A_Bestellt"), 5);
    EXPECT_EQ(dm->TabBestSatz().field(QStringLiteral("S_ID")).asInteger(), 30);
}

} // namespace
