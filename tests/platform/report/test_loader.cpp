#include "platform/errors.h"
#include "platform/report/report.h"
#include "platform/report/reportreader.h"
#include "support/testdirs.h"

#include <gtest/gtest.h>

using report::readReportDefinition;

namespace {

const char* const kMinimal = R"json({"class": "TQRMin", "dataset": "T",
 "datasets": [{"name": "T", "table": "Kunden.DB"}],
 "bands": [{"class": "TQRBand", "name": "Detail", "type": "detail", "height": 19,
            "controls": [{"class": "TQRDBText", "name": "K_Nr", "field": "K_Nr"}]}]})json";

QString errorOf(const QByteArray& json) {
    try {
        readReportDefinition(json, QStringLiteral("liste.json"));
    } catch (const DbError& e) {
        return e.message();
    }
    return {};
}

} // namespace

TEST(ReportLoader, ReadsComponentsInOrderWithDefaults) {
    const report::ReportDefinition def = readReportDefinition(R"json({
      "class": "TQRDemo", "title": "Demo", "orientation": "landscape",
      "margins": {"left": 25.5}, "font": {"name": "Arial", "size": 9},
      "dataset": "T", "datasets": [{"name": "T", "table": "Kunden.DB", "filter": "K_Nr>1"}],
      "bands": [
        {"class": "TQRBand", "name": "Head", "type": "columnHeader", "height": 20, "font": {"bold": true},
         "controls": [{"class": "TQRLabel", "name": "L_A", "caption": "A", "left": 1, "top": 2, "width": 3, "height": 4,
                       "color": "#ffff00", "frame": {"bottom": true, "style": "psDot", "width": 2}}]},
        {"class": "TQRBand", "name": "Detail", "type": "detail", "height": 19,
         "controls": [{"class": "TQRDBText", "name": "K_Nr", "field": "K_Nr", "mask": "0000", "alignment": "right",
                       "font": {"size": 12}, "tag": 7}]},
        {"class": "TQRChildBand", "name": "Child", "parentBand": "Detail", "height": 10}
      ]})json",
                                                              QStringLiteral("demo.json"));
    EXPECT_EQ(def.className, QStringLiteral("TQRDemo"));
    EXPECT_TRUE(def.landscape);
    EXPECT_EQ(def.marginLeft, 25.5);
    EXPECT_EQ(def.marginTop, 10);
    EXPECT_TRUE(def.datasets[0].filtered) << "a filter given in the definition is on";
    EXPECT_EQ(def.datasets[0].alias, QStringLiteral("LumoDB"));
    QStringList order;
    for (const report::Component& c : def.components)
        order.append(c.name + u':' + c.parent);
    EXPECT_EQ(order, (QStringList{"Head:", "L_A:Head", "Detail:", "K_Nr:Detail", "Child:"}));
    const report::Component& label = def.components[1];
    EXPECT_EQ(label.cls, report::ComponentClass::Label);
    EXPECT_TRUE(label.font.bold) << "the band's font is the default of its controls";
    EXPECT_EQ(label.font.size, 9);
    EXPECT_FALSE(label.transparent) << "a colour makes a control opaque";
    EXPECT_EQ(label.color, QColor(Qt::yellow));
    EXPECT_EQ(label.frame.style, report::psDot);
    EXPECT_TRUE(label.frame.bottom && !label.frame.top);
    const report::Component& field = def.components[3];
    EXPECT_EQ(field.font.size, 12);
    EXPECT_FALSE(field.font.bold);
    EXPECT_TRUE(field.transparent);
    EXPECT_EQ(field.alignment, report::Alignment::Right);
    EXPECT_EQ(field.tag, 7);
    EXPECT_EQ(def.components[4].cls, report::ComponentClass::ChildBand);
    EXPECT_EQ(report::className(def.components[4].cls), QStringLiteral("TQRChildBand"));
}

