#include "platform/report/runcontext.h"
#include "reportfixture.h"

using report::paginate;

// Page 1 holds header, title and column header (15 mm) above 51 rows of 5 mm;
// later pages hold header and column header above 52 rows.
TEST_F(ReportTest, TitleOnFirstPageColumnHeaderAndFooterOnEveryPage) {
    addCustomers(120);
    auto rep = makeReport(listDefinition());
    const report::Document doc = paginate(*rep);
    ASSERT_EQ(doc.pages.size(), 3u);
    EXPECT_EQ(doc.title, QStringLiteral("Testliste"));
    for (int p = 0; p < 3; ++p) {
        const QStringList t = texts(doc, p);
        EXPECT_EQ(t.count(QStringLiteral("Firmenkopf")), 1) << p;
        EXPECT_EQ(t.count(QStringLiteral("Kd-Nr.")), 1) << p;
        EXPECT_EQ(t.count(QStringLiteral("Kundenliste")), p == 0 ? 1 : 0) << p;
        EXPECT_TRUE(t.contains(QString::number(p + 1))) << "page number on page " << p;
    }
    EXPECT_EQ(pageOf(doc, QStringLiteral("Kunde 051")), 0);
    EXPECT_EQ(pageOf(doc, QStringLiteral("Kunde 052")), 1);
    EXPECT_EQ(pageOf(doc, QStringLiteral("Kunde 103")), 1);
    EXPECT_EQ(pageOf(doc, QStringLiteral("Kunde 104")), 2);
    EXPECT_EQ(pageOf(doc, QStringLiteral("Ende der Liste")), 2);

    // The first row sits right below the column header: 10 mm margin + 15 mm.
    const report::TextItem* first = findText(doc, QStringLiteral("Kunde 001"));
    ASSERT_TRUE(first);
    EXPECT_NEAR(first->rect.top(), 25 * report::kUnitsPerMm, 1);
    EXPECT_NEAR(first->rect.left(), (20 + 80 / 3.8) * report::kUnitsPerMm, 1);
    // The footer sits at the bottom margin.
    const report::TextItem* footer = findText(doc, QStringLiteral("Seite"), 0);
    ASSERT_TRUE(footer);
    EXPECT_NEAR(footer->rect.top(), (297 - 10 - 5) * report::kUnitsPerMm, 1);
}

TEST_F(ReportTest, PageHeaderAndFooterOptions) {
    addCustomers(60);
    struct Case {
        const char* options;
        bool headerOnFirst, footerOnLast;
    };
    for (const Case& c :
         {Case{R"({"firstPageHeader": false})", false, true},
          Case{R"({"lastPageFooter": false})", true, false}, Case{"{}", true, true}}) {
        const report::Document doc = paginate(*makeReport(listDefinition({}, c.options)));
        ASSERT_EQ(doc.pages.size(), 2u) << c.options;
        EXPECT_EQ(texts(doc, 0).contains(QStringLiteral("Firmenkopf")), c.headerOnFirst)
            << c.options;
        EXPECT_TRUE(texts(doc, 1).contains(QStringLiteral("Firmenkopf"))) << c.options;
        EXPECT_TRUE(texts(doc, 0).contains(QStringLiteral("Seite"))) << c.options;
        EXPECT_EQ(texts(doc, 1).contains(QStringLiteral("Seite")), c.footerOnLast) << c.options;
    }
}

TEST_F(ReportTest, EmptyReportPrintsItsFrameOnceOrNothing) {
    const report::Document doc = paginate(*makeReport(listDefinition()));
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(texts(doc, 0), (QStringList{"Firmenkopf", "Kundenliste", "Kd-Nr.", "Kundenname",
                                          "Ende der Liste", "Seite", "1"}));

    const report::Document none =
        paginate(*makeReport(listDefinition({}, R"({"printIfEmpty": false})")));
    EXPECT_TRUE(none.pages.empty());
}

