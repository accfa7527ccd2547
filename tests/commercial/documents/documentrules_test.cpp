#include "commercial/documentrulesfixture.h"
#include "commercial/documents/documentrules.h"
#include "core/files/programdirs.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/session.h"

using table::Table;

namespace {

using Kind = MessagePresenter::Kind;

class DocumentRulesTest : public doctest::DocumentRules {};

struct LineKind {
    const char* line;
    const char* head;
    int origin;
};

TEST_F(DocumentRulesTest, NewLinesGetKeyPositionNumberAndTheirTablesDefaults) {
    const LineKind kinds[] = {
        {"TabRechSatz", "TabRechKopf", 14}, {"TabGsSatz", "TabGsKopf", 14},
        {"TabLSSatz", "TabLSKopf", 11},     {"TabAuftSatz", "TabAuftKopf", 0},
        {"TabAngSatz", "TabAngKopf", 0},
    };
    for (const LineKind& kind : kinds) {
        SCOPED_TRACE(kind.line);
        Table& lines = dm->table(QLatin1String(kind.line));
        newHead(dm->table(QLatin1String(kind.head)), lines);
        lines.append();
        EXPECT_GT(lines.field(QStringLiteral("S_ID")).asInteger(), 0);
        EXPECT_EQ(lines.field(QStringLiteral("S_PosNr")).asInteger(), 1000000);
        EXPECT_EQ(lines.field(QStringLiteral("S_PosNr")).text(), QStringLiteral("1"));
        EXPECT_EQ(lines.field(QStringLiteral("S_Origin")).asInteger(), kind.origin);
        EXPECT_EQ(lines.field(QStringLiteral("S_MwstKz")).asInteger(), 1);
        EXPECT_DOUBLE_EQ(num(lines, "S_Mwst"), 19.0);
        EXPECT_DOUBLE_EQ(num(lines, "S_Menge"), 1.0);
        EXPECT_EQ(lines.field(QStringLiteral("S_PosTyp")).asInteger(), 4);
        EXPECT_FALSE(dm->IsInitNewRecord());
        if (lines.findField(QStringLiteral("S_QuellNr"))) {
            // Invoice-kind lines start with nothing booked and a typed source.
            EXPECT_EQ(lines.field(QStringLiteral("S_QuellNr")).asString(),
                      QStringLiteral("manuell"));
            EXPECT_EQ(lines.field(QStringLiteral("S_OldPosTyp")).asInteger(), 4);
            EXPECT_DOUBLE_EQ(num(lines, "S_OldMenge"), 0.0);
        }
        lines.post();
        lines.append();
        EXPECT_EQ(lines.field(QStringLiteral("S_PosNr")).asInteger(), 2000000);
        lines.cancel();
    }
}

TEST_F(DocumentRulesTest, RulesFollowTheTablesOfANewClient) {
    dm->SetupLumoAlias(DataDir);
    Table& lines = dm->TabRechSatz();
    newHead(dm->TabRechKopf(), lines);
    lines.append();
    EXPECT_EQ(lines.field(QStringLiteral("S_Origin")).asInteger(), 14);
    EXPECT_EQ(lines.field(QStringLiteral("S_PosNr")).asInteger(), 1000000);
    lines.cancel();
}

TEST_F(DocumentRulesTest, EditorsGetTheFocusOnTheQuantityColumn) {
    QStringList focused;
    auto record = [&focused](const QString& field) { focused << field; };
    DocumentFormHooksRegistry().FocusRgEditColumn = record;
    DocumentFormHooksRegistry().FocusLSEditColumn = record;
    Table& lines = dm->TabRechSatz();
    newHead(dm->TabRechKopf(), lines);
    addLine(lines, 1, 5);
    // After the new record and after the post.
    EXPECT_EQ(focused, QStringList({"TabRechSatzS_Menge", "TabRechSatzS_Menge"}));
    focused.clear();
    Table& ls = dm->TabLSSatz();
    newHead(dm->TabLSKopf(), ls);
    addLine(ls, 1, 5);
    EXPECT_EQ(focused, QStringList({"TabLSSatzS_Menge"}));
}

TEST_F(DocumentRulesTest, NoFreePositionNumberRefusesTheInsert) {
    Table& lines = dm->TabRechSatz();
    newHead(dm->TabRechKopf(), lines);
    addLine(lines, 1, 5);
    SetLastLineKey(InsertLineKey);
    EXPECT_THROW(lines.insert(), Abort);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList({"Für die Einfügeposition stehen keine freien Positionsnummern mehr "
                           "zur Verfügung!"}));
    EXPECT_FALSE(dm->IsInitNewRecord());
    EXPECT_FALSE(lines.isEditing());
    EXPECT_EQ(lines.recordCount(), 1);
}

