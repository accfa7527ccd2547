#include "commercial/bookingfixture.h"
#include "commercial/bookings/costbookings.h"
#include "commercial/bookings/linebookings.h"
#include "core/data/datamodule.h"
#include "platform/table/table.h"

#include <gtest/gtest.h>
#include <ostream>

namespace {

using bookingtest::kKostartWaren;
using datatest::HeldElsewhere;

enum class Doc { Rech, LS, Gs };

struct DocTables {
    const char* headFile;
    const char* lineFile;
};

DocTables tablesOf(Doc doc) {
    switch (doc) {
    case Doc::Rech:
        return {"Rechkopf.DB", "Rechsatz.db"};
    case Doc::LS:
        return {"LSkopf.DB", "LSsatz.DB"};
    case Doc::Gs:
        return {"GSkopf.DB", "GSSatz.DB"};
    }
    return {};
}

struct LineSpec {
    int posTyp = 0;
    int quelle = 0;
    double menge = 0;
    int matId = 0;
    int refId = 0;
};

class LineBookings : public bookingtest::Bookings {
protected:
    table::Table& head(Doc doc) {
        switch (doc) {
        case Doc::Rech:
            return dm->TabRechKopf();
        case Doc::LS:
            return dm->TabLSKopf();
        case Doc::Gs:
            return dm->TabGsKopf();
        }
        return dm->TabRechKopf();
    }
    table::Table& lines(Doc doc) {
        switch (doc) {
        case Doc::Rech:
            return dm->TabRechSatz();
        case Doc::LS:
            return dm->TabLSSatz();
        case Doc::Gs:
            return dm->TabGsSatz();
        }
        return dm->TabRechSatz();
    }
    void book(Doc doc, bool reverse) {
        switch (doc) {
        case Doc::Rech:
            BookRechSatz(*dm, reverse);
            break;
        case Doc::LS:
            BookLSSatz(*dm, reverse);
            break;
        case Doc::Gs:
            BookGsSatz(*dm, reverse);
            break;
        }
    }
    void addHead(Doc doc, int id, int objektNr) {
        addRow(QString::fromLatin1(tablesOf(doc).headFile),
               {{QStringLiteral("R_ID"), id},
                {QStringLiteral("R_Nr"), QStringLiteral("D%1").arg(id)},
                {QStringLiteral("R_ObjektNr"), objektNr}});
    }
    // A new line as the editor stores it: nothing remembered yet.
    void addLine(Doc doc, int id, int headId, const LineSpec& s,
                 const QList<std::pair<QString, QVariant>>& extra = {}) {
        QList<std::pair<QString, QVariant>> values{
            {QStringLiteral("S_ID"), id},           {QStringLiteral("S_Ref"), headId},
            {QStringLiteral("S_PosNr"), id * 1000}, {QStringLiteral("S_PosTyp"), s.posTyp},
            {QStringLiteral("S_Quelle"), s.quelle}, {QStringLiteral("S_Menge"), s.menge},
            {QStringLiteral("S_MatID"), s.matId},   {QStringLiteral("S_RefID"), s.refId}};
        values.append(extra);
        addRow(QString::fromLatin1(tablesOf(doc).lineFile), values);
    }
    // Books the stored line as its post does and posts it.
    table::Table& postNew(Doc doc, int headId, int lineId) {
        table::Table& l = positionLine(head(doc), lines(doc), headId, lineId);
        book(doc, false);
        if (l.isEditing())
            l.post();
        return l;
    }
    void changeMenge(Doc doc, double menge) {
        table::Table& l = lines(doc);
        l.edit();
        l.field(QStringLiteral("S_Menge")).setValue(menge);
        book(doc, false);
        l.post();
    }
    void deleteLine(Doc doc) {
        book(doc, true);
        lines(doc).deleteRecord();
    }
    double lineValue(Doc doc, const char* field) {
        return lines(doc).field(QString::fromLatin1(field)).asFloatOr(0);
    }
};

TEST_F(LineBookings, InvoiceLineMovesGoodsThroughTheObjectsOwnCopy) {
    addHead(Doc::Rech, 1, 700);
    addLine(Doc::Rech, 11, 1, {0, 0, 5, 1, 0});

    table::Table& line = postNew(Doc::Rech, 1, 11);
    const int copy = articleOf(7, QStringLiteral("4711"));
    ASSERT_GT(copy, 1);
    EXPECT_EQ(line.field(QStringLiteral("S_MatID")).asInteger(), copy);
    EXPECT_EQ(line.field(QStringLiteral("S_OldMatID")).asInteger(), copy);
    EXPECT_DOUBLE_EQ(lineValue(Doc::Rech, "S_OldMenge"), 5);
    // The central stock gave 5 units to the copy, which used them.
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 95);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagerwert"), 190);
    EXPECT_DOUBLE_EQ(article(1, "A_EinMengeTotal"), 0);
    EXPECT_DOUBLE_EQ(article(copy, "A_Lagermenge"), 0);
    EXPECT_DOUBLE_EQ(article(copy, "A_Lagerwert"), 0);
    EXPECT_DOUBLE_EQ(article(copy, "A_EinMengeTotal"), 5);
    EXPECT_DOUBLE_EQ(article(copy, "A_EinWertTotal"), 10);
    EXPECT_DOUBLE_EQ(article(copy, "A_EkPreis"), 2);
    // The transfer books in and out at the object; only the use costs the customer.
    EXPECT_DOUBLE_EQ(kostSum("KostSumD.db", kKostartWaren, 7, "K_Zugang"), 10);
    EXPECT_DOUBLE_EQ(kostSum("KostSumD.db", kKostartWaren, 7, "K_Bestand"), 0);
    EXPECT_DOUBLE_EQ(kostSum("KostSumD.db", kKostartWaren, 0, "K_Bestand"), -10);
    EXPECT_DOUBLE_EQ(customerCosts(100), 10);