// The summary that spills onto a new page comes without column header.
TEST_F(ReportTest, ColumnHeaderOnlyOnPagesWithRows) {
    addCustomers(51);
    const report::Document doc = paginate(*makeReport(listDefinition()));
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_EQ(texts(doc, 1), (QStringList{"Firmenkopf", "Ende der Liste", "Seite", "2"}));
}

TEST_F(ReportTest, ChildAndDisabledBands) {
    addCustomers(3);
    auto rep = makeReport(R"json({
      "class": "TQRChild", "dataset": "T",
      "datasets": [{"name": "T", "alias": "ReportDB", "table": "Kunden.DB"}],
      "bands": [
        {"class": "TQRBand", "name": "Detail", "type": "detail", "height": 19,
         "controls": [{"class": "TQRDBText", "name": "K_Match", "field": "K_Match", "width": 200, "height": 15}]},
        {"class": "TQRChildBand", "name": "Child1", "parentBand": "Detail", "height": 19,
         "controls": [{"class": "TQRDBText", "name": "K_Ort", "field": "K_Ort", "width": 200, "height": 15}]},
        {"class": "TQRChildBand", "name": "Child2", "parentBand": "Child1", "height": 19,
         "controls": [{"class": "TQRLabel", "name": "L_Strich", "caption": "----", "width": 200, "height": 15}]},
        {"class": "TQRBand", "name": "Summary", "type": "summary", "height": 19, "enabled": false,
         "controls": [{"class": "TQRLabel", "name": "L_Ende", "caption": "Ende", "width": 200, "height": 15}]}
      ]})json");
    EXPECT_EQ(texts(paginate(*rep), 0), (QStringList{"Kunde 001", "Köln", "----", "Kunde 002",
                                                     "Bonn", "----", "Kunde 003", "Köln", "----"}));
    // A disabled child takes its own children with it; a disabled control prints nothing.
    rep->component("child1").enabled = false;
    rep->component("K_MATCH").enabled = false;
    const report::Document doc = paginate(*rep);
    EXPECT_TRUE(texts(doc, 0).isEmpty());
    // The rows still take their space: the band is there, only its control is off.
    rep->component("Child1").enabled = true;
    const report::Document spaced = paginate(*rep);
    const report::TextItem* third = findText(spaced, QStringLiteral("Köln"));
    ASSERT_TRUE(third);
    EXPECT_NEAR(third->rect.top(), (10 + 5) * report::kUnitsPerMm, 1);
}

TEST_F(ReportTest, GroupsWithFootersSumsAndNewPagePerGroup) {
    addCustomers(6, 3); // groups 1 and 2 with three customers each
    auto rep = makeReport(R"json({
      "class": "TQRGroups", "dataset": "T",
      "datasets": [{"name": "T", "alias": "ReportDB", "table": "Kunden.DB", "index": "K_IGruppe"}],
      "bands": [
        {"class": "TQRGroup", "name": "GroupHeader", "expression": "K_Gruppe", "footer": "GroupFooter", "height": 19,
         "controls": [{"class": "TQRExpr", "name": "E_Gruppe", "expression": "'Gruppe ' + STR(K_Gruppe)", "width": 200, "height": 15}]},
        {"class": "TQRBand", "name": "Detail", "type": "detail", "height": 19,
         "controls": [{"class": "TQRDBText", "name": "K_Match", "field": "K_Match", "width": 200, "height": 15}]},
        {"class": "TQRBand", "name": "GroupFooter", "type": "groupFooter", "height": 19,
         "controls": [{"class": "TQRExpr", "name": "E_Summe", "expression": "SUM(K_Umsatz)", "mask": "#,##0.00",
                       "resetAfterPrint": true, "width": 200, "height": 15},
                      {"class": "TQRExpr", "name": "E_Letzter", "expression": "K_Match", "left": 300, "width": 200, "height": 15}]},
        {"class": "TQRBand", "name": "Summary", "type": "summary", "height": 19,
         "controls": [{"class": "TQRExpr", "name": "E_Gesamt", "expression": "SUM(K_Umsatz)", "mask": "#,##0.00",
                       "width": 200, "height": 15},
                      {"class": "TQRExpr", "name": "E_Anzahl", "expression": "COUNT", "left": 300, "width": 200, "height": 15}]}
      ]})json");
    const report::Document doc = paginate(*rep);
    ASSERT_EQ(doc.pages.size(), 1u);
    // Footers see the last row of their group; sums restart per group.
    EXPECT_EQ(texts(doc, 0),
              (QStringList{"Gruppe 1", "Kunde 001", "Kunde 002", "Kunde 003", "63,00", "Kunde 003",
                           "Gruppe 2", "Kunde 004", "Kunde 005", "Kunde 006", "157,50", "Kunde 006",
                           "220,50", "6"}));

    rep->component("GroupHeader").forceNewPage = true;
    const report::Document paged = paginate(*rep);
    ASSERT_EQ(paged.pages.size(), 2u);
    EXPECT_EQ(texts(paged, 0).first(), QStringLiteral("Gruppe 1"));
    EXPECT_EQ(texts(paged, 1).first(), QStringLiteral("Gruppe 2"));
}