TEST_F(DocumentRulesTest, InsertBeforeASecondLineGoesOneLevelDeeper) {
    Table& lines = dm->TabRechSatz();
    newHead(dm->TabRechKopf(), lines);
    addLine(lines, 1, 5);
    addLine(lines, 1, 5);
    lines.last();
    SetLastLineKey(InsertLineKey);
    lines.insert();
    EXPECT_EQ(lines.field(QStringLiteral("S_PosNr")).asInteger(), 1010000);
    lines.cancel();
}

TEST_F(DocumentRulesTest, TypedPositionNumberIsNormalisedAndShownDotted) {
    Table& lines = dm->TabRechSatz();
    newHead(dm->TabRechKopf(), lines);
    lines.append();
    lines.field(QStringLiteral("S_PosNr")).setValue(102);
    EXPECT_EQ(lines.field(QStringLiteral("S_PosNr")).asInteger(), 1020000);
    EXPECT_EQ(lines.field(QStringLiteral("S_PosNr")).text(), QStringLiteral("1.02"));
    lines.cancel();
}

TEST_F(DocumentRulesTest, LineAmountsAndDocumentSumsFollowTheLines) {
    Table& head = dm->TabRechKopf();
    Table& lines = dm->TabRechSatz();
    newHead(head, lines);
    lines.append();
    lines.field(QStringLiteral("S_Menge")).setValue(3);
    lines.field(QStringLiteral("S_EPreis")).setValue(10);
    EXPECT_DOUBLE_EQ(num(lines, "S_Netto"), 30.0);
    EXPECT_DOUBLE_EQ(num(lines, "S_MwstBetrag"), 5.7);
    EXPECT_DOUBLE_EQ(num(lines, "S_Brutto"), 35.7);
    lines.field(QStringLiteral("S_MwstKz")).setValue(2);
    EXPECT_DOUBLE_EQ(num(lines, "S_Mwst"), 7.0);
    EXPECT_DOUBLE_EQ(num(lines, "S_MwstBetrag"), 2.1);
    lines.post();
    EXPECT_DOUBLE_EQ(num(head, "R_Netto"), 30.0);
    EXPECT_DOUBLE_EQ(num(head, "R_Mwst2"), 2.1);
    EXPECT_DOUBLE_EQ(num(head, "R_Brutto"), 32.1);
    addLine(lines, 1, 5);
    EXPECT_DOUBLE_EQ(num(head, "R_Netto"), 35.0);
    lines.first();
    lines.deleteRecord();
    EXPECT_DOUBLE_EQ(num(head, "R_Netto"), 5.0);
    EXPECT_DOUBLE_EQ(num(head, "R_Mwst1"), 0.95);
}