    changeMenge(Doc::Rech, 7);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 93);
    EXPECT_DOUBLE_EQ(article(copy, "A_Lagermenge"), 0);
    EXPECT_DOUBLE_EQ(article(copy, "A_EinMengeTotal"), 7);
    EXPECT_DOUBLE_EQ(lineValue(Doc::Rech, "S_OldMenge"), 7);
    EXPECT_DOUBLE_EQ(customerCosts(100), 14);

    deleteLine(Doc::Rech);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 93);
    EXPECT_DOUBLE_EQ(article(copy, "A_Lagermenge"), 7);
    EXPECT_DOUBLE_EQ(article(copy, "A_Lagerwert"), 14);
    EXPECT_DOUBLE_EQ(article(copy, "A_EinMengeTotal"), 0);
    EXPECT_DOUBLE_EQ(customerCosts(100), 0);
}

TEST_F(LineBookings, AnUnchangedLineBooksNothing) {
    for (Doc doc : {Doc::Rech, Doc::LS, Doc::Gs}) {
        SCOPED_TRACE(tablesOf(doc).lineFile);
        addHead(doc, 1, 700);
        addLine(doc, 11, 1, {0, 0, 5, 1, 0});
        table::Table& line = postNew(doc, 1, 11);
        const double central = article(1, "A_Lagermenge");
        const int sums = rowCount(QStringLiteral("KostSumH.db"));
        const double costs = customerCosts(100);

        book(doc, false);
        EXPECT_EQ(line.state(), table::TableState::Browse);
        EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), central);
        EXPECT_EQ(rowCount(QStringLiteral("KostSumH.db")), sums);
        EXPECT_DOUBLE_EQ(customerCosts(100), costs);
    }
}

TEST_F(LineBookings, DeliveryNoteMovesOnlyWhatTheObjectsCopyLacks) {
    addArticle(2, 7, QStringLiteral("4711"), 3, 2.0);
    addHead(Doc::LS, 1, 700);
    addLine(Doc::LS, 11, 1, {0, 0, 5, 1, 0});

    table::Table& line = postNew(Doc::LS, 1, 11);
    EXPECT_EQ(line.field(QStringLiteral("S_MatID")).asInteger(), 2);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 98);
    EXPECT_DOUBLE_EQ(article(2, "A_Lagermenge"), 0);
    EXPECT_DOUBLE_EQ(article(2, "A_EinMengeTotal"), 5);
}

