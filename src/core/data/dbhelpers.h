#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

class QTextDocument;

namespace table {
class Field;
class Session;
class Table;
} // namespace table

// The shared toolbox around table objects. Operations that take a database
// alias and a table name work on a cursor of their own, opened in primary
// order without filter, and close it on every path; they never move the
// caller's cursor. Engine errors (unknown table, table in use) go to the caller.

// Null-safe field access: the default when the field is missing (nullptr) or
// null; a value that cannot be converted raises.
int GetFieldIntOrDefault(const table::Field* field, int defaultValue);
QString GetFieldStrOrDefault(const table::Field* field, const QString& defaultValue);
double GetFieldFloatOrDefault(const table::Field* field, double defaultValue);
bool GetFieldBoolOrDefault(const table::Field* field, bool defaultValue);
QDateTime GetFieldDateOrDefault(const table::Field* field, const QDateTime& defaultValue);
QDateTime GetFieldTimeOrDefault(const table::Field* field, const QDateTime& defaultValue);
// The same by field name on the current record: 0 or empty when the table
// has no such field or it is null.
int FieldInt(table::Table& t, const QString& name, int defaultValue = 0);
double FieldFloat(table::Table& t, const QString& name);
QString FieldText(table::Table& t, const QString& name);
// Sets the field when the table has it; tables of one kind differ in a few fields.
void SetFieldIfPresent(table::Table& t, const QString& name, const QVariant& value);

// Whether a field holds a value equal to `value` the way the engine compares
// variants: numbers by value, texts exactly; a null field equals nothing.
bool FieldEquals(const table::Field& field, const QVariant& value);

// Runs work; when it raises, a record it left in edit or insert state is
// cancelled before the error goes on, so that no half-written row stays.
void CancelEditOnError(table::Table& table, const std::function<void()>& work);
// Runs work while the record's own lock is held (an edit started unless the
// record is already being edited), so that its delete cannot fail for a lock
// after the work is done; when the work raises, that edit is cancelled again.
void WithOwnLock(table::Table& table, const std::function<void()>& work);

// Starts editing the current record unless the table is already editing or
// inserting (on an empty table a new record is started); never posts.
bool EnsureEditOrInsert(table::Table& table);
void RefreshIfActive(table::Table& table);
// A cursor sees rows posted through other cursors only after a refresh; a
// record being edited keeps its edit (no refresh then).
void RefreshUnlessEditing(table::Table& table);

// The new primary key: the last key in primary order plus one (null counts
// 0), 1 for an empty table. Raises when the key would pass the integer range.
int GetNextId(table::Table& table, const QString& idFieldName);
int GetNextId(const QString& databaseName, const QString& tableName, const QString& idFieldName);
// The smallest value from startNr upwards that no record holds in fieldName.
int GetFirstFreeNr(const QString& databaseName, const QString& tableName, const QString& fieldName,
                   int startNr);
// True when a record other than the one with key `id` holds `nr`.
bool NrUsedByOtherRecord(const QString& databaseName, const QString& tableName,
                         const QString& nrField, const QString& idField, const QVariant& nr,
                         int id);
// The same in the whole table of a table object (not only its view).
bool NrUsedByOtherRecord(const table::Table& table, const QString& nrField, const QString& idField,
                         const QVariant& nr, int id);
bool IntValueExists(const QString& databaseName, const QString& tableName, const QString& fieldName,
                    int value);
bool StrValueExists(const QString& databaseName, const QString& tableName, const QString& fieldName,
                    const QString& value);
// fieldNames: two names separated by ";".
bool IntPairExists(const QString& databaseName, const QString& tableName, const QString& fieldNames,
                   int value1, int value2);

// Counting, deleting and changing many records.
int CountRecordsWithValue(const QString& databaseName, const QString& tableName,
                          const QString& fieldName, const QVariant& value);
int CountRecordsFiltered(const QString& databaseName, const QString& tableName,
                         const QString& filter);

// What a bulk delete does with a record it cannot delete (another
// workstation holds it): skip it and report all such records in one box at
// the end, or raise at once so that a cascade around it is rolled back.
enum class OnDeleteFailure { ReportAndContinue, Raise };

