#include "commercial/creditnotefixture.h"
#include "commercial/documents/documentlists.h"
#include "commercial/invoicing/creditnotes.h"
#include "commercial/invoicing/raliste.h"
#include "core/data/datamodule.h"

#include <optional>

namespace {

using namespace invoiceruntest;
using creditnotetest::CreditNotes;
using creditnotetest::kVom;

TEST_F(CreditNotes, BookingPutsTheNegativeAmountsAtTheCreditedInvoicesDate) {
    QStringList failures;
    EXPECT_EQ(BookMarkedGutschriften(heads(), [&](const QString& t) { failures << t; }), 1);
    EXPECT_TRUE(failures.isEmpty());
    EXPECT_EQ(effects(), kBooked);
    EXPECT_EQ(note(1, "R_Buchung").toInt(), kGutschriftBooked);
    EXPECT_EQ(note(1, "R_Drucke").toInt(), 0);
    // Nothing lands in the month the note was written.
    EXPECT_DOUBLE_EQ(objectRevenue(5, QDate(2026, 4, 2)), 0);
}

TEST_F(CreditNotes, ABookedNoteIsNotBookedAgain) {
    BookMarkedGutschriften(heads(), {});
    at(1);
    WriteDocumentMark(heads(), true);
    EXPECT_EQ(BookMarkedGutschriften(heads(), {}), 0);
    EXPECT_EQ(effects(), kBooked);
}

TEST_F(CreditNotes, AnUnbookedNoteHasNoEffectsToBookOrTakeBack) {
    at(1);
    BookGutschriftEffects(heads(), TGutschriftEffects::Book);
    BookGutschriftEffects(heads(), TGutschriftEffects::Undo);
    EXPECT_EQ(effects(), Effects{});
}

TEST_F(CreditNotes, AFailureLeavesThatNoteUnbookedUnmarkedAndTheOthersBooked) {
    addCustomer(3, 300);
    for (int id = 2; id <= 5; ++id) {
        addNote({.id = id, .kunde = id == 3 ? 300 : 100});
        addGsLine(id * 10 + 1, id, 100, 0, 0, 1, 8400);
    }
    refreshAll();
    QStringList failures;
    {
        datatest::HeldElsewhere held(QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr"), 300);
        EXPECT_EQ(BookMarkedGutschriften(heads(), [&](const QString& t) { failures << t; }), 4);
    }
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].startsWith(
        QStringLiteral("Beim Drucken der Rechnung GS-3 ist ein Fehler aufgetreten!\r")))
        << failures[0].toStdString();
    EXPECT_EQ(note(3, "R_Buchung").toInt(), 0);
    EXPECT_FALSE(note(3, "R_Selected").toBool());
    EXPECT_DOUBLE_EQ(monthTurnover("KUmsatz.DB", "U_Kunde", 300, kVom), 0);
    EXPECT_TRUE(customer(300, "K_UmsGesamt").isNull() ||
                customer(300, "K_UmsGesamt").toDouble() == 0);
    for (int id : {1, 2, 4, 5}) {
        EXPECT_EQ(note(id, "R_Buchung").toInt(), kGutschriftBooked) << id;
        EXPECT_TRUE(note(id, "R_Selected").toBool()) << id;
    }
    EXPECT_DOUBLE_EQ(customer(100, "K_UmsGesamt").toDouble(), -116 * 4);
}

