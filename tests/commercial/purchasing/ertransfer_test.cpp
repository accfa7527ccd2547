#include "commercial/documentrulesfixture.h"
#include "commercial/invoicing/raliste.h"
#include "commercial/purchasing/ertransfer.h"
#include "platform/table/table.h"

#include <QDate>

using table::Table;

namespace {

using Kind = MessagePresenter::Kind;

// Supplier 20 and, as a trap for the journal, customer 100 with cost centres
// and a payment method; incoming invoice "ER-1" of supplier 20 over 119.00
// gross with a line of 3 units of the stock-kept central article 7.
class ErTransfer : public doctest::DocumentRules {
protected:
    void SetUp() override {
        DocumentRules::SetUp();
        addRow(QStringLiteral("Liefrnt.db"),
               {{QStringLiteral("K_ID"), 20}, {QStringLiteral("K_Nr"), 20}});
        auto k = open(QStringLiteral("Kunden.DB"));
        ASSERT_TRUE(k->locate({QStringLiteral("K_Nr")}, {100}));
        k->edit();
        k->field(QStringLiteral("K_KostenStelle1")).setValue(11.0);
        k->field(QStringLiteral("K_Zahlart")).setValue(3);
        k->post();
        id = addInvoice(QStringLiteral("ER-1"), 20, 119.0);
        stockAfterRecording = stock();
    }
    Table& head() { return dm->TabERKopf(); }
    Table& lines() { return dm->TabERSatz(); }
    int addInvoice(const QString& nr, int supplier, double brutto) {
        const int newId = newHead(head(), lines());
        head().edit();
        head().field(QStringLiteral("R_Nr")).setValue(nr);
        head().field(QStringLiteral("R_KundenNr")).setValue(supplier);
        head().field(QStringLiteral("R_DatumErstell")).setValue(QDate(2026, 3, 2));
        head().field(QStringLiteral("R_Mwst")).setValue(brutto - brutto / 1.19);
        head().field(QStringLiteral("R_Brutto")).setValue(brutto);
        head().post();
        lines().append();
        lines().field(QStringLiteral("S_ArtNo")).setValue(QStringLiteral("A7"));
        lines().field(QStringLiteral("S_Menge")).setValue(3);
        lines().field(QStringLiteral("S_Netto")).setValue(brutto / 1.19);
        lines().post();
        return newId;
    }
    int count(const char* file) { return open(QString::fromLatin1(file))->recordCount(); }
    QVariant item(const char* field) {
        return valueOf(QStringLiteral("OERkopf.DB"), QStringLiteral("R_ID"), 1,
                       QString::fromLatin1(field));
    }
    QVariant journal(const char* field) {
        auto t = open(QStringLiteral("raliste.db"));
        if (!t->locate({QStringLiteral("R_Nr")}, {QStringLiteral("ER-1")}))
            return QStringLiteral("<kein Satz>");
        return t->field(QString::fromLatin1(field)).value();
    }
    QVariant supplier(const char* field) {
        return valueOf(QStringLiteral("Liefrnt.db"), QStringLiteral("K_Nr"), 20,
                       QString::fromLatin1(field));
    }
    void expectNothingMoved() {
        EXPECT_EQ(rows(QStringLiteral("ERkopf.DB"), QStringLiteral("R_ID"), id), 1);
        EXPECT_EQ(rows(QStringLiteral("ERsatz.db"), QStringLiteral("S_Ref"), id), 1);
        EXPECT_EQ(count("OERkopf.DB"), 0);
        EXPECT_EQ(count("OERsatz.DB"), 0);
        EXPECT_EQ(count("raliste.db"), 0);
        EXPECT_TRUE(supplier("K_UmsGesamt").isNull());
        EXPECT_TRUE(valueOf(QStringLiteral("ERkopf.DB"), QStringLiteral("R_ID"), id,
                            QStringLiteral("R_DatumDruck"))
                        .isNull());
        EXPECT_DOUBLE_EQ(stock(), stockAfterRecording);
    }
    int id = 0;
    double stockAfterRecording = 0;
};

TEST_F(ErTransfer, TheInvoiceBecomesAnOpenInvoiceAJournalRowAndSupplierTurnover) {
    presenter.answers = {true};
    EXPECT_EQ(TransferIncomingInvoice(*dm, head()), ErTransferResult::Transferred);

    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{QStringLiteral("Möchten Sie die markierte Eingangsrechnung in die "
                                         "Zahlungsüberwachung überstellen?")});
    EXPECT_EQ(count("ERkopf.DB"), 0);
    EXPECT_EQ(count("ERsatz.db"), 0);
    EXPECT_DOUBLE_EQ(stock(), stockAfterRecording) << "the lines' bookings stay";
    // The empty document date became the creation date everywhere.
    EXPECT_EQ(item("R_Nr").toString(), QStringLiteral("ER-1"));
    EXPECT_EQ(item("R_DatumDruck").toDate(), QDate(2026, 3, 2));
    EXPECT_DOUBLE_EQ(item("O_OffenSumme").toDouble(), 119.0);
    EXPECT_DOUBLE_EQ(item("O_ZahlSumme").toDouble(), 0.0);
    EXPECT_FALSE(item("O_Erledigt").toBool());
    EXPECT_EQ(rows(QStringLiteral("OERsatz.DB"), QStringLiteral("S_Ref"), 1), 1);
    EXPECT_EQ(journal("R_Satzart").toInt(), kRaSatzartEingangsrechnung);
    EXPECT_EQ(journal("R_DatumDruck").toDate(), QDate(2026, 3, 2));
    // R_KundenNr 20 is a supplier; customer data must not leak in.
    EXPECT_EQ(journal("R_KKostenstelle1").toInt(), 0);
    EXPECT_EQ(journal("R_Zahlart").toInt(), 0);
    EXPECT_DOUBLE_EQ(supplier("K_UmsGesamt").toDouble(), 119.0);
    EXPECT_DOUBLE_EQ(supplier("K_Rechoffen").toDouble(), 119.0);
    EXPECT_EQ(supplier("K_UmsLetztDat").toDate(), QDate(2026, 3, 2));
}

