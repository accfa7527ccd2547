#include "datasafety/documentarchive/archiveconnection.h"
#include "datasafety/documentarchive/documentmove.h"
#include "documentfixture.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace archivetest {
namespace {

// Every family: the marked head with its lines arrives in its archive pair
// under new keys and leaves the working tables; the unmarked one stays.
class FamilyMove : public DocumentFixture, public ::testing::WithParamInterface<ArchiveFamily> {};

TEST_P(FamilyMove, MarkedHeadAndItsLinesChangeDatabases) {
    const ArchiveTables& t = ArchiveTablesOf(GetParam());
    // Incoming invoices order their lines by S_Ref alone: no position number.
    const bool positions = open(t.sourceLines)->findField(u"S_PosNr"_s) != nullptr;
    addHead(t.sourceHead, 40, u"D-40"_s, true, {{u"R_Brutto"_s, 119.0}});
    addHead(t.sourceHead, 41, u"D-41"_s, false);
    addLine(t.sourceLines, 70, 40, positions ? 2 : -1, {{u"S_Kurztext"_s, u"zwei"_s}});
    addLine(t.sourceLines, 71, 40, positions ? 1 : -1, {{u"S_Kurztext"_s, u"eins"_s}});
    addLine(t.sourceLines, 72, 41, positions ? 1 : -1);

    const DocumentMoveResult result = move(GetParam());
    EXPECT_EQ(result.marked, 1);
    EXPECT_EQ(result.movedIds, QList<int>{40});
    EXPECT_TRUE(result.notMoved.isEmpty());

    auto head = open(t.archiveHead, kAblage);
    ASSERT_EQ(head->recordCount(), 1);
    EXPECT_EQ(head->field(u"R_ID"_s).asInteger(), 1);
    EXPECT_EQ(head->field(u"R_Nr"_s).asString(), u"D-40"_s);
    EXPECT_TRUE(head->field(u"R_Selected"_s).asBoolean()); // arrives marked
    EXPECT_DOUBLE_EQ(head->field(u"R_Brutto"_s).asFloat(), 119.0);
    auto lines = open(t.archiveLines, kAblage);
    ASSERT_EQ(lines->recordCount(), 2);
    for (lines->first(); !lines->eof(); lines->next())
        EXPECT_EQ(lines->field(u"S_Ref"_s).asInteger(), 1);
    if (positions) {
        // Keys follow the position order, not the working keys.
        ASSERT_TRUE(lines->locate({u"S_ID"_s}, {1}));
        EXPECT_EQ(lines->field(u"S_Kurztext"_s).asString(), u"eins"_s);
        ASSERT_TRUE(lines->locate({u"S_ID"_s}, {2}));
        EXPECT_EQ(lines->field(u"S_Kurztext"_s).asString(), u"zwei"_s);
    }

    auto working = open(t.sourceHead);
    ASSERT_EQ(working->recordCount(), 1);
    EXPECT_EQ(working->field(u"R_ID"_s).asInteger(), 41);
    auto workingLines = open(t.sourceLines);
    ASSERT_EQ(workingLines->recordCount(), 1);
    EXPECT_EQ(workingLines->field(u"S_ID"_s).asInteger(), 72);
}

INSTANTIATE_TEST_SUITE_P(SevenPairs, FamilyMove, ::testing::ValuesIn(ArchiveFamilies()));

using DocumentMove = DocumentFixture;

TEST_F(DocumentMove, KeysStartAtOneOrContinueAfterTheArchivesLargest) {
    addHead(u"Angkopf.DB"_s, 500, u"A1"_s, true);
    addLine(u"AngSatz.DB"_s, 900, 500, 1);
    move(ArchiveFamily::Offers);
    auto head = open(u"Angkopf.DB"_s, kAblage);
    EXPECT_EQ(head->field(u"R_ID"_s).asInteger(), 1);
    EXPECT_EQ(open(u"AngSatz.DB"_s, kAblage)->field(u"S_ID"_s).asInteger(), 1);

    // The archive's own largest keys count, whatever the working keys are.
    addHead(u"Angkopf.DB"_s, 17, u"X"_s, false, {}, kAblage);
    addLine(u"AngSatz.DB"_s, 33, 17, 1, {}, kAblage);
    addHead(u"Angkopf.DB"_s, 2, u"A2"_s, true);
    addLine(u"AngSatz.DB"_s, 3, 2, 1);
    addLine(u"AngSatz.DB"_s, 4, 2, 2);
    addHead(u"Angkopf.DB"_s, 3, u"A3"_s, true);
    addLine(u"AngSatz.DB"_s, 5, 3, 1);
    EXPECT_EQ(move(ArchiveFamily::Offers).movedIds, (QList<int>{2, 3}));
    head = open(u"Angkopf.DB"_s, kAblage);
    ASSERT_TRUE(head->locate({u"R_Nr"_s}, {u"A2"_s}));
    EXPECT_EQ(head->field(u"R_ID"_s).asInteger(), 18);
    ASSERT_TRUE(head->locate({u"R_Nr"_s}, {u"A3"_s}));
    EXPECT_EQ(head->field(u"R_ID"_s).asInteger(), 19);
    auto lines = open(u"AngSatz.DB"_s, kAblage);
    ASSERT_TRUE(lines->locate({u"S_ID"_s}, {34}));
    EXPECT_EQ(lines->field(u"S_Ref"_s).asInteger(), 18);
    ASSERT_TRUE(lines->locate({u"S_ID"_s}, {36}));
    EXPECT_EQ(lines->field(u"S_Ref"_s).asInteger(), 19);
}

TEST_F(DocumentMove, HeadWithoutLinesMovesAlone) {
    addHead(u"LSkopf.DB"_s, 1, u"L1"_s, true);
    EXPECT_EQ(move(ArchiveFamily::DeliveryNotes).movedIds, QList<int>{1});
    EXPECT_EQ(count(u"LSkopf.DB"_s, kAblage), 1);
    EXPECT_EQ(count(u"LSsatz.DB"_s, kAblage), 0);
    EXPECT_EQ(count(u"LSkopf.DB"_s), 0);
}

TEST_F(DocumentMove, NoMarkedHeadMovesNothing) {
    addHead(u"LSkopf.DB"_s, 1, u"L1"_s, false);
    const DocumentMoveResult result = move(ArchiveFamily::DeliveryNotes);
    EXPECT_EQ(result.marked, 0);
    EXPECT_TRUE(result.movedIds.isEmpty());
    EXPECT_EQ(count(u"LSkopf.DB"_s), 1);
}

TEST_F(DocumentMove, NumberTheArchiveHoldsLeavesTheDocumentMarkedAndAddsNothing) {
    addHead(u"Auftkopf.DB"_s, 1, u"au-7"_s, false, {}, kAblage);
    addHead(u"Auftkopf.DB"_s, 10, u"AU-7"_s, true); // the index ignores case
    addLine(u"Auftsatz.DB"_s, 20, 10, 1);
    addLine(u"Auftsatz.DB"_s, 21, 10, 2);
    addHead(u"Auftkopf.DB"_s, 11, u"AU-8"_s, true);

    const DocumentMoveResult result = move(ArchiveFamily::Orders);
    EXPECT_EQ(result.movedIds, QList<int>{11});
    ASSERT_EQ(result.notMoved.size(), 1);
    EXPECT_EQ(result.notMoved[0].number, u"AU-7"_s);
    EXPECT_EQ(result.notMoved[0].reason, u"Die Nummer ist in der Datenablage bereits vorhanden."_s);

    auto working = open(u"Auftkopf.DB"_s);
    ASSERT_TRUE(working->locate({u"R_ID"_s}, {10}));
    EXPECT_TRUE(working->field(u"R_Selected"_s).asBoolean());
    EXPECT_EQ(count(u"Auftsatz.DB"_s), 2);
    EXPECT_EQ(count(u"Auftkopf.DB"_s, kAblage), 2); // the old one and AU-8
    EXPECT_EQ(count(u"Auftsatz.DB"_s, kAblage), 0);
    EXPECT_EQ(DocumentsNotMovedText(result.notMoved),
              u"Folgende Belege wurden nicht ausgelagert:\r"
              "AU-7: Die Nummer ist in der Datenablage bereits vorhanden."_s);
}

TEST_F(DocumentMove, NullFieldsStayEmptyAndTextsArriveWhole) {
    QString rtf = u"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 "_s;
    for (int i = 0; i < 400; ++i)
        rtf += u"Zeile %1 mit Umlauten äöü \\par "_s.arg(i);
    rtf += u"}"_s;
    const QString memo = QString(u"Notiz "_s).repeated(300);
    addHead(u"Angkopf.DB"_s, 1, u"A1"_s, true,
            {{u"R_KopfText"_s, rtf}, {u"R_Memo"_s, memo}, {u"R_DatumErstell"_s, u"03.02.2025"_s}});
    addLine(u"AngSatz.DB"_s, 1, 1, 1, {{u"S_Text"_s, rtf}});
    move(ArchiveFamily::Offers);

    auto head = open(u"Angkopf.DB"_s, kAblage);
    EXPECT_EQ(head->field(u"R_KopfText"_s).asString(), rtf);
    EXPECT_EQ(head->field(u"R_Memo"_s).asString(), memo);
    EXPECT_EQ(head->field(u"R_DatumErstell"_s).asDate(), QDate(2025, 2, 3));
    EXPECT_TRUE(head->field(u"R_FussText"_s).isNull());
    EXPECT_TRUE(head->field(u"R_Brutto"_s).isNull());
    EXPECT_TRUE(head->field(u"R_DatumDruck"_s).isNull());
    EXPECT_EQ(open(u"AngSatz.DB"_s, kAblage)->field(u"S_Text"_s).asString(), rtf);
}

TEST_F(DocumentMove, OpenItemBecomesAnInvoiceWithoutItsOpenItemFields) {
    addHead(u"OpKopf.DB"_s, 5, u"R-2025-1"_s, true,
            {{u"R_Memo"_s, u"03.03.2025 Zahlung 119,00"_s},
             {u"O_Erledigt"_s, true},
             {u"O_ZahlSumme"_s, 119.0},
             {u"R_Brutto"_s, 119.0}});
    addLine(u"OPSatz.db"_s, 8, 5, 1, {{u"S_Netto"_s, 100.0}});
    move(ArchiveFamily::OpenItems);

    auto head = open(u"Rechkopf.DB"_s, kAblage);
    ASSERT_EQ(head->recordCount(), 1);
    EXPECT_EQ(head->field(u"R_Nr"_s).asString(), u"R-2025-1"_s);
    EXPECT_EQ(head->field(u"R_Memo"_s).asString(), u"03.03.2025 Zahlung 119,00"_s);
    EXPECT_EQ(head->findField(u"O_Erledigt"_s), nullptr);
    EXPECT_DOUBLE_EQ(open(u"Rechsatz.db"_s, kAblage)->field(u"S_Netto"_s).asFloat(), 100.0);
    EXPECT_EQ(count(u"OpKopf.DB"_s), 0);
    EXPECT_EQ(count(u"OPSatz.db"_s), 0);
}

TEST_F(DocumentMove, FailureAtASecondLineRollsTheDocumentBackWhole) {
    // The archive refuses the second line of the first document.
    table::aliases::database(u"AblageDB"_s)
        ->execSql(u"CREATE TRIGGER refuse BEFORE INSERT ON \"LSsatz\" WHEN NEW.S_Kurztext = "
                  "'kaputt' BEGIN SELECT RAISE(ABORT, 'Zeile abgelehnt'); END"_s);
    addHead(u"LSkopf.DB"_s, 1, u"L1"_s, true);
    addLine(u"LSsatz.DB"_s, 1, 1, 1, {{u"S_Kurztext"_s, u"gut"_s}});
    addLine(u"LSsatz.DB"_s, 2, 1, 2, {{u"S_Kurztext"_s, u"kaputt"_s}});
    addHead(u"LSkopf.DB"_s, 2, u"L2"_s, true);
    addLine(u"LSsatz.DB"_s, 3, 2, 1, {{u"S_Kurztext"_s, u"gut"_s}});

    const DocumentMoveResult result = move(ArchiveFamily::DeliveryNotes);
    EXPECT_EQ(result.movedIds, QList<int>{2});
    ASSERT_EQ(result.notMoved.size(), 1);
    EXPECT_EQ(result.notMoved[0].number, u"L1"_s);
    EXPECT_TRUE(result.notMoved[0].reason.contains(u"Zeile abgelehnt"_s));

    auto working = open(u"LSkopf.DB"_s);
    ASSERT_EQ(working->recordCount(), 1);
    EXPECT_EQ(working->field(u"R_Nr"_s).asString(), u"L1"_s);
    EXPECT_TRUE(working->field(u"R_Selected"_s).asBoolean());
    EXPECT_EQ(count(u"LSsatz.DB"_s), 2);
    auto archive = open(u"LSkopf.DB"_s, kAblage);
    ASSERT_EQ(archive->recordCount(), 1);
    EXPECT_EQ(archive->field(u"R_Nr"_s).asString(), u"L2"_s);
    EXPECT_EQ(archive->field(u"R_ID"_s).asInteger(), 1); // the failed head took no key
    EXPECT_EQ(count(u"LSsatz.DB"_s, kAblage), 1);
}

TEST_F(DocumentMove, MissingArchiveTableEndsTheMoveBeforeAnything) {
    table::aliases::database(u"AblageDB"_s)->dropTable(u"GSSatz.DB"_s);
    addHead(u"GSkopf.DB"_s, 1, u"G1"_s, true);
    try {
        move(ArchiveFamily::CreditNotes);
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), u"Die Tabelle GSSatz.DB wurde in der Datenablage nicht gefunden."_s);
    }
    EXPECT_EQ(count(u"GSkopf.DB"_s), 1);
    EXPECT_EQ(count(u"GSkopf.DB"_s, kAblage), 0);
}

