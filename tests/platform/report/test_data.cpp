#include "platform/errors.h"
#include "platform/report/runcontext.h"
#include "reportfixture.h"

namespace {

// One detail line per customer: number, name, the group's text (a lookup),
// the group head's name (a lookup through a lookup), a calculated field.
QByteArray dataDefinition() {
    return R"json({
      "class": "TQRData", "dataset": "T",
      "datasets": [{"name": "T", "alias": "ReportDB", "table": "Kunden.DB",
                    "lookups": [{"name": "Gruppe", "table": "Gruppen.DB", "keyFields": ["K_Gruppe"],
                                 "lookupKeys": ["G_Nr"], "result": "G_Text"},
                                {"name": "ChefNr", "table": "Gruppen.DB", "keyFields": ["K_Gruppe"],
                                 "lookupKeys": ["G_Nr"], "result": "G_Chef"},
                                {"name": "Chef", "table": "Kunden.DB", "keyFields": ["ChefNr"],
                                 "lookupKeys": ["K_Nr"], "result": "K_Match"}],
                    "calculated": [{"name": "Doppelt", "type": "Float"}],
                    "onCalcFields": "Rechnen"}],
      "bands": [
        {"class": "TQRBand", "name": "Detail", "type": "detail", "height": 19,
         "controls": [{"class": "TQRExpr", "name": "E_Zeile", "width": 600, "height": 15,
                       "expression": "STR(K_Nr) + '|' + K_Ort + '|' + Gruppe + '|' + Chef + '|' + FORMATNUMERIC('0.00', Doppelt)"}]}
      ]})json";
}

} // namespace

TEST_F(ReportTest, LookupsCalculatedFieldsAndNulls) {
    addCustomers(4, 2);
    addGroup(1, QStringLiteral("Hausverwaltung"), 4);
    setField(3, "K_Ort", QVariant());
    auto rep = makeReport(dataDefinition());
    rep->hooks().onCalcFields(QStringLiteral("Rechnen"), [](report::RunContext&, table::Table& t) {
        t[QStringLiteral("Doppelt")] = t[QStringLiteral("K_Umsatz")].asFloat() * 2;
    });
    // Group 2 has no row: its lookups print empty, as does the null place.
    EXPECT_EQ(
        texts(report::paginate(*rep), 0),
        (QStringList{"1|Köln|Hausverwaltung|Kunde 004|21,00",
                     "2|Bonn|Hausverwaltung|Kunde 004|42,00", "3||||63,00", "4|Bonn|||84,00"}));
}

TEST_F(ReportTest, IndexFilterAndRangeOfTheRunsCursor) {
    addCustomers(6, 2);
    setField(1, "K_Match", QStringLiteral("Zander"));
    auto rep = makeReport(dataDefinition());
    rep->component("E_Zeile").expression = QStringLiteral("K_Match");
    rep->datasetDef("T").onCalcFields.clear();
    auto rows = [&] { return texts(report::paginate(*rep), 0); };
    EXPECT_EQ(rows().first(), QStringLiteral("Zander"));
    rep->datasetDef("T").index = QStringLiteral("K_IMatch");
    EXPECT_EQ(rows().last(), QStringLiteral("Zander"));

    rep->datasetDef("T").filter = QStringLiteral("K_Ort='Köln'");
    rep->datasetDef("T").filtered = false;
    EXPECT_EQ(rows().size(), 6) << "a filter text without its switch does nothing";
    rep->datasetDef("T").filtered = true;
    EXPECT_EQ(rows(), (QStringList{"Kunde 003", "Kunde 005", "Zander"}));

    rep->datasetDef("T").filtered = false;
    rep->datasetDef("T").index = QStringLiteral("K_IGruppe");
    rep->datasetDef("T").hasRange = true;
    rep->datasetDef("T").rangeFrom = 2;
    rep->datasetDef("T").rangeTo = 2;
    EXPECT_EQ(rows(), (QStringList{"Kunde 003", "Kunde 004"}));
}

