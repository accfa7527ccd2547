#pragma once

#include "platform/table/table.h"
#include "platform/widgets/userprompts.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// A fresh database with customers (Nr key, Name String 20 with index "IName",
// Ort a key into the places table, Seit Date, Aktiv Boolean, Umsatz Currency,
// Anzahl Smallint, Notiz Memo, Brief rich text, Logo picture) and places (ONr key, OName), three
// rows each. Messages and questions are scripted: errors are collected, questions answered with
// `answer`.
class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        table::Database::Options o;
        o.syncToDisk = false;
        db = table::Database::open(dir.path(), o);
        db->createTable(customerDef());
        db->createTable(placeDef());
        kunden = std::make_unique<table::Table>(db, QStringLiteral("Kunden.DB"));
        orte = std::make_unique<table::Table>(db, QStringLiteral("Orte.DB"));
        kunden->open();
        orte->open();
        addPlace(1, QStringLiteral("Köln"));
        addPlace(2, QStringLiteral("Bonn"));
        addPlace(3, QStringLiteral("Aachen"));
        addCustomer(1, QStringLiteral("Albers"), 1);
        addCustomer(2, QStringLiteral("Berger"), 2);
        addCustomer(3, QStringLiteral("Conrad"), 3);
        kunden->first();
        orte->first();
        widgets::setErrorPresenter([this](QWidget*, const QString& m) { errors.append(m); });
        widgets::setQuestionPresenter([this](QWidget*, const QString& q) {
            questions.append(q);
            return answer;
        });
    }

    void TearDown() override {
        widgets::setErrorPresenter({});
        widgets::setQuestionPresenter({});
    }

public:
    static table::TableDef customerDef() {
        using table::FieldType;
        table::TableDef def;
        def.name = QStringLiteral("Kunden.DB");
        def.fields = {{"Nr", FieldType::Integer, 0},      {"Name", FieldType::String, 20},
                      {"Ort", FieldType::Integer, 0},     {"Seit", FieldType::Date, 0},
                      {"Aktiv", FieldType::Boolean, 0},   {"Umsatz", FieldType::Currency, 0},
                      {"Anzahl", FieldType::Smallint, 0}, {"Notiz", FieldType::Memo, 0},
                      {"Brief", FieldType::FmtMemo, 0},   {"Logo", FieldType::Graphic, 0}};
        def.indexes = {{"IName", {"Name"}, true, false, false}};
        return def;
    }

    static table::TableDef placeDef() {
        using table::FieldType;
        table::TableDef def;
        def.name = QStringLiteral("Orte.DB");
        def.fields = {{"ONr", FieldType::Integer, 0}, {"OName", FieldType::String, 30}};
        return def;
    }

protected:
    void addCustomer(int nr, const QString& name, int ort) {
        kunden->append();
        (*kunden)["Nr"] = nr;
        (*kunden)["Name"] = name;
        (*kunden)["Ort"] = ort;
        kunden->post();
    }

    void addPlace(int nr, const QString& name) {
        orte->append();
        (*orte)["ONr"] = nr;
        (*orte)["OName"] = name;
        orte->post();
    }

    // A field of a customer as stored, read through a cursor of its own.
    QVariant storedValue(int nr, const QString& field) {
        table::Table t(db, QStringLiteral("Kunden.DB"));
        t.open();
        return t.lookup({QStringLiteral("Nr")}, {nr}, field);
    }

    QTemporaryDir dir;
    std::shared_ptr<table::Database> db;
    std::unique_ptr<table::Table> kunden;
    std::unique_ptr<table::Table> orte;
    QStringList errors;
    QStringList questions;
    bool answer = true;
};
