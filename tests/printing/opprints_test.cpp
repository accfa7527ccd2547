#include "commercial/accounts/dunning.h"
#include "commercial/invoicerunfixture.h"
#include "core/data/openitemrules.h"
#include "core/regionalguard.h"
#include "core/values/money.h"
#include "platform/report/paginator.h"
#include "platform/report/printersystem.h"
#include "platform/report/report.h"
#include "platform/table/table.h"
#include "printing/layoutfile.h"
#include "printing/opprints.h"
#include "printing/printeroptions.h"
#include "printing/printingsetup.h"
#include "printing/reportentry.h"
#include "printingfixture.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using namespace invoiceruntest;
using namespace Qt::StringLiterals;

// Items of customers 100 (object 500) and 200 (object 600), one settled,
// payments on two of them; every print's lines as text, top to bottom.
class OpPrints : public InvoiceRun {
protected:
    void SetUp() override {
        InvoiceRun::SetUp();
        InitPrinting();
        report::setPrinterSystem(
            std::make_unique<printingtest::FakePrinters>(QStringList{u"Laser"_s}, u"Laser"_s));
        m_previous = SetReportOutput([this](report::Report& rep, bool, QWidget*) {
            texts.clear();
            copies = rep.printSettings().copies;
            const report::Document doc = report::paginate(rep);
            for (const report::Page& page : doc.pages)
                for (const report::PageItem& item : page.items)
                    if (const auto* text = std::get_if<report::TextItem>(&item))
                        texts.append(text->text);
        });
        addItem(1, u"RE-00001"_s, 119.0, 500, 100, {2026, 3, 2}, 119.0, true);
        addItem(2, u"RE-00002"_s, 238.0, 500, 100, {2026, 3, 20}, 138.0, false);
        addItem(3, u"RE-00003"_s, 59.5, 600, 200, {2026, 4, 5}, 0.0, false);
        addItem(4, u"RE-00004"_s, 10.01, 600, 100, {2026, 2, 5}, 0.0, false);
        addPayment(1, u"RE-00001"_s, 119.0, {2026, 3, 10}, u"Bar"_s);
        addPayment(2, u"RE-00002"_s, 100.0, {2026, 3, 25}, u"Teilzahlung"_s);
        addPayment(3, u"RE-00002"_s, 38.0, {2026, 4, 2}, u"Rest"_s);
        dm->TabOposten().open();
        refreshAll();
    }
    void TearDown() override {
        SetOpostenFilter(*dm, 0, 0, 0, 0, 0, 0, {});
        dm->TabOposten().close();
        SetReportOutput(m_previous);
        report::setPrinterSystem(nullptr);
        InvoiceRun::TearDown();
    }
    void addItem(int id, const QString& nr, double brutto, int objekt, int kunde, QDate datum,
                 double paid, bool settled) {
        addRow(u"OpKopf.DB"_s, {{u"R_ID"_s, id},
                                {u"R_Nr"_s, nr},
                                {u"R_ObjektNr"_s, objekt},
                                {u"R_KundenNr"_s, kunde},
                                {u"R_OMatch"_s, objekt == 500 ? u"HAUS AM SEE"_s : u"BÜRO"_s},
                                {u"R_KMatch"_s, kunde == 100 ? u"MEIER"_s : u"SCHULZE"_s},
                                {u"R_DatumDruck"_s, datum},
                                {u"R_Brutto"_s, brutto},
                                {u"R_Netto"_s, RoundCents(brutto / 1.19)},
                                {u"R_Mwst"_s, RoundCents(brutto - brutto / 1.19)},
                                {u"O_ZahlSumme"_s, paid},
                                {u"O_OffenSumme"_s, RoundCents(brutto - paid)},
                                {u"O_Erledigt"_s, settled},
                                {u"R_OName1"_s, u"Objekt %1"_s.arg(objekt)},
                                {u"R_Kname1"_s, u"Kunde %1"_s.arg(kunde)}});
    }
    void addPayment(int id, const QString& nr, double betrag, QDate datum, const QString& text) {
        addRow(u"OPZahl.db"_s, {{u"OZ_ID"_s, id},
                                {u"OZ_RgNo"_s, nr},
                                {u"OZ_Betrag"_s, betrag},
                                {u"OZ_Datum"_s, datum},
                                {u"OZ_Comment"_s, text}});
    }
    void filter(int mode) {
        table::Table& t = dm->TabOposten();
        SetOpostenFilter(*dm, mode, FieldInt(t, u"R_ObjektNr"_s), FieldInt(t, u"R_KundenNr"_s),
                         2026, 3, 0, {});
    }
    void go(int id) { ASSERT_TRUE(dm->TabOposten().locate({u"R_ID"_s}, {id})); }
    QString layout(const QString& reportClass, const QStringList& off, const QStringList& on = {}) {
        auto rep = report::Report::create(reportClass);
        for (const QString& n : off)
            rep->component(n).enabled = false;
        for (const QString& n : on)
            rep->component(n).enabled = true;
        const QString file = path(reportClass + u".QFD"_s);
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(WriteFormLayout(*rep, u"Test"_s, PrinterOptionValues{}));
        return file;
    }
    static QString money(double amount) { return FormatMoney(1, amount); }
    int indexOf(const QString& text) const { return int(texts.indexOf(text)); }

