#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class KostSumBatch;

namespace table {
class Database;
class Table;
class Transaction;
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

// The columns of Zeitsum.DB (and of the views' ZeitsumO.DB) for the hours
// and the costs of time type 1 to 8.
QString ZeitsumHoursField(int type);
QString ZeitsumCostsField(int type);

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
    bool employeeExists(int persNr);
    // The create right of time recording; without it the refusal has been
    // shown (before any write of the caller begins).
    bool mayCreateRecords();
    // While on, the lookups above remember their answers: for a run over
    // thousands of lines, during which the master records do not change.
    void rememberLookups(bool on);

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
    friend class TimeRecordBatch;
    struct Cursors;
    struct Pending;
    struct CostTables;
    struct Batch;
    struct Lookups;
    std::optional<int> objektIdOf(int objNr);
    // Books the record's cost entry (when costs come from time recording)
    // and gives its id.
    int addCostEntry(const TimeRecordValues& v);
    // Deletes every record the cursor shows, each with its cost entry, and
    // rebuilds the sums of the employee-months it emptied.
    void deleteShown(table::Table& records);
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
    Batch* m_batch = nullptr;
    std::unique_ptr<Lookups> m_lookups;
};

// The writes of one data run (an import) as one unit: a transaction from
// construction to commit(), the same rules as a typed record, and the
// monthly sums and cost sums each rebuilt or booked once at the end instead
// of after every record. Without commit() (an error, a cancel) nothing of
// the run stays. A refused value raises DbError with the rule's text and
// shows no box, as no box may appear while the transaction is open.
class TimeRecordBatch {
public:
    // Checks the create right first (its refusal shows before the
    // transaction opens) and raises Abort without it.
    explicit TimeRecordBatch(TimeRecordService& service);
    ~TimeRecordBatch();
    TimeRecordBatch(const TimeRecordBatch&) = delete;
    TimeRecordBatch& operator=(const TimeRecordBatch&) = delete;

    // The records of every employee dated from to to (both included).
    void deleteRange(const QDate& from, const QDate& to);
    // The records of one employee on one day.
    void deleteDay(int persNr, const QDate& day);
    // One record with these values (rate and cost type as given), its cost
    // entry included.
    void append(const TimeRecordValues& values);
    // Rebuilds the sums of every employee-month the run touched, books the
    // cost sums and commits.
    void commit();

private:
    TimeRecordService& m_service;
    std::unique_ptr<table::Transaction> m_tx;
    std::unique_ptr<KostSumBatch> m_costs;
    std::unique_ptr<TimeRecordService::Batch> m_state;
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