TEST_F(DocumentRulesTest, SubtotalLineLosesItsAmountsAndTakesTheRunningSum) {
    Table& head = dm->TabRechKopf();
    Table& lines = dm->TabRechSatz();
    newHead(head, lines);
    addLine(lines, 2, 10);
    lines.append();
    lines.field(QStringLiteral("S_Menge")).setValue(4);
    lines.field(QStringLiteral("S_PosArt")).setValue(4);
    EXPECT_DOUBLE_EQ(num(lines, "S_Menge"), 0.0);
    EXPECT_EQ(lines.field(QStringLiteral("S_Kurztext")).asString(),
              QStringLiteral("Zwischensumme"));
    EXPECT_EQ(lines.field(QStringLiteral("S_MwstKz")).asInteger(), 0);
    // The kind's change posted the line and recalculated the document.
    EXPECT_FALSE(lines.isEditing());
    EXPECT_DOUBLE_EQ(num(head, "R_Netto"), 20.0);
    lines.refresh();
    lines.last();
    EXPECT_DOUBLE_EQ(num(lines, "S_Netto"), 20.0);
}

TEST_F(DocumentRulesTest, InvoiceQuantityIsCappedToWhatTheOrderLineHasLeft) {
    addRow(QStringLiteral("Auftsatz.DB"), {{QStringLiteral("S_ID"), 50},
                                           {QStringLiteral("S_Ref"), 99},
                                           {QStringLiteral("S_Menge"), 10.0},
                                           {QStringLiteral("S_MengeGeliefert"), 8.0}});
    Table& lines = dm->TabRechSatz();
    const int headId = newHead(dm->TabRechKopf(), lines);
    addRow(QStringLiteral("Rechsatz.db"), {{QStringLiteral("S_ID"), 70},
                                           {QStringLiteral("S_Ref"), headId},
                                           {QStringLiteral("S_PosNr"), 1000000},
                                           {QStringLiteral("S_PosArt"), 0},
                                           {QStringLiteral("S_PosTyp"), 4},
                                           {QStringLiteral("S_OldPosTyp"), 4},
                                           {QStringLiteral("S_Quelle"), 2},
                                           {QStringLiteral("S_RefID"), 50},
                                           {QStringLiteral("S_Menge"), 2.0},
                                           {QStringLiteral("S_OldMenge"), 2.0}});
    lines.refresh();
    ASSERT_TRUE(lines.locate({QStringLiteral("S_ID")}, {70}));
    lines.edit();
    EXPECT_THROW(lines.field(QStringLiteral("S_Menge")).setValue(5), Abort);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList({"Die berechnete Menge ist zu hoch\rEs können nur noch 4,00 Einheiten "
                           "berechnet werden!"}));
    EXPECT_DOUBLE_EQ(num(lines, "S_Menge"), 2.0);
    // What is left may be billed.
    lines.field(QStringLiteral("S_Menge")).setValue(4);
    EXPECT_DOUBLE_EQ(num(lines, "S_Menge"), 4.0);
    EXPECT_EQ(presenter.texts(Kind::Error).size(), 1);
    lines.cancel();
}

TEST_F(DocumentRulesTest, QuantityCapsOnlyApplyToTypedChanges) {
    Table& lines = dm->TabLSSatz();
    const int headId = newHead(dm->TabLSKopf(), lines);
    addRow(QStringLiteral("LSsatz.DB"), {{QStringLiteral("S_ID"), 80},
                                         {QStringLiteral("S_Ref"), headId},
                                         {QStringLiteral("S_PosNr"), 1000000},
                                         {QStringLiteral("S_PosTyp"), 4},
                                         {QStringLiteral("S_OldPosTyp"), 4},
                                         {QStringLiteral("S_Menge"), 5.0},
                                         {QStringLiteral("S_MengeGeliefert"), 3.0}});
    lines.refresh();
    ASSERT_TRUE(lines.locate({QStringLiteral("S_ID")}, {80}));
    lines.edit();
    EXPECT_THROW(lines.field(QStringLiteral("S_Menge")).setValue(2), Abort);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList({"Die eingegebene Menge ist zu niedrig\rEs wurden bereits 3,00 "
                           "Einheiten in Rechnung gestellt!"}));
    EXPECT_DOUBLE_EQ(num(lines, "S_Menge"), 5.0);
    lines.field(QStringLiteral("S_Menge")).setValue(3);
    EXPECT_DOUBLE_EQ(num(lines, "S_Menge"), 3.0);
    // While a new record is filled nothing is checked.
    dm->SetInitNewRecord(true);
    lines.field(QStringLiteral("S_Menge")).setValue(1);
    dm->SetInitNewRecord(false);
    EXPECT_DOUBLE_EQ(num(lines, "S_Menge"), 1.0);
    lines.cancel();
}