// A dataset no band walks stays on one row: the first of its table, or the
// first that matches its master's current row.
TEST_F(ReportTest, LinkedOneRowTables) {
    addCustomers(3, 2);
    addGroup(1, QStringLiteral("Verwaltung"));
    addGroup(2, QStringLiteral("Gewerbe"));
    auto rep = makeReport(R"json({
      "class": "TQROneRow", "dataset": "T",
      "datasets": [{"name": "T", "alias": "ReportDB", "table": "Kunden.DB"},
                   {"name": "G", "alias": "ReportDB", "table": "Gruppen.DB",
                    "master": "T", "masterFields": ["K_Gruppe"], "detailFields": ["G_Nr"]},
                   {"name": "Firma", "alias": "ReportDB", "table": "Gruppen.DB"}],
      "bands": [
        {"class": "TQRBand", "name": "Detail", "type": "detail", "height": 19,
         "controls": [{"class": "TQRDBText", "name": "K_Match", "field": "K_Match", "width": 100, "height": 15},
                      {"class": "TQRDBText", "name": "G_Text", "dataset": "G", "field": "G_Text", "left": 100,
                       "width": 100, "height": 15},
                      {"class": "TQRDBText", "name": "F_Text", "dataset": "Firma", "field": "G_Text", "left": 200,
                       "width": 100, "height": 15}]}
      ]})json");
    EXPECT_EQ(texts(report::paginate(*rep), 0),
              (QStringList{"Kunde 001", "Verwaltung", "Verwaltung", "Kunde 002", "Verwaltung",
                           "Verwaltung", "Kunde 003", "Gewerbe", "Verwaltung"}));
}

// A data error ends the run before any page exists, with the table layer's message.
TEST_F(ReportTest, DataErrorsEndTheRunWithTheLayersMessage) {
    addCustomers(2);
    struct Case {
        const char* what;
        std::function<void(report::Report&)> change;
        QString message;
    };
    const Case cases[] = {
        {"missing table", [](report::Report& r) { r.datasetDef("T").table = "Fehlt.DB"; }, {}},
        {"unknown index", [](report::Report& r) { r.datasetDef("T").index = "I_Fehlt"; },
         QStringLiteral("Index I_Fehlt der Tabelle Kunden.DB nicht gefunden.")},
        {"unknown field in an expression",
         [](report::Report& r) { r.component("E_Zeile").expression = "K_Fehlt"; },
         QStringLiteral("Das Feld \"K_Fehlt\" gibt es im Bericht nicht.")},
        {"unknown lookup key",
         [](report::Report& r) { r.datasetDef("T").lookups[0].lookupKeys = {"G_Fehlt"}; },
         QStringLiteral("Feld 'G_Fehlt' nicht gefunden.")},
        {"hook not installed", [](report::Report&) {},
         QStringLiteral(
             "Der Bericht TQRData braucht die Routine \"Rechnen\"; sie ist nicht eingerichtet.")},
    };
    for (const Case& c : cases) {
        auto rep = makeReport(dataDefinition());
        if (QByteArray(c.what) != "hook not installed")
            rep->hooks().onCalcFields(QStringLiteral("Rechnen"),
                                      [](report::RunContext&, table::Table&) {});
        c.change(*rep);
        try {
            report::paginate(*rep);
            ADD_FAILURE() << c.what;
        } catch (const DbError& e) {
            if (!c.message.isEmpty())
                EXPECT_EQ(e.message(), c.message) << c.what;
            else
                EXPECT_FALSE(e.message().isEmpty()) << c.what;
        }
    }
    // Nothing of a failed run stays open: the same report runs afterwards.
    auto rep = makeReport(dataDefinition());
    rep->hooks().onCalcFields(QStringLiteral("Rechnen"), [](report::RunContext&, table::Table&) {});
    EXPECT_EQ(report::paginate(*rep).pages.size(), 1u);
}

// Printing reads through cursors of its own: a shared cursor stays where it
// was and the run's cursors refuse to write.
TEST_F(ReportTest, PrintingNeverWritesNorMovesOthersCursors) {
    addCustomers(5);
    table::Table shared(db, QStringLiteral("Kunden.DB"));
    shared.open();
    shared.setRecNo(3);
    auto rep = makeReport(dataDefinition());
    QString refused;
    rep->hooks().onCalcFields(QStringLiteral("Rechnen"), [&](report::RunContext&, table::Table& t) {
        if (!refused.isEmpty())
            return;
        try {
            t.edit();
            refused = QStringLiteral("edited");
        } catch (const DbError& e) {
            refused = e.message();
        }
    });
    report::paginate(*rep);
    EXPECT_NE(refused, QStringLiteral("edited"));
    EXPECT_FALSE(refused.isEmpty());
    EXPECT_EQ(shared.recNo(), 3);
    EXPECT_EQ(shared[QStringLiteral("K_Nr")].asInteger(), 3);
}
