#include "commercial/invoicerunfixture.h"
#include "commercial/invoicing/invoicemarks.h"
#include "commercial/invoicing/optransfer.h"
#include "datasafety/automaticbackupscope.h"

namespace {

using namespace invoiceruntest;

const QDate kLimit(2026, 3, 31);

// Booked invoices 1 ("RE-00001", 10.03.) with three lines and an external
// service, 2 ("RE-00002", 20.03.) and 4 ("RE-00004", 05.04.); invoice 3 is
// not booked (01.03.).
class OpTransfer : public InvoiceRun {
protected:
    void SetUp() override {
        InvoiceRun::SetUp();
        addInvoice({.id = 1, .marked = false, .buchung = 1, .nr = QStringLiteral("RE-00001")});
        addLine(1, 1, 0, 0, 3);   // a text line
        addLine(2, 1, 100, 40);   // an article line
        addLine(3, 1, 100, 0, 5); // a subtotal
        addRow(QStringLiteral("Fremdlst.db"),
               {{QStringLiteral("S_ID"), 1}, {QStringLiteral("S_Gebucht"), 1}});
        addRow(QStringLiteral("Fremdlst.db"),
               {{QStringLiteral("S_ID"), 2}, {QStringLiteral("S_Gebucht"), 0}});
        addInvoice({.id = 2,
                    .objekt = 600,
                    .kunde = 200,
                    .datum = {2026, 3, 20},
                    .marked = false,
                    .buchung = 1,
                    .nr = QStringLiteral("RE-00002")});
        addInvoice({.id = 3, .datum = {2026, 3, 1}, .marked = true});
        addInvoice({.id = 4,
                    .datum = {2026, 4, 5},
                    .marked = false,
                    .buchung = 1,
                    .nr = QStringLiteral("RE-00004")});
        setCompanyField(QStringLiteral("F_AutoSichernOP"), false);
        refreshAll();
        dm->TabRechKopf().setIndexName(QStringLiteral("R_IObjektNr"));
    }
    int rows(const char* file) { return open(QString::fromLatin1(file))->recordCount(); }
    bool invoiceExists(int id) {
        return exists(QStringLiteral("Rechkopf.DB"), QStringLiteral("R_ID"), id);
    }
    QVariant item(const QString& nr, const char* field) {
        auto t = open(QStringLiteral("OpKopf.DB"));
        if (!t->locate({QStringLiteral("R_Nr")}, {nr}))
            return QStringLiteral("<kein Satz>");
        return t->field(QString::fromLatin1(field)).value();
    }
    QString closing(int n) {
        return QStringLiteral("Es wurden %1 Rechnungen\rin die OP-Verwaltung überstellt.").arg(n);
    }
};

TEST_F(OpTransfer, BookedInvoicesUpToTheLimitBecomeOpenItemsAndJournalRows) {
    presenter.answers = {true, false};
    TransferBookedInvoicesUpTo(*dm, kLimit);

    EXPECT_EQ(presenter.texts(Kind::Question).first(),
              QStringLiteral("Es wurden 2 Datensätze gefunden.\rMöchten Sie diese Rechnung(en) in "
                             "die OP-Verwaltung übergeben?"));
    EXPECT_FALSE(invoiceExists(1));
    EXPECT_FALSE(invoiceExists(2));
    EXPECT_TRUE(invoiceExists(3)) << "not booked";
    EXPECT_FALSE(invoice(3, "R_Selected").toBool());
    EXPECT_TRUE(invoiceExists(4)) << "after the limit";
    EXPECT_EQ(rows("Rechsatz.db"), 0);
    EXPECT_EQ(rows("Fremdlst.db"), 1);
    EXPECT_EQ(rows("raliste.db"), 2);
    EXPECT_EQ(rows("OpKopf.DB"), 2);

    const QString nr = QStringLiteral("RE-00001");
    EXPECT_DOUBLE_EQ(item(nr, "O_OffenSumme").toDouble(), 119.0);
    EXPECT_DOUBLE_EQ(item(nr, "O_ZahlSumme").toDouble(), 0.0);
    EXPECT_FALSE(item(nr, "O_Erledigt").toBool());
    EXPECT_EQ(item(nr, "O_Mahnungen").toInt(), 0);
    EXPECT_FALSE(item(nr, "R_Selected").toBool());
    EXPECT_EQ(item(nr, "R_DatumDruck").toDate(), QDate(2026, 3, 10));
    EXPECT_EQ(item(nr, "R_KundenNr").toInt(), 100);
    auto lines = open(QStringLiteral("OPSatz.db"));
    QList<int> posNrs;
    for (lines->first(); !lines->eof() && !lines->isEmpty(); lines->next()) {
        EXPECT_EQ(lines->field(QStringLiteral("S_Ref")).asInteger(), item(nr, "R_ID").toInt());
        posNrs.append(lines->field(QStringLiteral("S_PosNr")).asInteger());
    }
    EXPECT_EQ(posNrs, (QList<int>{100, 200, 300}));
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{closing(2)});
    EXPECT_EQ(presenter.texts(Kind::Question).size(), 2) << "the backup was offered";
    EXPECT_TRUE(backups.isEmpty());
}