TEST_F(DocumentRulesTest, OrderHeadDeleteRemovesItsLinesWithoutLineRules) {
    Table& head = dm->TabAuftKopf();
    Table& lines = dm->TabAuftSatz();
    const int other = newHead(head, lines);
    addLine(lines, 1, 1);
    const int id = newHead(head, lines);
    addLine(lines, 4, 1);
    addLine(lines, 2, 1);
    lines.first();
    lines.edit();
    lines.field(QStringLiteral("S_MengeGeliefert")).setValue(3.0);
    lines.post();
    head.post();
    ASSERT_EQ(rows(QStringLiteral("Auftsatz.DB"), QStringLiteral("S_Ref"), id), 2);
    head.deleteRecord();
    EXPECT_EQ(rows(QStringLiteral("Auftsatz.DB"), QStringLiteral("S_Ref"), id), 0);
    EXPECT_EQ(rows(QStringLiteral("Auftsatz.DB"), QStringLiteral("S_Ref"), other), 1);
    EXPECT_EQ(rows(QStringLiteral("Auftkopf.DB"), QStringLiteral("R_ID"), id), 0);
    EXPECT_DOUBLE_EQ(stock(), 10.0);
}

// An article line of the current invoice: stock leaves when it is posted.
class InvoiceBookings : public DocumentRulesTest {
protected:
    void SetUp() override {
        DocumentRulesTest::SetUp();
        headId = newHead(dm->TabRechKopf(), dm->TabRechSatz());
    }
    void startArticleLine(double menge) {
        Table& lines = dm->TabRechSatz();
        lines.append();
        lines.field(QStringLiteral("S_PosTyp")).setValue(0);
        lines.field(QStringLiteral("S_MatID")).setValue(7);
        lines.field(QStringLiteral("S_SrcNr")).setValue(QStringLiteral("A7"));
        lines.field(QStringLiteral("S_Menge")).setValue(menge);
        lines.field(QStringLiteral("S_EPreis")).setValue(4.0);
    }
    int headId = 0;
};

TEST_F(InvoiceBookings, HeadDeleteReversesEveryLinesBooking) {
    Table& head = dm->TabRechKopf();
    Table& lines = dm->TabRechSatz();
    startArticleLine(3);
    lines.post();
    startArticleLine(2);
    lines.post();
    head.post();
    ASSERT_DOUBLE_EQ(stock(), 5.0);
    head.deleteRecord();
    EXPECT_DOUBLE_EQ(stock(), 10.0);
    EXPECT_EQ(rows(QStringLiteral("Rechsatz.db"), QStringLiteral("S_Ref"), headId), 0);
    EXPECT_EQ(rows(QStringLiteral("Rechkopf.DB"), QStringLiteral("R_ID"), headId), 0);
}

