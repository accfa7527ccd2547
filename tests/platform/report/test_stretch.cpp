#include "platform/richtext/rtf.h"
#include "reportfixture.h"

#include <QTextDocument>

namespace {

QByteArray stretchDefinition() {
    return R"json({
      "class": "TQRStretch", "dataset": "T", "margins": {"top": 10, "bottom": 10},
      "font": {"name": "Liberation Sans", "size": 10},
      "datasets": [{"name": "T", "alias": "ReportDB", "table": "Kunden.DB"}],
      "bands": [
        {"class": "TQRBand", "name": "PageHeader", "type": "pageHeader", "height": 19,
         "controls": [{"class": "TQRLabel", "name": "L_Kopf", "caption": "Kopf", "width": 200, "height": 15}]},
        {"class": "TQRBand", "name": "Detail", "type": "detail", "height": 60,
         "controls": [{"class": "TQRDBText", "name": "K_Match", "field": "K_Match", "width": 150, "height": 15},
                      {"class": "TQRDBRichText", "name": "K_Notiz", "field": "K_Notiz", "left": 160, "top": 0,
                       "width": 300, "height": 19, "autoStretch": true},
                      {"class": "TQRDBText", "name": "K_Ort", "field": "K_Ort", "left": 160, "top": 38, "width": 150, "height": 15},
                      {"class": "TQRDBText", "name": "K_Nr", "field": "K_Nr", "left": 480, "top": 38, "width": 60, "height": 15}]},
        {"class": "TQRBand", "name": "PageFooter", "type": "pageFooter", "height": 19,
         "controls": [{"class": "TQRExpr", "name": "E_Seite", "expression": "PAGENUMBER", "width": 60, "height": 15}]}
      ]})json";
}

QString paragraphs(int count) {
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines.append(QStringLiteral("Zeile %1 der Notiz").arg(i));
    return QString::fromLatin1(
        richtext::rtfFromPlainText(lines.join(u'\n'), QFont("Liberation Sans", 10)));
}

std::vector<report::RichTextItem> richItems(const report::Document& doc, int page) {
    std::vector<report::RichTextItem> out;
    for (const report::PageItem& item : doc.pages.at(size_t(page)).items) {
        if (const auto* r = std::get_if<report::RichTextItem>(&item))
            out.push_back(*r);
    }
    return out;
}

} // namespace

TEST_F(ReportTest, StretchingRichTextMovesControlsBelowAndGrowsTheBand) {
    addCustomers(2);
    setField(1, "K_Notiz", paragraphs(6));
    const report::Document doc = report::paginate(*makeReport(stretchDefinition()));
    ASSERT_EQ(doc.pages.size(), 1u);
    const auto rich = richItems(doc, 0);
    ASSERT_EQ(rich.size(), 2u);
    const double grown = rich[0].rect.height();
    const double design = 19 * report::kUnitsPerDesignPixel;
    EXPECT_GT(grown, 4 * design) << "six lines of 10 pt";
    EXPECT_NEAR(grown, rich[0].document->size().height(), 1);
    // K_Ort sat below the rich text and moves down with its growth; K_Nr beside it too.
    const double growth = grown - design;
    EXPECT_NEAR(findText(doc, QStringLiteral("Köln"))->rect.top() - rich[0].rect.top(),
                38 * report::kUnitsPerDesignPixel + growth, 1);
    EXPECT_NEAR(findText(doc, QStringLiteral("1"))->rect.top(),
                findText(doc, QStringLiteral("Köln"))->rect.top(), 1);
    // The text beside it does not move; the next row starts below the grown band.
    EXPECT_NEAR(findText(doc, QStringLiteral("Kunde 001"))->rect.top(), rich[0].rect.top(), 1);
    EXPECT_NEAR(findText(doc, QStringLiteral("Kunde 002"))->rect.top() -
                    findText(doc, QStringLiteral("Kunde 001"))->rect.top(),
                60 * report::kUnitsPerDesignPixel + growth, 1);
    // An empty note keeps its design height.
    EXPECT_NEAR(rich[1].rect.height(), design, 1);
}

