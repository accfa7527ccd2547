#include "platform/report/pdfwriter.h"
#include "reportfixture.h"
#include "support/testdirs.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

constexpr double kPtPerMm = 72.0 / 25.4;

struct Word {
    QString text;
    double xMin, yMin, xMax, yMax; // points
};

// Runs a poppler tool; empty when it is missing (the caller skips, or fails under CI).
std::optional<QByteArray> runTool(const QString& program, const QStringList& args) {
    if (QStandardPaths::findExecutable(program).isEmpty())
        return std::nullopt;
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QByteArray();
    return p.readAllStandardOutput();
}

#define REQUIRE_TOOL(result, program)                                                              \
    if (!(result)) {                                                                               \
        if (testsupport::runningInCi()) {                                                          \
            FAIL() << program << " (poppler-utils) is missing";                                    \
        }                                                                                          \
        GTEST_SKIP() << program << " (poppler-utils) is missing";                                  \
    }

std::vector<std::vector<Word>> wordsOf(const QByteArray& xhtml) {
    std::vector<std::vector<Word>> pages;
    static const QRegularExpression page(QStringLiteral("<page "));
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    const QString text = QString::fromUtf8(xhtml);
    const QStringList parts = text.split(page);
    for (int i = 1; i < parts.size(); ++i) {
        std::vector<Word> words;
        auto it = word.globalMatch(parts[i]);
        while (it.hasNext()) {
            const auto m = it.next();
            QString t = m.captured(5);
            t.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            words.push_back({t, m.captured(1).toDouble(), m.captured(2).toDouble(),
                             m.captured(3).toDouble(), m.captured(4).toDouble()});
        }
        pages.push_back(words);
    }
    return pages;
}

const Word* wordAt(const std::vector<Word>& words, const QString& text, int occurrence = 0) {
    for (const Word& w : words) {
        if (w.text == text && occurrence-- == 0)
            return &w;
    }
    return nullptr;
}