TEST_F(InvoiceBookings, HeadDeleteThatFailsKeepsLinesAndBookings) {
    Table& head = dm->TabRechKopf();
    Table& lines = dm->TabRechSatz();
    startArticleLine(3);
    lines.post();
    const int first = lines.field(QStringLiteral("S_ID")).asInteger();
    startArticleLine(2);
    lines.post();
    const int second = lines.field(QStringLiteral("S_ID")).asInteger();
    head.post();
    {
        // The second line is held at another workstation: its delete fails.
        datatest::HeldElsewhere held(QStringLiteral("Rechsatz.db"), QStringLiteral("S_ID"), second);
        EXPECT_ANY_THROW(head.deleteRecord());
    }
    EXPECT_DOUBLE_EQ(stock(), 5.0);
    EXPECT_EQ(rows(QStringLiteral("Rechsatz.db"), QStringLiteral("S_ID"), first), 1);
    EXPECT_EQ(rows(QStringLiteral("Rechkopf.DB"), QStringLiteral("R_ID"), headId), 1);
    head.refresh();
    lines.refresh();
    head.deleteRecord();
    EXPECT_DOUBLE_EQ(stock(), 10.0);
}

TEST_F(InvoiceBookings, FailedPostUndoesItsBookingsAndTheRetryBooksOnce) {
    addRow(QStringLiteral("Auftsatz.DB"), {{QStringLiteral("S_ID"), 50},
                                           {QStringLiteral("S_Ref"), 99},
                                           {QStringLiteral("S_Menge"), 100.0},
                                           {QStringLiteral("S_MengeGeliefert"), 0.0}});
    Table& lines = dm->TabRechSatz();
    startArticleLine(3);
    lines.field(QStringLiteral("S_Quelle")).setValue(2);
    lines.field(QStringLiteral("S_RefID")).setValue(50);
    {
        // The order line is written after the stock: held, the post fails late.
        datatest::HeldElsewhere held(QStringLiteral("Auftsatz.DB"), QStringLiteral("S_ID"), 50);
        EXPECT_ANY_THROW(lines.post());
    }
    EXPECT_TRUE(lines.isEditing());
    EXPECT_DOUBLE_EQ(stock(), 10.0);
    EXPECT_DOUBLE_EQ(num(lines, "S_OldMenge"), 0.0);
    EXPECT_EQ(lines.field(QStringLiteral("S_OldPosTyp")).asInteger(), 4);
    EXPECT_EQ(rows(QStringLiteral("Rechsatz.db"), QStringLiteral("S_Ref"), headId), 0);
    lines.post();
    EXPECT_DOUBLE_EQ(stock(), 7.0);
    EXPECT_DOUBLE_EQ(valueOf(QStringLiteral("Auftsatz.DB"), QStringLiteral("S_ID"), 50,
                             QStringLiteral("S_MengeGeliefert"))
                         .toDouble(),
                     3.0);
    EXPECT_DOUBLE_EQ(valueOf(QStringLiteral("Rechsatz.db"), QStringLiteral("S_ID"),
                             lines.field(QStringLiteral("S_ID")).asInteger(),
                             QStringLiteral("S_OldMenge"))
                         .toDouble(),
                     3.0);
}

TEST_F(InvoiceBookings, ALaterRefusalBeforeTheWriteUndoesTheBookingsAtOnce) {
    Table& lines = dm->TabRechSatz();
    startArticleLine(3);
    bool refuse = true;
    lines.beforePost += [&refuse](Table&) {
        if (refuse)
            throw Abort{};
    };
    EXPECT_THROW(lines.post(), Abort);
    EXPECT_EQ(table::aliases::database(datatest::kDb)->transactionDepth(), 0);
    EXPECT_TRUE(lines.isEditing());
    EXPECT_DOUBLE_EQ(stock(), 10.0);
    EXPECT_DOUBLE_EQ(num(lines, "S_OldMenge"), 0.0);
    refuse = false;
    lines.post();
    EXPECT_DOUBLE_EQ(stock(), 7.0);
}

