#include "platform/table/database.h"

#include "platform/table/backend.h"
#include "platform/table/datetimecodec.h"
#include "platform/table/session.h"
#include "platform/table/table.h"
#include "platform/table/tableerror.h"
#include "platform/table/values.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QMutexLocker>

namespace table {

namespace {

// The directories of the databases this process holds open, resolved, one
// entry per open database; databases are also opened in worker threads.
QMutex g_openMutex;
QStringList g_openDirectories;

const QString kMetaTable = QStringLiteral("_domvera_tables");

QJsonObject toJson(const TableDef& def) {
    QJsonArray fields;
    for (const auto& f : def.fields)
        fields.append(QJsonObject{{"name", f.name}, {"type", int(f.type)}, {"size", f.size}});
    QJsonArray indexes;
    for (const auto& i : def.indexes)
        indexes.append(QJsonObject{{"name", i.name},
                                   {"fields", QJsonArray::fromStringList(i.fields)},
                                   {"caseInsensitive", i.caseInsensitive},
                                   {"unique", i.unique},
                                   {"descending", i.descending}});
    return {{"name", def.name}, {"fields", fields}, {"indexes", indexes}};
}

TableDef fromJson(const QJsonObject& o) {
    TableDef def;
    def.name = o.value("name").toString();
    for (const auto& v : o.value("fields").toArray()) {
        const auto f = v.toObject();
        def.fields.append({f.value("name").toString(), FieldType(f.value("type").toInt()),
                           f.value("size").toInt()});
    }
    for (const auto& v : o.value("indexes").toArray()) {
        const auto i = v.toObject();
        IndexDef idx;
        idx.name = i.value("name").toString();
        for (const auto& n : i.value("fields").toArray())
            idx.fields.append(n.toString());
        idx.caseInsensitive = i.value("caseInsensitive").toBool();
        idx.unique = i.value("unique").toBool();
        idx.descending = i.value("descending").toBool();
        def.indexes.append(idx);
    }
    return def;
}

QString indexName(const QString& physical, const QString& logical) {
    return quoted(physical + QLatin1Char('_') + logical);
}

// A definition as the meta table stores it.
QString definitionText(const TableDef& def) {
    return QString::fromUtf8(QJsonDocument(toJson(def)).toJson(QJsonDocument::Compact));
}

// The column list of CREATE TABLE: every field, the first the primary key.
QString columnsSql(const TableDef& def) {
    if (def.fields.isEmpty())
        throw TableError(TableError::InvalidValue,
                         QStringLiteral("Die Tabelle %1 hat keine Felder.").arg(def.name));
    QStringList cols;
    for (const auto& f : def.fields)
        cols.append(quoted(f.name) + QLatin1Char(' ') + sqlType(f.type));
    cols.append(QStringLiteral("PRIMARY KEY(%1)").arg(quoted(def.fields.first().name)));
    return cols.join(QStringLiteral(", "));
}

[[noreturn]] void notFound(const QString& table) {
    throw TableError(TableError::NotFound,
                     QStringLiteral("Die Tabelle %1 wurde nicht gefunden.").arg(table));
}

} // namespace

QString Database::fileIn(const QString& directory) {
    return QDir(directory).filePath(QStringLiteral("domvera.sqlite"));
}

std::shared_ptr<Database> Database::open(const QString& directory, Options options) {
    return std::shared_ptr<Database>(new Database(directory, options));
}

Database::Database(const QString& directory, Options options) : m_directory(directory) {
    codec::keepLocalTimeZone();
    if (options.create)
        QDir().mkpath(directory);
    m_connection =
        std::make_unique<Connection>(fileIn(directory), options.busyTimeoutMs, options.create);
    m_lockKey = QFileInfo(fileIn(directory)).canonicalFilePath();
    if (!options.syncToDisk)
        m_connection->exec(QStringLiteral("PRAGMA synchronous=OFF"));
    if (options.journalMode)
        m_connection->exec(*options.journalMode == JournalMode::Wal
                               ? QStringLiteral("PRAGMA journal_mode=WAL")
                               : QStringLiteral("PRAGMA journal_mode=DELETE"));
    m_connection->exec(
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1(name TEXT PRIMARY KEY COLLATE NOCASE, "
                       "definition TEXT NOT NULL)")
            .arg(kMetaTable));
    const QMutexLocker locker(&g_openMutex);
    g_openDirectories.append(QFileInfo(m_lockKey).absolutePath());
}

Database::~Database() {
    for (Table* t : QList<Table*>(m_tables))
        t->close();
    const QMutexLocker locker(&g_openMutex);
    g_openDirectories.removeOne(QFileInfo(m_lockKey).absolutePath());
}

QStringList Database::openDirectories() {
    const QMutexLocker locker(&g_openMutex);
    return g_openDirectories;
}

QString Database::fileName() const {
    return m_connection->fileName();
}

JournalMode Database::journalMode() {
    StatementUse s(m_connection->cached(QStringLiteral("PRAGMA journal_mode")));
    s->step();
    return s->value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0
               ? JournalMode::Wal
               : JournalMode::Rollback;
}

QString Database::resolve(const QString& table) {
    const QString key = physicalName(table).toLower();
    if (auto it = m_tempDefs.constFind(key); it != m_tempDefs.cend())
        return physicalName(it->name);
    // Other connections may have created or changed the table: ask the file.
    StatementUse s(m_connection->cached(
        QStringLiteral("SELECT definition FROM %1 WHERE name = ?").arg(kMetaTable)));
    s->bind(1, physicalName(table));
    if (!s->step()) {
        m_defs.remove(key);
        m_defTexts.remove(key);
        forgetShape(key);
        return {};
    }
    const QString json = s->value(0).toString();
    // Unchanged since it was last read: the parsed definition still holds.
    if (auto it = m_defs.constFind(key); it != m_defs.cend() && m_defTexts.value(key) == json)
        return physicalName(it->name);
    TableDef def = fromJson(QJsonDocument::fromJson(json.toUtf8()).object());
    m_defs.insert(key, def);
    m_defTexts.insert(key, json);
    forgetShape(key); // the table may have been made anew
    return physicalName(def.name);
}

bool Database::exists(const QString& table) {
    return !resolve(table).isEmpty();
}

QStringList Database::tableNames() {
    QStringList names;
    StatementUse s(
        m_connection->cached(QStringLiteral("SELECT name FROM %1 ORDER BY name").arg(kMetaTable)));
    while (s->step())
        names.append(s->value(0).toString());
    return names;
}

bool Database::keyIsRowId(const TableDef& def) {
    if (def.fields.isEmpty() || sqlType(def.fields.first().type) != QLatin1String("INTEGER"))
        return false;
    const QString physical = physicalName(def.name);
    const QString key = physical.toLower();
    if (auto it = m_rowIdKeys.constFind(key); it != m_rowIdKeys.cend())
        return *it;
    // An INTEGER primary key is the row id itself, unless the file says otherwise.
    StatementUse s(m_connection->cached(
        QStringLiteral("SELECT count(*) FROM pragma_table_info(?) WHERE pk > 0 AND "
                       "(pk > 1 OR name <> ? COLLATE NOCASE OR upper(type) <> 'INTEGER')")));
    s->bind(1, physical);
    s->bind(2, def.fields.first().name);
    const bool rowId = s->step() && s->int64(0) == 0;
    m_rowIdKeys.insert(key, rowId);
    return rowId;
}

const Database::FieldNames& Database::fieldNames(const TableDef& def) {
    const QString key = physicalName(def.name).toLower();
    if (auto it = m_fieldNames.constFind(key); it != m_fieldNames.cend())
        return *it;
    FieldNames names;
    for (int i = 0; i < def.fields.size(); ++i) {
        names.lower.insert(def.fields[i].name.toLower(), i);
        names.exact.insert(def.fields[i].name, i);
    }
    return *m_fieldNames.insert(key, names);
}

void Database::forgetShape(const QString& key) {
    m_rowIdKeys.remove(key);
    m_fieldNames.remove(key);
}

TableDef Database::tableDef(const QString& table) {
    if (resolve(table).isEmpty())
        notFound(table);
    const QString key = physicalName(table).toLower();
    return m_tempDefs.contains(key) ? m_tempDefs.value(key) : m_defs.value(key);
}

void Database::storeDef(const TableDef& def, bool temporary) {
    const QString key = physicalName(def.name).toLower();
    forgetShape(key);
    if (temporary) {
        m_tempDefs.insert(key, def);
        return;
    }
    StatementUse s(m_connection->cached(
        QStringLiteral("INSERT OR REPLACE INTO %1 VALUES(?, ?)").arg(kMetaTable)));
    const QString json = definitionText(def);
    s->bindAll({physicalName(def.name), json});
    s->step();
    m_defs.insert(key, def);
    m_defTexts.insert(key, json);
}

void Database::createIndexes(const QString& physical, const QList<IndexDef>& indexes,
                             bool temporary) {
    createIndexesIn(temporary ? QStringLiteral("temp") : QString(), physical, indexes);
}

void Database::createIndexesIn(const QString& schema, const QString& physical,
                               const QList<IndexDef>& indexes) {
    TableDef def;
    def.name = physical;
    for (const auto& idx : indexes) {
        if (idx.fields.isEmpty() || idx.fields.size() > 4)
            throw TableError(
                TableError::InvalidValue,
                QStringLiteral("Der Index %1 muss ein bis vier Felder haben.").arg(idx.name));
        QStringList cols;
        for (const auto& f : idx.fields)
            cols.append(quoted(f) +
                        (idx.caseInsensitive ? QStringLiteral(" COLLATE DE") : QString()) +
                        (idx.descending ? QStringLiteral(" DESC") : QString()));
        m_connection->exec(QStringLiteral("CREATE %1INDEX %2%3 ON %4(%5)")
                               .arg(idx.unique ? QStringLiteral("UNIQUE ") : QString(),
                                    schema.isEmpty() ? QString() : schema + QLatin1Char('.'),
                                    indexName(physical, idx.name), quoted(physical),
                                    cols.join(QStringLiteral(", "))));
    }
}

void Database::createTable(const TableDef& def) {
    if (exists(def.name))
        throw TableError(TableError::Other,
                         QStringLiteral("Die Tabelle %1 existiert bereits.").arg(def.name));
    const QString physical = physicalName(def.name);
    Transaction tx(*this);
    m_connection->exec(
        QStringLiteral("CREATE TABLE %1(%2)").arg(quoted(physical), columnsSql(def)));
    createIndexes(physical, def.indexes, false);
    storeDef(def, false);
    tx.commit();
}

bool Database::existsIn(const QString& schema, const QString& table) {
    StatementUse s(m_connection->cached(
        QStringLiteral("SELECT 1 FROM %1.%2 WHERE name = ?").arg(quoted(schema), kMetaTable)));
    s->bind(1, physicalName(table));
    return s->step();
}

void Database::createTableIn(const QString& schema, const TableDef& def) {
    if (existsIn(schema, def.name))
        throw TableError(TableError::Other,
                         QStringLiteral("Die Tabelle %1 existiert bereits.").arg(def.name));
    const QString physical = physicalName(def.name);
    Transaction tx(*this);
    m_connection->exec(QStringLiteral("CREATE TABLE %1.%2(%3)")
                           .arg(quoted(schema), quoted(physical), columnsSql(def)));
    createIndexesIn(quoted(schema), physical, def.indexes);
    StatementUse s(m_connection->cached(
        QStringLiteral("INSERT INTO %1.%2 VALUES(?, ?)").arg(quoted(schema), kMetaTable)));
    s->bindAll({physical, definitionText(def)});
    s->step();
    tx.commit();
}

void Database::createTemporaryTable(const TableDef& def) {
    const QString physical = physicalName(def.name);
    if (m_tempDefs.contains(physical.toLower()))
        throw TableError(TableError::Other,
                         QStringLiteral("Die Tabelle %1 existiert bereits.").arg(def.name));
    m_connection->exec(
        QStringLiteral("CREATE TEMP TABLE %1(%2)").arg(quoted(physical), columnsSql(def)));
    createIndexes(physical, def.indexes, true);
    storeDef(def, true);
}

bool Database::isTemporaryTable(const QString& table) const {
    return m_tempDefs.contains(physicalName(table).toLower());
}

void Database::dropTable(const QString& table) {
    const QString physical = resolve(table);
    if (physical.isEmpty())
        notFound(table);
    for (Table* t : QList<Table*>(m_tables))
        if (physicalName(t->tableName()).compare(physical, Qt::CaseInsensitive) == 0)
            t->close();
    const QString key = physical.toLower();
    forgetShape(key);
    if (m_tempDefs.remove(key)) {
        m_connection->exec(QStringLiteral("DROP TABLE temp.%1").arg(quoted(physical)));
        return;
    }
    m_connection->clearCache(); // statements on the dropped table would keep it referenced
    Transaction tx(*this);
    m_connection->exec(QStringLiteral("DROP TABLE %1").arg(quoted(physical)));
    StatementUse s(
        m_connection->cached(QStringLiteral("DELETE FROM %1 WHERE name = ?").arg(kMetaTable)));
    s->bind(1, physical);
    s->step();
    m_defs.remove(key);
    m_defTexts.remove(key);
    tx.commit();
}

void Database::emptyTable(const QString& table) {
    const QString physical = resolve(table);
    if (physical.isEmpty())
        notFound(table);
    m_connection->exec(QStringLiteral("DELETE FROM %1").arg(quoted(physical)));
    invalidateCursors();
}

void Database::packTable(const QString& table) {
    const QString physical = resolve(table);
    if (physical.isEmpty())
        notFound(table);
    // Packing renumbers records: nobody else may have the table open meanwhile.
    if (m_session)
        m_session->registerOpen(m_lockKey, physical, true);
    try {
        m_connection->exec(QStringLiteral("REINDEX %1").arg(quoted(physical)));
        if (m_depth == 0) {
            m_connection->clearCache();
            m_connection->exec(QStringLiteral("VACUUM"));
        }
    } catch (...) {
        if (m_session)
            m_session->unregisterOpen(m_lockKey, physical, true);
        throw;
    }
    if (m_session)
        m_session->unregisterOpen(m_lockKey, physical, true);
    invalidateCursors(true);
}

void Database::rebuildIndexes(const QString& table, const QList<IndexDef>& indexes) {
    TableDef def = tableDef(table);
    const QString physical = physicalName(def.name);
    const bool temporary = m_tempDefs.contains(physical.toLower());
    m_connection->clearCache();
    Transaction tx(*this);
    // Drop every secondary index the engine holds for the table, also ones the
    // definition lost track of.
    QStringList existing;
    {
        StatementUse s(
            m_connection->cached(QStringLiteral("SELECT name FROM %1 WHERE type = 'index' AND "
                                                "tbl_name = ? COLLATE NOCASE AND sql IS NOT NULL")
                                     .arg(temporary ? QStringLiteral("sqlite_temp_master")
                                                    : QStringLiteral("sqlite_master"))));
        s->bind(1, physical);
        while (s->step())
            existing.append(s->value(0).toString());
    }
    for (const auto& name : existing)
        m_connection->exec(QStringLiteral("DROP INDEX %1%2")
                               .arg(temporary ? QStringLiteral("temp.") : QString(), quoted(name)));
    createIndexes(physical, indexes, temporary);
    def.indexes = indexes;
    storeDef(def, temporary);
    tx.commit();
    invalidateCursors();
}

QList<ColumnInfo> Database::columns(const QString& table) {
    const TableDef def = tableDef(table);
    QList<ColumnInfo> result;
    StatementUse s(
        m_connection->cached(QStringLiteral("SELECT name, type FROM pragma_table_info(?)")));
    s->bind(1, physicalName(def.name));
    while (s->step()) {
        ColumnInfo c{s->value(0).toString(), s->value(1).toString(), FieldType::String, 0};
        for (const auto& f : def.fields)
            if (f.name.compare(c.name, Qt::CaseInsensitive) == 0) {
                c.type = f.type;
                c.size = f.size;
            }
        result.append(c);
    }
    return result;
}

void Database::copyTable(const QString& table, Database& target, const QString& targetName) {
    TableDef def = tableDef(table);
    const QString physical = physicalName(def.name);
    if (!targetName.isEmpty())
        def.name = targetName;
    if (target.exists(def.name))
        target.dropTable(def.name);
    Transaction tx(target);
    target.createTable(def);
    QStringList marks;
    for (int i = 0; i < def.fields.size(); ++i)
        marks.append(QStringLiteral("?"));
    auto insert = target.connection().prepare(
        QStringLiteral("INSERT INTO %1 VALUES(%2)")
            .arg(quoted(physicalName(def.name)), marks.join(QLatin1Char(','))));
    auto read =
        m_connection->prepare(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(quoted(physical)));
    while (read->step()) {
        for (int c = 0; c < def.fields.size(); ++c)
            insert->bind(c + 1, read->value(c));
        insert->step();
        insert->reset();
    }
    tx.commit();
}

int Database::execSql(const QString& sql, const QVariantList& params) {
    auto s = m_connection->prepare(sql);
    s->bindAll(params);
    while (s->step()) {
    }
    const int changed = m_connection->changes();
    invalidateCursors();
    return changed;
}

QVariant Database::selectValue(const QString& sql, const QVariantList& params) {
    StatementUse s(m_connection->cached(sql));
    s->bindAll(params);
    return s->step() ? s->value(0) : QVariant();
}

void Database::backupTo(const QString& directory) {
    QDir().mkpath(directory);
    const QString target = fileIn(directory);
    for (const QString& suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(target + suffix);
    m_connection->backupTo(target);
}

void Database::checkpoint() {
    if (journalMode() == JournalMode::Wal)
        m_connection->exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

void Database::closeTables() {
    for (Table* t : QList<Table*>(m_tables))
        t->close();
    checkpoint();
}

void Database::attach(Table* table) {
    if (!m_tables.contains(table))
        m_tables.append(table);
}

void Database::detach(Table* table) {
    m_tables.removeAll(table);
}

void Database::noteTableWritten(const QString& physical) {
    noteTableWritten(tableWriteCounter(physical));
}

quint64 Database::tableWrites(const QString& physical) const {
    const auto it = m_tableWrites.find(physical.toLower());
    return it == m_tableWrites.end() ? 0 : it->second;
}

quint64& Database::tableWriteCounter(const QString& physical) {
    return m_tableWrites[physical.toLower()];
}

void Database::invalidateCursors(bool rowIdsChanged) {
    for (Table* t : QList<Table*>(m_tables))
        t->invalidate(rowIdsChanged);
}

namespace {

// Savepoints are opened and released once per record in data runs: their
// statements are prepared once per connection instead of parsed every time.
void runCached(Connection& connection, const QString& sql) {
    StatementUse s(connection.cached(sql));
    s->step();
}

} // namespace

Transaction::Transaction(Database& db, TransactionLock lock) : m_db(db), m_level(db.m_depth) {
    if (m_level > 0)
        runCached(*db.m_connection, QStringLiteral("SAVEPOINT sp%1").arg(m_level));
    else if (lock == TransactionLock::Deferred)
        db.m_connection->exec(QStringLiteral("BEGIN DEFERRED"));
    else
        db.m_connection->exec(QStringLiteral("BEGIN IMMEDIATE"));
    ++db.m_depth;
    if (m_level == 0)
        ++db.m_transactionSerial;
}

Transaction::~Transaction() {
    if (m_done)
        return;
    --m_db.m_depth;
    try {
        if (m_level == 0)
            m_db.m_connection->exec(QStringLiteral("ROLLBACK"));
        else
            m_db.m_connection->exec(QStringLiteral("ROLLBACK TO sp%1; RELEASE sp%1").arg(m_level));
    } catch (const std::exception&) {
        // The engine already rolled back (e.g. after a full disk); nothing is left open.
    }
    // Either way the cursors must not show rows that are gone.
    try {
        m_db.invalidateCursors();
    } catch (const std::exception&) {
        // A cursor that cannot read its record now reads it again when next used.
    }
}

void Transaction::commit() {
    if (m_done)
        return;
    if (m_level == 0)
        m_db.m_connection->exec(QStringLiteral("COMMIT"));
    else
        runCached(*m_db.m_connection, QStringLiteral("RELEASE sp%1").arg(m_level));
    m_done = true;
    --m_db.m_depth;
}

namespace aliases {
namespace {
struct Entry {
    QString directory;
    Database::Options options;
    std::shared_ptr<Database> db;
};
QHash<QString, Entry>& registry() {
    static QHash<QString, Entry> r;
    return r;
}
Entry& entry(const QString& alias) {
    auto it = registry().find(alias.toLower());
    if (it == registry().end())
        throw TableError(TableError::NotFound,
                         QStringLiteral("Der Datenbank-Alias %1 ist nicht definiert.").arg(alias));
    return *it;
}
} // namespace

void define(const QString& alias, const QString& directory, Database::Options options) {
    auto it = registry().find(alias.toLower());
    if (it != registry().end() && it->db)
        it->db->closeTables();
    registry().insert(alias.toLower(), Entry{directory, options, nullptr});
}

std::shared_ptr<Database> database(const QString& alias) {
    Entry& e = entry(alias);
    if (!e.db)
        e.db = Database::open(e.directory, e.options);
    return e.db;
}

QString directory(const QString& alias) {
    return entry(alias).directory;
}

std::shared_ptr<Database> openedDatabase(const QString& alias) {
    const auto it = registry().constFind(alias.toLower());
    return it == registry().cend() ? nullptr : it->db;
}

void close(const QString& alias) {
    Entry& e = entry(alias);
    if (e.db) {
        e.db->closeTables();
        e.db.reset();
    }
}

void remove(const QString& alias) {
    if (registry().contains(alias.toLower()))
        close(alias);
    registry().remove(alias.toLower());
}

} // namespace aliases

} // namespace table
