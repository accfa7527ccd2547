#include "core/values/money.h"
#include "documentprintfixture.h"
#include "platform/report/reportoutput.h"
#include "printing/documentprints.h"
#include "support/testdirs.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

// A word of a PDF page with its box in points.
struct PdfWord {
    int page = 0;
    double xMin = 0, yMin = 0;
    QString text;
};

std::optional<std::vector<PdfWord>> pdfWords(const QString& file) {
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        return std::nullopt;
    QProcess p;
    p.start(u"pdftotext"_s, {u"-bbox"_s, file, u"-"_s});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return std::vector<PdfWord>{};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re"_s);
    std::vector<PdfWord> words;
    int page = -1;
    qsizetype at = 0;
    for (;;) {
        const qsizetype nextPage = html.indexOf(u"<page"_s, at);
        const QRegularExpressionMatch m = word.match(html, at);
        if (nextPage >= 0 && (!m.hasMatch() || nextPage < m.capturedStart())) {
            ++page;
            at = nextPage + 5;
            continue;
        }
        if (!m.hasMatch())
            break;
        words.push_back({page, m.captured(1).toDouble(), m.captured(2).toDouble(),
                         m.captured(3).replace(u"&amp;"_s, u"&"_s)});
        at = m.capturedEnd();
    }
    return words;
}

// The left edge of a control of the form in points from the paper's edge.
double controlX(const QString& reportClass, const QString& control) {
    auto rep = report::Report::create(reportClass);
    const double mm = rep->def().marginLeft + rep->component(control).left / 3.8;
    return mm * 72.0 / 25.4;
}

class DocumentPdfs : public docprint::DocumentPrintFixture {
protected:
    void SetUp() override {
        DocumentPrintFixture::SetUp();
        afterOutput = [this](report::Report& rep) {
            report::writeReportPdf(rep, pdfFile);
            const QString keep = qEnvironmentVariable("DOMVERA_DOCUMENT_PDF_DIR");
            if (!keep.isEmpty()) {
                QDir().mkpath(keep);
                const QString target = keep + u'/' + rep.def().className + u".pdf"_s;
                QFile::remove(target);
                QFile::copy(pdfFile, target);
            }
        };
    }

    // Words of the PDF; the test is skipped without pdftotext outside CI.
    std::vector<PdfWord> words() {
        auto w = pdfWords(pdfFile);
        if (!w) {
            if (testsupport::runningInCi())
                ADD_FAILURE() << "pdftotext (poppler-utils) is missing";
            return {};
        }
        return *w;
    }
    static const PdfWord* wordAt(const std::vector<PdfWord>& words, const QString& text,
                                 int page = -1) {
        for (const PdfWord& w : words)
            if (w.text == text && (page < 0 || w.page == page))
                return &w;
        return nullptr;
    }
    // The word stands at the control's left edge (left-aligned controls).
    void expectAtControl(const std::vector<PdfWord>& words, const QString& text,
                         const QString& reportClass, const QString& control, int page = 0) {
        const PdfWord* w = wordAt(words, text, page);
        ASSERT_NE(w, nullptr) << text.toStdString();
        EXPECT_NEAR(w->xMin, controlX(reportClass, control), 2.0) << text.toStdString();
    }

    QList<Line> manyLines(int count) {
        QList<Line> lines;
        for (int i = 0; i < count; ++i)
            lines.append({(i + 1) * 1000000, 0,
                          u"Unterhaltsreinigung Treppenhaus, Woche %1"_s.arg(i + 1), 2, 12.5,
                          25.0 + i});
        return lines;
    }

    QString pdfFile = path(u"document.pdf"_s);
};