TEST_F(InvoiceBookings, LineWriteThatFailsAfterTheBookingsUndoesThem) {
    Table& lines = dm->TabRechSatz();
    startArticleLine(3);
    {
        doctest::LockedElsewhere locked(QStringLiteral("Rechsatz.db"));
        EXPECT_ANY_THROW(lines.post());
    }
    EXPECT_TRUE(lines.isEditing());
    EXPECT_DOUBLE_EQ(stock(), 10.0);
    EXPECT_DOUBLE_EQ(num(lines, "S_OldMenge"), 0.0);
    EXPECT_EQ(lines.field(QStringLiteral("S_OldPosTyp")).asInteger(), 4);
    EXPECT_EQ(lines.field(QStringLiteral("S_OldMatID")).asInteger(), 0);
    lines.post();
    EXPECT_DOUBLE_EQ(stock(), 7.0);
    EXPECT_DOUBLE_EQ(valueOf(QStringLiteral("Rechsatz.db"), QStringLiteral("S_ID"),
                             lines.field(QStringLiteral("S_ID")).asInteger(),
                             QStringLiteral("S_OldMenge"))
                         .toDouble(),
                     3.0);
}

TEST_F(InvoiceBookings, KeyTakenMeanwhileIsRetriedWithAFreshKeyAndBooksOnce) {
    Table& lines = dm->TabRechSatz();
    startArticleLine(3);
    const int key = lines.field(QStringLiteral("S_ID")).asInteger();
    addRow(QStringLiteral("Rechsatz.db"),
           {{QStringLiteral("S_ID"), key}, {QStringLiteral("S_Ref"), 999}});
    lines.post();
    EXPECT_EQ(lines.field(QStringLiteral("S_ID")).asInteger(), key + 1);
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_DOUBLE_EQ(stock(), 7.0);
}

TEST_F(InvoiceBookings, BookAllRechSatzBooksNothingTwice) {
    Table& lines = dm->TabRechSatz();
    startArticleLine(3);
    lines.post();
    // A line written in code, without the rules: nothing booked yet.
    addRow(QStringLiteral("Rechsatz.db"), {{QStringLiteral("S_ID"), 90},
                                           {QStringLiteral("S_Ref"), headId},
                                           {QStringLiteral("S_PosNr"), 2000000},
                                           {QStringLiteral("S_PosArt"), 0},
                                           {QStringLiteral("S_PosTyp"), 0},
                                           {QStringLiteral("S_OldPosTyp"), 4},
                                           {QStringLiteral("S_MatID"), 7},
                                           {QStringLiteral("S_SrcNr"), QStringLiteral("A7")},
                                           {QStringLiteral("S_Menge"), 2.0},
                                           {QStringLiteral("S_EPreis"), 1.0}});
    lines.refresh();
    BookAllRechSatz(*dm);
    EXPECT_DOUBLE_EQ(stock(), 5.0);
    BookAllRechSatz(*dm);
    EXPECT_DOUBLE_EQ(stock(), 5.0);
    EXPECT_DOUBLE_EQ(num(dm->TabRechKopf(), "R_Netto"), 14.0);
}

TEST_F(DocumentRulesTest, DeliveryNoteHeadChecksItsObjectNumber) {
    Table& head = dm->TabLSKopf();
    newHead(head, dm->TabLSSatz());
    EXPECT_EQ(head.field(QStringLiteral("R_ObjektNr")).asInteger(), 0);
    head.edit();
    EXPECT_THROW(head.field(QStringLiteral("R_ObjektNr")).setValue(501), Abort);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList({"Sie müssen eine gültige Objektnummer eingeben!"}));
    EXPECT_EQ(head.field(QStringLiteral("R_ObjektNr")).asInteger(), 0);
    head.field(QStringLiteral("R_ObjektNr")).setValue(500);
    EXPECT_EQ(head.field(QStringLiteral("R_ObjektNr")).asInteger(), 500);
    head.post();
}