TEST(ReportLoader, RejectsFaultyDefinitionsNamingTheElement) {
    struct Case {
        const char* from;
        const char* to;
        const char* message;
    };
    const Case cases[] = {
        {"{\"class\"", "{\"klasse\"", "\"liste.json\": \"class\" fehlt"},
        {"\"dataset\": \"T\",", "\"dataset\": \"T\", \"titel\": \"x\",",
         "unbekannter Eintrag \"titel\""},
        {"{\"class\": \"TQRBand\"", "{\"class\": \"TQRBande\"",
         "Band Detail: unbekannte Klasse \"TQRBande\""},
        {"\"TQRDBText\"", "\"TQRGroup\"",
         "Element K_Nr: ein Band (TQRGroup) kann nicht auf einem Band liegen"},
        {"\"type\": \"detail\",", "", "Band Detail: \"type\" fehlt"},
        {"\"detail\"", "\"details\"", "\"details\" ist für \"type\" nicht zulässig"},
        {"\"field\": \"K_Nr\"}",
         "\"field\": \"K_Nr\"}, {\"class\": \"TQRLabel\", \"name\": \"k_nr\"}",
         "Element k_nr: der Name ist doppelt"},
        {"\"field\": \"K_Nr\"}", "\"field\": \"K_Nr\", \"dataset\": \"X\"}",
         "Element K_Nr: die Datenmenge \"X\" fehlt"},
        {", \"field\": \"K_Nr\"", "", "Element K_Nr: \"field\" fehlt"},
        {"\"height\": 19", "\"height\": \"19\"", "Band Detail: \"height\" muss eine Zahl sein"},
        {"\"height\": 19", "\"height\": 19.5", "\"height\" muss eine ganze Zahl sein"},
        {"\"height\": 19", "\"height\": 19, \"color\": \"grünlich\"",
         "\"grünlich\" ist keine Farbe"},
        {"\"height\": 19", "\"height\": 19, \"frame\": {\"style\": \"psWavy\"}",
         "\"psWavy\" ist für \"style\" nicht zulässig"},
        {"\"table\": \"Kunden.DB\"}",
         "\"table\": \"Kunden.DB\", \"master\": \"T\", \"masterFields\": [\"A\"], "
         "\"detailFields\": [\"B\"]}",
         "Datenmenge T: die Verknüpfung ist ringförmig"},
        {"\"table\": \"Kunden.DB\"}", "\"table\": \"Kunden.DB\", \"masterFields\": [\"A\"]}",
         "gleich viele Felder"},
        {"\"table\": \"Kunden.DB\"}",
         "\"table\": \"Kunden.DB\", \"calculated\": [{\"name\": \"X\", \"type\": \"Geld\"}]}",
         "unbekannter Feldtyp \"Geld\""},
        {"\"dataset\": \"T\",", "\"dataset\": \"Q\",", "die Datenmenge \"Q\" fehlt"},
        {"]}]}", "]}, {\"class\": \"TQRBand\", \"name\": \"D2\", \"type\": \"detail\"}]}",
         "Band D2: es gibt schon ein Detailband"},
        {"]}]}", "]}, {\"class\": \"TQRGroup\", \"name\": \"G\", \"expression\": \"K_Nr +\"}]}",
         "Band G: Fehler im Ausdruck \"K_Nr +\" bei Position"},
        {"]}]}", "]}, {\"class\": \"TQRGroup\", \"name\": \"G\"}]}",
         "Band G: \"expression\" fehlt"},
        {"]}]}", "]}, {\"class\": \"TQRSubDetail\", \"name\": \"S\"}]}",
         "Band S: \"dataset\" fehlt"},
        {"]}]}",
         "]}, {\"class\": \"TQRSubDetail\", \"name\": \"S\", \"dataset\": \"T\", \"header\": "
         "\"Detail\"}]}",
         "Band S: \"header\" \"Detail\" hat nicht die passende Art"},
        {"]}]}", "]}, {\"class\": \"TQRChildBand\", \"name\": \"C\", \"parentBand\": \"K_Nr\"}]}",
         "Band C: \"parentBand\" \"K_Nr\" ist kein Band"},
        {"]}]}", "]}, {\"class\": \"TQRChildBand\", \"name\": \"C\", \"parentBand\": \"C\"}]}",
         "ringförmig"},
        {"\"field\": \"K_Nr\"}",
         "\"field\": \"K_Nr\"}, {\"class\": \"TQRImage\", \"name\": \"Logo\", \"picture\": "
         "\":/fehlt.png\"}",
         "das Bild \":/fehlt.png\" kann nicht gelesen werden"},
        {"{\"class\"", "[{\"class\"", "kein gültiges JSON"},
    };
    EXPECT_EQ(errorOf(kMinimal), QString());
    for (const Case& c : cases) {
        QByteArray json(kMinimal);
        ASSERT_TRUE(json.contains(c.from)) << c.from;
        json.replace(json.indexOf(c.from), qstrlen(c.from), c.to);
        const QString error = errorOf(json);
        EXPECT_TRUE(
            error.startsWith(QStringLiteral("Fehler in der Berichtsdefinition \"liste.json\"")))
            << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.message)))
            << c.message << "\n got: " << error.toStdString();
    }
}

TEST(ReportLoader, RegisteredDirectoriesAndFreshInstances) {
    report::addReportDirectory(testsupport::sourceDir() +
                               QStringLiteral("/tests/platform/report/fixtures"));
    auto first = report::Report::create(QStringLiteral("tqrtestkundenliste"));
    EXPECT_EQ(first->def().title, QStringLiteral("Druck Kundenliste"));
    first->component(QStringLiteral("l_titel")).caption = QStringLiteral("geändert");
    first->datasetDef(QStringLiteral("TABKD")).index.clear();
    // A new instance starts from the definition again.
    auto second = report::Report::create(QStringLiteral("TQRTestKundenliste"));
    EXPECT_EQ(second->component(QStringLiteral("L_Titel")).caption, QStringLiteral("Kundenliste"));
    EXPECT_EQ(second->datasetDef(QStringLiteral("TabKD")).index, QStringLiteral("K_IMatch"));
    EXPECT_EQ(&first->original(), &second->original());
    EXPECT_THROW(report::Report::create(QStringLiteral("TQRGibtEsNicht")), DbError);
    EXPECT_THROW(second->component(QStringLiteral("L_Fehlt")), DbError);
}