TEST_F(DocumentPdfs, TheInvoicePrintsItsRegionsWhereTheFormPlacesThemAndCarriesOverToPageTwo) {
    usePartoptTexts();
    addHead(u"Rechkopf.DB"_s, 1, u"AR-2024-0042"_s,
            {{u"R_ZahlBed"_s, u"Zahlbar innerhalb @ZBT1 Tagen mit @ZBP1 % Skonto."_s},
             {u"R_ZahlBedTage"_s, 10},
             {u"R_ZahlBedSkonto"_s, 2.0},
             {u"R_ZeitraumTxt"_s, u"März 2024"_s},
             {u"R_KopfText"_s, u"Für die Leistungen im März erlauben wir uns zu berechnen:"_s},
             {u"R_FussText"_s, u"Vielen Dank für Ihren Auftrag."_s}});
    QList<Line> lines = manyLines(44);
    lines.append({46000000, 4, u"Zwischensumme"_s, 0, 0, 1000});
    lines.append({47000000, 1, u"Alternative: Grundreinigung"_s, 1, 80, 80});
    lines.append({48000000, 2, u"Bei Bedarf: Winterdienst"_s, 1, 40, 40});
    lines.append({49000000, 3, u"Die Leistungen wurden wie vereinbart erbracht."_s});
    addLines(u"RechSatz.DB"_s, 1, lines);
    const QString layout = writeLayoutOf(
        10001, u"TQR_Rechnung"_s,
        enable({u"L_Uebertrag"_s, u"lb_Uebertrag"_s, u"L_Uebertrag0"_s, u"lb_Uebertrag0"_s}));
    PrintInvoice(1, false, false, layout);
    ASSERT_EQ(outputs, 1);
    ASSERT_GE(printed.pageCount, 2);

    const std::vector<PdfWord> w = words();
    if (w.empty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is missing";
    expectAtControl(w, u"AR-2024-0042"_s, u"TQR_Rechnung"_s, u"R_RgNr1"_s);
    expectAtControl(w, u"Rechnung"_s, u"TQR_Rechnung"_s, u"L_Titel"_s);
    expectAtControl(w, u"Lindenweg"_s, u"TQR_Rechnung"_s, u"R_Strasse"_s);
    expectAtControl(w, u"Hausmeisterdienst"_s, u"TQR_Rechnung"_s, u"R_Firmenkopf"_s);
    expectAtControl(w, u"Unterhaltsreinigung"_s, u"TQR_Rechnung"_s, u"S_Bezeichnung"_s);
    expectAtControl(w, u"RgNo."_s, u"TQR_Rechnung"_s, u"L_RechNr2"_s, 1);
    // Page 1's footer and page 2's header carry the same amount.
    const QString carry = printed.of(u"lb_Uebertrag0"_s, 0).value(0);
    ASSERT_FALSE(carry.isEmpty());
    EXPECT_EQ(printed.of(u"lb_Uebertrag"_s, 1).value(0), carry);
    const QString amount = carry.section(QChar(0xA0), 0, 0).section(u' ', 0, 0);
    const PdfWord* onPage1 = wordAt(w, amount, 0);
    const PdfWord* onPage2 = wordAt(w, amount, 1);
    ASSERT_NE(onPage1, nullptr) << amount.toStdString();
    ASSERT_NE(onPage2, nullptr);
    EXPECT_GT(onPage1->yMin, 700.0); // at the foot of page 1
    EXPECT_LT(onPage2->yMin, 80.0);  // at the head of page 2
}

// The other forms from fixture documents: their number, address and first
// line where the form places them.
TEST_F(DocumentPdfs, EveryOtherFormPrintsItsFixtureDocument) {
    addHead(u"Gskopf.DB"_s, 2, u"GS-2024-0007"_s);
    addLines(u"GsSatz.DB"_s, 2, {{1000000, 0, u"Gutschrift Reinigung"_s, 1, 50, 50}});
    addHead(u"Angkopf.DB"_s, 3, u"AN-2024-0011"_s,
            {{u"R_Anschreiben"_s, u"Sehr geehrte Damen und Herren,\nanbei unser Angebot."_s}});
    addLines(u"AngSatz.DB"_s, 3,
             {{1000000, 0, u"Glasreinigung"_s, 4, 30, 120},
              {2000000, 4, u"Zwischensumme"_s, 0, 0, 120},
              {3000000, 0, u"Rahmenreinigung"_s, 2, 15, 30}});
    addHead(u"Auftkopf.DB"_s, 4, u"AU-2024-0003"_s);
    addLines(u"AuftSatz.DB"_s, 4, {{1000000, 0, u"Gartenpflege"_s, 3, 40, 120}});
    addHead(u"LSkopf.DB"_s, 5, u"LS-2024-0021"_s);
    addLines(u"LSsatz.DB"_s, 5, {{1000000, 0, u"Streusalz"_s, 5, 8, 40}});
    addRow(u"Liefrnt.DB"_s, {{u"K_ID"_s, 1},
                             {u"K_Nr"_s, 700},
                             {u"K_Name1"_s, u"Putzmittel Großhandel"_s},
                             {u"K_Strasse"_s, u"Industriestr. 3"_s},
                             {u"K_Plz"_s, u"54321"_s},
                             {u"K_Ort"_s, u"Hafenstadt"_s}});
    addHead(u"ERKopf.DB"_s, 6, u"ER-2024-0005"_s,
            {{u"R_KundenNr"_s, 700}, {u"E_LiefRgNr"_s, u"L-99812"_s}});
    addLines(u"ERSatz.DB"_s, 6, {{0, QVariant(), u"Reinigungsmittel"_s, 10, 4.5, 45}});
    addHead(u"Bestkopf.DB"_s, 7, u"BS-2024-0002"_s,
            {{u"R_LiefNr"_s, 700},
             {u"R_Lname1"_s, u"Putzmittel Großhandel"_s},
             {u"R_LStrasse"_s, u"Industriestr. 3"_s},
             {u"R_EigeneKdNr"_s, 4711}});
    addLines(u"BestSatz.DB"_s, 7,
             {{1000000, 0, u"Glasreiniger 10 l"_s, 6, 12, 72, 1, {{u"S_LArtNr"_s, u"GR-10"_s}}}});

    const struct {
        QString reportClass;
        std::function<void()> print;
        QString number;
        QString numberControl;
        QString street; // a word of the address
        QString streetControl;
        QString line; // a word of the first line text
        QString lineControl;
    } cases[] = {
        {u"TQR_Gutschrift1"_s, [] { PrintCreditNote(2, true, false, {}); }, u"GS-2024-0007"_s,
         u"R_GsNr1"_s, u"Lindenweg"_s, u"R_Strasse"_s, u"Gutschrift"_s, u"L_Titel"_s},
        {u"TQRAngebot2"_s, [] { PrintOfferLetter(3, false, {}); }, u"AN-2024-0011"_s, u"R_AngNr1"_s,
         u"Lindenweg"_s, u"R_Strasse"_s, u"anbei"_s, u"A_Anschreiben"_s},
        {u"TQRAngebot"_s, [] { PrintOffer(3, false, {}); }, u"AN-2024-0011"_s, u"R_AngNr1"_s,
         u"Lindenweg"_s, u"R_Strasse"_s, u"Glasreinigung"_s, u"S_Bezeichnung"_s},
        {u"TQR_Auftrag"_s, [] { PrintOrder(4, false, {}); }, u"AU-2024-0003"_s, u"R_RgNr1"_s,
         u"Lindenweg"_s, u"R_Strasse"_s, u"Gartenpflege"_s, u"S_Bezeichnung"_s},
        {u"TQR_LSchein"_s, [] { PrintDeliveryNote(5, false, {}); }, u"LS-2024-0021"_s, u"R_RgNr1"_s,
         u"Lindenweg"_s, u"R_Strasse"_s, u"Streusalz"_s, u"S_Bezeichnung"_s},
        {u"TQR_ER01"_s, [] { PrintIncomingInvoice(6, false, {}); }, u"ER-2024-0005"_s, u"R_RgNr1"_s,
         u"Industriestr."_s, u"R_Strasse"_s, u"Reinigungsmittel"_s, u"S_Bezeichnung"_s},
        {u"TQR_Bestell01"_s, [] { PrintBestellung(7, false, {}); }, u"BS-2024-0002"_s,
         u"R_BestellNr"_s, u"Industriestr."_s, u"R_Strasse"_s, u"Glasreiniger"_s,
         u"S_Bezeichnung"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reportClass.toStdString());
        outputs = 0;
        c.print();
        ASSERT_EQ(outputs, 1);
        const std::vector<PdfWord> w = words();
        if (w.empty())
            GTEST_SKIP() << "pdftotext (poppler-utils) is missing";
        expectAtControl(w, c.number, c.reportClass, c.numberControl);
        expectAtControl(w, c.street, c.reportClass, c.streetControl);
        expectAtControl(w, c.line, c.reportClass, c.lineControl);
    }
}

} // namespace