// The group header that would be the last band on a page moves with its first row.
TEST_F(ReportTest, GroupHeaderKeptWithItsFirstRow) {
    addCustomers(60, 54); // group 1: 54 rows, group 2: 6 rows
    auto make = [&](bool keep) {
        auto rep = makeReport(R"json({
          "class": "TQRKeep", "dataset": "T", "margins": {"top": 10, "bottom": 7},
          "datasets": [{"name": "T", "alias": "ReportDB", "table": "Kunden.DB", "index": "K_IGruppe"}],
          "bands": [
            {"class": "TQRGroup", "name": "GroupHeader", "expression": "K_Gruppe", "height": 19,
             "controls": [{"class": "TQRExpr", "name": "E_Gruppe", "expression": "'Gruppe ' + STR(K_Gruppe)", "width": 200, "height": 15}]},
            {"class": "TQRBand", "name": "Detail", "type": "detail", "height": 19,
             "controls": [{"class": "TQRDBText", "name": "K_Match", "field": "K_Match", "width": 200, "height": 15}]}
          ]})json");
        rep->component("GroupHeader").keepWithFirst = keep;
        return paginate(*rep);
    };
    // 280 mm of body: the header of group 1 and 54 rows leave exactly one band's room.
    const report::Document loose = make(false);
    EXPECT_EQ(pageOf(loose, QStringLiteral("Gruppe 2")), 0);
    EXPECT_EQ(pageOf(loose, QStringLiteral("Kunde 055")), 1);
    const report::Document kept = make(true);
    EXPECT_EQ(pageOf(kept, QStringLiteral("Gruppe 2")), 1);
    const report::TextItem* header = findText(kept, QStringLiteral("Gruppe 2"));
    ASSERT_TRUE(header);
    EXPECT_NEAR(header->rect.top(), 10 * report::kUnitsPerMm, 1) << "at the top of the new page";
    EXPECT_NEAR(findText(kept, QStringLiteral("Kunde 055"))->rect.top(), 15 * report::kUnitsPerMm,
                1);
}