    QStringList texts;
    int copies = 0;
    RegionalGuard german;

private:
    ReportOutput m_previous;
};

TEST_F(OpPrints, TheListShowsTheFilteredItemsEachWithItsPaymentsAndTheRangeText) {
    filter(1);
    PrintOpListe(false, QString(), QString(), u"[Offene]"_s, QString());
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_EQ(texts.count(u"Rechnungsliste"_s), 1);
    EXPECT_EQ(texts.at(indexOf(u"Rechnungsliste"_s) + 1), u"[Offene]"_s);
    EXPECT_FALSE(texts.contains(u"RE-00001"_s)) << "settled";
    EXPECT_FALSE(texts.contains(u"Bar"_s));
    // Each item followed by its payments; one without payments prints none and 0,00 paid.
    const int item2 = indexOf(u"RE-00002"_s), item3 = indexOf(u"RE-00003"_s);
    ASSERT_GE(item2, 0);
    ASSERT_GE(item3, 0);
    EXPECT_GT(indexOf(u"Teilzahlung"_s), item2);
    EXPECT_LT(indexOf(u"Rest"_s), item3 > item2 ? item3 : int(texts.size()));
    EXPECT_TRUE(texts.mid(item3, 12).contains(money(0.0)));
    // Totals of what printed.
    EXPECT_TRUE(texts.contains(money(238.0 + 59.5 + 10.01)));
    EXPECT_TRUE(texts.contains(money(100.0 + 59.5 + 10.01)));
    EXPECT_TRUE(texts.last().startsWith(u"Seite"_s) || texts.contains(u"Seite"_s));
    const QRegularExpression printTime(uR"(^\d\d\.\d\d\.\d{4} \d\d:\d\d Uhr$)"_s);
    EXPECT_EQ(texts.filter(printTime).size(), 1);
}

TEST_F(OpPrints, ALayoutThatSwitchesOffTheOpenAmountLeavesItsTotalAtZero) {
    PrintOpListe(false, QString(), QString(), u"[Alle]"_s,
                 layout(u"TQR_OpListe01"_s, {u"R_Offen"_s}));
    const int sums = indexOf(u"Summen"_s);
    ASSERT_GE(sums, 0);
    EXPECT_EQ(texts.mid(sums + 1, 3),
              (QStringList{money(119.0 + 238.0 + 59.5 + 10.01), money(0.0), money(119.0 + 138.0)}));
}

