#include "platform/table/query.h"

#include "platform/sql/sqltranslator.h"
#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/tableerror.h"
#include "platform/table/values.h"

namespace table {

namespace {

sqltext::SqlStatement translate(Database& db, const QString& text) {
    return sqltext::translateSql(text, [&db](const QString& name) -> std::optional<TableDef> {
        if (!db.exists(name))
            return std::nullopt;
        return db.tableDef(name);
    });
}

} // namespace

Query::Query(std::shared_ptr<Database> db, const QString& sql) : m_db(std::move(db)), m_text(sql) {}

Query::~Query() = default;

void Query::setSql(const QString& sql) {
    close();
    m_text = sql;
}

void Query::open() {
    close();
    const sqltext::SqlStatement st = translate(*m_db, m_text);
    if (st.kind != sqltext::SqlStatement::Kind::Select)
        throw TableError(TableError::InvalidState,
                         QStringLiteral("Die SQL-Anweisung liefert keine Ergebnismenge."));
    auto stmt = m_db->connection().prepare(st.sql);
    stmt->bindAll(st.params);
    const int columns = stmt->columnCount();
    m_visibleColumns = st.keyColumnAdded ? columns - 1 : columns;
    for (int c = 0; c < columns; ++c) {
        m_names.append(c < st.columns.size() ? st.columns[c].name : stmt->columnName(c));
        m_types.push_back(c < st.columns.size() ? st.columns[c].type : std::nullopt);
    }
    while (stmt->step()) {
        QVariantList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row.append(m_types[size_t(c)] ? fromStored(*m_types[size_t(c)], stmt->value(c))
                                          : stmt->value(c));
        m_rows.push_back(std::move(row));
    }
    m_live = m_requestLive && st.editable;
    m_baseTable = st.table;
    m_keyField = st.primaryKey;
    m_keyColumn = st.keyColumn;
    m_names = m_names.mid(0, m_visibleColumns);
    m_row = 0;
    m_open = true;
}

void Query::close() {
    m_open = m_live = m_editing = false;
    m_names.clear();
    m_types.clear();
    m_rows.clear();
    m_row = 0;
}

int Query::execSql() {
    const sqltext::SqlStatement st = translate(*m_db, m_text);
    if (st.kind == sqltext::SqlStatement::Kind::Select) {
        open();
        return 0;
    }
    return m_db->execSql(st.sql, st.params);
}

void Query::next() {
    if (m_row < int(m_rows.size()))
        ++m_row;
}

void Query::prior() {
    if (m_row > 0)
        --m_row;
}

void Query::last() {
    m_row = m_rows.empty() ? 0 : int(m_rows.size()) - 1;
}

int Query::fieldIndex(const QString& name) const {
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void Query::checkRow() const {
    if (!m_open || eof())
        throw TableError(TableError::InvalidState,
                         QStringLiteral("Die Abfrage hat keinen aktuellen Datensatz."));
}

QVariant Query::value(int column) const {
    checkRow();
    if (column < 0 || column >= m_visibleColumns)
        throw TableError(TableError::NotFound,
                         QStringLiteral("Spalte %1 nicht gefunden.").arg(column));
    return m_editing ? m_editValues[column] : m_rows[size_t(m_row)][column];
}

QVariant Query::value(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw TableError(TableError::NotFound,
                         QStringLiteral("Feld '%1' nicht gefunden.").arg(name));
    return value(i);
}

QString Query::asString(const QString& name) const {
    return value(name).toString();
}

int Query::asInteger(const QString& name) const {
    return value(name).toInt();
}

double Query::asFloat(const QString& name) const {
    return value(name).toDouble();
}

void Query::checkLive() const {
    if (!m_live)
        throw TableError(TableError::InvalidState,
                         QStringLiteral("Die Ergebnismenge kann nicht bearbeitet werden."));
    checkRow();
}

void Query::edit() {
    checkLive();
    if (m_editing)
        return;
    m_editValues = m_rows[size_t(m_row)];
    m_editing = true;
}

void Query::setValue(const QString& name, const QVariant& value) {
    if (!m_editing)
        throw TableError(TableError::InvalidState,
                         QStringLiteral("Die Abfrage ist nicht im Bearbeitungsmodus."));
    const int i = fieldIndex(name);
    if (i < 0)
        throw TableError(TableError::NotFound,
                         QStringLiteral("Feld '%1' nicht gefunden.").arg(name));
    const TableDef def = m_db->tableDef(m_baseTable);
    for (const auto& f : def.fields)
        if (f.name.compare(m_names[i], Qt::CaseInsensitive) == 0) {
            m_editValues[i] = fromStored(f.type, toStored(f, value));
            return;
        }
    throw TableError(TableError::InvalidState,
                     QStringLiteral("Das Feld '%1' kann nicht geändert werden.").arg(name));
}

void Query::post() {
    if (!m_editing)
        return;
    const TableDef def = m_db->tableDef(m_baseTable);
    QStringList sets;
    QVariantList params;
    for (int i = 0; i < m_visibleColumns; ++i) {
        for (const auto& f : def.fields)
            if (f.name.compare(m_names[i], Qt::CaseInsensitive) == 0 &&
                m_editValues[i] != m_rows[size_t(m_row)][i]) {
                sets.append(quoted(f.name) + QStringLiteral(" = ?"));
                params.append(toStored(f, m_editValues[i]));
            }
    }
    if (!sets.isEmpty()) {
        const FieldDef& key = def.fields.first();
        params.append(toStored(key, m_rows[size_t(m_row)][m_keyColumn]));
        const int changed =
            m_db->execSql(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                              .arg(quoted(physicalName(def.name)), sets.join(QStringLiteral(", ")),
                                   quoted(key.name)),
                          params);
        if (changed == 0)
            throw TableError(
                TableError::RecordDeleted,
                QStringLiteral("Der Datensatz wurde von einem anderen Benutzer gelöscht."));
    }
    m_rows[size_t(m_row)] = m_editValues;
    m_editing = false;
}

void Query::cancel() {
    m_editing = false;
}

void Query::deleteRecord() {
    checkLive();
    const TableDef def = m_db->tableDef(m_baseTable);
    const FieldDef& key = def.fields.first();
    m_db->execSql(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                      .arg(quoted(physicalName(def.name)), quoted(key.name)),
                  {toStored(key, m_rows[size_t(m_row)][m_keyColumn])});
    m_rows.erase(m_rows.begin() + m_row);
    m_editing = false;
}

} // namespace table