TEST_F(DocumentRulesTest, DueDateIsPrintDatePlusNetDays) {
    for (const char* name : {"TabRechKopf", "TabERKopf"}) {
        SCOPED_TRACE(name);
        Table& head = dm->table(QLatin1String(name));
        if (!head.isOpen())
            head.open();
        head.append();
        head.field(QStringLiteral("R_ZahlBedNettoTage")).setValue(14);
        head.field(QStringLiteral("R_DatumDruck")).setValue(QDate(2026, 2, 20));
        EXPECT_EQ(head.field(QStringLiteral("R_FaelligDatum")).asDate(), QDate(2026, 3, 6));
        head.field(QStringLiteral("R_ZahlBedNettoTage")).setValue(30);
        EXPECT_EQ(head.field(QStringLiteral("R_FaelligDatum")).asDate(), QDate(2026, 3, 22));
        head.post();
    }
}

TEST_F(DocumentRulesTest, InvoiceTablesOpenCountedAndCloseWithTheLastCaller) {
    Table& head = dm->TabRechKopf();
    Table& lines = dm->TabRechSatz();
    OpenRechnungTables(*dm, false);
    OpenRechnungTables(*dm, true);
    EXPECT_TRUE(head.isOpen());
    EXPECT_TRUE(lines.isOpen());
    CloseRechnungTables(*dm);
    EXPECT_TRUE(head.isOpen());
    CloseRechnungTables(*dm);
    EXPECT_FALSE(head.isOpen());
    EXPECT_FALSE(lines.isOpen());
    // A first open with the write lock keeps other workstations from writing.
    auto other = std::make_shared<table::Session>(NetDir, QStringLiteral("andere"));
    auto db = table::Database::open(DataDir);
    db->setSession(other);
    table::Table elsewhere(db, QStringLiteral("Rechkopf.DB"));
    elsewhere.open();
    OpenRechnungTables(*dm, true);
    EXPECT_ANY_THROW(elsewhere.appendRecord({1001}));
    EXPECT_FALSE(elsewhere.isEditing());
    CloseRechnungTables(*dm);
    elsewhere.appendRecord({1002});
    OpenRechnungTables(*dm, false);
    elsewhere.appendRecord({1003});
    CloseRechnungTables(*dm);
    EXPECT_FALSE(head.isOpen());
}

TEST_F(DocumentRulesTest, ExternalServiceAsksBeforeAnUnbilledOneIsDeleted) {
    ASSERT_TRUE(OpenFremdLeist(*dm));
    Table& services = dm->TabFremdLeist();
    services.append();
    EXPECT_EQ(services.field(QStringLiteral("S_Origin")).asInteger(), 13);
    EXPECT_EQ(services.field(QStringLiteral("S_Gebucht")).asInteger(), 0);
    EXPECT_DOUBLE_EQ(num(services, "S_Mwst"), 19.0);
    services.post();
    presenter.answers = {false};
    EXPECT_THROW(services.deleteRecord(), Abort);
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList({"Der Satz wurde noch nicht in eine Rechnung übernommen?\rTrotzdem "
                           "löschen?"}));
    EXPECT_EQ(services.recordCount(), 1);
    presenter.answers = {true};
    services.deleteRecord();
    EXPECT_EQ(services.recordCount(), 0);
    // A billed one goes without a question.
    services.append();
    services.field(QStringLiteral("S_Gebucht")).setValue(1);
    services.post();
    presenter.boxes.clear();
    services.deleteRecord();
    EXPECT_TRUE(presenter.boxes.isEmpty());
    CloseFremdLeist(*dm);
    EXPECT_FALSE(services.isOpen());
}

} // namespace