TEST_F(OpPrints, TheCustomerStatementsOpenTotalEqualsItsItemsOpenAmounts) {
    go(2);
    filter(4);
    PrintOpKontoKunde(false, QString(), QString(), QString());
    EXPECT_TRUE(texts.contains(u"Kontoauszug"_s));
    EXPECT_TRUE(texts.contains(u"MEIER"_s));
    EXPECT_FALSE(texts.contains(u"RE-00003"_s));
    // By date: item 4 (February) first.
    EXPECT_LT(indexOf(u"RE-00004"_s), indexOf(u"RE-00001"_s));
    const int total = indexOf(u"Gesamtstand"_s);
    ASSERT_GE(total, 0);
    EXPECT_EQ(texts.at(total + 5), money(0.0 + 100.0 + 10.01));

    filter(0);
    go(3);
    filter(3);
    PrintOpKontoObjekt(false, QString(), QString(), QString());
    EXPECT_TRUE(texts.contains(u"BÜRO"_s));
    EXPECT_TRUE(texts.contains(u"RE-00003"_s));
    EXPECT_FALSE(texts.contains(u"RE-00002"_s));
}

TEST_F(OpPrints, ThePaymentsOfTheCurrentItem) {
    go(2);
    PrintOpZahlungen(false, QString());
    EXPECT_TRUE(texts.contains(u"Zahlungseingänge zu Rechnung"_s));
    EXPECT_TRUE(texts.contains(u"RE-00002"_s));
    EXPECT_TRUE(texts.contains(u"Teilzahlung"_s));
    EXPECT_TRUE(texts.contains(u"Rest"_s));
    EXPECT_FALSE(texts.contains(u"Bar"_s));
    EXPECT_TRUE(texts.contains(money(138.0)));
}

TEST_F(OpPrints, PrintsWriteNothingAndLeaveTheWindowsCursorWhereItWas) {
    filter(0);
    go(3);
    const QVariant before = valueOf(u"OpKopf.DB"_s, u"R_ID"_s, 2, "O_ZahlSumme");
    PrintOpListe(false, QString(), QString(), u"[Alle]"_s, QString());
    PrintOpKontoKunde(false, QString(), QString(), QString());
    PrintOpZahlungen(false, QString());
    EXPECT_EQ(FieldInt(dm->TabOposten(), u"R_ID"_s), 3);
    EXPECT_EQ(valueOf(u"OpKopf.DB"_s, u"R_ID"_s, 2, "O_ZahlSumme"), before);
}

TEST_F(OpPrints, TheLetterGoesToTheObjectOrUnderASwappedLayoutToTheCustomer) {
    go(2);
    TDunningPrintTable letter;
    ASSERT_TRUE(letter.create(dm->TabOposten()));
    report::PrintSettings chosen;
    chosen.copies = 3;
    PrintMahnung(letter.name(), false, QString(), nullptr, &chosen);
    EXPECT_TRUE(texts.contains(u"Objekt 500"_s));
    EXPECT_FALSE(texts.contains(u"Kunde 100"_s));
    EXPECT_EQ(copies, 3);
    const QString yesterday = QDate::currentDate().addDays(-1).toString(u"dd.MM.yyyy"_s);
    EXPECT_FALSE(texts.contains(yesterday)) << "the past dates are off in the designed form";

    const QString swapped =
        layout(u"TQRMahnung"_s,
               {u"R_Name1"_s, u"R_Name"_s, u"R_Name3"_s, u"R_Strasse"_s, u"R_Plz"_s, u"R_Ort"_s},
               {u"R_KName1"_s, u"R_KName2"_s, u"R_KName3"_s, u"R_KStrasse"_s, u"R_KPlz"_s,
                u"R_KOrt"_s, u"L_Datum_1"_s});
    PrintMahnung(letter.name(), true, swapped);
    EXPECT_TRUE(texts.contains(u"Kunde 100"_s));
    EXPECT_FALSE(texts.contains(u"Objekt 500"_s));
    EXPECT_TRUE(texts.contains(yesterday));
    EXPECT_EQ(copies, 1);
}

} // namespace
