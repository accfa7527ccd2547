#include "commercial/commercialrulesfixture.h"
#include "commercial/documents/vatrates.h"
#include "commercial/purchasing/purchasingrules.h"
#include "platform/errors.h"

#include <QDate>
#include <gtest/gtest.h>
#include <vector>

namespace {

using datatest::HeldElsewhere;
using table::Table;

const QString kBestObj = QStringLiteral("BestObj.DB");
const QString kArtikel = QStringLiteral("Artikel.DB");

class PurchasingRules : public commercialtest::CommercialRules {
protected:
    void SetUp() override {
        CommercialRules::SetUp();
        m_savedHooks = PurchasingFormHooksRegistry();
    }
    void TearDown() override {
        PurchasingFormHooksRegistry() = m_savedHooks;
        CommercialRules::TearDown();
    }

    static Table& opened(Table& t) {
        if (!t.isOpen())
            t.open();
        return t;
    }
    Table& heads() { return opened(dm->TabBestKopf()); }
    Table& lines() { return opened(dm->TabBestSatz()); }

    int newOrder() {
        Table& head = heads();
        head.append();
        const int id = head.field(QStringLiteral("R_ID")).asInteger();
        head.post();
        lines();
        return id;
    }
    // A posted line of the current order; its quantity is spread at once (no rows yet).
    int newLine(double menge) {
        Table& t = lines();
        t.append();
        t.field(QStringLiteral("S_Menge")).setValue(menge);
        t.post();
        return t.field(QStringLiteral("S_ID")).asInteger();
    }
    // An object row as the purchasing module writes it; objId 0 is the central stock.
    int addObjectRow(int lineId, int objId, double menge, int artId = 0, double geliefert = 0.0) {
        const int id = GetNextId(datatest::kDb, kBestObj, QStringLiteral("BO_ID"));
        addRow(kBestObj, {{QStringLiteral("BO_ID"), id},
                          {QStringLiteral("BO_Ref"), lineId},
                          {QStringLiteral("BO_ObjID"), objId},
                          {QStringLiteral("BO_ArtID"), artId},
                          {QStringLiteral("BO_BestMenge"), menge},
                          {QStringLiteral("BO_Liefermenge"), geliefert}});
        return id;
    }
    // BO_BestMenge of the line's object rows in key order.
    std::vector<double> objectMengen(int lineId) {
        auto t = open(kBestObj);
        std::vector<double> mengen;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            if (t->field(QStringLiteral("BO_Ref")).asInteger() == lineId)
                mengen.push_back(t->field(QStringLiteral("BO_BestMenge")).asFloat());
        return mengen;
    }
    int countRows(const QString& file, const QString& field, const QVariant& value) {
        return CountRecordsWithValue(datatest::kDb, file, field, value);
    }
    Table& lineWithId(int id) {
        Table& t = lines();
        EXPECT_TRUE(t.locate({QStringLiteral("S_ID")}, {id}));
        return t;
    }
    void changeMenge(int lineId, double menge) {
        Table& t = lineWithId(lineId);
        t.edit();
        t.field(QStringLiteral("S_Menge")).setValue(menge);
        t.post();
    }
    void addArticle(int id, double bestellt) {
        addRow(kArtikel, {{QStringLiteral("A_ID"), id},
                          {QStringLiteral("A_ArtNo"), QString::number(1000 + id)},
                          {QStringLiteral("A_Bestellt"), bestellt}});
        dm->TabArtLU().refresh();
    }
    double bestellt(int artId) {
        auto t = open(kArtikel);
        EXPECT_TRUE(t->locate({QStringLiteral("A_ID")}, {artId}));
        return t->field(QStringLiteral("A_Bestellt")).asFloat();
    }

private:
    PurchasingFormHooks m_savedHooks;
};

// A line of 100 whose objects order 30 and 20 and whose central row holds the rest.
TEST_F(PurchasingRules, AChangedLineQuantityIsSpreadOverTheObjectRows) {
    struct Case {
        const char* name;
        double objectA, objectB;
        bool withCentral;
        double newMenge;
        std::vector<double> expected;
    } cases[] = {
        {"raised: the central stock takes the rest", 30, 20, true, 120, {30, 20, 70}},
        {"lowered below the objects: they shrink in proportion", 30, 20, true, 40, {24, 16, 0}},
        {"lowered to the objects' sum", 30, 20, true, 50, {30, 20, 0}},
        {"raised without a central row: nothing to take the rest", 30, 20, false, 120, {30, 20}},
        {"lowered without a central row", 30, 20, false, 25, {15, 10}},
        {"thirds rounded to cents", 10, 20, true, 10, {3.33, 6.67, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        newOrder();
        const int line = newLine(100);
        addObjectRow(line, 7, c.objectA);
        addObjectRow(line, 8, c.objectB);
        if (c.withCentral)
            addObjectRow(line, 0, 50);
        changeMenge(line, c.newMenge);
        const std::vector<double> mengen = objectMengen(line);
        ASSERT_EQ(mengen.size(), c.expected.size());
        for (size_t i = 0; i < mengen.size(); ++i)
            EXPECT_DOUBLE_EQ(mengen[i], c.expected[i]) << i;
        EXPECT_EQ(lineWithId(line).field(QStringLiteral("S_Oldmenge")).asFloat(), c.newMenge);
    }
}

TEST_F(PurchasingRules, APostWithoutAQuantityChangeLeavesTheObjectRowsAlone) {
    newOrder();
    const int line = newLine(100);
    // Rows that a distribution of 100 would rewrite (central 10 instead of 50).
    addObjectRow(line, 7, 30);
    addObjectRow(line, 8, 20);
    addObjectRow(line, 0, 10);
    Table& t = lineWithId(line);
    t.edit();
    t.field(QStringLiteral("S_EPreis")).setValue(2.0);
    t.post();
    EXPECT_EQ(objectMengen(line), (std::vector<double>{30, 20, 10}));
}

TEST_F(PurchasingRules, AQuantityMatchingTheRowsWritesNothing) {
    newOrder();
    const int line = newLine(100);
    addObjectRow(line, 7, 30);
    const int central = addObjectRow(line, 0, 90);
    // The central row is held elsewhere: any write to it would fail the post.
    HeldElsewhere held(kBestObj, QStringLiteral("BO_ID"), central);
    changeMenge(line, 120);
    EXPECT_EQ(objectMengen(line), (std::vector<double>{30, 90}));
}

TEST_F(PurchasingRules, ASpreadThatCannotWriteEveryRowChangesNothing) {
    newOrder();
    const int line = newLine(100);
    addObjectRow(line, 7, 30);
    addObjectRow(line, 8, 20);
    const int central = addObjectRow(line, 0, 50);
    {
        // The objects are rewritten first; the central row, last, fails.
        HeldElsewhere held(kBestObj, QStringLiteral("BO_ID"), central);
        Table& t = lineWithId(line);
        t.edit();
        t.field(QStringLiteral("S_Menge")).setValue(40.0);
        EXPECT_THROW(t.post(), DbError);
        EXPECT_EQ(objectMengen(line), (std::vector<double>{30, 20, 50}));
        EXPECT_TRUE(t.isEditing());
        EXPECT_EQ(t.field(QStringLiteral("S_Oldmenge")).asFloat(), 100.0);
        EXPECT_EQ(countRows(QStringLiteral("bestsatz.db"), QStringLiteral("S_Menge"), 40.0), 0);
    }
    // Once the row is free the same post spreads the quantity.
    Table& t = lines();
    t.post();
    EXPECT_EQ(objectMengen(line), (std::vector<double>{24, 16, 0}));
    EXPECT_EQ(lineWithId(line).field(QStringLiteral("S_Oldmenge")).asFloat(), 40.0);
}

TEST_F(PurchasingRules, DistributeBestellMengeWorksOnTheCurrentLineOnly) {
    newOrder();
    const int first = newLine(100);
    const int second = newLine(10);
    addObjectRow(first, 0, 100);
    addObjectRow(second, 0, 10);
    lineWithId(second);
    DistributeBestellMenge(*dm, 15);
    EXPECT_EQ(objectMengen(first), (std::vector<double>{100}));
    EXPECT_EQ(objectMengen(second), (std::vector<double>{15}));
    EXPECT_FALSE(dm->TabBestObj().isOpen()); // opened for the run only
}

TEST_F(PurchasingRules, DistributeBestellMengeOnItsOwnWritesAllRowsOrNone) {
    newOrder();
    const int line = newLine(100);
    addObjectRow(line, 7, 30);
    addObjectRow(line, 8, 20);
    const int central = addObjectRow(line, 0, 50);
    lineWithId(line);
    {
        HeldElsewhere held(kBestObj, QStringLiteral("BO_ID"), central);
        EXPECT_THROW(DistributeBestellMenge(*dm, 40), DbError);
    }
    EXPECT_EQ(objectMengen(line), (std::vector<double>{30, 20, 50}));
    EXPECT_FALSE(dm->TabBestObj().isOpen());
}

TEST_F(PurchasingRules, ANewLineStartsEmptyWithTheDefaultVat) {
    newOrder();
    Table& t = lines();
    t.append();
    auto rates = open(QStringLiteral("Mwstsatz.db"));
    const double rate =
        DefaultVatRate(ReadVatRateRows(*rates), DateTimeOfDate(QDate::currentDate()));
    EXPECT_GT(t.field(QStringLiteral("S_ID")).asInteger(), 0);
    EXPECT_GT(t.field(QStringLiteral("S_PosNr")).asInteger(), 0);
    EXPECT_EQ(t.field(QStringLiteral("S_MwstKz")).asInteger(), DefaultMwstKz);
    EXPECT_DOUBLE_EQ(t.field(QStringLiteral("S_Mwst")).asFloat(), rate);
    for (const char* name : {"S_Menge", "S_EPreis", "S_Netto", "S_LieferMenge", "S_Oldmenge",
                             "S_MatID", "S_LArtID", "S_KostenKonto", "S_PosArt"}) {
        EXPECT_FALSE(t.field(QString::fromLatin1(name)).isNull()) << name;
        EXPECT_EQ(t.field(QString::fromLatin1(name)).asFloat(), 0.0) << name;
    }
    EXPECT_EQ(t.field(QStringLiteral("S_ArtNr")).asString(), QString());
    t.cancel();
}

TEST_F(PurchasingRules, QuantityAndPriceRecalculateTheLineAndTheOrder) {
    newOrder();
    Table& t = lines();
    t.append();
    t.field(QStringLiteral("S_EPreis")).setValue(2.5);
    t.field(QStringLiteral("S_Menge")).setValue(3.0);
    EXPECT_DOUBLE_EQ(t.field(QStringLiteral("S_Netto")).asFloat(), 7.5);
    t.post();
    EXPECT_DOUBLE_EQ(heads().field(QStringLiteral("R_Netto")).asFloat(), 7.5);
}

TEST_F(PurchasingRules, PlacingAndWithdrawingAnOrderBooksTheOpenQuantity) {
    struct Case {
        const char* name;
        double before;
        bool add;
        double ordered, delivered;
        double after;
    } cases[] = {
        {"placed", 0, true, 10, 4, 6},
        {"placed onto a quantity on order", 5, true, 10, 4, 11},
        {"withdrawn", 6, false, 10, 4, 0},
        {"withdrawn, never below 0", 2, false, 10, 4, 0},
        {"fully delivered: nothing open", 3, true, 10, 10, 3},
    };
    int artId = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        addArticle(++artId, c.before);
        newOrder();
        const int line = newLine(c.ordered);
        addObjectRow(line, 7, c.ordered, artId, c.delivered);
        UpdateArtikelBestellt(*dm, c.add);
        EXPECT_DOUBLE_EQ(bestellt(artId), c.after);
    }
}

TEST_F(PurchasingRules, UpdateArtikelBestelltBooksEveryLineAndKeepsTheCursor) {
    addArticle(1, 0);
    addArticle(2, 0);
    newOrder();
    const int first = newLine(10);
    const int second = newLine(5);
    addObjectRow(first, 7, 10, 1);
    addObjectRow(first, 0, 3, 2);
    addObjectRow(second, 8, 5, 2);
    addObjectRow(second, 9, 1, 99); // an article that no longer exists
    lineWithId(second);
    UpdateArtikelBestellt(*dm, true);
    EXPECT_DOUBLE_EQ(bestellt(1), 10);
    EXPECT_DOUBLE_EQ(bestellt(2), 8);
    EXPECT_EQ(lines().field(QStringLiteral("S_ID")).asInteger(), second);
    EXPECT_FALSE(dm->TabBestObj().isOpen());
}

TEST_F(PurchasingRules, AnArticleThatCannotBeBookedLeavesNoArticleBooked) {
    addArticle(1, 0);
    addArticle(2, 1);
    newOrder();
    const int first = newLine(10);
    const int second = newLine(5);
    addObjectRow(first, 7, 10, 1);
    addObjectRow(second, 8, 5, 2);
    lineWithId(first);
    Table& objects = opened(dm->TabBestObj());
    {
        HeldElsewhere held(kArtikel, QStringLiteral("A_ID"), 2);
        EXPECT_THROW(UpdateArtikelBestellt(*dm, true), DbError);
    }
    EXPECT_DOUBLE_EQ(bestellt(1), 0);
    EXPECT_DOUBLE_EQ(bestellt(2), 1);
    EXPECT_EQ(lines().field(QStringLiteral("S_ID")).asInteger(), first);
    EXPECT_TRUE(objects.isOpen());
    EXPECT_FALSE(dm->TabArtLU().isEditing());
    // Free again, the whole order is booked once.
    UpdateArtikelBestellt(*dm, true);
    EXPECT_DOUBLE_EQ(bestellt(1), 10);
    EXPECT_DOUBLE_EQ(bestellt(2), 6);
}

TEST_F(PurchasingRules, UpdateArtikelBestelltOnAnOrderWithoutLinesDoesNothing) {
    addArticle(1, 4);
    newOrder();
    UpdateArtikelBestellt(*dm, false);
    EXPECT_DOUBLE_EQ(bestellt(1), 4);
}

TEST_F(PurchasingRules, ObjectRowsAreInsertedOnlyWhileTheModuleAllowsIt) {
    newOrder();
    newLine(10);
    addRow(QStringLiteral("BVliste.db"),
           {{QStringLiteral("BV_ID"), 1}, {QStringLiteral("BV_ArtNr"), QStringLiteral("A1")}});
    opened(dm->TabBvListe()).refresh();
    struct Case {
        const char* table;
        void (TDataModule1::*allow)(bool);
    } cases[] = {
        {"TabBestObj", &TDataModule1::SetBestObjInsertAllowed},
        {"TabBvObj", &TDataModule1::SetBvObjInsertAllowed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        Table& t = opened(dm->table(QString::fromLatin1(c.table)));
        EXPECT_THROW(t.append(), Abort);
        EXPECT_EQ(t.state(), table::TableState::Browse);
        const int next = GetNextId(datatest::kDb, t.tableName(), QStringLiteral("BO_ID"));
        (dm.get()->*c.allow)(true);
        t.append();
        EXPECT_EQ(t.field(QStringLiteral("BO_ID")).asInteger(), next);
        t.post();
        (dm.get()->*c.allow)(false);
        EXPECT_EQ(GetNextId(datatest::kDb, t.tableName(), QStringLiteral("BO_ID")), next + 1);
    }
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(PurchasingRules, AProposalGetsItsOrderValueFromTheSupplierPrice) {
    int sumsShown = 0;
    PurchasingFormHooksRegistry().UpdateSums = [&sumsShown] { ++sumsShown; };
    Table& t = opened(dm->TabBvListe());
    t.append();
    EXPECT_TRUE(askedRights.contains(57));
    const int id = t.field(QStringLiteral("BV_ID")).asInteger();
    t.field(QStringLiteral("BV_BestellMenge")).setValue(12.0);
    t.post();
    sumsShown = 0;
    t.edit();
    t.field(QStringLiteral("BV_Lieferpreis")).setValue(2.5);
    EXPECT_EQ(t.state(), table::TableState::Browse); // posted by the rule
    EXPECT_EQ(sumsShown, 1);
    auto stored = open(QStringLiteral("BVliste.db"));
    ASSERT_TRUE(stored->locate({QStringLiteral("BV_ID")}, {id}));
    EXPECT_DOUBLE_EQ(stored->field(QStringLiteral("BV_BestellWert")).asFloat(), 30.0);
}

TEST_F(PurchasingRules, AProposalNeedsTheCreateRight) {
    createAllowed = false;
    Table& t = opened(dm->TabBvListe());
    EXPECT_THROW(t.append(), Abort);
    EXPECT_EQ(t.state(), table::TableState::Browse);
}

TEST_F(PurchasingRules, DeletingAProposalDeletesItsObjectRows) {
    for (const auto& [id, artNr] : {std::pair{1, "A1"}, std::pair{2, "B2"}})
        addRow(QStringLiteral("BVliste.db"),
               {{QStringLiteral("BV_ID"), id}, {QStringLiteral("BV_ArtNr"), QString(artNr)}});
    int objId = 0;
    for (const char* artNr : {"A1", "A1", "B2"})
        addRow(QStringLiteral("BVObjekt.DB"),
               {{QStringLiteral("BO_ID"), ++objId}, {QStringLiteral("BO_ArtNr"), QString(artNr)}});
    Table& t = opened(dm->TabBvListe());
    t.refresh();
    ASSERT_TRUE(t.locate({QStringLiteral("BV_ID")}, {1}));
    {
        // One of its rows is held elsewhere: the proposal keeps all of them.
        HeldElsewhere elsewhere(QStringLiteral("BVObjekt.DB"), QStringLiteral("BO_ID"), 2);
        EXPECT_THROW(t.deleteRecord(), DbError);
        EXPECT_EQ(countRows(QStringLiteral("BVObjekt.DB"), QStringLiteral("BO_ArtNr"), "A1"), 2);
        EXPECT_EQ(countRows(QStringLiteral("BVliste.db"), QStringLiteral("BV_ID"), 1), 1);
    }
    ASSERT_TRUE(t.locate({QStringLiteral("BV_ID")}, {1}));
    t.deleteRecord();
    EXPECT_EQ(countRows(QStringLiteral("BVObjekt.DB"), QStringLiteral("BO_ArtNr"), "A1"), 0);
    EXPECT_EQ(countRows(QStringLiteral("BVObjekt.DB"), QStringLiteral("BO_ArtNr"), "B2"), 1);
    EXPECT_EQ(countRows(QStringLiteral("BVliste.db"), QStringLiteral("BV_ID"), 1), 0);
}

TEST_F(PurchasingRules, DeletingALineDeletesItsObjectRowsOrNothing) {
    newOrder();
    const int kept = newLine(3);
    addObjectRow(kept, 7, 3);
    const int line = newLine(10);
    addObjectRow(line, 7, 6);
    const int held = addObjectRow(line, 0, 4);
    {
        HeldElsewhere elsewhere(kBestObj, QStringLiteral("BO_ID"), held);
        EXPECT_THROW(lineWithId(line).deleteRecord(), DbError);
        EXPECT_EQ(objectMengen(line), (std::vector<double>{6, 4}));
        EXPECT_FALSE(lines().isEditing());
    }
    lineWithId(line).deleteRecord();
    EXPECT_EQ(countRows(QStringLiteral("bestsatz.db"), QStringLiteral("S_ID"), line), 0);
    EXPECT_TRUE(objectMengen(line).empty());
    EXPECT_EQ(objectMengen(kept), (std::vector<double>{3}));
    EXPECT_FALSE(dm->TabBestObj().isOpen()); // opened for the delete only
}

TEST_F(PurchasingRules, DeletingAnOrderDeletesItsLinesAndTheirObjectRows) {
    const int other = newOrder();
    const int otherLine = newLine(3);
    addObjectRow(otherLine, 7, 3);
    const int order = newOrder();
    const int first = newLine(10);
    const int second = newLine(5);
    addObjectRow(first, 7, 10);
    addObjectRow(second, 0, 5);
    Table& head = heads();
    ASSERT_TRUE(head.locate({QStringLiteral("R_ID")}, {order}));
    head.deleteRecord();
    EXPECT_EQ(countRows(QStringLiteral("bestkopf.db"), QStringLiteral("R_ID"), order), 0);
    EXPECT_EQ(countRows(QStringLiteral("bestsatz.db"), QStringLiteral("S_Ref"), order), 0);
    EXPECT_EQ(countRows(kBestObj, QStringLiteral("BO_Ref"), first), 0);
    EXPECT_EQ(countRows(kBestObj, QStringLiteral("BO_Ref"), second), 0);
    EXPECT_EQ(countRows(QStringLiteral("bestsatz.db"), QStringLiteral("S_Ref"), other), 1);
    EXPECT_EQ(objectMengen(otherLine), (std::vector<double>{3}));
}

TEST_F(PurchasingRules, AnOrderThatCannotLoseEveryRowKeepsThemAll) {
    const int order = newOrder();
    const int first = newLine(10);
    const int second = newLine(5);
    addObjectRow(first, 7, 10);
    const int held = addObjectRow(second, 0, 5);
    Table& head = heads();
    ASSERT_TRUE(head.locate({QStringLiteral("R_ID")}, {order}));
    {
        HeldElsewhere elsewhere(kBestObj, QStringLiteral("BO_ID"), held);
        EXPECT_THROW(head.deleteRecord(), DbError);
    }
    EXPECT_EQ(countRows(QStringLiteral("bestkopf.db"), QStringLiteral("R_ID"), order), 1);
    EXPECT_EQ(countRows(QStringLiteral("bestsatz.db"), QStringLiteral("S_Ref"), order), 2);
    EXPECT_EQ(objectMengen(first), (std::vector<double>{10}));
    EXPECT_EQ(objectMengen(second), (std::vector<double>{5}));
    EXPECT_FALSE(head.isEditing());
    // Free again, the delete goes through.
    ASSERT_TRUE(heads().locate({QStringLiteral("R_ID")}, {order}));
    heads().deleteRecord();
    EXPECT_EQ(countRows(QStringLiteral("bestsatz.db"), QStringLiteral("S_Ref"), order), 0);
}

TEST_F(PurchasingRules, ScrollingTheLinesUpdatesTheNewObjectButton) {
    int updates = 0;
    PurchasingFormHooksRegistry().UpdateNewObjectButton = [&updates] { ++updates; };
    newOrder();
    newLine(1);
    newLine(2);
    updates = 0;
    lines().first();
    EXPECT_GT(updates, 0);
}

} // namespace