class PdfTest : public ReportTest {
protected:
    QString pdf(const report::Document& doc) {
        const QString file = dir.filePath(QStringLiteral("out%1.pdf").arg(++m_files));
        report::writePdf(doc, file);
        return file;
    }
    std::unique_ptr<report::Report> kundenliste() {
        QFile f(testsupport::sourceDir() +
                QStringLiteral("/tests/platform/report/fixtures/kundenliste.json"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return makeReport(f.readAll());
    }
    int m_files = 0;
};

} // namespace

TEST_F(PdfTest, TextAndPositionsReadBackFromThePdf) {
    addCustomers(3);
    addGroup(1, QStringLiteral("Hausverwaltung"));
    const QString file = pdf(report::paginate(*kundenliste()));
    const auto xhtml =
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    REQUIRE_TOOL(xhtml, "pdftotext");
    const auto pages = wordsOf(*xhtml);
    ASSERT_EQ(pages.size(), 1u);
    const std::vector<Word>& w = pages[0];

    // The title label: 20 mm margin, 10 mm + the 50 px page header + 8 px down.
    const Word* title = wordAt(w, QStringLiteral("Kundenliste"));
    ASSERT_TRUE(title);
    EXPECT_NEAR(title->xMin, 20 * kPtPerMm, 1.5);
    EXPECT_NEAR(title->yMin, (10 + 58 / 3.8) * kPtPerMm, 3);
    // Right-aligned column caption and amounts end at their column's right edge.
    const double amountRight = (20 + (575 + 70) / 3.8) * kPtPerMm;
    ASSERT_TRUE(wordAt(w, QStringLiteral("Umsatz")));
    EXPECT_NEAR(wordAt(w, QStringLiteral("Umsatz"))->xMax, amountRight, 1);
    ASSERT_TRUE(wordAt(w, QStringLiteral("31,50")));
    EXPECT_NEAR(wordAt(w, QStringLiteral("31,50"))->xMax, amountRight, 1);
    // Rows are 17 px apart.
    const Word* first = wordAt(w, QStringLiteral("001"));
    const Word* second = wordAt(w, QStringLiteral("002"));
    ASSERT_TRUE(first && second);
    EXPECT_NEAR(second->yMin - first->yMin, 17 / 3.8 * kPtPerMm, 0.2);
    // Lookups, Boolean texts, the sum and the rich-text head centred over the body width.
    EXPECT_TRUE(wordAt(w, QStringLiteral("Hausverwaltung")));
    EXPECT_TRUE(wordAt(w, QStringLiteral("Nein")));
    EXPECT_TRUE(wordAt(w, QStringLiteral("63,00")));
    const Word* head = wordAt(w, QStringLiteral("Hausmeisterdienst"));
    const Word* gmbh = wordAt(w, QStringLiteral("GmbH"));
    ASSERT_TRUE(head && gmbh);
    EXPECT_NEAR((head->xMin + gmbh->xMax) / 2, (20 + 684 / 3.8 / 2) * kPtPerMm, 2);
    EXPECT_TRUE(wordAt(w, QStringLiteral("Müller")));
    // The footer line "Seite 1 von 1" at the bottom margin, right-aligned.
    const Word* von = wordAt(w, QStringLiteral("von"));
    ASSERT_TRUE(von);
    EXPECT_GT(von->yMin, (297 - 10 - 24 / 3.8) * kPtPerMm);
    EXPECT_EQ(w.back().text, QStringLiteral("1"));
    EXPECT_NEAR(w.back().xMax, (210 - 10) * kPtPerMm, 1);

    const auto fonts = runTool(QStringLiteral("pdffonts"), {file});
    REQUIRE_TOOL(fonts, "pdffonts");
    const QString table = QString::fromUtf8(*fonts);
    EXPECT_TRUE(table.contains(QStringLiteral("LiberationSans"))) << table.toStdString();
    for (const QString& line : table.split(u'\n').mid(2)) {
        if (!line.trimmed().isEmpty()) {
            EXPECT_TRUE(line.contains(QStringLiteral(" yes ")))
                << "embedded: " << line.toStdString();
        }
    }
}

TEST_F(PdfTest, PagesAndTheirNumbersInTheFile) {
    addCustomers(130);
    const QString file = pdf(report::paginate(*kundenliste()));
    const auto xhtml =
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    REQUIRE_TOOL(xhtml, "pdftotext");
    const auto pages = wordsOf(*xhtml);
    ASSERT_EQ(pages.size(), 3u);
    for (size_t p = 0; p < pages.size(); ++p) {
        QStringList all;
        for (const Word& w : pages[p])
            all.append(w.text);
        EXPECT_TRUE(all.join(u' ').contains(QStringLiteral("Seite %1 von 3").arg(p + 1))) << p;
        EXPECT_EQ(all.contains(QStringLiteral("Kundenliste")), p == 0) << p;
        EXPECT_TRUE(all.contains(QStringLiteral("Kundenname"))) << p;
    }
}

// The logo prints where its control is; without a picture the region stays white.
TEST_F(PdfTest, LogoRegionWithAndWithoutPicture) {
    auto rep = makeReport(R"json({
      "class": "TQRLogo", "margins": {"left": 20, "top": 10},
      "bands": [{"class": "TQRBand", "name": "Title", "type": "title", "height": 200,
                 "controls": [{"class": "TQRImage", "name": "F_Logo", "left": 380, "top": 38,
                               "width": 190, "height": 114, "stretch": true},
                              {"class": "TQRLabel", "name": "L_Text", "caption": "Rechnung", "width": 200, "height": 15}]}]
    })json");
    QImage logo(100, 60, QImage::Format_RGB32);
    logo.fill(QColor(200, 0, 0));
    // The logo region: 20 + 380 / 3.8 = 120 mm from the left, 10 + 38 / 3.8 = 20 mm from the top,
    // 50 x 30 mm.
    const QRectF region(120, 20, 50, 30);
    auto redShare = [&](bool withPicture) -> double {
        rep->component(QStringLiteral("F_Logo")).picture = withPicture ? logo : QImage();
        const QString file = pdf(report::paginate(*rep));
        const QString png = dir.filePath(QStringLiteral("logo%1").arg(m_files));
        const auto done = runTool(QStringLiteral("pdftoppm"),
                                  {QStringLiteral("-png"), QStringLiteral("-r"),
                                   QStringLiteral("50"), QStringLiteral("-singlefile"), file, png});
        if (!done)
            return -1;
        const QImage page(png + QStringLiteral(".png"));
        const double pxPerMm = 50 / 25.4;
        int red = 0, total = 0;
        for (int y = int(region.top() * pxPerMm) + 2; y < int(region.bottom() * pxPerMm) - 2; ++y) {
            for (int x = int(region.left() * pxPerMm) + 2; x < int(region.right() * pxPerMm) - 2;
                 ++x) {
                const QColor c = page.pixelColor(x, y);
                red += c.red() > 150 && c.green() < 60;
                ++total;
            }
        }
        // Nothing red outside the region.
        for (int x = 0; x < int(region.left() * pxPerMm) - 2; ++x) {
            const QColor c = page.pixelColor(x, int(region.center().y() * pxPerMm));
            EXPECT_FALSE(c.red() > 150 && c.green() < 60) << x;
        }
        return total ? double(red) / total : 0;
    };
    const double with = redShare(true);
    REQUIRE_TOOL(with >= 0 ? std::optional<int>(1) : std::nullopt, "pdftoppm");
    EXPECT_GT(with, 0.99);
    EXPECT_EQ(redShare(false), 0.0);
    rep->component(QStringLiteral("F_Logo")).enabled = false;
    EXPECT_EQ(redShare(true), 0.0) << "a disabled logo prints nothing";
}

TEST_F(PdfTest, UnwritableFileGivesAGermanMessage) {
    report::Document doc;
    doc.pages.emplace_back();
    try {
        report::writePdf(doc, dir.filePath(QStringLiteral("fehlt/x.pdf")));
        FAIL();
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Die PDF-Datei")))
            << e.message().toStdString();
    }
}
