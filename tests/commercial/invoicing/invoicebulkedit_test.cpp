#include "commercial/invoicerunfixture.h"
#include "commercial/invoicing/invoicebulkedit.h"
#include "commercial/invoicing/invoiceeffects.h"
#include "commercial/invoicing/invoicemarks.h"
#include "datasafety/automaticbackupscope.h"

namespace {

using namespace invoiceruntest;

const QDate kMarch(2026, 3, 10);
const QDate kMay(2026, 5, 4);

// Invoice 1 booked as "RE-00001" with its effects (customer 100, one line
// of 100.00 net, delivery note 11 linked), invoice 2 unbooked with delivery
// note 12 linked, invoice 3 handed to the accounting, invoice 4 unmarked.
class InvoiceBulkEdit : public InvoiceRun {
protected:
    void SetUp() override {
        InvoiceRun::SetUp();
        addInvoice({.id = 1, .buchung = 1, .nr = "RE-00001"});
        addLine(1, 1, 100);
        addInvoice({.id = 2});
        addLine(2, 2, 50);
        addInvoice({.id = 3, .buchung = 9, .nr = "RE-00009"});
        addInvoice({.id = 4, .marked = false});
        addDeliveryNote(11, 1);
        addDeliveryNote(12, 2);
        refreshAll();
        table::Table& head = dm->TabRechKopf();
        ASSERT_TRUE(LocateInvoice(head, 1));
        BookInvoiceEffects(head, TInvoiceEffects::Book);
        refreshAll();
    }
    void addDeliveryNote(int id, int invoiceId) {
        addRow(QStringLiteral("LSkopf.DB"),
               {{QStringLiteral("R_ID"), id},
                {QStringLiteral("R_Nr"), QStringLiteral("LS%1").arg(id)},
                {QStringLiteral("R_ObjektNr"), 500},
                {QStringLiteral("R_Buchung"), invoiceId}});
    }
    QVariant note(int id, const char* field) {
        return valueOf(QStringLiteral("LSkopf.DB"), QStringLiteral("R_ID"), id, field);
    }
    double customerMonth(const QDate& d) { return monthTurnover("KUmsatz.DB", "U_Kunde", 100, d); }
};

TEST_F(InvoiceBulkEdit, DeletingReversesTheEffectsFreesTheDeliveryNotesAndSparesTheAccounting) {
    EXPECT_DOUBLE_EQ(customerMonth(kMarch), 100.0);
    EXPECT_EQ(note(11, "R_RechNr").toString(), QStringLiteral("RE-00001"));
    presenter.answers = {true, false};
    DeleteMarkedInvoices(*dm);

    EXPECT_FALSE(exists(QStringLiteral("Rechkopf.DB"), QStringLiteral("R_ID"), 1));
    EXPECT_FALSE(exists(QStringLiteral("Rechkopf.DB"), QStringLiteral("R_ID"), 2));
    EXPECT_TRUE(exists(QStringLiteral("Rechkopf.DB"), QStringLiteral("R_ID"), 3));
    EXPECT_TRUE(invoice(3, "R_Selected").toBool());
    EXPECT_TRUE(exists(QStringLiteral("Rechkopf.DB"), QStringLiteral("R_ID"), 4));
    EXPECT_EQ(open(QStringLiteral("Rechsatz.db"))->recordCount(), 0);
    EXPECT_DOUBLE_EQ(customerMonth(kMarch), 0.0);
    EXPECT_DOUBLE_EQ(customer(100, "K_UmsGesamt").toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(objectRevenue(5, kMarch), 0.0);
    for (int id : {11, 12}) {
        EXPECT_EQ(note(id, "R_Buchung").toInt(), 0) << id;
        EXPECT_TRUE(note(id, "R_RechNr").isNull()) << id;
    }
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Rechnung RE-00009:\r") + FibuHandedOverText()});
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Es wurden 2 Datensätze gelöscht.")});
    EXPECT_EQ(presenter.texts(Kind::Question)[1],
              QStringLiteral("Sie sollten vor der Löschen der Rechnungen eine Datensicherung "
                             "vornehmen!\rMöchten Sie jetzt die Daten sichern?"));
}

TEST_F(InvoiceBulkEdit, AnInvoiceWhoseReversalFailsStaysWholeAndIsNamed) {
    presenter.answers = {true, false};
    {
        LockedElsewhere locked(QStringLiteral("KUmsatz.DB"));
        DeleteMarkedInvoices(*dm);
    }
    EXPECT_TRUE(exists(QStringLiteral("Rechkopf.DB"), QStringLiteral("R_ID"), 1));
    EXPECT_TRUE(exists(QStringLiteral("Rechsatz.db"), QStringLiteral("S_ID"), 1));
    EXPECT_EQ(note(11, "R_Buchung").toInt(), 1);
    EXPECT_DOUBLE_EQ(customer(100, "K_UmsGesamt").toDouble(), 119.0);
    EXPECT_DOUBLE_EQ(objectRevenue(5, kMarch), 100.0);
    EXPECT_FALSE(exists(QStringLiteral("Rechkopf.DB"), QStringLiteral("R_ID"), 2));
    const QStringList errors = presenter.texts(Kind::Error);
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].startsWith(
        QStringLiteral("Die Rechnung RE-00001 konnte nicht gelöscht werden.\r")));
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Es wurden 1 Datensätze gelöscht.")});
}