TEST_F(OpTransfer, ANumberInTheJournalStaysAndTheOthersGo) {
    addRow(QStringLiteral("raliste.db"), {{QStringLiteral("R_ID"), 1},
                                          {QStringLiteral("R_Nr"), QStringLiteral("RE-00002")},
                                          {QStringLiteral("R_Satzart"), 0}});
    presenter.answers = {true, false};
    TransferBookedInvoicesUpTo(*dm, kLimit);
    EXPECT_FALSE(invoiceExists(1));
    EXPECT_TRUE(invoiceExists(2));
    EXPECT_FALSE(invoice(2, "R_Selected").toBool());
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Rechnung RE-00002 wurde bereits an OP übergeben!")});
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{closing(1)});
}

TEST_F(OpTransfer, AFailureInAnyStepLeavesNothingHalfDone) {
    const struct {
        const char* locked;
        const char* message;
    } cases[] = {
        {"OpKopf.DB", "Rechnung RE-00001 kann nicht an OP übergeben werden!\r"},
        {"OPSatz.db", "Rechnung RE-00001 kann nicht an OP übergeben werden!\r"},
        {"raliste.db", "Rechnung RE-00001 kann nicht in die RA-Liste übertragen werden!"},
        {"Fremdlst.db", "Rechnung RE-00001 kann nicht an OP übergeben werden!\r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locked);
        presenter.boxes.clear();
        presenter.answers = {true, false};
        const QList<int> ids = MarkBookedInvoicesUpTo(*dm, QDate(2026, 3, 15));
        ASSERT_EQ(ids, QList<int>{1});
        {
            LockedElsewhere locked(QString::fromLatin1(c.locked));
            EXPECT_EQ(TransferInvoicesToOP(*dm, ids), 0);
        }
        EXPECT_TRUE(invoiceExists(1));
        EXPECT_FALSE(invoice(1, "R_Selected").toBool());
        EXPECT_EQ(rows("Rechsatz.db"), 3);
        EXPECT_EQ(rows("Fremdlst.db"), 2);
        EXPECT_EQ(rows("OpKopf.DB"), 0);
        EXPECT_EQ(rows("OPSatz.db"), 0);
        EXPECT_EQ(rows("raliste.db"), 0);
        const QStringList errors = presenter.texts(Kind::Error);
        ASSERT_FALSE(errors.isEmpty());
        EXPECT_TRUE(errors.last().startsWith(QString::fromUtf8(c.message)))
            << errors.last().toStdString();
        EXPECT_EQ(presenter.texts(Kind::Info), QStringList{closing(0)});
    }
}

TEST_F(OpTransfer, AnInvoiceMarkedElsewhereMeanwhileIsNeitherMovedNorDeleted) {
    const QList<int> ids = MarkBookedInvoicesUpTo(*dm, kLimit);
    EXPECT_EQ(ids, (QList<int>{1, 2}));
    auto other = open(QStringLiteral("Rechkopf.DB"));
    for (int id : {3, 4}) {
        ASSERT_TRUE(other->locate({QStringLiteral("R_ID")}, {id}));
        other->edit();
        other->field(QStringLiteral("R_Selected")).setValue(true);
        other->post();
    }
    presenter.answers = {true, false};
    EXPECT_EQ(TransferInvoicesToOP(*dm, ids), 2);
    EXPECT_TRUE(invoiceExists(3));
    EXPECT_TRUE(invoiceExists(4));
    EXPECT_TRUE(invoice(4, "R_Selected").toBool());
}

TEST_F(OpTransfer, NoMatchDeclineAndThePopUpForOneInvoice) {
    TransferBookedInvoicesUpTo(*dm, QDate(2026, 3, 9));
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Es wurden keine gedruckten Rechnungen gefunden!")});

    presenter.answers = {false};
    TransferBookedInvoicesUpTo(*dm, kLimit);
    EXPECT_EQ(CountMarkedInvoices(), 0) << "No unmarks every invoice";
    EXPECT_TRUE(invoiceExists(1));

    table::Table& head = dm->TabRechKopf();
    ASSERT_TRUE(LocateInvoice(head, 3));
    TransferCurrentInvoice(*dm);
    EXPECT_EQ(presenter.texts(Kind::Error).last(),
              QStringLiteral("Die gewählte Rechnung wurde noch nicht gedruckt!"));
    ASSERT_TRUE(LocateInvoice(head, 4));
    presenter.answers = {true, true, false};
    TransferCurrentInvoice(*dm);
    EXPECT_FALSE(invoiceExists(4));
    EXPECT_TRUE(invoiceExists(1));
    EXPECT_EQ(presenter.texts(Kind::Info).last(), closing(1));
}

// Passes every box on to the fixture's presenter and notes whether a write
// transaction of the client's database was open while it showed.
class TransactionWatch : public MessagePresenter {
public:
    explicit TransactionWatch(MessagePresenter& next)
        : m_next(next), m_previous(SetMessagePresenter(this)) {}
    ~TransactionWatch() override { SetMessagePresenter(m_previous); }
    bool show(Kind kind, const QString& text, int x, int y) override {
        depths.append(table::aliases::database(QStringLiteral("LumoDB"))->transactionDepth());
        return m_next.show(kind, text, x, y);
    }
    QList<int> depths;

private:
    MessagePresenter& m_next;
    MessagePresenter* m_previous;
};

TEST_F(OpTransfer, AJournalRefusalIsToldOnlyAfterTheInvoiceWasRolledBack) {
    presenter.answers = {true, false};
    const QList<int> ids = MarkBookedInvoicesUpTo(*dm, QDate(2026, 3, 15));
    ASSERT_EQ(ids, QList<int>{1});
    TransactionWatch watch(presenter);
    {
        LockedElsewhere locked(QStringLiteral("raliste.db"));
        EXPECT_EQ(TransferInvoicesToOP(*dm, ids), 0);
    }
    const QStringList errors = presenter.texts(Kind::Error);
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Fehler beim Eintrag in die RA-Liste!\r")))
        << errors[0].toStdString();
    EXPECT_EQ(errors[1],
              QStringLiteral("Rechnung RE-00001 kann nicht in die RA-Liste übertragen werden!"));
    EXPECT_EQ(watch.depths, QList<int>(watch.depths.size(), 0));
    EXPECT_EQ(rows("OpKopf.DB"), 0);
    EXPECT_TRUE(invoiceExists(1));
}

// With the program's own backup accepted, the archive is written and the
// hand-over leaves the same data as when the backup is declined.
class OpTransferBackup : public OpTransfer, public ::testing::WithParamInterface<bool> {};

TEST_P(OpTransferBackup, TheOfferedBackupLeavesTheSameData) {
    backuptest::AutomaticBackupScope backup;
    presenter.answers = {true, GetParam(), false};
    TransferBookedInvoicesUpTo(*dm, kLimit);
    EXPECT_FALSE(invoiceExists(1));
    EXPECT_FALSE(invoiceExists(2));
    EXPECT_TRUE(invoiceExists(3));
    EXPECT_TRUE(invoiceExists(4));
    EXPECT_EQ(rows("raliste.db"), 2);
    EXPECT_EQ(rows("OpKopf.DB"), 2);
    EXPECT_DOUBLE_EQ(item(QStringLiteral("RE-00001"), "O_OffenSumme").toDouble(), 119.0);
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{closing(2)});
    EXPECT_EQ(backup.archives().size(), GetParam() ? 1 : 0);
    EXPECT_EQ(backup.comments,
              GetParam() ? QStringList{QStringLiteral("Autosicherung vor OP-Übergabe am ") +
                                       QDate::currentDate().toString(u"dd.MM.yyyy")}
                         : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(Answers, OpTransferBackup, ::testing::Bool());

} // namespace
