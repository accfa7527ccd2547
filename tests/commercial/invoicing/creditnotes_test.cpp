#include "commercial/documents/documentlists.h"
#include "commercial/invoicerunfixture.h"
#include "commercial/invoicing/creditnotes.h"
#include "commercial/invoicing/raliste.h"
#include "core/data/datamodule.h"

#include <optional>

namespace {

using namespace invoiceruntest;

const QDate kVom(2026, 3, 15);

// Credit note 1 for customer 100 at object 500: net 100.00, gross 116.00,
// "vom" 15.03., an article line of 60 (cost type 8400), a service line of 40
// (cost type 8500) and a subtotal line of 100.
class CreditNotes : public InvoiceRun {
protected:
    void SetUp() override {
        InvoiceRun::SetUp();
        addRow(QStringLiteral("Artikel.DB"), {{QStringLiteral("A_ID"), 40},
                                              {QStringLiteral("A_ObjID"), 0},
                                              {QStringLiteral("A_ArtNo"), QStringLiteral("A40")},
                                              {QStringLiteral("A_Lagermenge"), 12.0}});
        addNote({.id = 1});
        addGsLine(11, 1, 60, 40, 0, 0, 8400);
        addGsLine(12, 1, 40, 0, 0, 1, 8500);
        addGsLine(13, 1, 100, 0, 3, 0, 8400);
        dm->TabGsSatz().open();
        dm->TabGsKopf().open();
        refreshAll();
    }
    void TearDown() override {
        dm->TabGsKopf().close();
        dm->TabGsSatz().close();
        InvoiceRun::TearDown();
    }

    struct Note {
        int id;
        int kunde = 100;
        int objekt = 500;
        double netto = 100;
        double brutto = 116;
        bool marked = true;
        int buchung = 0;
    };
    void addNote(const Note& n) {
        addRow(QStringLiteral("GSkopf.DB"),
               {{QStringLiteral("R_ID"), n.id},
                {QStringLiteral("R_Nr"), QStringLiteral("GS-%1").arg(n.id)},
                {QStringLiteral("R_ObjektNr"), n.objekt},
                {QStringLiteral("R_KundenNr"), n.kunde},
                {QStringLiteral("R_Netto"), n.netto},
                {QStringLiteral("R_Brutto"), n.brutto},
                {QStringLiteral("R_Selected"), n.marked},
                {QStringLiteral("R_Buchung"), n.buchung},
                {QStringLiteral("R_Drucke"), 0},
                {QStringLiteral("R_PlanDatum"), kVom},
                {QStringLiteral("R_DatumDruck"), QDate(2026, 4, 2)}});
    }
    // A line as the editor left it: an article line remembers its stock booking.
    void addGsLine(int id, int ref, double netto, int artikel, int posArt, int posTyp, int konto) {
        QList<std::pair<QString, QVariant>> v{{QStringLiteral("S_ID"), id},
                                              {QStringLiteral("S_Ref"), ref},
                                              {QStringLiteral("S_PosNr"), id * 100},
                                              {QStringLiteral("S_PosArt"), posArt},
                                              {QStringLiteral("S_PosTyp"), posTyp},
                                              {QStringLiteral("S_MatID"), artikel},
                                              {QStringLiteral("S_Menge"), 2.0},
                                              {QStringLiteral("S_Netto"), netto},
                                              {QStringLiteral("S_ErloesKonto"), konto}};
        if (artikel != 0)
            v.append({{QStringLiteral("S_OldMatID"), artikel},
                      {QStringLiteral("S_OldMenge"), 2.0},
                      {QStringLiteral("S_OldPosTyp"), 0}});
        addRow(QStringLiteral("GSSatz.DB"), v);
    }
    table::Table& heads() { return dm->TabGsKopf(); }
    void at(int id) { ASSERT_TRUE(heads().locate({QStringLiteral("R_ID")}, {id})); }
    QVariant note(int id, const char* field) {
        return valueOf(QStringLiteral("GSkopf.DB"), QStringLiteral("R_ID"), id, field);
    }
    double costSum(int objektId, int kostart, const QDate& d) {
        auto t = open(QStringLiteral("KostSumD.db"));
        if (!t->locate({QStringLiteral("K_Jahr"), QStringLiteral("K_Monat"),
                        QStringLiteral("K_Kostart"), QStringLiteral("K_ObjektID")},
                       {d.year(), d.month(), kostart, objektId}))
            return 0;
        return t->field(QStringLiteral("K_Erloes")).asFloatOr(0);
    }

    struct Effects {
        double customer = 0, customerMonth = 0, object = 0, kost8400 = 0, kost8500 = 0, article = 0;
        bool operator==(const Effects&) const = default;
    };
    friend std::ostream& operator<<(std::ostream& os, const Effects& e) {
        return os << e.customer << '/' << e.customerMonth << '/' << e.object << '/' << e.kost8400
                  << '/' << e.kost8500 << '/' << e.article;
    }
    Effects effects(int kunde = 100) {
        return {customer(kunde, "K_UmsGesamt").toDouble(),
                monthTurnover("KUmsatz.DB", "U_Kunde", kunde, kVom),
                objectRevenue(5, kVom),
                costSum(5, 8400, kVom),
                costSum(5, 8500, kVom),
                monthTurnover("AUmsatz.DB", "U_ArtikelID", 40, kVom)};
    }
    static constexpr Effects kBooked{-116, -100, -100, -60, -40, -60};
};

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
