#include "commercial/invoicerunfixture.h"
#include "commercial/invoicing/invoicebooking.h"
#include "commercial/invoicing/invoiceeffects.h"
#include "commercial/invoicing/invoicemarks.h"
#include "commercial/invoicing/invoicerunhooks.h"

#include <optional>

namespace {

using namespace invoiceruntest;

const QDate kMarch(2026, 3, 10);

// Invoice 1 (object 500, customer 100, gross 119) with an article line of
// 100, billing delivery note 11, booked as "RE-00001" by the invoice run.
class InvoiceEffectsEdit : public InvoiceRun {
protected:
    void SetUp() override {
        InvoiceRun::SetUp();
        addRow(QStringLiteral("Artikel.DB"), {{QStringLiteral("A_ID"), 40},
                                              {QStringLiteral("A_ObjID"), 0},
                                              {QStringLiteral("A_ArtNo"), QStringLiteral("A40")}});
        addInvoice({.id = 1});
        addLine(1, 1, 100, 40);
        addRow(QStringLiteral("LSkopf.DB"), {{QStringLiteral("R_ID"), 11},
                                             {QStringLiteral("R_Nr"), QStringLiteral("LS1")},
                                             {QStringLiteral("R_ObjektNr"), 500},
                                             {QStringLiteral("R_Buchung"), 1}});
        refreshAll();
        presenter.answers = {true, false};
        ASSERT_TRUE(BookMarkedInvoices(*dm, {}));
        ASSERT_TRUE(LocateInvoice(dm->TabRechKopf(), 1));
    }

    struct Effects {
        double customer = 0, customerMonth = 0, article = 0, object = 0;
        QVariant noteInvoice, noteNr;
        bool operator==(const Effects&) const = default;
    };
    Effects effects() {
        return {customer(100, "K_UmsGesamt").toDouble(),
                monthTurnover("KUmsatz.DB", "U_Kunde", 100, kMarch),
                monthTurnover("AUmsatz.DB", "U_ArtikelID", 40, kMarch),
                objectRevenue(5, kMarch),
                valueOf(QStringLiteral("LSkopf.DB"), QStringLiteral("R_ID"), 11, "R_Buchung"),
                valueOf(QStringLiteral("LSkopf.DB"), QStringLiteral("R_ID"), 11, "R_RechNr")};
    }
    static Effects booked(double gross, double net) {
        return {gross, net, net, net, 1, QStringLiteral("RE-00001")};
    }
};

TEST_F(InvoiceEffectsEdit, AnEditWithoutChangeKeepsDeliveryNotesTurnoverAndCostSums) {
    ASSERT_EQ(effects(), booked(119, 100));
    bool edited = false;
    EditWithInvoiceEffects(dm->TabRechKopf(), [&] {
        edited = true;
        // While the editor is open the amounts are out of the statistics,
        // the delivery note stays with the invoice.
        const Effects during = effects();
        EXPECT_DOUBLE_EQ(during.customer, 0);
        EXPECT_DOUBLE_EQ(during.object, 0);
        EXPECT_EQ(during.noteInvoice, QVariant(1));
    });
    EXPECT_TRUE(edited);
    EXPECT_EQ(effects(), booked(119, 100));
}

TEST_F(InvoiceEffectsEdit, TheEffectsFollowWhatTheEditorChanged) {
    EditWithInvoiceEffects(dm->TabRechKopf(), [&] {
        auto heads = open(QStringLiteral("Rechkopf.DB"));
        heads->locate({QStringLiteral("R_ID")}, {1});
        heads->edit();
        heads->field(QStringLiteral("R_Brutto")).setValue(238.0);
        heads->field(QStringLiteral("R_Netto")).setValue(200.0);
        heads->post();
        auto lines = open(QStringLiteral("Rechsatz.db"));
        lines->first();
        lines->edit();
        lines->field(QStringLiteral("S_Netto")).setValue(200.0);
        lines->post();
    });
    EXPECT_EQ(effects(), booked(238, 200));
}

TEST_F(InvoiceEffectsEdit, AnErrorOfTheEditorStillBooksTheInvoiceAgain) {
    try {
        EditWithInvoiceEffects(dm->TabRechKopf(),
                               [] { throw DbError(QStringLiteral("Editor fiel aus")); });
        ADD_FAILURE() << "the editor's error was swallowed";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Editor fiel aus"));
    }
    EXPECT_EQ(effects(), booked(119, 100));
}

TEST_F(InvoiceEffectsEdit, ABookingThatCannotBeRestoredIsReportedNotSwallowed) {
    std::optional<LockedElsewhere> locked;
    try {
        EditWithInvoiceEffects(dm->TabRechKopf(),
                               [&] { locked.emplace(QStringLiteral("AUmsatz.DB")); });
        ADD_FAILURE() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral(
            "Die Buchungen der Rechnung RE-00001 konnten nicht wieder eingetragen werden!\r")))
            << e.message().toStdString();
    }
    locked.reset();
    // Nothing of the failed booking stays half done.
    EXPECT_DOUBLE_EQ(effects().customer, 0);
    EXPECT_DOUBLE_EQ(effects().article, 0);
}

TEST_F(InvoiceEffectsEdit, AnUnbookedInvoiceIsEditedWithoutBookings) {
    addInvoice({.id = 2, .objekt = 600, .kunde = 200});
    refreshAll();
    ASSERT_TRUE(LocateInvoice(dm->TabRechKopf(), 2));
    int calls = 0;
    EditWithInvoiceEffects(dm->TabRechKopf(), [&] { ++calls; });
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(customer(200, "K_UmsGesamt").isNull());
    EXPECT_EQ(effects(), booked(119, 100));
}

} // namespace
