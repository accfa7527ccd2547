#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>

namespace table {

class Database;

// The source row as copyRows hands it to a fill-in: values by field name
// (without regard to case), typed as the source defines them.
class SourceRow {
public:
    explicit SourceRow(const QHash<QString, QVariant>& values) : m_values(values) {}
    QVariant value(const QString& field) const { return m_values.value(field.toLower()); }
    bool has(const QString& field) const { return m_values.contains(field.toLower()); }

private:
    const QHash<QString, QVariant>& m_values;
};

struct CopyOptions {
    // Source field name -> target field name, for renamed fields.
    QHash<QString, QString> renames;
    // Called for every target field; gets the value found by name (invalid when
    // the source has no such field) and returns the value to store.
    std::function<QVariant(const QString& targetField, const SourceRow& source,
                           const QVariant& found)>
        fillIn;
    // A field or row that could not be copied: the row is kept without that field.
    std::function<void(const QString& field, const QVariant& key, const QString& message)> onError;
    std::function<void(int rowsCopied)> progress;
};

struct CopyResult {
    int rows = 0;       // rows written
    int failedRows = 0; // rows the target refused as a whole (e.g. a duplicate key)
    int failedFields = 0;
};

// Copies every row of `sourceTable` into `targetTable` (which may have a
// different structure) by field name, in primary-key order, in one transaction.
CopyResult copyRows(Database& source, const QString& sourceTable, Database& target,
                    const QString& targetTable, const CopyOptions& options = {});

} // namespace table