TEST_F(LineBookings, InvoiceOnAnObjectArticleFetchesTheShortfallFromTheCentralStock) {
    addArticle(2, 7, QStringLiteral("4711"), 1, 2.0);
    addHead(Doc::Rech, 1, 700);
    addLine(Doc::Rech, 11, 1, {0, 0, 5, 2, 0});

    postNew(Doc::Rech, 1, 11);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 96);
    EXPECT_DOUBLE_EQ(article(2, "A_Lagermenge"), 0);
}

TEST_F(LineBookings, DeletedDeliveryNoteLineGivesBackOnlyTheUninvoicedPart) {
    addArticle(2, 7, QStringLiteral("4711"), 0, 2.0);
    addHead(Doc::LS, 1, 700);
    addLine(Doc::LS, 11, 1, {0, 0, 10, 2, 0},
            {{QStringLiteral("S_MengeGeliefert"), 4.0},
             {QStringLiteral("S_OldMenge"), 10.0},
             {QStringLiteral("S_OldMatID"), 2},
             {QStringLiteral("S_OldPosTyp"), 0},
             {QStringLiteral("S_OldQuelle"), 0}});
    positionLine(head(Doc::LS), lines(Doc::LS), 1, 11);

    deleteLine(Doc::LS);
    EXPECT_DOUBLE_EQ(article(2, "A_Lagermenge"), 6);
    EXPECT_DOUBLE_EQ(article(2, "A_EinMengeTotal"), -6);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 100);
}

TEST_F(LineBookings, CreditNoteTakesGoodsBackIntoStock) {
    addHead(Doc::Gs, 1, 700);
    addLine(Doc::Gs, 11, 1, {0, 0, 2, 1, 0});

    postNew(Doc::Gs, 1, 11);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 102);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagerwert"), 204);
    EXPECT_DOUBLE_EQ(article(1, "A_EinMengeTotal"), -2);
    EXPECT_EQ(articleOf(7, QStringLiteral("4711")), 0); // no object copy for a return

    deleteLine(Doc::Gs);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 100);
    EXPECT_DOUBLE_EQ(article(1, "A_EinMengeTotal"), 0);
}

TEST_F(LineBookings, WithoutStockKeepingOnlyTheRunningTotalsChange) {
    addArticle(3, 0, QStringLiteral("0815"), 100, 2.0, false);
    addHead(Doc::Rech, 1, 0); // no object receives the goods
    addLine(Doc::Rech, 11, 1, {0, 0, 5, 3, 0});

    postNew(Doc::Rech, 1, 11);
    EXPECT_DOUBLE_EQ(article(3, "A_Lagermenge"), 100);
    EXPECT_DOUBLE_EQ(article(3, "A_Lagerwert"), 200);
    EXPECT_DOUBLE_EQ(article(3, "A_EinMengeTotal"), 5);
    EXPECT_DOUBLE_EQ(article(3, "A_EinWertTotal"), 10);
}

// A line copied from a source document marks that source as delivered or billed.
struct SourceCase {
    const char* name;
    Doc doc;
    int posTyp;
    int quelle;
    const char* sourceFile;
    const char* sourceField;
    double afterInsert, afterChange, afterDelete; // line of 4, changed to 6, deleted
    bool movesStock;
};
// Shown by the test runner in place of the raw bytes.
void PrintTo(const SourceCase& c, std::ostream* os) {
    *os << c.name;
}

class SourceLines : public LineBookings, public ::testing::WithParamInterface<SourceCase> {
protected:
    void SetUp() override {
        LineBookings::SetUp();
        addRow(QStringLiteral("Auftsatz.DB"), {{QStringLiteral("S_ID"), 50},
                                               {QStringLiteral("S_Ref"), 5},
                                               {QStringLiteral("S_Menge"), 10.0},
                                               {QStringLiteral("S_MengeGeliefert"), 0.0}});
        addRow(QStringLiteral("LSsatz.DB"), {{QStringLiteral("S_ID"), 50},
                                             {QStringLiteral("S_Ref"), 5},
                                             {QStringLiteral("S_Menge"), 10.0},
                                             {QStringLiteral("S_MengeGeliefert"), 0.0}});
        addRow(QStringLiteral("FremdLst.db"), {{QStringLiteral("S_ID"), 50},
                                               {QStringLiteral("S_ObjID"), 7},
                                               {QStringLiteral("S_Netto"), 30.0},
                                               {QStringLiteral("S_KostArt"), kKostartWaren},
                                               {QStringLiteral("S_Gebucht"), 0}});
    }
    double source() {
        const SourceCase& c = GetParam();
        return valueOf(QString::fromLatin1(c.sourceFile), QStringLiteral("S_ID"), 50,
                       QString::fromLatin1(c.sourceField))
            .toDouble();
    }
};

