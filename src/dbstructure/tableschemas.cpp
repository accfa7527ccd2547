#include "dbstructure/tableschemas.h"

#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace dbstructure {
namespace {

const QString kOrderFile = QStringLiteral("order.json");

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("Die Tabellendefinition \"%1\" kann nicht gelesen werden: %2")
                          .arg(path, file.errorString()));
    return file.readAll();
}

bool isOrderFile(const QString& path) {
    return QFileInfo(path).fileName().compare(kOrderFile, Qt::CaseInsensitive) == 0;
}

// The postal-code table is made only in the template data directory, from
// where a new client's data directory gets a copy; no creation order lists it.
bool isTemplateOnly(const QString& tableName) {
    return TableLookupKey(tableName) == QLatin1String("plz");
}

[[noreturn]] void orderError(const QString& tableName, const QString& what) {
    throw DbError(QStringLiteral("Fehler in der Tabellendefinition \"%1\", Tabelle %2: %3")
                      .arg(kOrderFile, tableName, what));
}

} // namespace

QString TableLookupKey(const QString& tableName) {
    QString key = tableName.trimmed().toLower();
    if (key.endsWith(QLatin1String(".db")))
        key.chop(3);
    return key;
}

const TableSchemas& TableSchemas::builtIn() {
    static const TableSchemas schemas = fromDirectory(QStringLiteral(":/schema"));
    return schemas;
}

TableSchemas TableSchemas::fromDirectory(const QString& dir) {
    const QDir directory(dir);
    QStringList paths;
    for (const QString& name :
         directory.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name))
        paths.append(directory.filePath(name));
    if (!std::any_of(paths.cbegin(), paths.cend(), isOrderFile))
        throw DbError(QStringLiteral("Die Tabellendefinition \"%1\" fehlt in %2.")
                          .arg(kOrderFile, QDir::toNativeSeparators(dir)));
    return fromFiles(paths);
}

TableSchemas TableSchemas::fromFiles(const QStringList& paths) {
    TableSchemas schemas;
    QString orderPath;
    for (const QString& path : paths) {
        if (isOrderFile(path))
            orderPath = path;
        else
            schemas.addFile(readFile(path), QFileInfo(path).fileName());
    }
    if (!orderPath.isEmpty()) {
        schemas.setOrder(readFile(orderPath), QFileInfo(orderPath).fileName());
        schemas.checkOrder();
    }
    return schemas;
}

void TableSchemas::addFile(const QByteArray& json, const QString& fileName) {
    for (TableSchema& schema : ReadTableSchemas(json, fileName)) {
        const QString key = TableLookupKey(schema.def.name);
        if (m_byKey.contains(key))
            throw DbError(
                QStringLiteral("Fehler in der Tabellendefinition \"%1\", Tabelle %2: "
                               "die Tabelle ist schon als %3 definiert")
                    .arg(fileName, schema.def.name, m_tables[m_byKey.value(key)].def.name));
        m_byKey.insert(key, m_tables.size());
        m_tables.append(std::move(schema));
    }
}

void TableSchemas::setOrder(const QByteArray& json, const QString& fileName) {
    m_order = ReadCreationOrder(json, fileName);
    m_hasOrder = true;
}

// The order drives the creation: a table missing from it would never be
// made, and a rule that does not match the table's rows would lose them.
void TableSchemas::checkOrder() const {
    QSet<QString> listed;
    for (const CreationStep& step : m_order.client) {
        const TableSchema* schema = find(step.table);
        if (!schema)
            orderError(step.table, QStringLiteral("in der Reihenfolge, aber nicht definiert"));
        listed.insert(TableLookupKey(step.table));
        const bool wantsDefaults = step.rows == RowsRule::Defaults ||
                                   step.rows == RowsRule::CopyElseDefaults ||
                                   step.rows == RowsRule::DefaultsThenUserForms;
        if (wantsDefaults != !schema->defaultRows.isEmpty())
            orderError(step.table, wantsDefaults
                                       ? QStringLiteral("die Regel verlangt Standardzeilen, "
                                                        "die Tabelle hat keine")
                                       : QStringLiteral("die Tabelle hat Standardzeilen, "
                                                        "die Regel setzt sie nicht ein"));
        const bool wantsFillIns = step.rows == RowsRule::CopyWithFillIn;
        if (wantsFillIns != !schema->fillIns.isEmpty())
            orderError(step.table, wantsFillIns
                                       ? QStringLiteral("die Regel verlangt Ergänzungswerte, "
                                                        "die Tabelle hat keine")
                                       : QStringLiteral("die Tabelle hat Ergänzungswerte, "
                                                        "die Regel setzt sie nicht ein"));
    }
    for (const TableSchema& schema : m_tables) {
        if (!listed.contains(TableLookupKey(schema.def.name)) && !isTemplateOnly(schema.def.name))
            orderError(schema.def.name,
                       QStringLiteral("definiert, aber nicht in der Reihenfolge der Datenbank"));
    }
    // The archive holds copies of documents only: no default rows, no fill-in.
    for (const CreationStep& step : m_order.archive) {
        if (!find(step.table))
            orderError(step.table, QStringLiteral("im Archiv, aber nicht definiert"));
        if (step.rows != RowsRule::Copy)
            orderError(step.table, QStringLiteral("im Archiv werden Zeilen nur kopiert"));
    }
}

const TableSchema* TableSchemas::find(const QString& tableName) const {
    const auto it = m_byKey.constFind(TableLookupKey(tableName));
    return it == m_byKey.cend() ? nullptr : &m_tables[*it];
}

const TableSchema& TableSchemas::get(const QString& tableName) const {
    if (const TableSchema* schema = find(tableName))
        return *schema;
    throw DbError(QStringLiteral("Für die Tabelle %1 gibt es keine Definition.").arg(tableName));
}

const QList<CreationStep>& TableSchemas::creationOrder(Database database) const {
    return database == Database::Client ? m_order.client : m_order.archive;
}

QList<table::TableDef> TableSchemas::creationDefs(Database database) const {
    QList<table::TableDef> defs;
    for (const CreationStep& step : creationOrder(database))
        defs.append(get(step.table).def);
    return defs;
}

} // namespace dbstructure