TEST_F(InvoiceBulkEdit, ANewDateMovesTheEffectsOfABookedInvoiceAndKeepsItsNumber) {
    SetMarkedInvoicesDate(*dm, kMay);
    for (int id : {1, 2}) {
        EXPECT_EQ(invoice(id, "R_DatumDruck").toDate(), kMay) << id;
        EXPECT_FALSE(invoice(id, "R_Selected").toBool()) << id;
    }
    EXPECT_EQ(invoice(1, "R_Nr").toString(), QStringLiteral("RE-00001"));
    EXPECT_EQ(invoice(3, "R_DatumDruck").toDate(), kMarch);
    EXPECT_TRUE(invoice(3, "R_Selected").toBool());
    EXPECT_DOUBLE_EQ(customerMonth(kMarch), 0.0);
    EXPECT_DOUBLE_EQ(customerMonth(kMay), 100.0);
    EXPECT_DOUBLE_EQ(customer(100, "K_UmsGesamt").toDouble(), 119.0);
    EXPECT_DOUBLE_EQ(objectRevenue(5, kMarch), 0.0);
    EXPECT_DOUBLE_EQ(objectRevenue(5, kMay), 100.0);
    EXPECT_EQ(note(11, "R_Buchung").toInt(), 1);
    EXPECT_EQ(note(11, "R_BuchDat").toDate(), kMay);
    EXPECT_EQ(note(12, "R_Buchung").toInt(), 2);
    EXPECT_EQ(dm->TabRechKopf().indexName(), QStringLiteral("R_IObjektNr"));
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Es wurden 2 Datensätze bearbeitet.")});
}

TEST_F(InvoiceBulkEdit, ThePeriodTextGoesToTheMarkedInvoicesOutsideTheAccounting) {
    table::Table& head = dm->TabRechKopf();
    ASSERT_TRUE(LocateInvoice(head, 4));
    EXPECT_EQ(ProposedPeriodText(head), QString());
    SetMarkedInvoicesPeriodText(*dm, QStringLiteral("Januar bis März 2026"));
    for (int id : {1, 2})
        EXPECT_EQ(invoice(id, "R_ZeitraumTxt").toString(), QStringLiteral("Januar bis März 2026"));
    EXPECT_TRUE(invoice(3, "R_ZeitraumTxt").isNull());
    EXPECT_TRUE(invoice(4, "R_ZeitraumTxt").isNull());
    EXPECT_FALSE(invoice(1, "R_Selected").toBool());
    ASSERT_TRUE(LocateInvoice(head, 1));
    EXPECT_EQ(ProposedPeriodText(head), QStringLiteral("Januar bis März 2026"));
    EXPECT_THROW(SetMarkedInvoicesPeriodText(*dm, QString(81, QLatin1Char('x'))), DbError);
}