TEST_F(ReportTest, RichTextTallerThanAPageContinuesOnTheNext) {
    addCustomers(1);
    setField(1, "K_Notiz", paragraphs(150));
    const report::Document doc = report::paginate(*makeReport(stretchDefinition()));
    ASSERT_GE(doc.pages.size(), 3u);
    double printed = 0;
    double nextTop = 0;
    for (size_t p = 0; p < doc.pages.size(); ++p) {
        const auto rich = richItems(doc, int(p));
        ASSERT_EQ(rich.size(), 1u) << p;
        EXPECT_NEAR(rich[0].docTop, nextTop, 1) << "each page goes on where the last stopped";
        nextTop = rich[0].docTop + rich[0].rect.height();
        printed += rich[0].rect.height();
        // Every page keeps its header and footer, the text stays between them.
        EXPECT_TRUE(texts(doc, int(p)).contains(QStringLiteral("Kopf"))) << p;
        EXPECT_TRUE(texts(doc, int(p)).contains(QString::number(p + 1))) << p;
        EXPECT_LE(rich[0].rect.bottom(), (297 - 10 - 5) * report::kUnitsPerMm + 1) << p;
    }
    EXPECT_NEAR(printed, richItems(doc, 0)[0].document->size().height(), 1);
    // The fields below the text print once, after its end, on the last page.
    EXPECT_EQ(pageOf(doc, QStringLiteral("Köln")), int(doc.pages.size()) - 1);
    EXPECT_EQ(pageOf(doc, QStringLiteral("Kunde 001")), 0);
}

TEST_F(ReportTest, WrappedDataTextStretchesLineByLine) {
    addCustomers(1);
    setField(1, "K_Match", QStringLiteral("Ein sehr langer Name für die Spalte"));
    auto rep = makeReport(stretchDefinition());
    rep->component("K_Match").autoStretch = true;
    rep->component("K_Match").width = 60;
    const report::Document doc = report::paginate(*rep);
    const QStringList t = texts(doc, 0);
    const int first = t.indexOf(QStringLiteral("Ein sehr"));
    ASSERT_GE(first, 0) << t.join(u'|').toStdString();
    EXPECT_EQ(t.mid(first, 4), (QStringList{"Ein sehr", "langer", "Name für", "die Spalte"}));
    // Lines follow each other one line spacing apart, all inside the 60 px column.
    const report::TextItem* a = findText(doc, t[first]);
    const report::TextItem* b = findText(doc, t[first + 1]);
    EXPECT_GT(b->rect.top(), a->rect.top());
    EXPECT_NEAR(b->rect.top() - a->rect.top(), a->rect.height(), 1);
    EXPECT_FALSE(a->clip);
}

// Values a layout should never hold are clamped; pagination always ends.
TEST_F(ReportTest, AbsurdValuesAreClampedAndPaginationEnds) {
    addCustomers(3);
    auto rep = makeReport(stretchDefinition());
    rep->component("K_Match").left = -50;
    rep->component("K_Match").width = 1000000;
    rep->component("K_Match").font.size = 0;
    rep->component("K_Ort").frame = {Qt::black, true, true, true, true, report::psDash, 100000};
    rep->component("Detail").height = 5000; // taller than the page
    rep->def().marginLeft = -10;
    rep->def().marginTop = 1e9;
    report::Document doc;
    EXPECT_NO_THROW(doc = report::paginate(*rep));
    EXPECT_EQ(doc.pages.size(), 3u) << "one clipped detail band per page";
    const report::TextItem* name = findText(doc, QStringLiteral("Kunde 001"));
    ASSERT_TRUE(name);
    EXPECT_GE(name->rect.left(), 0);
    EXPECT_GE(name->font.size, 1);

    // A page header that fills the page leaves no body: each band still prints once.
    auto full = makeReport(stretchDefinition());
    full->component("PageHeader").height = 1200;
    EXPECT_NO_THROW(doc = report::paginate(*full));
    EXPECT_EQ(allTexts(doc).count(QStringLiteral("Köln")), 2);
}