TEST_F(CreditNotes, EditingABookedNoteMovesItsBookingToTheNewCustomer) {
    BookMarkedGutschriften(heads(), {});
    at(1);
    EditWithGutschriftEffects(heads(), [&] {
        // While the editor is open the note is out of the statistics.
        EXPECT_EQ(effects(), (Effects{0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(note(1, "R_Buchung").toInt(), 0);
        auto h = open(QStringLiteral("GSkopf.DB"));
        h->locate({QStringLiteral("R_ID")}, {1});
        h->edit();
        h->field(QStringLiteral("R_KundenNr")).setValue(200);
        h->field(QStringLiteral("R_Drucke")).setValue(3);
        h->post();
    });
    EXPECT_DOUBLE_EQ(customer(100, "K_UmsGesamt").toDouble(), 0);
    EXPECT_DOUBLE_EQ(customer(200, "K_UmsGesamt").toDouble(), -116);
    EXPECT_EQ(note(1, "R_Buchung").toInt(), kGutschriftBooked);
    EXPECT_EQ(note(1, "R_Drucke").toInt(), 3);
}

TEST_F(CreditNotes, AnEditorErrorStillBooksTheNoteAgain) {
    BookMarkedGutschriften(heads(), {});
    at(1);
    EXPECT_THROW(EditWithGutschriftEffects(heads(), [] { throw DbError(QStringLiteral("weg")); }),
                 DbError);
    EXPECT_EQ(effects(), kBooked);
    EXPECT_EQ(note(1, "R_Buchung").toInt(), kGutschriftBooked);
}

TEST_F(CreditNotes, DeletingABookedNoteTakesBackTurnoverAndStock) {
    BookMarkedGutschriften(heads(), {});
    ASSERT_EQ(effects(), kBooked);
    EXPECT_EQ(DeleteMarkedGutschriften(heads()), 1);
    EXPECT_EQ(effects(), Effects{});
    EXPECT_FALSE(exists(QStringLiteral("GSkopf.DB"), QStringLiteral("R_ID"), 1));
    EXPECT_FALSE(exists(QStringLiteral("GSSatz.DB"), QStringLiteral("S_ID"), 11));
    // The credited goods had come back into stock; deleting takes them out again.
    EXPECT_DOUBLE_EQ(
        valueOf(QStringLiteral("Artikel.DB"), QStringLiteral("A_ID"), 40, "A_Lagermenge")
            .toDouble(),
        10);
}

TEST_F(CreditNotes, AFailedDeleteChangesNothing) {
    BookMarkedGutschriften(heads(), {});
    {
        LockedElsewhere locked(QStringLiteral("GSSatz.DB"));
        EXPECT_THROW(DeleteMarkedGutschriften(heads()), DbError);
    }
    EXPECT_EQ(effects(), kBooked);
    EXPECT_TRUE(exists(QStringLiteral("GSkopf.DB"), QStringLiteral("R_ID"), 1));
}

TEST_F(CreditNotes, TheJournalRowIsWrittenOnceWithBitTwo) {
    BookMarkedGutschriften(heads(), {});
    at(1);
    JournalGutschriftForArchive(*dm, heads());
    EXPECT_EQ(note(1, "R_Buchung").toInt(), kGutschriftBooked | kGutschriftJournalled);
    EXPECT_TRUE(note(1, "R_Selected").toBool());
    at(1);
    JournalGutschriftForArchive(*dm, heads());
    auto journal = open(QStringLiteral("raliste.db"));
    int rows = 0;
    for (journal->first(); !journal->eof() && !journal->isEmpty(); journal->next())
        rows += journal->field(QStringLiteral("R_Nr")).asString() == QStringLiteral("GS-1") &&
                journal->field(QStringLiteral("R_Satzart")).asInteger() == kRaSatzartGutschrift;
    EXPECT_EQ(rows, 1);
}

TEST_F(CreditNotes, AFailedJournalEntryLeavesTheNoteAsItWas) {
    BookMarkedGutschriften(heads(), {});
    UnmarkAllGutschriften(heads());
    at(1);
    {
        LockedElsewhere locked(QStringLiteral("raliste.db"));
        EXPECT_THROW(JournalGutschriftForArchive(*dm, heads()), DbError);
    }
    EXPECT_EQ(note(1, "R_Buchung").toInt(), kGutschriftBooked);
    EXPECT_FALSE(note(1, "R_Selected").toBool());
}

} // namespace