TEST_F(InvoiceBulkEdit, MarkingAsksForBookedInvoicesAndRefusesTheAccounting) {
    table::Table& head = dm->TabRechKopf();
    RunInvoiceMarkCommand(*dm, TInvoiceMarkCommand::AllOff);
    EXPECT_EQ(CountMarkedInvoicesOrTell(), 0);
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Es sind keine Sätze markiert!")});

    ASSERT_TRUE(LocateInvoice(head, 3));
    EXPECT_FALSE(ToggleInvoiceMark(head));
    EXPECT_EQ(presenter.texts(Kind::Error), QStringList{FibuHandedOverText()});
    ASSERT_TRUE(LocateInvoice(head, 1));
    presenter.answers = {false};
    EXPECT_FALSE(ToggleInvoiceMark(head));
    presenter.answers = {true};
    EXPECT_TRUE(ToggleInvoiceMark(head));
    EXPECT_EQ(presenter.texts(Kind::Question).last(),
              QStringLiteral("Diese Rechnung wurde bereits abgeschlossen!\rTrotzdem markieren?"));
    EXPECT_TRUE(ToggleInvoiceMark(head)) << "unmarking asks nothing";
    EXPECT_EQ(presenter.texts(Kind::Question).size(), 2);
    EXPECT_EQ(CountMarkedInvoices(), 0);
}

TEST_F(InvoiceBulkEdit, MarkCommandsSelectManualOrRecurringInvoicesOfEveryState) {
    addInvoice({.id = 5, .marked = false, .intervall = 3});
    const struct {
        TInvoiceMarkCommand command;
        QList<int> marked;
    } steps[] = {{TInvoiceMarkCommand::AllOn, {1, 2, 3, 4, 5}},
                 {TInvoiceMarkCommand::ManualOff, {5}},
                 {TInvoiceMarkCommand::ManualOn, {1, 2, 3, 4, 5}},
                 {TInvoiceMarkCommand::RecurringOff, {1, 2, 3, 4}},
                 {TInvoiceMarkCommand::AllOff, {}},
                 {TInvoiceMarkCommand::RecurringOn, {5}}};
    for (const auto& step : steps) {
        RunInvoiceMarkCommand(*dm, step.command);
        table::Table& head = dm->TabRechKopf();
        head.setIndexName({});
        QList<int> marked = MarkedInvoiceIds(head);
        EXPECT_EQ(marked, step.marked) << int(step.command);
    }
}

// With the program's own backup accepted, the archive is written and the
// deletion leaves the same data as when the backup is declined.
class InvoiceDeletionBackup : public InvoiceBulkEdit, public ::testing::WithParamInterface<bool> {};

TEST_P(InvoiceDeletionBackup, TheOfferedBackupLeavesTheSameData) {
    backuptest::AutomaticBackupScope backup;
    presenter.answers = {true, GetParam(), false};
    DeleteMarkedInvoices(*dm);
    EXPECT_FALSE(exists(QStringLiteral("Rechkopf.DB"), QStringLiteral("R_ID"), 1));
    EXPECT_FALSE(exists(QStringLiteral("Rechkopf.DB"), QStringLiteral("R_ID"), 2));
    EXPECT_TRUE(exists(QStringLiteral("Rechkopf.DB"), QStringLiteral("R_ID"), 3));
    EXPECT_TRUE(exists(QStringLiteral("Rechkopf.DB"), QStringLiteral("R_ID"), 4));
    EXPECT_DOUBLE_EQ(customerMonth(kMarch), 0.0);
    EXPECT_EQ(note(11, "R_Buchung").toInt(), 0);
    EXPECT_EQ(backup.archives().size(), GetParam() ? 1 : 0);
    EXPECT_EQ(backup.dialogs, GetParam() ? 1 : 0);
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Es wurden 2 Datensätze gelöscht.")});
}

INSTANTIATE_TEST_SUITE_P(Answers, InvoiceDeletionBackup, ::testing::Bool());

} // namespace