TEST_F(ReportTest, SubDetailWithAndWithoutRows) {
    addCustomers(3);
    addProtocol(1, QStringLiteral("Anruf"));
    addProtocol(1, QStringLiteral("Besuch"));
    addProtocol(3, QStringLiteral("Brief"));
    auto rep = makeReport(R"json({
      "class": "TQRSub", "dataset": "K",
      "datasets": [{"name": "K", "alias": "ReportDB", "table": "Kunden.DB"},
                   {"name": "P", "alias": "ReportDB", "table": "Proto.DB", "index": "P_IKunde",
                    "master": "K", "masterFields": ["K_Nr"], "detailFields": ["P_Kunde"]}],
      "bands": [
        {"class": "TQRBand", "name": "Detail", "type": "detail", "height": 19,
         "controls": [{"class": "TQRDBText", "name": "K_Match", "field": "K_Match", "width": 200, "height": 15}]},
        {"class": "TQRSubDetail", "name": "Sub", "dataset": "P", "header": "SubHead", "footer": "SubFoot", "height": 19,
         "controls": [{"class": "TQRExpr", "name": "E_Text", "expression": "'[' + P.P_Text + ']'", "width": 200, "height": 15}]},
        {"class": "TQRBand", "name": "SubHead", "type": "groupHeader", "height": 19,
         "controls": [{"class": "TQRLabel", "name": "L_Kopf", "caption": "Protokoll", "width": 200, "height": 15}]},
        {"class": "TQRBand", "name": "SubFoot", "type": "groupFooter", "height": 19,
         "controls": [{"class": "TQRLabel", "name": "L_Fuss", "caption": "--", "width": 200, "height": 15}]}
      ]})json");
    EXPECT_EQ(texts(paginate(*rep), 0),
              (QStringList{"Kunde 001", "Protokoll", "[Anruf]", "[Besuch]", "--", "Kunde 002",
                           "Kunde 003", "Protokoll", "[Brief]", "--"}));
    rep->component("Sub").printIfEmpty = true;
    EXPECT_EQ(texts(paginate(*rep), 0),
              (QStringList{"Kunde 001", "Protokoll", "[Anruf]", "[Besuch]", "--", "Kunde 002",
                           "Protokoll", "[]", "--", "Kunde 003", "Protokoll", "[Brief]", "--"}));
}

TEST_F(ReportTest, HooksReplaceTextAndColoursAndVetoBands) {
    addCustomers(4);
    auto rep = makeReport(listDefinition(
        R"json(, {"class": "TQRDBText", "name": "K_Umsatz", "field": "K_Umsatz", "left": 300, "width": 100, "height": 15, "onPrint": "Betrag"})json"));
    rep->component("Detail").beforePrint = QStringLiteral("NurAktive");
    rep->hooks().beforeBand(
        QStringLiteral("NurAktive"), [](report::RunContext& run, report::Component&) {
            return run.value(QStringLiteral("TabList"), QStringLiteral("K_Aktiv")).toBool();
        });
    rep->hooks().onPrint(QStringLiteral("Betrag"),
                         [](report::RunContext&, report::ControlPrint& p) {
                             if (p.value.toDouble() > 20) {
                                 p.text = QStringLiteral("viel: ") + p.text;
                                 p.font.color = Qt::red;
                                 p.font.bold = true;
                                 p.transparent = false;
                                 p.color = Qt::yellow;
                             }
                         });
    const report::Document doc = paginate(*rep);
    const QStringList t = texts(doc, 0);
    EXPECT_TRUE(t.contains(QStringLiteral("Kunde 001")));
    EXPECT_FALSE(t.contains(QStringLiteral("Kunde 003"))) << "vetoed: not active";
    EXPECT_TRUE(t.contains(QStringLiteral("10,50")));
    const report::TextItem* big = findText(doc, QStringLiteral("viel: 42,00"));
    ASSERT_TRUE(big);
    EXPECT_EQ(big->font.color, QColor(Qt::red));
    EXPECT_TRUE(big->font.bold);
    bool filled = false;
    for (const report::PageItem& item : doc.pages[0].items) {
        if (const auto* f = std::get_if<report::FillItem>(&item))
            filled =
                filled || (f->color == QColor(Qt::yellow) && f->rect.contains(big->rect.center()));
    }
    EXPECT_TRUE(filled);
    // Vetoed rows take no room: the fourth customer follows the second.
    EXPECT_NEAR(findText(doc, QStringLiteral("Kunde 004"))->rect.top() -
                    findText(doc, QStringLiteral("Kunde 002"))->rect.top(),
                5 * report::kUnitsPerMm, 1);
}

