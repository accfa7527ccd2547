#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace table {
class Database;
class Table;
} // namespace table

// Time records (Zeiterf.DB), the monthly sums per employee (Zeitsum.DB) and
// the cost entries that time recording books. Every write of a time record
// goes through TimeRecordService: the time-entry window's grid, the day
// records from the daily lists and the imports all post through a cursor
// that the service has given its rules (TimeRecordCursor below). The
// service reads no window state: the sums are those of the record's own
// employee and the month of its date, and its cost entry is dated on that
// date as well.

// The function number of time recording in the rights table; 30 the
// overviews, 32 the chip-card clock.
inline constexpr int kZeiterfRight = 29;
inline constexpr int kZeiterfOverviewRight = 30;
inline constexpr int kChipdriveRight = 32;

// Hours and wage costs of one employee-month, per time type 1 to 8 (index
// type - 1) and in total, as Zeitsum.DB holds them.
struct ZeitsumValues {
    std::array<double, 8> hours{};
    std::array<double, 8> costs{};
    double totalHours = 0;
    double totalCosts = 0;
};

// The hours an employee has recorded in the week (Monday to Sunday) and on
// the day, and his limits from the staff record.
struct WeekDayHours {
    double week = 0;
    double day = 0;
    double weekLimit = 0;
    double dayLimit = 0;
    bool weekAboveLimit() const { return week > weekLimit; }
    bool dayAboveLimit() const { return day > dayLimit; }
};

// "  2.50 Std": the hours right-aligned in six characters with a point.
QString WeekDayHoursText(double hours);

// What one time record holds, as an import or the day records write it.
struct TimeRecordValues {
    QDate datum;
    int persNr = 0;
    int objNr = 0;
    int art = 1;
    double stunden = 0;
    QString text;
    double ekPreis = 0;
    int kostart = 0;
};

// How a cursor's new records start.
struct TimeRecordOptions {
    // The day a new record gets; empty or an invalid date: none (the
    // caller sets Z_Datum).
    std::function<QDate()> newRecordDay;
};

class TimeRecordService {
public:
    // On the client database ("LumoDB").
    TimeRecordService();
    explicit TimeRecordService(std::shared_ptr<table::Database> db);
    ~TimeRecordService();
    TimeRecordService(const TimeRecordService&) = delete;
    TimeRecordService& operator=(const TimeRecordService&) = delete;

    // The employee's hourly cost price times the factor of the time type,
    // rounded to cents. A type without row has factor 1.0, an empty factor
    // counts 0; a missing employee or an empty price gives 0.
    double CalcStundensatz(int persNr, int zeitart);
    // The employee's own cost type for the time type (P_Kostart1 ... 8);
    // when that field is empty, ZA_Kostart of the type (0 when the type has
    // no row). 0 for a missing employee; an explicit 0 stays 0.
    int GetPersonalKostart(int persNr, int zeitart);

    // Whether an object or cost-type number may stand in a record (0 always may).
    bool objektExists(int objNr);
    bool kostartExists(int kostart);

    // Rebuilds the employee-month of the day from Zeiterf.DB into its row
    // of Zeitsum.DB (appended when missing), in a transaction of its own.
    void RebuildMonthSums(int persNr, const QDate& day);
    // The row of the employee-month; nullopt when it has none.
    std::optional<ZeitsumValues> monthSums(int persNr, const QDate& day);
    WeekDayHours weekDayHours(int persNr, const QDate& day);

    // Deletes every record dated From to To (both included) of every
    // employee, each with its cost entry, and rebuilds the sums of every
    // employee-month it touched; all in one transaction.
    void DeleteZeiterfRange(const QDate& from, const QDate& to);

    // Gives a cursor on Zeiterf.DB of this service's database the rules of
    // time records: new-record defaults, the field rules, and posts and
    // deletes that replace the cost entry and rebuild the sums in one
    // transaction with the record. The service must outlive the cursor.
    void bindRules(table::Table& zeiterf, const TimeRecordOptions& options = {});

    table::Database& database() const { return *m_db; }

private:
    struct Cursors;
    struct Pending;
    struct CostTables;
    void holdCostTables();
    Cursors& cursors();
    ZeitsumValues sumMonth(int persNr, const QDate& day, int excludeId,
                           const TimeRecordValues* extra);
    void writeMonthSums(int persNr, const QDate& day, const ZeitsumValues& sums);
    void rebuildExcept(int persNr, const QDate& day, int excludeId, const TimeRecordValues* extra);
    void newRecord(table::Table& t, const TimeRecordOptions& options);
    void beforePost(table::Table& t);
    void beforeDelete(table::Table& t);
    void finishPending(table::Table& t, bool commit);

    std::shared_ptr<table::Database> m_db;
    std::unique_ptr<Cursors> m_cursors;
    std::unique_ptr<Pending> m_pending;
    std::unique_ptr<CostTables> m_costTables;
};

// A cursor of its own on Zeiterf.DB with the rules of time records, and the
// service behind it: the one way records are written.
class TimeRecordCursor {
public:
    explicit TimeRecordCursor(const TimeRecordOptions& options = {});
    ~TimeRecordCursor();
    TimeRecordCursor(const TimeRecordCursor&) = delete;
    TimeRecordCursor& operator=(const TimeRecordCursor&) = delete;

    table::Table& table() const { return *m_table; }
    TimeRecordService& service() { return m_service; }

    // Shows the records of one employee on one day (index "I_PersDatObj"),
    // opening the cursor when it is closed.
    void showDay(int persNr, const QDate& day);
    // Appends one record with these values and posts it: defaults, field
    // rules, cost entry and sums run as for a typed record. On failure
    // nothing of it is left and the error goes to the caller.
    void append(const TimeRecordValues& values);

private:
    TimeRecordService m_service;
    std::unique_ptr<table::Table> m_table;
};
