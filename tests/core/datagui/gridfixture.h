#pragma once

#include "core/messages/messages.h"
#include "platform/table/table.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// Collects every message box instead of showing it; questions answer "Nein".
class RecordingPresenter : public MessagePresenter {
public:
    bool show(Kind, const QString& text, int, int) override {
        shown.append(text);
        return false;
    }
    QStringList shown;
};

// Customers: Nr (key), Name, Ort, Seit (date), Aktiv, Umsatz (no index) and a
// calculated field; the index on Ort and Name comes before the one on Name.
class GridTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        table::Database::Options o;
        o.syncToDisk = false;
        db = table::Database::open(dir.path(), o);
        using table::FieldType;
        table::TableDef def;
        def.name = QStringLiteral("Kunden.DB");
        def.fields = {{"Nr", FieldType::Integer, 0},    {"Name", FieldType::String, 20},
                      {"Ort", FieldType::String, 20},   {"Seit", FieldType::Date, 0},
                      {"Aktiv", FieldType::Boolean, 0}, {"Umsatz", FieldType::Currency, 0}};
        def.indexes = {{"IOrtName", {"Ort", "Name"}, true, false, false},
                       {"IName", {"Name"}, true, false, false}};
        db->createTable(def);
        kunden = std::make_unique<table::Table>(db, QStringLiteral("Kunden.DB"));
        kunden->addCalculatedField(QStringLiteral("Anzeige"), table::FieldType::String, 30);
        kunden->open();
        const struct {
            int nr;
            const char* name;
            const char* ort;
        } rows[] = {{1, "Conrad", "Aachen"}, {2, "Albers", "Köln"}, {3, "Berger", "Bonn"}};
        for (const auto& r : rows) {
            kunden->append();
            (*kunden)["Nr"] = r.nr;
            (*kunden)["Name"] = QString::fromUtf8(r.name);
            (*kunden)["Ort"] = QString::fromUtf8(r.ort);
            kunden->post();
        }
        kunden->first();
        previous = SetMessagePresenter(&presenter);
    }

    void TearDown() override { SetMessagePresenter(previous); }

    QTemporaryDir dir;
    std::shared_ptr<table::Database> db;
    std::unique_ptr<table::Table> kunden;
    RecordingPresenter presenter;
    MessagePresenter* previous = nullptr;
};