TEST_P(SourceLines, FollowTheLinesQuantity) {
    const SourceCase& c = GetParam();
    addHead(c.doc, 1, 700);
    addLine(c.doc, 11, 1, {c.posTyp, c.quelle, 4, c.posTyp == 0 ? 1 : 0, 50});

    postNew(c.doc, 1, 11);
    EXPECT_DOUBLE_EQ(source(), c.afterInsert);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), c.movesStock ? 96 : 100);
    changeMenge(c.doc, 6);
    EXPECT_DOUBLE_EQ(source(), c.afterChange);
    deleteLine(c.doc);
    EXPECT_DOUBLE_EQ(source(), c.afterDelete);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SourceLines,
    ::testing::Values(SourceCase{"InvoiceFromDeliveryNote", Doc::Rech, 0, 4, "LSsatz.DB",
                                 "S_MengeGeliefert", 4, 6, 0, false},
                      SourceCase{"InvoiceFromOrder", Doc::Rech, 0, 2, "Auftsatz.DB",
                                 "S_MengeGeliefert", 4, 6, 0, true},
                      SourceCase{"InvoiceFreeLineFromOrder", Doc::Rech, 4, 2, "Auftsatz.DB",
                                 "S_MengeGeliefert", 4, 6, 0, false},
                      SourceCase{"InvoiceServiceFromDeliveryNote", Doc::Rech, 2, 4, "LSsatz.DB",
                                 "S_MengeGeliefert", 4, 6, 0, false},
                      SourceCase{"InvoiceExternalService", Doc::Rech, 2, 0, "FremdLst.db",
                                 "S_Gebucht", 1, 1, 0, false},
                      SourceCase{"DeliveryNoteFromOrder", Doc::LS, 1, 2, "Auftsatz.DB",
                                 "S_MengeGeliefert", 4, 6, 0, false},
                      SourceCase{"DeliveryNoteExternalService", Doc::LS, 2, 0, "FremdLst.db",
                                 "S_Gebucht", 1, 1, 0, false},
                      // Delivery-note lines are not adjusted from another delivery note.
                      SourceCase{"DeliveryNoteFromDeliveryNote", Doc::LS, 4, 4, "LSsatz.DB",
                                 "S_MengeGeliefert", 0, 0, 0, false},
                      // Credit notes take goods back but leave their sources alone.
                      SourceCase{"CreditNoteFromOrder", Doc::Gs, 4, 2, "Auftsatz.DB",
                                 "S_MengeGeliefert", 0, 0, 0, false}),
    [](const ::testing::TestParamInfo<SourceCase>& info) { return std::string(info.param.name); });

TEST_F(LineBookings, ExternalServiceIsBookedOutOfTheCostsAndBackOnRelease) {
    addRow(QStringLiteral("FremdLst.db"), {{QStringLiteral("S_ID"), 50},
                                           {QStringLiteral("S_ObjID"), 7},
                                           {QStringLiteral("S_Netto"), 30.0},
                                           {QStringLiteral("S_KostArt"), kKostartWaren},
                                           {QStringLiteral("S_Gebucht"), 0}});
    addHead(Doc::Rech, 1, 700);
    addLine(Doc::Rech, 11, 1, {2, 0, 1, 0, 50});

    postNew(Doc::Rech, 1, 11);
    EXPECT_DOUBLE_EQ(kostSum("KostSumD.db", kKostartWaren, 7, "K_Bestand"), -30);
    EXPECT_DOUBLE_EQ(kostSum("KostSumH.db", -1, -1, "K_Bestand", QDate::currentDate(), 0), -30);
    EXPECT_DOUBLE_EQ(customerCosts(100), 30);
    EXPECT_FALSE(dm->TabFremdLeist().isOpen()); // opened for the booking only

    deleteLine(Doc::Rech);
    EXPECT_EQ(valueOf(QStringLiteral("FremdLst.db"), QStringLiteral("S_ID"), 50,
                      QStringLiteral("S_Gebucht"))
                  .toInt(),
              0);
    EXPECT_DOUBLE_EQ(kostSum("KostSumD.db", kKostartWaren, 7, "K_Bestand"), 0);
    EXPECT_DOUBLE_EQ(customerCosts(100), 0);
}

