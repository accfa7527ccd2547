#include "commercial/invoicerunfixture.h"
#include "commercial/invoicing/invoicemarks.h"
#include "commercial/invoicing/invoiceprintrun.h"
#include "commercial/invoicing/invoicerunhooks.h"
#include "core/data/layoutfiles.h"
#include "core/data/printforms.h"

namespace {

using namespace invoiceruntest;

struct Printed {
    int id;
    bool masked;
    QString layout;
    bool operator==(const Printed&) const = default;
};

// Object 500 asks for 2 copies, object 600 for none of its own (1); the
// print pause is 5 seconds. The hooks record what the run printed, paused
// and showed; cancelAfterPause presses "Druck abbrechen" in that pause.
class InvoicePrintRun : public InvoiceRun {
protected:
    void SetUp() override {
        InvoiceRun::SetUp();
        auto o = open(QStringLiteral("Objekte.DB"));
        ASSERT_TRUE(o->locate({QStringLiteral("O_Nr")}, {500}));
        o->edit();
        o->field(QStringLiteral("O_KopienRG")).setValue(2);
        o->post();
        setCompanyField(QStringLiteral("F_Printwait"), 5);
        hooks.printInvoice = [this](int id, bool masked, const QString& layout) {
            if (id == failingId)
                throw DbError(QStringLiteral("Druckformular fehlt"));
            printed.append({id, masked, layout});
        };
        hooks.pause = [this](int seconds, bool cancellable) {
            pauses.append({seconds, cancellable});
            if (pauses.size() == cancelAfterPause)
                cancel = true;
        };
        hooks.cancelled = [this] { return cancel; };
        hooks.showCounter = [this](const QString& t) { counters.append(t); };
        hooks.showCopy = [this](const QString& t) { copies.append(t); };
    }
    // The client has no invoice form of its own: the shipped layout, never
    // a layout file "ORM00000.QFD" that cannot exist.
    QString defaultLayout() {
        EXPECT_EQ(DefaultPrintFormOfKind(2), 0);
        return QString();
    }