TEST_F(ReportTest, ForcedBreakAfterBandAndPageCount) {
    addCustomers(5);
    auto rep = makeReport(listDefinition());
    rep->component("Detail").afterPrint = QStringLiteral("Umbruch");
    rep->component("E_Seite").expression =
        QStringLiteral("'Seite ' + STR(PAGENUMBER) + ' von ' + STR(PAGECOUNT)");
    int passes = 0;
    rep->def().beforePrint = QStringLiteral("Start");
    rep->hooks().onPass(QStringLiteral("Start"), [&](report::RunContext&) { ++passes; });
    rep->hooks().afterBand(
        QStringLiteral("Umbruch"), [](report::RunContext& run, report::Component&) {
            if (run.value(QStringLiteral("TabList"), QStringLiteral("K_Nr")).toInt() % 2 == 0)
                run.newPage();
        });
    const report::Document doc = paginate(*rep);
    EXPECT_EQ(passes, 2) << "the page count needs a counting pass";
    ASSERT_EQ(doc.pages.size(), 3u);
    EXPECT_EQ(pageOf(doc, QStringLiteral("Kunde 002")), 0);
    EXPECT_EQ(pageOf(doc, QStringLiteral("Kunde 003")), 1);
    EXPECT_EQ(pageOf(doc, QStringLiteral("Kunde 005")), 2);
    for (int p = 0; p < 3; ++p)
        EXPECT_TRUE(texts(doc, p).contains(QStringLiteral("Seite %1 von 3").arg(p + 1))) << p;
}

// A break requested after the last row leaves no empty page behind.
TEST_F(ReportTest, BreakAfterTheLastBandAddsNoPage) {
    addCustomers(2);
    auto rep = makeReport(listDefinition());
    rep->component("Summary").afterPrint = QStringLiteral("Umbruch");
    rep->hooks().afterBand(QStringLiteral("Umbruch"),
                           [](report::RunContext& run, report::Component&) { run.newPage(); });
    EXPECT_EQ(paginate(*rep).pages.size(), 1u);
}

TEST_F(ReportTest, ClosingPageState) {
    addCustomers(60);
    auto rep = makeReport(listDefinition());
    rep->component("E_Seite").onPrint = QStringLiteral("Uebertrag");
    QList<bool> allRows, finalFooter;
    rep->hooks().onPrint(QStringLiteral("Uebertrag"),
                         [&](report::RunContext& run, report::ControlPrint& p) {
                             allRows.append(run.allRowsPrinted());
                             finalFooter.append(run.finalPageFooter());
                             if (run.finalPageFooter())
                                 p.text.clear();
                         });
    const report::Document doc = paginate(*rep);
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_EQ(allRows, (QList<bool>{false, true}));
    EXPECT_EQ(finalFooter, (QList<bool>{false, true}));
    EXPECT_TRUE(texts(doc, 0).contains(QStringLiteral("1")));
    EXPECT_FALSE(texts(doc, 1).contains(QStringLiteral("2")));
}

// Each run starts from the definition: a hook's change to a control lasts for its pass only.
TEST_F(ReportTest, RunsDoNotAccumulate) {
    addCustomers(2);
    auto rep = makeReport(listDefinition());
    rep->component("Title").beforePrint = QStringLiteral("Titel");
    rep->hooks().beforeBand(
        QStringLiteral("Titel"), [](report::RunContext& run, report::Component&) {
            run.control(QStringLiteral("L_Titel")).caption += QStringLiteral("!");
            return true;
        });
    EXPECT_TRUE(findText(paginate(*rep), QStringLiteral("Kundenliste!")));
    EXPECT_TRUE(findText(paginate(*rep), QStringLiteral("Kundenliste!")));
    EXPECT_EQ(rep->component("L_Titel").caption, QStringLiteral("Kundenliste"));
}
