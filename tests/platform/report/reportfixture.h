#pragma once

#include "platform/report/pagemodel.h"
#include "platform/report/paginator.h"
#include "platform/report/report.h"
#include "platform/report/reportreader.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QFontDatabase>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// Positions and line breaks are checked against Liberation Sans, loaded from
// its file so the machine's font set plays no part.
inline void pinFonts() {
    static const bool loaded = [] {
        const QString dir = QStringLiteral("/usr/share/fonts/truetype/liberation2/");
        bool ok = true;
        for (const char* f : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
                              "LiberationSans-Italic.ttf", "LiberationSans-BoldItalic.ttf"})
            ok = QFontDatabase::addApplicationFont(dir + QLatin1String(f)) >= 0 && ok;
        return ok;
    }();
    ASSERT_TRUE(loaded) << "fonts-liberation2 is missing";
}

// A database under the alias "ReportDB" with customers (K_Nr, K_Match,
// K_Ort, K_Gruppe -> groups, K_Umsatz currency, K_Seit date, K_Aktiv,
// K_Notiz rich text), customer groups (G_Nr, G_Text, G_Chef -> customers)
// and a protocol per customer (P_Kunde, P_Text, P_Datum).
class ReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        pinFonts();
        ASSERT_TRUE(dir.isValid());
        table::Database::Options o;
        o.syncToDisk = false;
        table::aliases::define(QStringLiteral("ReportDB"), dir.path(), o);
        db = table::aliases::database(QStringLiteral("ReportDB"));
        using table::FieldType;
        table::TableDef kunden;
        kunden.name = QStringLiteral("Kunden.DB");
        kunden.fields = {{"K_Nr", FieldType::Integer, 0},      {"K_Match", FieldType::String, 40},
                         {"K_Ort", FieldType::String, 30},     {"K_Gruppe", FieldType::Integer, 0},
                         {"K_Umsatz", FieldType::Currency, 0}, {"K_Seit", FieldType::Date, 0},
                         {"K_Aktiv", FieldType::Boolean, 0},   {"K_Notiz", FieldType::FmtMemo, 0}};
        kunden.indexes = {{"K_IMatch", {"K_Match"}, true, false, false},
                          {"K_IGruppe", {"K_Gruppe", "K_Nr"}, true, false, false}};
        db->createTable(kunden);
        table::TableDef gruppen;
        gruppen.name = QStringLiteral("Gruppen.DB");
        gruppen.fields = {{"G_Nr", FieldType::Integer, 0},
                          {"G_Text", FieldType::String, 40},
                          {"G_Chef", FieldType::Integer, 0}};
        db->createTable(gruppen);
        table::TableDef proto;
        proto.name = QStringLiteral("Proto.DB");
        proto.fields = {{"P_ID", FieldType::AutoInc, 0},
                        {"P_Kunde", FieldType::Integer, 0},
                        {"P_Text", FieldType::String, 60},
                        {"P_Datum", FieldType::Date, 0}};
        proto.indexes = {{"P_IKunde", {"P_Kunde", "P_ID"}, true, false, false}};
        db->createTable(proto);
    }

    void TearDown() override {
        db.reset();
        table::aliases::remove(QStringLiteral("ReportDB"));
    }

    void addCustomers(int count, int perGroup = 0) {
        table::Table t(db, QStringLiteral("Kunden.DB"));
        t.open();
        table::Transaction tx(*db);
        for (int i = 1; i <= count; ++i) {
            t.append();
            t["K_Nr"] = i;
            t["K_Match"] = QStringLiteral("Kunde %1").arg(i, 3, 10, QLatin1Char('0'));
            t["K_Ort"] = i % 2 ? QStringLiteral("Köln") : QStringLiteral("Bonn");
            t["K_Gruppe"] = perGroup ? (i - 1) / perGroup + 1 : 1;
            t["K_Umsatz"] = i * 10.5;
            t["K_Seit"] = QDate(2024, 1, 1).addDays(i);
            t["K_Aktiv"] = i % 3 != 0;
            t.post();
        }
        tx.commit();
    }

    void addGroup(int nr, const QString& text, int chef = 0) {
        table::Table t(db, QStringLiteral("Gruppen.DB"));
        t.open();
        t.appendRecord({nr, text, chef ? QVariant(chef) : QVariant()});
    }

    void addProtocol(int kunde, const QString& text) {
        table::Table t(db, QStringLiteral("Proto.DB"));
        t.open();
        t.append();
        t["P_Kunde"] = kunde;
        t["P_Text"] = text;
        t["P_Datum"] = QDate(2024, 5, 1);
        t.post();
    }

    void setField(int kunde, const char* field, const QVariant& value) {
        table::Table t(db, QStringLiteral("Kunden.DB"));
        t.open();
        ASSERT_TRUE(t.locate({QStringLiteral("K_Nr")}, {kunde}));
        t.edit();
        t[QLatin1String(field)] = value;
        t.post();
    }

    static std::unique_ptr<report::Report> makeReport(const QByteArray& json) {
        return std::make_unique<report::Report>(std::make_shared<report::ReportDefinition>(
            report::readReportDefinition(json, QStringLiteral("test.json"))));
    }

    // Texts of a page in the order they were laid out.
    static QStringList texts(const report::Document& doc, int page) {
        QStringList out;
        for (const report::PageItem& item : doc.pages.at(size_t(page)).items) {
            if (const auto* t = std::get_if<report::TextItem>(&item))
                out.append(t->text);
        }
        return out;
    }
    static QStringList allTexts(const report::Document& doc) {
        QStringList out;
        for (size_t p = 0; p < doc.pages.size(); ++p)
            out += texts(doc, int(p));
        return out;
    }
    // The first text item with that text, searched from `page` on.
    static const report::TextItem* findText(const report::Document& doc, const QString& text,
                                            int page = -1) {
        for (size_t p = 0; p < doc.pages.size(); ++p) {
            if (page >= 0 && int(p) != page)
                continue;
            for (const report::PageItem& item : doc.pages[p].items) {
                if (const auto* t = std::get_if<report::TextItem>(&item); t && t->text == text)
                    return t;
            }
        }
        return nullptr;
    }
    static int pageOf(const report::Document& doc, const QString& text) {
        for (size_t p = 0; p < doc.pages.size(); ++p) {
            if (texts(doc, int(p)).contains(text))
                return int(p);
        }
        return -1;
    }

    QTemporaryDir dir;
    std::shared_ptr<table::Database> db;
};

