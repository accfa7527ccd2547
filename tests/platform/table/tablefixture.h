#pragma once

#include "platform/table/query.h"
#include "platform/table/table.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// A fresh database in a temporary directory with a customer table:
// Nr (Integer key), Name (String 20, case-insensitive index "IName"),
// Ort (String 20), Seit (Date), Aktiv (Boolean), Umsatz (Currency), Anzahl (Smallint).
class TableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        db = table::Database::open(dir.path(), scratch());
        db->createTable(customerDef());
    }

    // The tests need no protection against power failures.
    static table::Database::Options scratch() {
        table::Database::Options o;
        o.syncToDisk = false;
        return o;
    }

    static table::TableDef customerDef() {
        using table::FieldType;
        table::TableDef def;
        def.name = QStringLiteral("Kunden.DB");
        def.fields = {{"Nr", FieldType::Integer, 0},     {"Name", FieldType::String, 20},
                      {"Ort", FieldType::String, 20},    {"Seit", FieldType::Date, 0},
                      {"Aktiv", FieldType::Boolean, 0},  {"Umsatz", FieldType::Currency, 0},
                      {"Anzahl", FieldType::Smallint, 0}};
        def.indexes = {{"IName", {"Name"}, true, false, false},
                       {"IOrtName", {"Ort", "Name"}, true, false, false}};
        return def;
    }

    void addCustomer(table::Table& t, int nr, const QString& name, const QString& ort = {}) {
        t.append();
        t["Nr"] = nr;
        t["Name"] = name;
        if (!ort.isEmpty())
            t["Ort"] = ort;
        t.post();
    }

    QStringList names(table::Table& t) {
        QStringList result;
        for (t.first(); !t.eof(); t.next())
            result.append(t["Name"].asString());
        return result;
    }

    QTemporaryDir dir;
    std::shared_ptr<table::Database> db;
};
