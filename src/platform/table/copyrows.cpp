#include "platform/table/copyrows.h"

#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/tableerror.h"
#include "platform/table/values.h"

namespace table {

CopyResult copyRows(Database& source, const QString& sourceTable, Database& target,
                    const QString& targetTable, const CopyOptions& options) {
    const TableDef from = source.tableDef(sourceTable);
    const TableDef to = target.tableDef(targetTable);
    QHash<QString, QString> renames; // lower-case source name -> lower-case target name
    for (auto it = options.renames.cbegin(); it != options.renames.cend(); ++it)
        renames.insert(it.key().toLower(), it.value().toLower());

    // For each target field the source column that feeds it, or -1.
    QList<int> sourceColumn(to.fields.size(), -1);
    for (int s = 0; s < from.fields.size(); ++s) {
        const QString name =
            renames.value(from.fields[s].name.toLower(), from.fields[s].name.toLower());
        for (int t = 0; t < to.fields.size(); ++t)
            if (to.fields[t].name.toLower() == name)
                sourceColumn[t] = s;
    }

    QStringList cols, marks;
    for (const auto& f : to.fields) {
        cols.append(quoted(f.name));
        marks.append(QStringLiteral("?"));
    }
    CopyResult result;
    Transaction tx(target);
    auto insert = target.connection().prepare(QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                                                  .arg(quoted(physicalName(to.name)),
                                                       cols.join(QLatin1Char(',')),
                                                       marks.join(QLatin1Char(','))));
    auto read = source.connection().prepare(
        QStringLiteral("SELECT * FROM %1 ORDER BY %2")
            .arg(quoted(physicalName(from.name)), quoted(from.fields.first().name)));
    QHash<QString, QVariant> row;
    const SourceRow sourceRow(row);
    while (read->step()) {
        row.clear();
        for (int s = 0; s < from.fields.size(); ++s)
            row.insert(from.fields[s].name.toLower(),
                       fromStored(from.fields[s].type, read->value(s)));
        const QVariant key = row.value(from.fields.first().name.toLower());
        for (int t = 0; t < to.fields.size(); ++t) {
            QVariant value = sourceColumn[t] >= 0
                                 ? row.value(from.fields[sourceColumn[t]].name.toLower())
                                 : QVariant();
            QVariant storedValue;
            try {
                if (options.fillIn)
                    value = options.fillIn(to.fields[t].name, sourceRow, value);
                storedValue = toStored(to.fields[t], value);
            } catch (const DbError& e) {
                ++result.failedFields;
                if (options.onError)
                    options.onError(to.fields[t].name, key, e.message());
                storedValue = QVariant();
            }
            insert->bind(t + 1, storedValue);
        }
        try {
            insert->step();
            ++result.rows;
        } catch (const TableError& e) {
            if (e.kind() != TableError::KeyViolation && e.kind() != TableError::InvalidValue)
                throw; // disk full, busy ...: the whole copy fails and rolls back
            ++result.failedRows;
            if (options.onError)
                options.onError(QString(), key, e.message());
        }
        insert->reset();
        if (options.progress)
            options.progress(result.rows);
    }
    tx.commit();
    target.invalidateCursors();
    return result;
}

} // namespace table