    TInvoiceRunHooks hooks;
    QList<Printed> printed;
    QList<std::pair<int, bool>> pauses;
    QStringList counters, copies;
    int cancelAfterPause = -1;
    int failingId = -1;
    bool cancel = false;
};

TEST_F(InvoicePrintRun, EachInvoiceGetsItsCopiesCountedAndPausedAndIsUnmarked) {
    addInvoice({.id = 1, .buchung = 1, .nr = QStringLiteral("RE-00001")});
    addRow(QStringLiteral("Rgvkopf.db"), {{QStringLiteral("R_ID"), 1},
                                          {QStringLiteral("R_Nr"), QStringLiteral("V1")},
                                          {QStringLiteral("R_ObjektNr"), 600},
                                          {QStringLiteral("R_Drucke"), 0}});
    addInvoice({.id = 2, .objekt = 600, .buchung = 1, .nr = QStringLiteral("RE-00002")});
    {
        auto h = open(QStringLiteral("Rechkopf.DB"));
        ASSERT_TRUE(h->locate({QStringLiteral("R_ID")}, {2}));
        h->edit();
        h->field(QStringLiteral("R_ANr")).setValue(QStringLiteral("V1"));
        h->post();
    }
    addInvoice({.id = 3, .objekt = 600, .buchung = 1, .nr = QStringLiteral("RE-00003")});
    auto h = open(QStringLiteral("Rechkopf.DB"));
    ASSERT_TRUE(h->locate({QStringLiteral("R_ID")}, {3}));
    h->edit();
    h->field(QStringLiteral("R_Drucke")).setValue(3);
    h->field(QStringLiteral("R_PrintFormNo")).setValue(10007);
    h->post();
    refreshAll();
    dm->TabRechKopf().setIndexName(QStringLiteral("R_IObjektNr"));

    PrintMarkedInvoices(*dm, hooks);

    EXPECT_EQ(printed, (QList<Printed>{{1, false, defaultLayout()},
                                       {1, false, defaultLayout()},
                                       {3, false, LayoutFilePath(10007)}}));
    EXPECT_EQ(invoice(1, "R_Drucke").toInt(), 2);
    EXPECT_EQ(invoice(2, "R_Drucke").toInt(), 0) << "no copies: unmarked without print";
    EXPECT_EQ(invoice(3, "R_Drucke").toInt(), 4) << "a booked invoice printed again";
    for (int id : {1, 2, 3})
        EXPECT_FALSE(invoice(id, "R_Selected").toBool()) << id;
    EXPECT_EQ(pauses, (QList<std::pair<int, bool>>{{5, true}, {5, true}, {5, true}}));
    EXPECT_EQ(copies, (QStringList{QStringLiteral("Kopie 1 von 2 wird gedruckt"),
                                   QStringLiteral("Kopie 2 von 2 wird gedruckt"),
                                   QStringLiteral("Kopie 1 von 1 wird gedruckt")}));
    EXPECT_EQ(counters.first(), QStringLiteral("0 von 3 Rechnungen gedruckt"));
    EXPECT_EQ(counters.last(), QStringLiteral("3 von 3 Rechnungen gedruckt"));
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Es wurden 3 Datensätze gedruckt.")});
}

TEST_F(InvoicePrintRun, CancellingInThePauseAfterTheFirstOfTwoCopiesKeepsTheInvoiceMarked) {
    addInvoice({.id = 1, .buchung = 1, .nr = QStringLiteral("RE-00001")});
    addInvoice(
        {.id = 2, .objekt = 600, .kunde = 200, .buchung = 1, .nr = QStringLiteral("RE-00002")});
    refreshAll();
    dm->TabRechKopf().setIndexName(QStringLiteral("R_IObjektNr"));
    cancelAfterPause = 1;
    PrintMarkedInvoices(*dm, hooks);
    EXPECT_EQ(printed.size(), 1);
    EXPECT_EQ(invoice(1, "R_Drucke").toInt(), 1);
    EXPECT_TRUE(invoice(1, "R_Selected").toBool());
    EXPECT_TRUE(invoice(2, "R_Selected").toBool()) << "the run stopped";
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Es wurden 0 Datensätze gedruckt.")});
}

TEST_F(InvoicePrintRun, APrintErrorEndsTheRunAfterWhatWasPrinted) {
    addInvoice({.id = 1, .objekt = 600, .buchung = 1, .nr = QStringLiteral("RE-00001")});
    addInvoice(
        {.id = 2, .objekt = 600, .kunde = 200, .buchung = 1, .nr = QStringLiteral("RE-00002")});
    refreshAll();
    table::Table& head = dm->TabRechKopf();
    head.setIndexName(QStringLiteral("R_IDatumNr"));
    failingId = 2;
    EXPECT_THROW(PrintMarkedInvoices(*dm, hooks), DbError);
    EXPECT_FALSE(invoice(1, "R_Selected").toBool());
    EXPECT_EQ(invoice(1, "R_Drucke").toInt(), 1);
    EXPECT_TRUE(invoice(2, "R_Selected").toBool());
    EXPECT_EQ(invoice(2, "R_Drucke").toInt(), 0);
    EXPECT_EQ(head.indexName(), QStringLiteral("R_IDatumNr"));
}

TEST_F(InvoicePrintRun, DruckenBooksThenPrintsAndTheTestPrintMasksAndBooksNothing) {
    addInvoice({.id = 1, .objekt = 600});
    addInvoice({.id = 2, .objekt = 600, .kunde = 200});
    refreshAll();
    presenter.answers = {true, false};
    TestPrintMarkedInvoices(*dm, hooks);
    EXPECT_EQ(presenter.texts(Kind::Question).first(),
              QStringLiteral("Probeausdruck:\r\rSie haben 2 Rechnungen gewählt.\rMöchten Sie "
                             "diese Rechnung(en) wirklich drucken?"));
    EXPECT_EQ(printed, (QList<Printed>{{1, true, defaultLayout()}, {2, true, defaultLayout()}}));
    EXPECT_EQ(pauses, (QList<std::pair<int, bool>>{{5, false}, {5, false}}));
    for (int id : {1, 2}) {
        EXPECT_FALSE(invoice(id, "R_Selected").toBool());
        EXPECT_EQ(invoice(id, "R_Nr").toString(),
                  QStringLiteral("*%1").arg(id, 6, 10, QLatin1Char('0')));
        EXPECT_TRUE(invoice(id, "R_Drucke").isNull());
    }
    EXPECT_EQ(counter(), 1);

    printed.clear();
    PrintMarkedInvoices(*dm, hooks);
    EXPECT_TRUE(printed.isEmpty()) << "nothing marked";

    RunInvoiceMarkCommand(*dm, TInvoiceMarkCommand::AllOn);
    presenter.answers = {true, false};
    BookAndPrintMarkedInvoices(*dm, hooks);
    EXPECT_EQ(printed.size(), 2);
    EXPECT_EQ(invoice(1, "R_Nr").toString(), QStringLiteral("RE-00001"));
    EXPECT_EQ(invoice(1, "R_Drucke").toInt(), 1);
    EXPECT_FALSE(invoice(2, "R_Selected").toBool());
}

} // namespace