namespace {

// A letter: its text in the title band, a column header and a detail row
// after it, header and footer on every page.
QByteArray letterDefinition() {
    return R"json({
      "class": "TQRLetter", "dataset": "T", "margins": {"top": 10, "bottom": 10},
      "font": {"name": "Liberation Sans", "size": 10},
      "datasets": [{"name": "T", "alias": "ReportDB", "table": "Kunden.DB"}],
      "bands": [
        {"class": "TQRBand", "name": "PageHeader", "type": "pageHeader", "height": 19,
         "controls": [{"class": "TQRLabel", "name": "L_Kopf", "caption": "Kopf", "width": 200, "height": 15}]},
        {"class": "TQRBand", "name": "Title", "type": "title", "height": 60,
         "controls": [{"class": "TQRLabel", "name": "L_Anrede", "caption": "Anrede", "width": 200, "height": 15},
                      {"class": "TQRRichText", "name": "R_Text", "top": 19, "width": 500, "height": 19,
                       "autoStretch": true},
                      {"class": "TQRLabel", "name": "L_Gruss", "caption": "Gruss", "top": 40, "width": 200, "height": 15}]},
        {"class": "TQRBand", "name": "Columns", "type": "columnHeader", "height": 19,
         "controls": [{"class": "TQRLabel", "name": "L_Spalte", "caption": "Spalte", "width": 200, "height": 15}]},
        {"class": "TQRBand", "name": "Detail", "type": "detail", "height": 19,
         "controls": [{"class": "TQRDBText", "name": "K_Match", "field": "K_Match", "width": 150, "height": 15}]},
        {"class": "TQRBand", "name": "PageFooter", "type": "pageFooter", "height": 19,
         "controls": [{"class": "TQRExpr", "name": "E_Seite", "expression": "PAGENUMBER", "width": 60, "height": 15}]}
      ]})json";
}

} // namespace

// A title taller than the page is not cut: it goes on below the next page's
// header, and what follows it prints once, after it.
TEST_F(ReportTest, ATitleTallerThanAPageContinuesOnTheNext) {
    addCustomers(1);
    auto rep = makeReport(letterDefinition());
    rep->component("R_Text").caption = paragraphs(150);
    const report::Document doc = report::paginate(*rep);
    ASSERT_GE(doc.pages.size(), 3u);
    double nextTop = 0;
    double printed = 0;
    for (size_t p = 0; p < doc.pages.size(); ++p) {
        const QStringList t = texts(doc, int(p));
        EXPECT_EQ(t.count(QStringLiteral("Kopf")), 1) << p;
        EXPECT_TRUE(t.contains(QString::number(p + 1))) << "page number on page " << p;
        const auto rich = richItems(doc, int(p));
        ASSERT_EQ(rich.size(), 1u) << p;
        EXPECT_NEAR(rich[0].docTop, nextTop, 1) << "each page goes on where the last stopped";
        nextTop = rich[0].docTop + rich[0].rect.height();
        printed += rich[0].rect.height();
        EXPECT_LE(rich[0].rect.bottom(), (297 - 10 - 5) * report::kUnitsPerMm + 1) << p;
        if (p > 0) { // right below the header
            EXPECT_NEAR(rich[0].rect.top(), 15 * report::kUnitsPerMm, 1) << p;
        }
        EXPECT_EQ(t.count(QStringLiteral("Spalte")), p + 1 == doc.pages.size() ? 1 : 0)
            << "the column header once, above the rows, on page " << p;
    }
    EXPECT_NEAR(printed, richItems(doc, 0)[0].document->size().height(), 1);
    EXPECT_EQ(pageOf(doc, QStringLiteral("Anrede")), 0);
    const int last = int(doc.pages.size()) - 1;
    EXPECT_EQ(pageOf(doc, QStringLiteral("Gruss")), last);
    EXPECT_GT(findText(doc, QStringLiteral("Spalte"))->rect.top(),
              findText(doc, QStringLiteral("Gruss"))->rect.top());
    EXPECT_EQ(pageOf(doc, QStringLiteral("Kunde 001")), last);
    EXPECT_GT(findText(doc, QStringLiteral("Kunde 001"))->rect.top(),
              findText(doc, QStringLiteral("Gruss"))->rect.top());

    // A short title keeps its place above the column header.
    rep = makeReport(letterDefinition());
    rep->component("R_Text").caption = paragraphs(3);
    const report::Document one = report::paginate(*rep);
    ASSERT_EQ(one.pages.size(), 1u);
    EXPECT_GT(findText(one, QStringLiteral("Spalte"))->rect.top(),
              findText(one, QStringLiteral("Gruss"))->rect.top());
}
