#include "commercial/invoicerunfixture.h"
#include "commercial/invoicing/invoicebooking.h"
#include "commercial/invoicing/invoicemarks.h"
#include "commercial/invoicing/invoicerunhooks.h"
#include "datasafety/automaticbackupscope.h"

namespace {

using namespace invoiceruntest;

class InvoiceBooking : public InvoiceRun {
protected:
    bool book() {
        TInvoiceRunHooks hooks;
        hooks.showCounter = [this](const QString& text) { counterTexts.append(text); };
        return BookMarkedInvoices(*dm, hooks);
    }
    QStringList counterTexts;
};

TEST_F(InvoiceBooking, NumbersFollowTheObjectOrderOrElseTheCustomerOrder) {
    const struct {
        const char* index;
        const char* firstNr;  // of invoice 1 (object 500, customer 200)
        const char* secondNr; // of invoice 2 (object 600, customer 100)
    } cases[] = {{"R_IObjektNr", "RE-00001", "RE-00002"}, {"R_IDatumNr", "RE-00002", "RE-00001"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        DeleteRecordsFiltered(datatest::kDb, QStringLiteral("Rechkopf.DB"), {});
        setCompanyField(QStringLiteral("F_NextNrRg"), 1);
        addInvoice({.id = 1, .objekt = 500, .kunde = 200});
        addInvoice({.id = 2, .objekt = 600, .kunde = 100});
        table::Table& head = dm->TabRechKopf();
        head.setIndexName(QString::fromLatin1(c.index));
        head.refresh();
        presenter.answers = {true, false};
        ASSERT_TRUE(book());
        EXPECT_EQ(invoice(1, "R_Nr").toString(), QString::fromLatin1(c.firstNr));
        EXPECT_EQ(invoice(2, "R_Nr").toString(), QString::fromLatin1(c.secondNr));
        EXPECT_EQ(head.indexName(), QString::fromLatin1(c.index));
        EXPECT_EQ(counter(), 3);
    }
}

TEST_F(InvoiceBooking, BookingWritesTheNumberStateAndEveryEffect) {
    addRow(QStringLiteral("Artikel.DB"), {{QStringLiteral("A_ID"), 40},
                                          {QStringLiteral("A_ObjID"), 0},
                                          {QStringLiteral("A_ArtNo"), QStringLiteral("A40")}});
    addInvoice({.id = 1, .netto = 100, .brutto = 119.004});
    addLine(1, 1, 60.004, 40);
    addLine(2, 1, 40, 0, 0, 1); // a service line: no article turnover
    addLine(3, 1, 99, 0, 3);    // a text line: nothing
    addInvoice({.id = 2, .objekt = 600, .kunde = 200, .buchung = 1, .nr = "RE-00077"});
    addInvoice({.id = 3, .marked = false});
    addRow(QStringLiteral("LSkopf.DB"), {{QStringLiteral("R_ID"), 11},
                                         {QStringLiteral("R_Nr"), QStringLiteral("LS1")},
                                         {QStringLiteral("R_ObjektNr"), 500},
                                         {QStringLiteral("R_Buchung"), 1}});
    addRow(QStringLiteral("LSkopf.DB"), {{QStringLiteral("R_ID"), 12},
                                         {QStringLiteral("R_Nr"), QStringLiteral("LS2")},
                                         {QStringLiteral("R_ObjektNr"), 500},
                                         {QStringLiteral("R_Buchung"), 3}});
    refreshAll();
    presenter.answers = {true, true};
    ASSERT_TRUE(book());

    EXPECT_EQ(invoice(1, "R_Nr").toString(), QStringLiteral("RE-00001"));
    EXPECT_EQ(invoice(1, "R_Buchung").toInt(), 1);
    EXPECT_EQ(invoice(1, "R_Drucke").toInt(), 0);
    EXPECT_TRUE(invoice(1, "R_Selected").toBool()) << "printing unmarks, not booking";
    EXPECT_EQ(invoice(2, "R_Nr").toString(), QStringLiteral("RE-00077"));
    EXPECT_EQ(invoice(3, "R_Nr").toString(), QStringLiteral("*000003"));
    EXPECT_EQ(counterTexts, QStringList{QStringLiteral("  1 Rechnungen verbucht.")});
    EXPECT_EQ(backups, QStringList{QStringLiteral("Autosicherung vor Rechnungsdruck am ") +
                                   QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"))});

    const QDate march(2026, 3, 10);
    EXPECT_DOUBLE_EQ(customer(100, "K_UmsGesamt").toDouble(), 119.0);
    EXPECT_DOUBLE_EQ(customer(100, "K_Rechoffen").toDouble(), 119.0);
    EXPECT_TRUE(customer(200, "K_UmsGesamt").isNull()) << "a booked invoice is not booked again";
    EXPECT_DOUBLE_EQ(monthTurnover("KUmsatz.DB", "U_Kunde", 100, march), 100.0);
    EXPECT_DOUBLE_EQ(monthTurnover("AUmsatz.DB", "U_ArtikelID", 40, march), 60.0);
    EXPECT_DOUBLE_EQ(objectRevenue(5, march), 100.0);
    EXPECT_EQ(valueOf(QStringLiteral("LSkopf.DB"), QStringLiteral("R_ID"), 11, "R_RechNr"),
              QStringLiteral("RE-00001"));
    EXPECT_EQ(
        valueOf(QStringLiteral("LSkopf.DB"), QStringLiteral("R_ID"), 11, "R_BuchDat").toDate(),
        march);
    EXPECT_TRUE(
        valueOf(QStringLiteral("LSkopf.DB"), QStringLiteral("R_ID"), 12, "R_RechNr").isNull());
}

TEST_F(InvoiceBooking, AFailingEffectRollsBackThatInvoiceWithItsNumberAndTheRunGoesOn) {
    addRow(QStringLiteral("Artikel.DB"), {{QStringLiteral("A_ID"), 40},
                                          {QStringLiteral("A_ObjID"), 0},
                                          {QStringLiteral("A_ArtNo"), QStringLiteral("A40")}});
    addInvoice({.id = 1, .kunde = 100});
    addInvoice({.id = 2, .kunde = 200});
    addLine(1, 2, 100, 40);
    addLine(2, 1, 100);
    addInvoice({.id = 3, .kunde = 200, .datum = QDate(2026, 3, 11)});
    refreshAll();
    dm->TabRechKopf().setIndexName(QStringLiteral("R_IObjektNr"));
    presenter.answers = {true, false};
    {
        LockedElsewhere locked(QStringLiteral("AUmsatz.DB"));
        ASSERT_TRUE(book());
    }
    EXPECT_EQ(invoice(1, "R_Nr").toString(), QStringLiteral("RE-00001"));
    EXPECT_EQ(invoice(2, "R_Nr").toString(), QStringLiteral("*000002"));
    EXPECT_EQ(invoice(2, "R_Buchung").toInt(), 0);
    EXPECT_FALSE(invoice(2, "R_Selected").toBool());
    EXPECT_EQ(invoice(3, "R_Nr").toString(), QStringLiteral("RE-00002"))
        << "the number of the failed invoice was given back";
    EXPECT_EQ(counter(), 3);
    // Invoice 3 alone reached customer 200: the failed one took its turnover back.
    EXPECT_DOUBLE_EQ(customer(200, "K_UmsGesamt").toDouble(), 119.0);
    EXPECT_DOUBLE_EQ(objectRevenue(5, QDate(2026, 3, 10)), 100.0);
    const QStringList errors = presenter.texts(Kind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(
        QStringLiteral("Beim Drucken der Rechnung *000002 ist ein Fehler aufgetreten!\r")))
        << errors[0].toStdString();
}

TEST_F(InvoiceBooking, DecliningChangesNothingAndTheCompanySwitchBacksUpUnasked) {
    addInvoice({.id = 1});
    refreshAll();
    presenter.answers = {false};
    EXPECT_FALSE(book());
    EXPECT_EQ(invoice(1, "R_Nr").toString(), QStringLiteral("*000001"));
    ASSERT_EQ(presenter.texts(Kind::Question).size(), 1);
    EXPECT_EQ(presenter.texts(Kind::Question)[0],
              QStringLiteral("Sie haben 1 Rechnungen gewählt.\rMöchten Sie diese Rechnung(en) "
                             "wirklich drucken?"));

    setCompanyField(QStringLiteral("F_AutoSichernRechDruck"), true);
    presenter.answers = {true};
    EXPECT_TRUE(book());
    EXPECT_EQ(presenter.texts(Kind::Question).size(), 2) << "no backup question";
    EXPECT_EQ(backups.size(), 1);
    EXPECT_EQ(invoice(1, "R_Nr").toString(), QStringLiteral("RE-00001"));
}

TEST_F(InvoiceBooking, AnInvoiceInTheAccountingKeepsItsNumberAndIsNamed) {
    addInvoice({.id = 1, .buchung = 8, .nr = "*000001"});
    addInvoice({.id = 2, .objekt = 600, .kunde = 200});
    refreshAll();
    presenter.answers = {true, false};
    EXPECT_TRUE(book());
    EXPECT_EQ(invoice(1, "R_Nr").toString(), QStringLiteral("*000001"));
    EXPECT_EQ(invoice(1, "R_Buchung").toInt(), 8);
    EXPECT_TRUE(invoice(1, "R_Selected").toBool()) << "it is printed all the same";
    EXPECT_EQ(invoice(2, "R_Nr").toString(), QStringLiteral("RE-00001"));
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Rechnung *000001:\r") + FibuHandedOverText()});
    EXPECT_EQ(counter(), 2);
}

// With the program's own backup accepted, the archive is written and the
// booking leaves the same data as when the backup is declined.
class InvoiceBookingBackup : public InvoiceBooking, public ::testing::WithParamInterface<bool> {};

TEST_P(InvoiceBookingBackup, TheOfferedBackupLeavesTheSameData) {
    backuptest::AutomaticBackupScope backup;
    setCompanyField(QStringLiteral("F_AutoSichernRechDruck"), false);
    addInvoice({.id = 1});
    refreshAll();
    presenter.answers = {true, GetParam(), false};
    ASSERT_TRUE(book());
    EXPECT_EQ(invoice(1, "R_Nr").toString(), QStringLiteral("RE-00001"));
    EXPECT_EQ(invoice(1, "R_Buchung").toInt(), 1);
    EXPECT_DOUBLE_EQ(customer(100, "K_UmsGesamt").toDouble(), 119.0);
    EXPECT_EQ(counter(), 2);
    EXPECT_EQ(backup.archives().size(), GetParam() ? 1 : 0);
    EXPECT_EQ(backup.comments,
              GetParam() ? QStringList{QStringLiteral("Autosicherung vor Rechnungsdruck am ") +
                                       QDate::currentDate().toString(u"dd.MM.yyyy")}
                         : QStringList{});
    EXPECT_TRUE(dm->TabRechKopf().isOpen());
    EXPECT_TRUE(presenter.texts(Kind::Error).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Answers, InvoiceBookingBackup, ::testing::Bool());

} // namespace