TEST_F(DocumentMove, DatabasesInWriteAheadModeAreRefused) {
    for (const char* alias : {kLumo, kAblage}) {
        SCOPED_TRACE(alias);
        const QString dir = table::aliases::directory(QString::fromLatin1(alias));
        table::aliases::close(QString::fromLatin1(alias));
        {
            table::Database::Options wal;
            wal.journalMode = table::JournalMode::Wal;
            table::Database::open(dir, wal);
        }
        try {
            ArchiveConnection connection;
            FAIL() << "write-ahead mode accepted";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().startsWith(u"Die Datenauslagerung ist nicht möglich"_s));
        }
        table::Database::Options rollback;
        rollback.journalMode = table::JournalMode::Rollback;
        table::Database::open(dir, rollback);
    }
    ArchiveConnection connection; // both back in the rollback journal
}

TEST_F(DocumentMove, SharedCursorsSeeTheMoveAfterwards) {
    addHead(u"Angkopf.DB"_s, 1, u"A1"_s, true);
    table::Table shared(table::aliases::database(u"LumoDB"_s), u"Angkopf.DB"_s);
    shared.open();
    ASSERT_EQ(shared.recordCount(), 1);
    move(ArchiveFamily::Offers);
    EXPECT_EQ(shared.recordCount(), 0);
}

TEST(DocumentsNotMovedText, ListsTwentyAndCountsTheRest) {
    EXPECT_TRUE(DocumentsNotMovedText({}).isEmpty());
    QList<DocumentNotMoved> many;
    for (int i = 1; i <= 23; ++i)
        many.append({QString::number(i), u"Grund"_s});
    const QStringList lines = DocumentsNotMovedText(many).split(u'\r');
    ASSERT_EQ(lines.size(), 22);
    EXPECT_EQ(lines[20], u"20: Grund"_s);
    EXPECT_EQ(lines[21], u"… und 3 weitere"_s);
}

} // namespace
} // namespace archivetest