TEST_F(ErTransfer, ANumberAlreadyHandedOverIsRefusedEvenForARecreatedInvoice) {
    presenter.answers = {true};
    ASSERT_EQ(TransferIncomingInvoice(*dm, head()), ErTransferResult::Transferred);
    const int again = addInvoice(QStringLiteral("ER-1"), 20, 50.0);
    presenter.boxes.clear();
    presenter.answers = {true};
    EXPECT_EQ(TransferIncomingInvoice(*dm, head()), ErTransferResult::AlreadyTransferred);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Rechnungs-Nr ER-1 wurde bereits an OP übergeben!")});
    EXPECT_EQ(rows(QStringLiteral("ERkopf.DB"), QStringLiteral("R_ID"), again), 1);
    EXPECT_EQ(count("OERkopf.DB"), 1);
    EXPECT_DOUBLE_EQ(supplier("K_UmsGesamt").toDouble(), 119.0);
}

TEST_F(ErTransfer, AZeroGrossNeedsTheExtraQuestionAndNoStopsEverything) {
    head().edit();
    head().field(QStringLiteral("R_Mwst")).setValue(0);
    head().field(QStringLiteral("R_Brutto")).setValue(0);
    head().post();
    presenter.answers = {true, false};
    EXPECT_EQ(TransferIncomingInvoice(*dm, head()), ErTransferResult::Declined);
    EXPECT_EQ(presenter.texts(Kind::Question).last(),
              QStringLiteral("Die Rechnungssumme beträgt 0.00 EUR.\rMöchten Sie dennoch "
                             "fortfahren?"));
    expectNothingMoved();
    presenter.answers = {true, true};
    EXPECT_EQ(TransferIncomingInvoice(*dm, head()), ErTransferResult::Transferred);
    EXPECT_EQ(count("OERkopf.DB"), 1);
    EXPECT_TRUE(supplier("K_UmsGesamt").isNull()) << "a gross of 0 books no turnover";
}

TEST_F(ErTransfer, AFailureInAnyStepRollsEverythingBackAndTellsAfterwards) {
    const struct {
        const char* locked;
        const char* message;
    } cases[] = {
        {"ERkopf.DB", ""},  {"OERkopf.DB", ""},
        {"OERsatz.DB", ""}, {"raliste.db", "Fehler beim Eintrag in die RA-Liste!"},
        {"Liefrnt.db", ""}, {"LUmsatz.db", ""},
        {"ERsatz.db", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locked);
        presenter.boxes.clear();
        presenter.answers = {true};
        {
            doctest::LockedElsewhere locked(QString::fromLatin1(c.locked));
            EXPECT_EQ(TransferIncomingInvoice(*dm, head()), ErTransferResult::Failed);
        }
        expectNothingMoved();
        const QStringList errors = presenter.texts(Kind::Error);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors.first().startsWith(QString::fromUtf8(c.message)))
            << errors.first().toStdString();
        EXPECT_EQ(head().field(QStringLiteral("R_ID")).asInteger(), id) << "still the current";
    }
    presenter.answers = {true};
    EXPECT_EQ(TransferIncomingInvoice(*dm, head()), ErTransferResult::Transferred);
}

TEST_F(ErTransfer, DeletingReversesTheBookingsThatATransferKeeps) {
    ASSERT_NE(stockAfterRecording, 10.0) << "the line booked stock";
    head().deleteRecord();
    EXPECT_DOUBLE_EQ(stock(), 10.0);
}

} // namespace
