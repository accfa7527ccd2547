#pragma once

#include "commercial/commercialrulesfixture.h"
#include "commercial/documents/linerules.h"
#include "commercial/documents/positionnumbers.h"
#include "core/files/programdirs.h"
#include "platform/table/database.h"
#include "platform/table/session.h"
#include "platform/table/table.h"

#include <QDate>

namespace doctest {

// The file is write-locked at another workstation: every write to it fails.
struct LockedElsewhere {
    explicit LockedElsewhere(const QString& file)
        : held(std::make_shared<table::Session>(NetDir, QStringLiteral("andere"))),
          db(table::Database::open(DataDir)) {
        db->setSession(held);
        t = std::make_unique<table::Table>(db, file);
        t->open();
        t->lockTable();
    }
    ~LockedElsewhere() { t->unlockTable(); }
    std::shared_ptr<table::Session> held;
    std::shared_ptr<table::Database> db;
    std::unique_ptr<table::Table> t;
};

// The commercial rules on a client whose VAT table holds 0 %, 19 % and 7 %,
// with the central article 7 ("A7": 10 units at 2.00, stock kept) and
// object 5 (number 500). The editor hooks are empty.
class DocumentRules : public commercialtest::CommercialRules {
protected:
    void SetUp() override {
        CommercialRules::SetUp();
        DocumentFormHooksRegistry() = {};
        SetLastLineKey(0);
        SetPosNrBounds({});
        auto rates = open(QStringLiteral("Mwstsatz.db"));
        while (!rates->isEmpty()) {
            rates->first();
            rates->deleteRecord();
        }
        const double rate[] = {0.0, 19.0, 7.0};
        for (int code = 0; code < 3; ++code)
            addRow(QStringLiteral("Mwstsatz.db"), {{QStringLiteral("Mwst_ID"), code + 1},
                                                   {QStringLiteral("Mwst_Nr"), code},
                                                   {QStringLiteral("Mwst_Satz"), rate[code]}});
        addRow(QStringLiteral("Artikel.DB"),
               {{QStringLiteral("A_ID"), 7},
                {QStringLiteral("A_ObjID"), 0},
                {QStringLiteral("A_ArtNo"), QStringLiteral("A7")},
                {QStringLiteral("A_Bezeich1"), QStringLiteral("Reiniger")},
                {QStringLiteral("A_Beschreibung"), QStringLiteral("Reiniger 5 l")},
                {QStringLiteral("A_Bestandsfuehrung"), true},
                {QStringLiteral("A_Lagermenge"), 10.0},
                {QStringLiteral("A_Lagerwert"), 20.0},
                {QStringLiteral("A_EkPreis"), 2.0},
                {QStringLiteral("A_EinMengeTotal"), 0.0},
                {QStringLiteral("A_EinWertTotal"), 0.0},
                {QStringLiteral("A_Kostart"), 0},
                {QStringLiteral("A_Mwst"), 2}});
        addCustomer(1, 100);
        addObject(5, 500, 100);
        // The module's open tables (lookup cursors) see the rows added here.
        for (table::Table* t : dm->tables())
            RefreshIfActive(*t);
    }
    void TearDown() override {
        DocumentFormHooksRegistry() = {};
        SetLastLineKey(0);
        SetPosNrBounds({});
        CommercialRules::TearDown();
    }

    // Opens the shared head and line objects and appends a posted head.
    int newHead(table::Table& head, table::Table& lines) {
        if (!head.isOpen())
            head.open();
        if (!lines.isOpen())
            lines.open();
        head.append();
        head.post();
        return head.field(QStringLiteral("R_ID")).asInteger();
    }
    // Appends and posts a line of the current head.
    int addLine(table::Table& lines, double menge, double ePreis) {
        lines.append();
        lines.field(QStringLiteral("S_Menge")).setValue(menge);
        lines.field(QStringLiteral("S_EPreis")).setValue(ePreis);
        lines.post();
        return lines.field(QStringLiteral("S_ID")).asInteger();
    }
    QVariant valueOf(const QString& file, const QString& keyField, int key, const QString& field) {
        auto t = open(file);
        if (!t->locate({keyField}, {key}))
            return QStringLiteral("<kein Satz>");
        return t->field(field).value();
    }
    double stock() {
        return valueOf(QStringLiteral("Artikel.DB"), QStringLiteral("A_ID"), 7,
                       QStringLiteral("A_Lagermenge"))
            .toDouble();
    }
    int rows(const QString& file, const QString& field, int value) {
        return CountRecordsWithValue(datatest::kDb, file, field, value);
    }
    double num(table::Table& t, const char* field) {
        return t.field(QLatin1String(field)).asFloatOr(0.0);
    }
};

} // namespace doctest
