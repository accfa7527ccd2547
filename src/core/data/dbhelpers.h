#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
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

// Whether a field holds a value equal to `value` the way the engine compares
// variants: numbers by value, texts exactly; a null field equals nothing.
bool FieldEquals(const table::Field& field, const QVariant& value);

// Starts editing the current record unless the table is already editing or
// inserting (on an empty table a new record is started); never posts.
bool EnsureEditOrInsert(table::Table& table);
void RefreshIfActive(table::Table& table);

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

// A cursor of the caller's own, opened; the engine's error goes to the caller.
std::unique_ptr<table::Table> OpenTempTable(const QString& databaseName, const QString& tableName,
                                            const QString& indexName = {});

// Runs one statement on the alias: 0 on success; otherwise shows
// "Fehler bei Ausführung von SQL-Anweisung:" with the error and gives -1.
int ExecSql(const QString& sql, const QString& databaseName);
