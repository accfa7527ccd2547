#include "commercial/commercialrulesfixture.h"
#include "commercial/purchasing/purchaseorders.h"
#include "commercial/purchasing/purchasingrules.h"
#include "core/data/dbhelpers.h"
#include "core/data/worktable.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

#include <QDate>
#include <gtest/gtest.h>
#include <map>

namespace {

using namespace Qt::Literals::StringLiterals;
using table::Table;

const QDate kToday(2025, 3, 15);

// Two suppliers, stock-kept articles with object rows and turnover.
class PurchaseOrders : public commercialtest::CommercialRules {
protected:
    void SetUp() override {
        CommercialRules::SetUp();
        addRow(u"Liefrnt.db"_s, {{u"K_ID"_s, 1},
                                 {u"K_Nr"_s, 70001},
                                 {u"K_Match"_s, u"GROSSHANDEL"_s},
                                 {u"K_Name1"_s, u"Großhandel Nord"_s},
                                 {u"K_Ort"_s, u"Kiel"_s},
                                 {u"K_EigeneKdNr"_s, u"4711"_s},
                                 {u"K_Fibukonto"_s, 0.0}});
        addRow(u"Liefrnt.db"_s, {{u"K_ID"_s, 2}, {u"K_Nr"_s, 70002}, {u"K_Match"_s, u"SÜD"_s}});
        // A1: the central stock and two objects need 8, 4 and 3.
        article(1, u"A1"_s, 0, {{u"A_SollBestand"_s, 10.0}, {u"A_Lagermenge"_s, 2.0}});
        article(2, u"A1"_s, 11, {{u"A_SollBestand"_s, 4.0}});
        article(3, u"A1"_s, 12, {{u"A_SollBestand"_s, 3.0}});
        liefArt(1, 1, u"A1"_s, 1.0, 2.0, 0);
        // A2: only an object needs it; packs of 6.
        article(4, u"A2"_s, 0, {});
        article(5, u"A2"_s, 11, {{u"A_SollBestand"_s, 7.0}});
        liefArt(2, 1, u"A2"_s, 6.0, 1.0, 0);
        // A3 needs nothing, A4 keeps no stock, A5 has no main supplier.
        article(6, u"A3"_s, 0, {{u"A_SollBestand"_s, 5.0}, {u"A_Lagermenge"_s, 5.0}});
        article(7, u"A4"_s, 0, {{u"A_SollBestand"_s, 5.0}, {u"A_Bestandsfuehrung"_s, false}});
        article(8, u"A5"_s, 0, {{u"A_SollBestand"_s, 1.0}, {u"A_HauptLiefID"_s, 0}});
        // A6: demand calculation over 10 delivery days, packs of 6.
        article(9, u"A6"_s, 0,
                {{u"A_BestellModus"_s, 1},
                 {u"A_Lagermenge"_s, 4.0},
                 {u"A_Vormerkung"_s, 2.0},
                 {u"A_Bestellt"_s, 3.0},
                 {u"A_Preis1"_s, 5.0}});
        liefArt(3, 1, u"A6"_s, 6.0, 3.0, 10);
        turnover(9, 1, 300.0);
        turnover(9, 2, 150.0);
        turnover(9, 3, -20.0);
    }
    void article(int id, const QString& artNo, int objId,
                 QList<std::pair<QString, QVariant>> extra) {
        QList<std::pair<QString, QVariant>> values = {
            {u"A_ID"_s, id},
            {u"A_ArtNo"_s, artNo},
            {u"A_ObjID"_s, objId},
            {u"A_Bestandsfuehrung"_s, true},
            {u"A_BestellModus"_s, 0},
            {u"A_HauptLiefID"_s, 1},
            {u"A_Bezeich1"_s, QString(u"Artikel "_s + artNo)},
            {u"A_Mwst"_s, 1}};
        for (const auto& [field, value] : extra) {
            bool replaced = false;
            for (auto& v : values)
                if (v.first == field) {
                    v.second = value;
                    replaced = true;
                }
            if (!replaced)
                values.append({field, value});
        }
        addRow(u"Artikel.DB"_s, values);
    }
    void liefArt(int id, int liefId, const QString& artNo, double pack, double preis, int tage) {
        addRow(u"Liefart.db"_s, {{u"A_ID"_s, id},
                                 {u"A_LieferantID"_s, liefId},
                                 {u"A_ArtNo"_s, artNo},
                                 {u"A_LiefArtNo"_s, QString(u"L-"_s + artNo)},
                                 {u"A_VerpackMenge"_s, pack},
                                 {u"A_EkPreis"_s, preis},
                                 {u"A_Liefertage"_s, tage}});
    }
    void turnover(int artId, int month, double betrag) {
        addRow(u"AUmsatz.DB"_s, {{u"U_ID"_s, ++m_turnoverId},
                                 {u"U_ArtikelID"_s, artId},
                                 {u"U_Jahr"_s, 2025},
                                 {u"U_Monat"_s, month},
                                 {u"U_Betrag"_s, betrag}});
    }
    void failOn(const QString& table, const QString& when) {
        table::aliases::database(datatest::kDb)
            ->execSql(u"CREATE TRIGGER test_fail BEFORE INSERT ON \"%1\" WHEN %2 "
                      u"BEGIN SELECT RAISE(ABORT, 'Testfehler'); END"_s.arg(
                          table::physicalName(table), when));
    }
    // field of the proposal row of an article number
    QVariant proposal(const QString& artNo, const QString& field) {
        auto t = open(u"BVliste.db"_s);
        return t->locate({u"BV_ArtNr"_s}, {artNo}) ? t->field(field).value() : QVariant();
    }
    // BO_BestMenge (or another field) of a table's stock rows of one article, by object.
    std::map<int, double> stock(const QString& table, const QString& artNo,
                                const QString& field = u"BO_BestMenge"_s) {
        std::map<int, double> rows;
        auto t = open(table);
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            if (t->field(u"BO_ArtNr"_s).asString() == artNo)
                rows[t->field(u"BO_ObjID"_s).asInteger()] = t->field(field).asFloat();
        return rows;
    }
    double bestellt(int artId) {
        auto t = open(u"Artikel.DB"_s);
        EXPECT_TRUE(t->locate({u"A_ID"_s}, {artId}));
        return t->field(u"A_Bestellt"_s).asFloat();
    }
    int count(const QString& table) { return open(table)->recordCount(); }
    // A printed-or-open order of A1 with stock rows 5 (central) and 2 (object 11).
    void addOrder(int id, int state, bool marked, double delivered = 0.0) {
        addRow(u"bestkopf.db"_s, {{u"R_ID"_s, id},
                                  {u"R_Nr"_s, u"B-%1"_s.arg(id)},
                                  {u"R_RgState"_s, state},
                                  {u"R_Drucke"_s, state},
                                  {u"R_Selected"_s, marked}});
        addRow(u"bestsatz.db"_s, {{u"S_ID"_s, id}, {u"S_Ref"_s, id}, {u"S_ArtNr"_s, u"A1"_s}});
        addRow(u"BestObj.DB"_s, {{u"BO_ID"_s, id * 10},
                                 {u"BO_Ref"_s, id},
                                 {u"BO_ArtNr"_s, u"A1"_s},
                                 {u"BO_ArtID"_s, 1},
                                 {u"BO_ObjID"_s, 0},
                                 {u"BO_BestMenge"_s, 5.0},
                                 {u"BO_Liefermenge"_s, delivered},
                                 {u"BO_Selected"_s, false}});
        addRow(u"BestObj.DB"_s, {{u"BO_ID"_s, id * 10 + 1},
                                 {u"BO_Ref"_s, id},
                                 {u"BO_ArtNr"_s, u"A1"_s},
                                 {u"BO_ArtID"_s, 2},
                                 {u"BO_ObjID"_s, 11},
                                 {u"BO_BestMenge"_s, 2.0},
                                 {u"BO_Selected"_s, false}});
    }
    Table& orderHead(int id) {
        Table& head = shared(dm->TabBestKopf());
        shared(dm->TabBestSatz());
        EXPECT_TRUE(head.locate({u"R_ID"_s}, {id}));
        return head;
    }

private:
    int m_turnoverId = 0;
};

TEST_F(PurchaseOrders, ProposalsPerStockWithPacksMinimumAndTheSurplusOnTheCentralRow) {
    const ProposalRunResult run = CreateOrderProposals(*dm, kToday);
    EXPECT_TRUE(run.duplicates.isEmpty());
    EXPECT_EQ(run.proposals, 4); // A1, A2, A5, A6; A3 needs nothing, A4 keeps no stock
    EXPECT_FALSE(proposal(u"A3"_s, u"BV_ID"_s).isValid());
    EXPECT_FALSE(proposal(u"A4"_s, u"BV_ID"_s).isValid());

    EXPECT_EQ(stock(u"BVObjekt.DB"_s, u"A1"_s), (std::map<int, double>{{0, 8}, {11, 4}, {12, 3}}));
    EXPECT_EQ(proposal(u"A1"_s, u"BV_BestellMenge"_s).toDouble(), 15.0);
    EXPECT_EQ(proposal(u"A1"_s, u"BV_BestellWert"_s).toDouble(), 30.0);
    EXPECT_EQ(proposal(u"A1"_s, u"BV_LiefNr"_s).toInt(), 70001);
    EXPECT_EQ(proposal(u"A1"_s, u"BV_Istbestand"_s).toDouble(), 2.0);

    // Needed only at the object: a central row with proposal 0 takes the pack surplus.
    EXPECT_EQ(stock(u"BVObjekt.DB"_s, u"A2"_s), (std::map<int, double>{{0, 5}, {11, 7}}));
    EXPECT_EQ(stock(u"BVObjekt.DB"_s, u"A2"_s, u"BO_Vorschlag"_s),
              (std::map<int, double>{{0, 0}, {11, 7}}));
    EXPECT_EQ(proposal(u"A2"_s, u"BV_Vorschlag"_s).toDouble(), 12.0);

    EXPECT_EQ(proposal(u"A5"_s, u"BV_LiefNr"_s).toInt(), 0);

    // 10 days x 450 / (73 x 5) + 2 reserved - 3 ordered - 4 in stock = 7.33, at packs of 6: 12.
    const auto a6 = stock(u"BVObjekt.DB"_s, u"A6"_s, u"BO_Vorschlag"_s);
    EXPECT_NEAR(a6.at(0), 10 * 450.0 / (73 * 5.0) - 5.0, 1e-9);
    EXPECT_NEAR(stock(u"BVObjekt.DB"_s, u"A6"_s, u"BO_Tagbedarf"_s).at(0), 1.2329, 1e-4);
    EXPECT_EQ(stock(u"BVObjekt.DB"_s, u"A6"_s).at(0), 12.0);
    EXPECT_EQ(proposal(u"A6"_s, u"BV_BestellMenge"_s).toDouble(), 12.0);
    EXPECT_EQ(proposal(u"A6"_s, u"BV_BestellWert"_s).toDouble(), 36.0);
    EXPECT_EQ(proposal(u"A6"_s, u"BV_Liefertage"_s).toInt(), 10);
}

TEST_F(PurchaseOrders, AFailedRunKeepsThePreviousListAndARepeatReplacesIt) {
    CreateOrderProposals(*dm, kToday);
    const int rows = count(u"BVObjekt.DB"_s);
    failOn(u"BVliste.db"_s, u"NEW.BV_ArtNr = 'A6'"_s);
    EXPECT_THROW(CreateOrderProposals(*dm, kToday), DbError);
    EXPECT_EQ(count(u"BVliste.db"_s), 4);
    EXPECT_EQ(count(u"BVObjekt.DB"_s), rows);
    table::aliases::database(datatest::kDb)->execSql(u"DROP TRIGGER test_fail"_s);
    CreateOrderProposals(*dm, kToday);
    EXPECT_EQ(count(u"BVliste.db"_s), 4);
    EXPECT_EQ(count(u"BVObjekt.DB"_s), rows);
}

TEST_F(PurchaseOrders, OrderingTakesExactlyTheSuppliersRowsWithTheirStockRows) {
    CreateOrderProposals(*dm, kToday);
    const OrderFromProposalsResult r = OrderProposalsOfSupplier(*dm, 70001, kToday);
    EXPECT_EQ(r.lines, 3);
    EXPECT_TRUE(r.failed.isEmpty());
    auto head = open(u"bestkopf.db"_s);
    ASSERT_EQ(head->recordCount(), 1);
    EXPECT_EQ(head->field(u"R_Nr"_s).asString(), r.orderNr);
    EXPECT_EQ(head->field(u"R_LiefNr"_s).asInteger(), 70001);
    EXPECT_EQ(head->field(u"R_Lname1"_s).asString(), u"Großhandel Nord"_s);
    EXPECT_EQ(head->field(u"R_EigeneKdNr"_s).asInteger(), 4711);
    EXPECT_EQ(head->field(u"R_FKontoNr"_s).asInteger(), 70001); // no ledger account: the number
    EXPECT_EQ(head->field(u"R_RgState"_s).asInteger(), 0);
    // Only the supplier-less row stays.
    EXPECT_EQ(count(u"BVliste.db"_s), 1);
    EXPECT_TRUE(proposal(u"A5"_s, u"BV_ID"_s).isValid());
    EXPECT_EQ(stock(u"BestObj.DB"_s, u"A2"_s), (std::map<int, double>{{0, 5}, {11, 7}}));
    auto lines = open(u"bestsatz.db"_s);
    ASSERT_TRUE(lines->locate({u"S_ArtNr"_s}, {u"A1"_s}));
    EXPECT_EQ(lines->field(u"S_Menge"_s).asFloat(), 15.0);
    EXPECT_EQ(lines->field(u"S_EPreis"_s).asFloat(), 2.0);
    EXPECT_EQ(lines->field(u"S_LArtNr"_s).asString(), u"L-A1"_s);
    EXPECT_EQ(lines->field(u"S_Kurztext"_s).asString(), u"Artikel A1"_s);
    EXPECT_EQ(lines->field(u"S_Netto"_s).asFloat(), 30.0);
    // Spreading the posted line changed none of the copied stock rows.
    EXPECT_EQ(stock(u"BestObj.DB"_s, u"A1"_s), (std::map<int, double>{{0, 8}, {11, 4}, {12, 3}}));
}

TEST_F(PurchaseOrders, ALineThatFailsKeepsItsProposalAndIsNamed) {
    CreateOrderProposals(*dm, kToday);
    failOn(u"bestsatz.db"_s, u"NEW.S_ArtNr = 'A2'"_s); // the second of three lines
    const OrderFromProposalsResult r = OrderProposalsOfSupplier(*dm, 70001, kToday);
    EXPECT_EQ(r.lines, 2);
    ASSERT_EQ(r.failed.size(), 1);
    EXPECT_TRUE(r.failed[0].startsWith(u"A2: "_s)) << r.failed[0].toStdString();
    EXPECT_TRUE(r.failed[0].contains(u"Testfehler"_s));
    EXPECT_TRUE(proposal(u"A2"_s, u"BV_ID"_s).isValid());
    EXPECT_EQ(stock(u"BVObjekt.DB"_s, u"A2"_s), (std::map<int, double>{{0, 5}, {11, 7}}));
    EXPECT_TRUE(stock(u"BestObj.DB"_s, u"A2"_s).empty());
    EXPECT_EQ(count(u"bestsatz.db"_s), 2);
    EXPECT_FALSE(proposal(u"A6"_s, u"BV_ID"_s).isValid());
}

TEST_F(PurchaseOrders, AnOrderWithoutAnyLineIsDeletedAndItsNumberGivenBack) {
    CreateOrderProposals(*dm, kToday);
    failOn(u"bestsatz.db"_s, u"1"_s);
    const OrderFromProposalsResult r = OrderProposalsOfSupplier(*dm, 70001, kToday);
    EXPECT_EQ(r.lines, 0);
    EXPECT_EQ(r.failed.size(), 3);
    EXPECT_TRUE(r.orderNr.isEmpty());
    EXPECT_EQ(count(u"bestkopf.db"_s), 0);
    EXPECT_EQ(count(u"BVliste.db"_s), 4);
    table::aliases::database(datatest::kDb)->execSql(u"DROP TRIGGER test_fail"_s);
    // The same number is drawn again.
    const OrderFromProposalsResult again = OrderProposalsOfSupplier(*dm, 70002, kToday);
    const OrderFromProposalsResult first = OrderProposalsOfSupplier(*dm, 70001, kToday);
    EXPECT_TRUE(again.orderNr.isEmpty()); // supplier 2 has no proposals
    EXPECT_FALSE(first.orderNr.isEmpty());
}

TEST_F(PurchaseOrders, PrintingTwiceRaisesTheQuantityOnOrderOnceAndCountsBoth) {
    addOrder(1, 0, true, 1.0);
    Table& head = orderHead(1);
    MarkOrderPrinted(*dm);
    ASSERT_TRUE(head.locate({u"R_ID"_s}, {1}));
    MarkOrderPrinted(*dm);
    auto h = open(u"bestkopf.db"_s);
    EXPECT_EQ(h->field(u"R_Drucke"_s).asInteger(), 2);
    EXPECT_EQ(h->field(u"R_RgState"_s).asInteger(), 1);
    EXPECT_FALSE(h->field(u"R_Selected"_s).asBoolean());
    EXPECT_EQ(bestellt(1), 4.0); // 5 ordered, 1 delivered
    EXPECT_EQ(bestellt(2), 2.0);
}

TEST_F(PurchaseOrders, DeletingGivesBackOnlyWhatAPrintedOrderHasOnOrder) {
    struct Case {
        int state;
        double expected;
    };
    for (const Case c : {Case{0, 10.0}, Case{1, 5.0}}) {
        SCOPED_TRACE(c.state);
        addOrder(1, c.state, false);
        {
            auto a = open(u"Artikel.DB"_s);
            ASSERT_TRUE(a->locate({u"A_ID"_s}, {1}));
            a->edit();
            a->field(u"A_Bestellt"_s).setValue(10.0);
            a->post();
        }
        orderHead(1);
        DeletePurchaseOrder(*dm);
        EXPECT_EQ(bestellt(1), c.expected);
        EXPECT_EQ(count(u"bestkopf.db"_s), 0);
        EXPECT_EQ(count(u"bestsatz.db"_s), 0);
        EXPECT_EQ(count(u"BestObj.DB"_s), 0);
    }
}

TEST_F(PurchaseOrders, ArchivingLowersOnlyWhatMovedAndUnmarksWhatStayed) {
    addOrder(1, 1, true);  // printed, will move
    addOrder(2, 1, true);  // printed, the archive refuses it
    addOrder(3, 0, true);  // open: not archived
    addOrder(4, 1, false); // printed, not marked
    {
        auto a = open(u"Artikel.DB"_s);
        ASSERT_TRUE(a->locate({u"A_ID"_s}, {1}));
        a->edit();
        a->field(u"A_Bestellt"_s).setValue(20.0);
        a->post();
    }
    EXPECT_EQ(PrepareOrdersForArchive(*dm), 2);
    EXPECT_EQ(bestellt(1), 20.0); // nothing lowered before the move
    // The archive takes order 1 with its lines.
    table::aliases::database(datatest::kDb)
        ->execSql(
            u"DELETE FROM \"%1\" WHERE S_Ref = 1"_s.arg(table::physicalName(u"bestsatz.db"_s)));
    table::aliases::database(datatest::kDb)
        ->execSql(
            u"DELETE FROM \"%1\" WHERE R_ID = 1"_s.arg(table::physicalName(u"bestkopf.db"_s)));
    FinishOrdersArchive(*dm);
    EXPECT_EQ(bestellt(1), 15.0);
    EXPECT_EQ(count(u"BestObj.DB"_s), 6);
    auto stockRows = open(u"BestObj.DB"_s);
    for (stockRows->first(); !stockRows->eof(); stockRows->next())
        EXPECT_FALSE(stockRows->field(u"BO_Selected"_s).asBoolean());
    auto heads = open(u"bestkopf.db"_s);
    for (heads->first(); !heads->eof(); heads->next())
        EXPECT_FALSE(heads->field(u"R_Selected"_s).asBoolean());
}

TEST_F(PurchaseOrders, ACancelledArchiveDialogChangesNothing) {
    addOrder(1, 1, true);
    {
        auto a = open(u"Artikel.DB"_s);
        ASSERT_TRUE(a->locate({u"A_ID"_s}, {1}));
        a->edit();
        a->field(u"A_Bestellt"_s).setValue(20.0);
        a->post();
    }
    PrepareOrdersForArchive(*dm);
    FinishOrdersArchive(*dm);
    EXPECT_EQ(bestellt(1), 20.0);
    EXPECT_EQ(count(u"BestObj.DB"_s), 2);
    EXPECT_EQ(count(u"bestkopf.db"_s), 1);
}

TEST_F(PurchaseOrders, AnEditedLineTakesTheArticleAndSpreadsOverItsStocks) {
    addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 11}, {u"O_Nr"_s, 311}, {u"O_Match"_s, u"HAUS"_s}});
    addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 12}, {u"O_Nr"_s, 312}, {u"O_Match"_s, u"HOF"_s}});
    addRow(u"bestkopf.db"_s, {{u"R_ID"_s, 1}, {u"R_Nr"_s, u"B-1"_s}});
    Table& head = orderHead(1);
    Table& line = shared(dm->TabBestSatz());
    shared(dm->TabBestObj());
    line.append();
    line.post();
    // A1 from supplier 1: its own texts and price, a central and two object rows.
    ASSERT_TRUE(SetBestLineArticle(*dm, 1, 1));
    SpreadBestLineOverStocks(*dm, 1, kToday);
    EXPECT_EQ(line.field(u"S_LArtNr"_s).asString(), u"L-A1"_s);
    EXPECT_EQ(line.field(u"S_EPreis"_s).asFloat(), 2.0);
    EXPECT_EQ(line.field(u"S_Menge"_s).asFloat(), 15.0);
    EXPECT_EQ(stock(u"BestObj.DB"_s, u"A1"_s), (std::map<int, double>{{0, 8}, {11, 4}, {12, 3}}));
    // Lowering the quantity empties the central row and cuts the objects.
    line.edit();
    line.field(u"S_Menge"_s).setValue(5.0);
    line.post();
    EXPECT_EQ(stock(u"BestObj.DB"_s, u"A1"_s),
              (std::map<int, double>{{0, 0}, {11, 2.86}, {12, 2.14}}));
    // A3 has no object rows: only the central row, with its proposal 0.
    ASSERT_TRUE(SetBestLineArticle(*dm, 6, 1));
    SpreadBestLineOverStocks(*dm, 1, kToday);
    EXPECT_TRUE(stock(u"BestObj.DB"_s, u"A1"_s).empty());
    EXPECT_EQ(stock(u"BestObj.DB"_s, u"A3"_s), (std::map<int, double>{{0, 0}}));
    EXPECT_FALSE(SetBestLineArticle(*dm, 999, 1));
    (void)head;
}