struct BulkDeleteResult {
    int attempts = 0; // records the delete was tried on
    int deleted = 0;
    QStringList failures; // "key: message" of each record left in place
};

BulkDeleteResult
DeleteRecordsFiltered(const QString& databaseName, const QString& tableName, const QString& filter,
                      OnDeleteFailure onFailure = OnDeleteFailure::ReportAndContinue);
BulkDeleteResult
DeleteTableRecordsFiltered(const table::Table& table, const QString& filter,
                           OnDeleteFailure onFailure = OnDeleteFailure::ReportAndContinue);
BulkDeleteResult
DeleteRecordsWithValue(const QString& databaseName, const QString& tableName,
                       const QString& fieldName, const QVariant& value,
                       OnDeleteFailure onFailure = OnDeleteFailure::ReportAndContinue);
BulkDeleteResult
DeleteTableRecordsWithValue(const table::Table& table, const QString& fieldName,
                            const QVariant& value,
                            OnDeleteFailure onFailure = OnDeleteFailure::ReportAndContinue);
// Deletes every row the table object shows, first to last, each through the
// object's own delete so that its rules run. checkRow (when set) runs on each
// row before its delete and may raise. A row that stays after its delete
// (refused without an error) raises refusedText instead of looping.
void DeleteShownRows(table::Table& table, const QString& refusedText,
                     const std::function<void(table::Table&)>& checkRow = {});
// All or nothing: a record that cannot be changed raises and nothing is changed.
int ReplaceFieldValue(const QString& databaseName, const QString& tableName,
                      const QString& fieldName, const QVariant& oldValue, const QVariant& newValue);
// Sets the field in every record passing filter (every record for an empty filter).
int SetFieldInRecords(const QString& databaseName, const QString& tableName,
                      const QString& fieldName, const QString& filter, const QVariant& value);

// The incremental search of the list forms: Text upper-cased (a to z only)
// as an exact key of the current index; moves only when found.
bool FindKeyUpperCase(table::Table& table, const QString& text);

// The workstations connected to the shared network directory; without a
// session this workstation is alone.
int GetBdeUserCount(table::Session* session);
int GetBdeUserCount(); // the session of "LumoDB"
// This workstation's entry: the session number right-aligned in 3, " : " and
// the user name (at most 15 characters); "????" without a session.
QString GetNetUserText(table::Session* session);
QString GetNetUserText();

// The filter of a booking-journal print kind (0..3; any other kind: no filter).
QString GetRaListeFilter(int kind);

// Sets the tab stops of every paragraph to the entries of TabstopList.
void ApplyTabStops(QTextDocument& document);

// Opens a shared table object for one call when it was closed, and closes it
// again afterwards. close() closes it on the normal path, where an error goes
// to the caller; the destructor closes it while another error is already on
// its way (or the caller returned early).
class OpenForCall {
public:
    explicit OpenForCall(table::Table& table);
    // The caller opened the table itself (closeAfter) or found it open.
    OpenForCall(table::Table& table, bool closeAfter) : m_table(table), m_opened(closeAfter) {}
    ~OpenForCall();
    OpenForCall(const OpenForCall&) = delete;
    OpenForCall& operator=(const OpenForCall&) = delete;
    // Whether this call opened the table.
    bool opened() const { return m_opened; }
    void close();

private:
    table::Table& m_table;
    bool m_opened;
};

// A cursor of the caller's own, opened; the engine's error goes to the caller.
std::unique_ptr<table::Table> OpenTempTable(const QString& databaseName, const QString& tableName,
                                            const QString& indexName = {});
// The same showing only the rows that pass filter: the open reads their keys
// alone, where a plain open reads the key of every row of the table.
std::unique_ptr<table::Table> OpenTempTableWhere(const QString& databaseName,
                                                 const QString& tableName, const QString& filter);

// Runs one statement on the alias: 0 on success; otherwise shows
// "Fehler bei Ausführung von SQL-Anweisung:" with the error and gives -1.
int ExecSql(const QString& sql, const QString& databaseName);