// A list over the customers: page header, title, column header, detail,
// summary and page footer, in Liberation Sans. Bands are 19 design pixels
// (5 mm) high unless the test changes them.
inline QByteArray listDefinition(const QByteArray& extraDetailControls = {},
                                 const QByteArray& options = "{}") {
    return R"json({
  "class": "TQRTestList", "title": "Testliste",
  "margins": {"left": 20, "top": 10, "right": 10, "bottom": 10},
  "options": )json" +
           options + R"json(,
  "font": {"name": "Liberation Sans", "size": 10},
  "dataset": "TabList",
  "datasets": [{"name": "TabList", "alias": "ReportDB", "table": "Kunden.DB"}],
  "bands": [
    {"class": "TQRBand", "name": "PageHeader", "type": "pageHeader", "height": 19,
     "controls": [{"class": "TQRLabel", "name": "L_Kopf", "caption": "Firmenkopf", "width": 200, "height": 15}]},
    {"class": "TQRBand", "name": "Title", "type": "title", "height": 19,
     "controls": [{"class": "TQRLabel", "name": "L_Titel", "caption": "Kundenliste", "width": 200, "height": 15,
                   "font": {"bold": true}}]},
    {"class": "TQRBand", "name": "ColumnHeader", "type": "columnHeader", "height": 19,
     "controls": [{"class": "TQRLabel", "name": "L_Nr", "caption": "Kd-Nr.", "width": 60, "height": 15},
                  {"class": "TQRLabel", "name": "L_Name", "caption": "Kundenname", "left": 80, "width": 200, "height": 15}]},
    {"class": "TQRBand", "name": "Detail", "type": "detail", "height": 19,
     "controls": [{"class": "TQRDBText", "name": "K_Nr", "field": "K_Nr", "width": 60, "height": 15, "alignment": "right"},
                  {"class": "TQRDBText", "name": "K_Match", "field": "K_Match", "left": 80, "width": 200, "height": 15})json" +
           extraDetailControls + R"json(]},
    {"class": "TQRBand", "name": "Summary", "type": "summary", "height": 19,
     "controls": [{"class": "TQRLabel", "name": "L_Ende", "caption": "Ende der Liste", "left": 500, "width": 150, "height": 15,
                   "alignment": "right"}]},
    {"class": "TQRBand", "name": "PageFooter", "type": "pageFooter", "height": 19,
     "controls": [{"class": "TQRLabel", "name": "L_Seite", "caption": "Seite", "left": 500, "width": 60, "height": 15},
                  {"class": "TQRExpr", "name": "E_Seite", "expression": "PAGENUMBER", "left": 570, "width": 60, "height": 15}]}
  ]})json";
}
