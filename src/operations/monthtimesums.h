#pragma once

#include "operations/timerecordservice.h"

#include <QDate>
#include <QString>
#include <memory>
#include <optional>

namespace table {
class Database;
}

// The monthly time views: the time records of one month per object or per
// employee, the hours and costs of the selected one per time type, and the
// month list with one row per object or employee. The sums live in a work
// table of this process's own connection, so the views of two workstations
// never wait for each other and a print reads the table its view filled.

enum class TimeViewMaster {
    Objekt, // objects (Objekte.DB), records by Z_ObjNr
    Person, // employees (Personal.DB), records by Z_PersNr
};

// The field of a time record that names the master: "Z_ObjNr" or "Z_PersNr".
QString TimeViewRecordField(TimeViewMaster master);

// The month a view shows.
struct TimeViewMonth {
    int year = 2000;
    int month = 1; // 1..12

    QDate first() const { return QDate(year, month, 1); }
    QDate last() const { return first().addMonths(1).addDays(-1); }
    // "Monat 3/2026": numbers without leading zeros.
    QString text() const;
    // The records of the month: "Z_Datum>=01.03.2026 AND Z_Datum<=31.03.2026".
    QString filter() const;
    bool operator==(const TimeViewMonth&) const = default;
};

// The month up-down's position 0 to 13: beyond December it rolls into
// January of the next year, below January into December of the year before.
TimeViewMonth TimeViewMonthAt(const TimeViewMonth& shown, int position);

// A work table in the layout of "ZeitsumO.DB": a temporary table of the
// connection of the client database, under a name of its own, dropped with
// the object. ZS_ObjektNo holds the object or the employee number.
class MonthSumTable {
public:
    MonthSumTable(); // on "LumoDB"
    explicit MonthSumTable(std::shared_ptr<table::Database> db);
    ~MonthSumTable();
    MonthSumTable(const MonthSumTable&) = delete;
    MonthSumTable& operator=(const MonthSumTable&) = delete;

    const QString& name() const { return m_name; }
    table::Database& database() const { return *m_db; }

    // Empties the table and writes the one row of the selected master.
    void writeOnly(int nr, const TimeViewMonth& month, const ZeitsumValues& sums);
    // The row of a master; nullopt when the table has none.
    std::optional<ZeitsumValues> row(int nr);
    int rowCount();

private:
    friend class MonthSumWriter;
    std::shared_ptr<table::Database> m_db;
    QString m_name;
};

// The sums of the panel for one master in the month: hours rounded to
// cents, the costs of each record its hours times its rate rounded to
// cents (an empty rate costs nothing, as in the month list), records
// without hours left out, a type outside 1 to 8 counted as normal time,
// the surcharge factor Z_Aufschlag not applied. Number 0 gives zeros.
ZeitsumValues PanelMonthSums(table::Database& records, TimeViewMaster master, int nr,
                             const TimeViewMonth& month);

// Empties the table and writes one row per master of the master table, in
// number order, also for a master without records: the costs of a record
// are rate (empty 0) times hours times Z_Aufschlag (empty 1.0), rounded to
// cents; a type outside 1 to 8 adds to the totals only. Reads the month's
// records once. Returns the number of rows written.
int BuildMonthList(MonthSumTable& sums, table::Database& records, table::Database& masters,
                   TimeViewMaster master, const TimeViewMonth& month);
