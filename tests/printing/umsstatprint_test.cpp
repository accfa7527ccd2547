#include "commercial/bookings/umsatzstatistik.h"
#include "commercial/umsatzfixture.h"
#include "core/values/money.h"
#include "platform/report/paginator.h"
#include "platform/report/printersystem.h"
#include "platform/report/report.h"
#include "platform/report/reportoutput.h"
#include "platform/table/table.h"
#include "printing/printingsetup.h"
#include "printing/reportentry.h"
#include "printing/umsstatprint.h"
#include "printingfixture.h"
#include "support/testdirs.h"

#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

using namespace Qt::StringLiterals;

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);

// What a print put on its pages: each text with its colour.
struct Printed {
    QMap<QString, QColor> colours; // text -> colour of its last occurrence
    QString pdfText;
    bool printed = false;
};

std::optional<QString> pdfToText(const QString& file) {
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        return std::nullopt;
    QProcess p;
    p.start(u"pdftotext"_s, {u"-layout"_s, file, u"-"_s});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

class UmsStatPrint : public umsatztest::UmsatzFixture {
protected:
    void SetUp() override {
        UmsatzFixture::SetUp();
        InitPrinting();
        report::setPrinterSystem(
            std::make_unique<printingtest::FakePrinters>(QStringList{u"Laser"_s}, u"Laser"_s));
        m_previous = SetReportOutput([this](report::Report& rep, bool preview, QWidget*) {
            EXPECT_FALSE(preview);
            const report::Document doc = report::paginate(rep);
            for (const report::Page& page : doc.pages)
                for (const report::PageItem& item : page.items)
                    if (const auto* text = std::get_if<report::TextItem>(&item))
                        out.colours[text->text] = text->font.color;
            const QString pdf = path(u"umsstat.pdf"_s);
            report::writeReportPdf(rep, pdf);
            if (auto text = pdfToText(pdf))
                out.pdfText = *text;
            out.printed = true;
        });
        work = std::make_unique<UmsatzWorkTable>();
    }
    void TearDown() override {
        work.reset();
        SetReportOutput(m_previous);
        report::setPrinterSystem(nullptr);
        UmsatzFixture::TearDown();
    }

    void collect(UmStatKind kind, const QSet<int>& kinds) {
        CollectUmsatz(
            *work,
            {kind, {DateTimeOfDate(QDate(2024, 2, 1)), DateTimeOfDate(QDate(2024, 2, 29))}, kinds});
    }
    void print(UmStatKind kind, const QString& key, const QString& name) {
        PrintUmsStat(work->name(), UmStatIndexName(kind), key, name, u"01.02.2024"_s,
                     u"29.02.2024"_s, QString(), kind == UmStatKind::Lieferanten, false);
    }
    static QString money(double amount) { return FormatMoney(1, amount); }

    std::unique_ptr<UmsatzWorkTable> work;
    Printed out;

private:
    ReportOutput m_previous;
};

TEST_F(UmsStatPrint, WholeFirmPrintsEveryRowWithColoursByKindAndTheSignedSums) {
    {
        auto firma = open(u"Firmen.DB"_s);
        firma->first();
        firma->edit();
        firma->field(u"F_REListenKopf"_s).setValue(u"Hausmeisterdienst Müller"_s);
        firma->post();
    }
    collect(UmStatKind::Gesamt, UmStatBoxKinds(UmStatKind::Gesamt));
    // A journal row of the old kind 1 prints green outside the supplier mode.
    addRow(work->name(), {{u"R_ID"_s, 99},
                          {u"R_Nr"_s, u"K1"_s},
                          {u"R_Satzart"_s, 1},
                          {u"R_Brutto"_s, 12.34},
                          {u"R_Netto"_s, 10.37},
                          {u"R_Mwst"_s, 1.97}});
    print(UmStatKind::Gesamt, QString(), u"Alle Kunden/Objekte"_s);
    ASSERT_TRUE(out.printed);

    for (const QString& nr :
         {u"J1"_s, u"J2"_s, u"J3"_s, u"J4"_s, u"J6"_s, u"R1"_s, u"R2"_s, u"G1"_s, u"E1"_s, u"K1"_s})
        EXPECT_TRUE(out.colours.contains(nr)) << nr.toStdString();
    EXPECT_EQ(out.colours.value(money(119.00)), QColor(Qt::black));
    EXPECT_EQ(out.colours.value(money(23.80)), kRed);              // credit note J2
    EXPECT_EQ(out.colours.value(money(11.90)), kRed);              // credit note G1
    EXPECT_EQ(out.colours.value(money(30.00)), QColor(Qt::black)); // incoming E1
    EXPECT_EQ(out.colours.value(money(12.34)), kGreen);            // kind 1
    // Credit notes and incoming invoices (and kind 1) count negative.
    const double brutto =
        119.00 - 23.80 - 50.00 + 100.00 + 10.00 + 59.50 + 5.00 - 11.90 - 30.00 - 12.34;
    EXPECT_EQ(out.colours.value(money(RoundCents(brutto))), QColor(Qt::black));

    if (!testsupport::runningInCi() && out.pdfText.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is missing";
    for (const QString& text :
         {u"Hausmeisterdienst Müller"_s, u"Umsätze Objekt"_s, u"Druckdatum:"_s, u"vom"_s,
          u"01.02.2024"_s, u"bis"_s, u"29.02.2024"_s, u"Alle Kunden/Objekte"_s, u"Rg-Datum"_s,
          u"Kundenname"_s, u"Objektbezeichnung"_s, u"Summen"_s, u"Seite 1"_s,
          money(RoundCents(brutto))})
        EXPECT_TRUE(out.pdfText.contains(text)) << text.toStdString();
    EXPECT_FALSE(out.pdfText.contains(u"Buchungstext"_s));
    EXPECT_FALSE(out.pdfText.contains(u"Buchung J1"_s));
}

TEST_F(UmsStatPrint, AKeyLimitsThePrintAndANegativeSumPrintsRed) {
    collect(UmStatKind::Kunden, {kSatzartGS});
    print(UmStatKind::Kunden, u"100"_s, u"Meier GmbH"_s);
    ASSERT_TRUE(out.printed);
    EXPECT_TRUE(out.colours.contains(u"J2"_s));
    EXPECT_FALSE(out.colours.contains(u"G1"_s));               // customer 101
    EXPECT_EQ(out.colours.value(u"100"_s), QColor(Qt::black)); // L_Nummer
    EXPECT_TRUE(out.colours.contains(u"Meier GmbH"_s));
    EXPECT_EQ(out.colours.value(money(-23.80)), kRed);
    EXPECT_EQ(out.colours.value(money(-20.00)), kRed);
    EXPECT_EQ(out.colours.value(money(-3.80)), kRed);
}

TEST_F(UmsStatPrint, TheSupplierModeAddsIncomingInvoices) {
    collect(UmStatKind::Lieferanten, {});
    print(UmStatKind::Lieferanten, u"500"_s, u"Putzmittel AG"_s);
    ASSERT_TRUE(out.printed);
    EXPECT_TRUE(out.colours.contains(u"J3"_s));
    EXPECT_TRUE(out.colours.contains(u"E1"_s));
    EXPECT_EQ(out.colours.value(money(80.00)), QColor(Qt::black));
    EXPECT_EQ(out.colours.value(money(50.00)), QColor(Qt::black));
}

} // namespace