namespace {

TEST_F(InvoiceBookings, HeadDeleteOpensItsClosedLineObject) {
    Table& head = dm->TabRechKopf();
    Table& lines = dm->TabRechSatz();
    startArticleLine(3);
    lines.post();
    head.post();
    lines.close();
    head.deleteRecord();
    EXPECT_DOUBLE_EQ(stock(), 10.0);
    EXPECT_EQ(rows(QStringLiteral("Rechsatz.db"), QStringLiteral("S_Ref"), headId), 0);
    EXPECT_FALSE(lines.isOpen());
}

TEST_F(InvoiceBookings, LineDeleteWhoseBookingFailsKeepsLineAndStock) {
    Table& lines = dm->TabRechSatz();
    startArticleLine(3);
    lines.post();
    const int id = lines.field(QStringLiteral("S_ID")).asInteger();
    {
        datatest::HeldElsewhere held(QStringLiteral("Artikel.DB"), QStringLiteral("A_ID"), 7);
        EXPECT_ANY_THROW(lines.deleteRecord());
    }
    EXPECT_FALSE(lines.isEditing());
    EXPECT_EQ(rows(QStringLiteral("Rechsatz.db"), QStringLiteral("S_ID"), id), 1);
    EXPECT_DOUBLE_EQ(stock(), 7.0);
    lines.refresh();
    ASSERT_TRUE(lines.locate({QStringLiteral("S_ID")}, {id}));
    lines.deleteRecord();
    EXPECT_DOUBLE_EQ(stock(), 10.0);
}

TEST_F(DocumentRulesTest, DeliveryNoteLineDeleteGivesBackOnlyWhatWasNotInvoiced) {
    Table& head = dm->TabLSKopf();
    Table& lines = dm->TabLSSatz();
    newHead(head, lines);
    head.edit();
    head.field(QStringLiteral("R_ObjektNr")).setValue(500);
    head.post();
    lines.append();
    lines.field(QStringLiteral("S_PosTyp")).setValue(0);
    lines.field(QStringLiteral("S_MatID")).setValue(7);
    lines.field(QStringLiteral("S_SrcNr")).setValue(QStringLiteral("A7"));
    lines.field(QStringLiteral("S_Menge")).setValue(5);
    lines.post();
    const int id = lines.field(QStringLiteral("S_ID")).asInteger();
    const int objectArticle = lines.field(QStringLiteral("S_MatID")).asInteger();
    const auto objectStock = [&] {
        return valueOf(QStringLiteral("Artikel.DB"), QStringLiteral("A_ID"), objectArticle,
                       QStringLiteral("A_Lagermenge"))
            .toDouble();
    };
    ASSERT_DOUBLE_EQ(objectStock(), 0.0);
    {
        // Three of the five were invoiced meanwhile.
        auto stored = open(QStringLiteral("LSsatz.DB"));
        ASSERT_TRUE(stored->locate({QStringLiteral("S_ID")}, {id}));
        stored->edit();
        stored->field(QStringLiteral("S_MengeGeliefert")).setValue(3.0);
        stored->post();
    }
    lines.refresh();
    ASSERT_TRUE(lines.locate({QStringLiteral("S_ID")}, {id}));
    lines.deleteRecord();
    EXPECT_DOUBLE_EQ(objectStock(), 2.0);
}

TEST_F(DocumentRulesTest, OrderHeadLeavesNoLinesBehindWhenItsLineObjectIsClosed) {
    Table& head = dm->TabAuftKopf();
    Table& lines = dm->TabAuftSatz();
    const int id = newHead(head, lines);
    addLine(lines, 1, 1);
    head.post();
    lines.close();
    head.deleteRecord();
    EXPECT_EQ(rows(QStringLiteral("Auftsatz.DB"), QStringLiteral("S_Ref"), id), 0);
}

TEST_F(DocumentRulesTest, CreditNoteTypedNetAmountIsComputedAgain) {
    Table& head = dm->TabGsKopf();
    Table& lines = dm->TabGsSatz();
    newHead(head, lines);
    lines.append();
    lines.field(QStringLiteral("S_Menge")).setValue(2);
    lines.field(QStringLiteral("S_EPreis")).setValue(7.5);
    lines.field(QStringLiteral("S_Netto")).setValue(99);
    EXPECT_DOUBLE_EQ(num(lines, "S_Netto"), 15.0);
    lines.post();
    EXPECT_DOUBLE_EQ(num(head, "R_Brutto"), 17.85);
}

} // namespace