TEST_F(LineBookings, AFailedStepLeavesNothingBooked) {
    addArticle(2, 7, QStringLiteral("4711"), 0, 2.0);
    addHead(Doc::Rech, 1, 700);
    addLine(Doc::Rech, 11, 1, {0, 0, 5, 1, 0});
    table::Table& line = positionLine(head(Doc::Rech), lines(Doc::Rech), 1, 11);
    {
        // The central stock gives its goods, but the object's copy cannot take them.
        HeldElsewhere held(QStringLiteral("Artikel.DB"), QStringLiteral("A_ID"), 2);
        EXPECT_ANY_THROW(BookRechSatz(*dm, false));
    }
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 100);
    EXPECT_DOUBLE_EQ(article(2, "A_Lagermenge"), 0);
    EXPECT_EQ(rowCount(QStringLiteral("KostSumH.db")), 0);
    EXPECT_EQ(rowCount(QStringLiteral("AUmsatz.DB")), 0);
    EXPECT_EQ(line.field(QStringLiteral("S_MatID")).asInteger(), 1);
    EXPECT_FALSE(line.isEditing());

    // Once the copy is free the same line books in full.
    BookRechSatz(*dm, false);
    line.post();
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 95);
    EXPECT_EQ(line.field(QStringLiteral("S_MatID")).asInteger(), 2);
}

TEST_F(LineBookings, ObjectCopyIsACopyOfTheCentralArticleWithoutStock) {
    const int copy = CreateObjektArtikel(*dm, 1, 7);
    ASSERT_GT(copy, 1);
    EXPECT_EQ(valueOf(QStringLiteral("Artikel.DB"), QStringLiteral("A_ID"), copy,
                      QStringLiteral("A_Bezeich1"))
                  .toString(),
              QStringLiteral("Reiniger"));
    EXPECT_EQ(article(copy, "A_ObjID"), 7);
    EXPECT_DOUBLE_EQ(article(copy, "A_EkPreis"), 2);
    EXPECT_DOUBLE_EQ(article(copy, "A_Lagermenge"), 0);
    EXPECT_EQ(article(copy, "A_Kostart"), kKostartWaren);
    // A second call finds the copy; unknown ids give 0.
    EXPECT_EQ(CreateObjektArtikel(*dm, 1, 7), copy);
    EXPECT_EQ(CreateObjektArtikel(*dm, 99, 7), 0);
    EXPECT_EQ(CreateObjektArtikel(*dm, 1, 0), 0);
    EXPECT_EQ(dm->ArtikelObjId(), 0);
}

TEST_F(LineBookings, ObjectCopyNeedsTheArticleCreateRight) {
    createAllowed = false;
    EXPECT_ANY_THROW(CreateObjektArtikel(*dm, 1, 7));
    EXPECT_EQ(articleOf(7, QStringLiteral("4711")), 0);
    EXPECT_EQ(dm->ArtikelObjId(), 0);
}

TEST_F(LineBookings, TransferNeedsBothArticles) {
    TransferArtikelBestand(*dm, QStringLiteral("4711"), 0, 7, 5); // no copy at object 7
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 100);
    addArticle(2, 7, QStringLiteral("4711"), 0, 3.0);
    TransferArtikelBestand(*dm, QStringLiteral("4711"), 0, 7, 5);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagermenge"), 95);
    EXPECT_DOUBLE_EQ(article(1, "A_Lagerwert"), 190);
    EXPECT_DOUBLE_EQ(article(2, "A_Lagermenge"), 5);
    EXPECT_DOUBLE_EQ(article(2, "A_Lagerwert"), 15); // at the copy's own price
    EXPECT_DOUBLE_EQ(article(1, "A_EinMengeTotal"), 0);
    // The cost entries of a transfer are not recorded in the journal.
    EXPECT_EQ(rowCount(QStringLiteral("Kosten.db")), 0);
    EXPECT_FALSE(BookArtikelBestand(*dm, 99, false, 1));
    EXPECT_FALSE(BookArtikelBestand(*dm, 1, false, 0));
}

} // namespace