TEST_F(PurchaseOrders, ObjectsOfferedForAManualRowAreThoseWithoutOne) {
    addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 11}, {u"O_Nr"_s, 311}, {u"O_Match"_s, u"HAUS"_s}});
    addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 12}, {u"O_Nr"_s, 312}, {u"O_Match"_s, u"HOF"_s}});
    addRow(u"bestkopf.db"_s, {{u"R_ID"_s, 1}, {u"R_Nr"_s, u"B-1"_s}});
    orderHead(1);
    Table& line = shared(dm->TabBestSatz());
    shared(dm->TabBestObj());
    line.append();
    line.field(u"S_ArtNr"_s).setValue(u"A1"_s);
    line.post();
    {
        WorkTable work(datatest::kDb, SelectableObjectsDef());
        EXPECT_EQ(FillSelectableObjects(*dm, work.name()), 2);
    }
    AddManualStockRow(*dm, 311);
    EXPECT_EQ(stock(u"BestObj.DB"_s, u"A1"_s, u"BO_Sollbestand"_s),
              (std::map<int, double>{{11, 4}}));
    WorkTable work(datatest::kDb, SelectableObjectsDef());
    EXPECT_EQ(FillSelectableObjects(*dm, work.name()), 1);
    auto offered = open(work.name());
    EXPECT_EQ(offered->field(u"O_Nr"_s).asInteger(), 312);
}

TEST(StockSpreading, IncreaseToTheCentralRowDecreaseInProportion) {
    const std::vector<StockQuantity> rows = {{false, 4.0}, {false, 3.0}, {true, 1.0}};
    EXPECT_EQ(SpreadStockQuantities(rows, 10.0), (std::vector<double>{4.0, 3.0, 3.0}));
    EXPECT_EQ(SpreadStockQuantities(rows, 5.0), (std::vector<double>{2.86, 2.14, 0.0}));
    EXPECT_TRUE(SpreadStockQuantities(rows, 8.0).empty());
    // No central row: an increase stays unbooked.
    EXPECT_TRUE(SpreadStockQuantities({{false, 4.0}}, 6.0).empty());
}

} // namespace
