#include "platform/table/table.h"

#include "platform/sql/filterexpr.h"
#include "platform/table/backend.h"
#include "platform/table/session.h"
#include "platform/table/values.h"

#include <algorithm>

namespace table {

namespace {

bool isTextType(FieldType t) {
    return t == FieldType::String || t == FieldType::Memo || t == FieldType::FmtMemo;
}

QString join(const QStringList& parts, const char* sep) {
    return parts.join(QLatin1String(sep));
}

} // namespace

Table::Table(std::shared_ptr<Database> db, const QString& tableName) : m_db(std::move(db)) {
    if (!m_db)
        throw TableError(TableError::NotFound,
                         QStringLiteral("Die Datenbank für %1 ist nicht geöffnet.").arg(tableName));
    setTableName(tableName);
}

Table::~Table() {
    // Handlers may refer to objects already gone (as a form's rules do): the
    // destructor closes without events.
    for (auto* e :
         {&beforeClose, &afterClose, &beforeCancel, &afterCancel, &afterScroll, &beforeScroll})
        e->clear();
    try {
        if (isOpen()) {
            if (isEditing())
                cancel();
            close();
        }
    } catch (const std::exception&) {
        // A destructor must not throw; the cursor is gone either way.
    }
    setMaster(nullptr, {}, {});
    for (Table* d : QList<Table*>(m_details))
        d->m_master = nullptr;
    if (m_db)
        m_db->detach(this);
}

void Table::setTableName(const QString& name) {
    if (isOpen())
        throw TableError(
            TableError::InvalidState,
            QStringLiteral("Der Tabellenname kann bei geöffneter Tabelle nicht geändert werden."));
    m_tableName = name;
    m_physical = physicalName(name);
    clearSlots();
    m_fields.clear();
    m_fieldIndex.clear();
}

void Table::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
}

void Table::setExclusive(bool exclusive) {
    m_exclusive = exclusive;
}

void Table::addCalculatedField(const QString& name, FieldType type, int size) {
    if (isOpen())
        throw TableError(TableError::InvalidState,
                         QStringLiteral("Berechnete Felder werden vor dem Öffnen von %1 angelegt.")
                             .arg(m_tableName));
    m_calcDefs.append(FieldDef{name, type, size});
    if (m_fields.empty())
        return; // built with the others
    // Keep the existing fields: rules may already have attached their events.
    const int index = int(m_fields.size());
    m_fieldIndex.insert(name.toLower(), index);
    m_fields.push_back(std::make_unique<Field>(*this, m_calcDefs.last(), index, true));
    m_values.append(QVariant());
    m_oldValues.append(QVariant());
}

void Table::checkOpen() const {
    if (m_state == TableState::Inactive)
        throw TableError(TableError::InvalidState,
                         QStringLiteral("Die Tabelle %1 ist nicht geöffnet.").arg(m_tableName));
}

Field& Table::field(int index) {
    if (m_fields.empty() && !m_tableName.isEmpty())
        findField(QString()); // builds the fields
    if (index < 0 || index >= int(m_fields.size()))
        throw TableError(TableError::NotFound,
                         QStringLiteral("Feldindex %1 außerhalb des gültigen Bereichs (%2).")
                             .arg(index)
                             .arg(m_tableName));
    return *m_fields[size_t(index)];
}

Field& Table::field(const QString& name) {
    if (Field* f = findField(name))
        return *f;
    throw TableError(TableError::NotFound, QStringLiteral("Feld '%1' nicht gefunden.").arg(name));
}

Field* Table::findField(const QString& name) {
    if (m_fields.empty()) {
        // Fields exist as soon as the table does, so rules can attach their
        // field events before the table is opened.
        m_def = m_db->tableDef(m_tableName);
        m_physical = physicalName(m_def.name);
        clearSlots();
        int i = 0;
        for (const auto& def : m_def.fields) {
            m_fieldIndex.insert(def.name.toLower(), i);
            m_fields.push_back(std::make_unique<Field>(*this, def, i++, false));
        }
        for (const auto& def : m_calcDefs) {
            m_fieldIndex.insert(def.name.toLower(), i);
            m_fields.push_back(std::make_unique<Field>(*this, def, i++, true));
        }
        m_values = QVariantList(i);
        m_oldValues = m_values;
    }
    const auto it = m_fieldIndex.constFind(name.toLower());
    return it == m_fieldIndex.cend() ? nullptr : m_fields[size_t(*it)].get();
}

void Table::open() {
    if (isOpen())
        return;
    beforeOpen(*this);
    const TableDef def = m_db->tableDef(m_tableName); // raises when the table is missing
    bool same = !m_fields.empty() && def.fields.size() == m_def.fields.size();
    for (int i = 0; same && i < def.fields.size(); ++i)
        same = def.fields[i].name == m_def.fields[i].name &&
               def.fields[i].type == m_def.fields[i].type;
    if (!same) {
        m_fields.clear();
        m_fieldIndex.clear();
    }
    findField(QString());
    m_def = def;
    if (Session* s = m_db->session()) {
        s->registerOpen(m_db->lockKey(), m_physical, m_exclusive);
        m_registered = true;
    }
    m_db->attach(this);
    m_state = TableState::Browse;
    m_keysValid = false;
    m_rowId.reset();
    m_pos = -1;
    try {
        ensureKeys();
        if (!m_keys.empty())
            moveTo(0);
        else
            clearBuffer();
        m_bof = true;
        m_eof = m_keys.empty();
        afterOpen(*this);
        scrolled();
    } catch (...) {
        close();
        throw;
    }
}

void Table::close() {
    if (!isOpen())
        return;
    beforeClose(*this);
    if (isEditing()) {
        unlockCurrent();
        m_values = m_oldValues;
    }
    if (m_tableLocked)
        unlockTable();
    if (m_registered && m_db->session()) {
        m_db->session()->unregisterOpen(m_db->lockKey(), m_physical);
        m_registered = false;
    }
    m_state = TableState::Inactive;
    m_rowCache.clear();
    m_keys.clear();
    m_positions.clear();
    m_keysValid = m_positionsValid = false;
    m_rowId.reset();
    m_pos = -1;
    m_eof = m_bof = true;
    clearBuffer();
    m_db->detach(this);
    for (Table* d : QList<Table*>(m_details))
        d->masterChanged();
    afterClose(*this);
}

const IndexDef* Table::currentIndex() const {
    if (m_indexName.isEmpty())
        return nullptr;
    for (const auto& idx : m_def.indexes)
        if (idx.name.compare(m_indexName, Qt::CaseInsensitive) == 0)
            return &idx;
    return nullptr;
}

QList<IndexDef> Table::indexDefs() const {
    return m_def.indexes;
}

QStringList Table::indexFieldNames() const {
    if (const IndexDef* idx = currentIndex())
        return idx->fields;
    return m_def.fields.isEmpty() ? QStringList() : QStringList{m_def.fields.first().name};
}

void Table::setIndexName(const QString& name) {
    QString logical;
    if (!name.isEmpty()) {
        if (m_def.fields.isEmpty())
            findField(QString());
        for (const auto& idx : m_def.indexes)
            if (idx.name.compare(name, Qt::CaseInsensitive) == 0)
                logical = idx.name;
        if (logical.isEmpty())
            throw TableError(
                TableError::NotFound,
                QStringLiteral("Index %1 der Tabelle %2 nicht gefunden.").arg(name, m_tableName));
    }
    if (isOpen())
        checkBrowseMode();
    m_indexName = logical;
    m_hasRange = false;
    m_keysValid = false;
}

QString Table::columnExpr(int fieldIndex, bool forIndex) const {
    QString expr = quoted(m_def.fields[fieldIndex].name);
    if (forIndex) {
        const IndexDef* idx = currentIndex();
        if (idx && idx->caseInsensitive)
            expr += QStringLiteral(" COLLATE DE");
    }
    return expr;
}

QString Table::orderBy() const {
    const IndexDef* idx = currentIndex();
    if (!idx)
        return quoted(m_def.fields.first().name);
    QStringList cols;
    for (const auto& f : idx->fields)
        cols.append(quoted(f) + (idx->caseInsensitive ? QStringLiteral(" COLLATE DE") : QString()) +
                    (idx->descending ? QStringLiteral(" DESC") : QString()));
    cols.append(QStringLiteral("rowid"));
    return join(cols, ", ");
}

QVariant Table::stored(int fieldIndex, const QVariant& value) const {
    return toStored(m_def.fields[fieldIndex], value);
}

Table::Condition Table::viewCondition() const {
    QStringList parts;
    QVariantList params;
    if (m_hasRange) {
        const QStringList names = indexFieldNames();
        const IndexDef* idx = currentIndex();
        const bool desc = idx && idx->descending;
        auto bound = [&](const QVariantList& values, bool lower) {
            const int n = int(std::min<qsizetype>(values.size(), names.size()));
            if (n == 0 || std::all_of(values.begin(), values.begin() + n,
                                      [](const QVariant& v) { return v.isNull(); }))
                return;
            QStringList cols, marks;
            for (int i = 0; i < n; ++i) {
                const int fi = m_fieldIndex.value(names[i].toLower());
                cols.append(columnExpr(fi, true));
                marks.append(QStringLiteral("?"));
                params.append(stored(fi, values[i]));
            }
            const bool greater = lower != desc;
            parts.append(QStringLiteral("(%1) %2 (%3)")
                             .arg(join(cols, ", "),
                                  greater ? QStringLiteral(">=") : QStringLiteral("<="),
                                  join(marks, ", ")));
        };
        bound(m_rangeStart, true);
        bound(m_rangeEnd, false);
    }
    if (m_master) {
        for (int i = 0; i < m_detailFields.size(); ++i) {
            const int fi = m_fieldIndex.value(m_detailFields[i].toLower(), -1);
            Field* mf = m_master->isOpen() ? m_master->findField(m_masterFields.value(i)) : nullptr;
            if (fi < 0 || !mf || (!m_master->m_rowId && m_master->m_state != TableState::Insert)) {
                parts.append(QStringLiteral("0"));
                break;
            }
            parts.append(quoted(m_def.fields[fi].name) + QStringLiteral(" = ?"));
            params.append(stored(fi, mf->value()));
        }
    }
    if (m_filtered && !m_filterCondition.sql.isEmpty()) {
        parts.append(QLatin1Char('(') + m_filterCondition.sql + QLatin1Char(')'));
        params.append(m_filterCondition.params);
    }
    return {join(parts, " AND "), params};
}

void Table::ensureKeys() {
    if (m_keysValid && m_seenSerial != m_db->writeSerial()) {
        m_seenSerial = m_db->writeSerial();
        if (m_seenTableWrites != m_db->tableWrites(m_physical)) {
            m_keysValid = false;
            m_positionsValid = false;
        }
    }
    if (!m_keysValid)
        buildKeys();
}

void Table::buildKeys() {
    m_rowCache.clear();
    m_seenSerial = m_db->writeSerial();
    m_seenTableWrites = m_db->tableWrites(m_physical);
    // The records after the current one, to go on from when it is gone.
    std::vector<qint64> following;
    const bool hadCurrent = m_rowId && m_pos >= 0 && m_pos < int(m_keys.size());
    if (hadCurrent)
        following.assign(m_keys.begin() + m_pos + 1, m_keys.end());
    m_gapNext.reset();
    const Condition cond = viewCondition();
    const QString sql =
        QStringLiteral("SELECT rowid FROM %1%2 ORDER BY %3")
            .arg(quoted(m_physical),
                 cond.sql.isEmpty() ? QString() : QStringLiteral(" WHERE ") + cond.sql, orderBy());
    m_keys.clear();
    {
        StatementUse s(m_db->connection().cached(sql));
        s->bindAll(cond.params);
        while (s->step())
            m_keys.push_back(s->int64(0));
    }
    if (m_filtered && m_filterFunction) {
        // The callback sees each candidate row as the current record.
        const QVariantList saved = m_values;
        std::vector<qint64> accepted;
        accepted.reserve(m_keys.size());
        for (qint64 id : m_keys) {
            loadRow(id);
            if (!m_rowMissing && m_filterFunction(*this))
                accepted.push_back(id);
        }
        m_keys.swap(accepted);
        m_values = saved;
    }
    m_keysValid = true;
    m_positionsValid = false;
    m_pos = -1;
    if (m_rowId) {
        const auto it = std::find(m_keys.begin(), m_keys.end(), *m_rowId);
        if (it != m_keys.end())
            m_pos = int(it - m_keys.begin());
    }
    if (m_pos < 0 && hadCurrent) {
        buildPositions();
        m_gapNext = int(m_keys.size());
        for (qint64 id : following) {
            const auto found = m_positions.find(id);
            if (found != m_positions.end()) {
                m_gapNext = found->second;
                break;
            }
        }
    }
}

void Table::buildPositions() {
    ensureKeys();
    if (m_positionsValid)
        return;
    m_positions.clear();
    m_positions.reserve(m_keys.size());
    for (size_t i = 0; i < m_keys.size(); ++i)
        m_positions.emplace(m_keys[i], int(i));
    m_positionsValid = true;
}

int Table::positionOf(qint64 rowId) {
    buildPositions();
    const auto it = m_positions.find(rowId);
    return it == m_positions.end() ? -1 : it->second;
}

void Table::clearBuffer() {
    for (auto& v : m_values)
        v = QVariant();
}

Statement& Table::slotStatement(StatementSlot& slot, const std::function<QString()>& sql) {
    Connection& c = m_db->connection();
    if (!slot.statement || slot.generation != c.cacheGeneration()) {
        slot.statement = &c.cached(sql());
        slot.generation = c.cacheGeneration();
    }
    return *slot.statement;
}

void Table::clearSlots() {
    m_readSlot = m_insertSlot = m_updateSlot = StatementSlot{};
}

void Table::loadRow(qint64 rowId) {
    const int n = int(m_def.fields.size());
    StatementUse s(slotStatement(m_readSlot, [&] {
        return QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(quoted(m_physical));
    }));
    s->bind(1, rowId);
    m_rowMissing = !s->step();
    for (int i = 0; i < m_values.size(); ++i)
        m_values[i] =
            (!m_rowMissing && i < n) ? readTyped(*s, i, m_def.fields[i].type) : QVariant();
}

void Table::loadCurrent() {
    if (!m_rowId) {
        clearBuffer();
        return;
    }
    loadRow(*m_rowId);
    calcFields();
}

void Table::calcFields() {
    if (m_inCalc || (m_calcDefs.isEmpty() && onCalcFields.empty()))
        return;
    m_inCalc = true;
    try {
        for (int i = int(m_def.fields.size()); i < m_values.size(); ++i)
            m_values[i] = QVariant();
        onCalcFields(*this);
    } catch (...) {
        m_inCalc = false;
        throw;
    }
    m_inCalc = false;
}

void Table::moveTo(int position) {
    const int previous = m_pos;
    m_gapNext.reset();
    m_pos = position;
    m_rowId = m_keys[size_t(position)];
    m_bof = m_eof = false;
    auto it = m_rowCache.find(*m_rowId);
    if (it == m_rowCache.end() && previous >= 0 && std::abs(position - previous) == 1) {
        readAhead(position, position > previous);
        it = m_rowCache.find(*m_rowId);
    }
    if (it == m_rowCache.end()) {
        loadCurrent();
        return;
    }
    const QVariantList& row = it->second;
    for (int i = 0; i < m_values.size(); ++i)
        m_values[i] = i < row.size() ? row[i] : QVariant();
    m_rowMissing = false;
    calcFields();
}

void Table::readAhead(int position, bool forward) {
    constexpr int kBlock = 64;
    Connection& c = m_db->connection();
    const QString sql =
        QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid IN (%2)")
            .arg(quoted(m_physical), QStringLiteral("?,").repeated(kBlock - 1) + QLatin1Char('?'));
    const int count = int(m_keys.size());
    const int from = forward ? position : std::max(0, position - kBlock + 1);
    const int to = forward ? std::min(count, position + kBlock) : position + 1;
    m_rowCache.clear();
    StatementUse s(c.cached(sql));
    for (int i = 0; i < kBlock; ++i)
        s->bind(i + 1, m_keys[size_t(std::min(from + i, to - 1))]);
    const int n = int(m_def.fields.size());
    while (s->step()) {
        QVariantList row;
        row.reserve(n);
        for (int i = 0; i < n; ++i)
            row.append(readTyped(*s, i + 1, m_def.fields[i].type));
        m_rowCache.emplace(s->int64(0), std::move(row));
    }
}

void Table::scrolled() {
    for (Table* d : QList<Table*>(m_details))
        d->masterChanged();
    afterScroll(*this);
}

void Table::checkBrowseMode() {
    checkOpen();
    if (isEditing())
        post();
}

void Table::first() {
    moveToEnd(false);
}

void Table::last() {
    moveToEnd(true);
}

void Table::moveToEnd(bool toLast) {
    checkBrowseMode();
    beforeScroll(*this);
    ensureKeys();
    if (m_keys.empty()) {
        m_rowId.reset();
        m_pos = -1;
        clearBuffer();
    } else {
        moveTo(toLast ? int(m_keys.size()) - 1 : 0);
    }
    // An empty view is at both ends at once.
    m_bof = !toLast || m_keys.empty();
    m_eof = toLast || m_keys.empty();
    scrolled();
}

void Table::moveBy(int distance) {
    checkBrowseMode();
    ensureKeys();
    if (m_keys.empty()) {
        m_bof = m_eof = true;
        return;
    }
    if (m_pos < 0 && m_gapNext) {
        // The current record was removed elsewhere: go on from its neighbours.
        const qint64 target = qint64(*m_gapNext) + (distance > 0 ? distance - 1 : distance);
        if (target > qint64(m_keys.size()) - 1 || target < 0) {
            (target < 0 ? m_bof : m_eof) = true;
            return;
        }
        beforeScroll(*this);
        moveTo(int(target));
        scrolled();
        return;
    }
    if (m_pos < 0) {
        // The current record left the view (e.g. posted outside the filter): start anew.
        beforeScroll(*this);
        moveTo(0);
        m_bof = true;
        scrolled();
        return;
    }
    const int last = int(m_keys.size()) - 1;
    const qint64 target = qint64(m_pos) + distance;
    if ((distance > 0 && m_pos == last) || (distance < 0 && m_pos == 0)) {
        (distance > 0 ? m_eof : m_bof) = true;
        return;
    }
    beforeScroll(*this);
    moveTo(int(std::clamp<qint64>(target, 0, last)));
    if (target > last)
        m_eof = true;
    if (target < 0)
        m_bof = true;
    scrolled();
}

void Table::next() {
    moveBy(1);
}

void Table::prior() {
    moveBy(-1);
}

bool Table::isEmpty() {
    checkOpen();
    if (m_state == TableState::Insert)
        return false;
    ensureKeys();
    return m_keys.empty();
}

int Table::recNo() {
    checkOpen();
    if (m_state == TableState::Insert)
        return 0;
    ensureKeys();
    return m_pos + 1;
}

void Table::setRecNo(int recNo) {
    checkBrowseMode();
    ensureKeys();
    if (m_keys.empty())
        return;
    beforeScroll(*this);
    moveTo(std::clamp(recNo, 1, int(m_keys.size())) - 1);
    scrolled();
}

int Table::recordCount() {
    checkOpen();
    ensureKeys();
    return int(m_keys.size());
}

Bookmark Table::bookmark() const {
    return Bookmark{m_rowId.value_or(0), m_rowId.has_value()};
}

bool Table::bookmarkValid(const Bookmark& mark) {
    return mark.valid && isOpen() && positionOf(mark.rowId) >= 0;
}

void Table::gotoBookmark(const Bookmark& mark) {
    checkBrowseMode();
    const int pos = mark.valid ? positionOf(mark.rowId) : -1;
    if (pos < 0)
        throw TableError(TableError::NotFound, QStringLiteral("Datensatz nicht gefunden."));
    beforeScroll(*this);
    moveTo(pos);
    scrolled();
}

void Table::refresh() {
    checkBrowseMode();
    const int oldPos = m_pos;
    m_keysValid = false;
    ensureKeys();
    if (m_pos >= 0) {
        loadCurrent();
        if (!m_rowMissing)
            return;
    }
    if (m_keys.empty()) {
        m_rowId.reset();
        m_pos = -1;
        m_bof = m_eof = true;
        clearBuffer();
        return;
    }
    moveTo(std::clamp(oldPos, 0, int(m_keys.size()) - 1));
}

void Table::invalidate(bool rowIdsChanged) {
    m_rowCache.clear();
    m_keysValid = false;
    m_positionsValid = false;
    if (m_state != TableState::Browse || !m_rowId)
        return;
    if (!rowIdsChanged) {
        loadCurrent();
        return;
    }
    // The old position means nothing any more: start at the first record.
    ensureKeys();
    m_pos = -1;
    if (m_keys.empty()) {
        m_rowId.reset();
        clearBuffer();
        m_bof = m_eof = true;
    } else {
        moveTo(0);
        m_bof = true;
    }
}

std::optional<qint64> Table::findFirst(const Condition& extra) {
    Condition cond = viewCondition();
    QString where = cond.sql;
    if (!extra.sql.isEmpty())
        where = where.isEmpty() ? extra.sql : where + QStringLiteral(" AND ") + extra.sql;
    cond.params.append(extra.params);
    // The whole record comes along, so moving onto it needs no second read.
    const QString sql =
        QStringLiteral("SELECT rowid, * FROM %1%2 ORDER BY %3")
            .arg(quoted(m_physical),
                 where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where, orderBy());
    StatementUse s(m_db->connection().cached(sql));
    s->bindAll(cond.params);
    const bool needsCheck = m_filtered && m_filterFunction;
    while (s->step()) {
        const qint64 id = s->int64(0);
        // Rows posted by others since the view was read are not part of it yet.
        if (!needsCheck && !m_keysValid)
            ensureKeys();
        if (positionOf(id) < 0)
            continue;
        const int n = int(m_def.fields.size());
        QVariantList row;
        row.reserve(n);
        for (int i = 0; i < n; ++i)
            row.append(readTyped(*s, i + 1, m_def.fields[i].type));
        m_rowCache.clear();
        m_rowCache.emplace(id, std::move(row));
        return id;
    }
    return std::nullopt;
}

bool Table::findKey(const QVariantList& key) {
    checkBrowseMode();
    const QStringList names = indexFieldNames();
    if (key.isEmpty() || key.size() > names.size())
        throw TableError(TableError::InvalidValue,
                         QStringLiteral("Ungültige Anzahl von Schlüsselwerten."));
    Condition extra;
    QStringList parts;
    for (int i = 0; i < key.size(); ++i) {
        const int fi = m_fieldIndex.value(names[i].toLower());
        const QVariant v = stored(fi, key[i]);
        if (v.isNull()) {
            parts.append(quoted(m_def.fields[fi].name) + QStringLiteral(" IS NULL"));
        } else {
            parts.append(columnExpr(fi, true) + QStringLiteral(" = ?"));
            extra.params.append(v);
        }
    }
    extra.sql = join(parts, " AND ");
    const std::optional<qint64> id = findFirst(extra);
    if (!id)
        return false;
    const int pos = positionOf(*id);
    if (pos < 0)
        return false;
    beforeScroll(*this);
    moveTo(pos);
    scrolled();
    return true;
}

void Table::findNearest(const QVariantList& key) {
    checkBrowseMode();
    const QStringList names = indexFieldNames();
    if (key.isEmpty() || key.size() > names.size())
        throw TableError(TableError::InvalidValue,
                         QStringLiteral("Ungültige Anzahl von Schlüsselwerten."));
    const IndexDef* idx = currentIndex();
    Condition extra;
    QStringList cols, marks;
    for (int i = 0; i < key.size(); ++i) {
        const int fi = m_fieldIndex.value(names[i].toLower());
        cols.append(columnExpr(fi, true));
        marks.append(QStringLiteral("?"));
        extra.params.append(stored(fi, key[i]));
    }
    extra.sql = QStringLiteral("(%1) %2 (%3)")
                    .arg(join(cols, ", "),
                         idx && idx->descending ? QStringLiteral("<=") : QStringLiteral(">="),
                         join(marks, ", "));
    const std::optional<qint64> id = findFirst(extra);
    const int pos = id ? positionOf(*id) : -1;
    if (pos < 0) {
        last();
        return;
    }
    beforeScroll(*this);
    moveTo(pos);
    scrolled();
}

void Table::setRange(const QVariantList& start, const QVariantList& end) {
    checkBrowseMode();
    m_rangeStart = start;
    m_rangeEnd = end;
    m_hasRange = true;
    m_keysValid = false;
    first();
}

void Table::cancelRange() {
    checkBrowseMode();
    m_hasRange = false;
    m_keysValid = false;
    first();
}

namespace {

struct LocateParts {
    QStringList parts;
    QVariantList params;
};

} // namespace

bool Table::locate(const QStringList& fields, const QVariantList& values, LocateOptions options) {
    checkBrowseMode();
    if (fields.size() != values.size() || fields.isEmpty())
        throw TableError(TableError::InvalidValue,
                         QStringLiteral("Ungültige Anzahl von Suchwerten."));
    Condition extra;
    QStringList parts;
    for (int i = 0; i < fields.size(); ++i) {
        const Field& f = field(fields[i]);
        if (f.isCalculated())
            throw TableError(TableError::InvalidValue,
                             QStringLiteral("Feld '%1' ist kein Suchfeld.").arg(f.name()));
        const QVariant v = stored(f.index(), values[i]);
        const QString col = quoted(f.name());
        if (v.isNull()) {
            parts.append(col + QStringLiteral(" IS NULL"));
            continue;
        }
        const QString collate = options.caseInsensitive && isTextType(f.type())
                                    ? QStringLiteral(" COLLATE DE")
                                    : QString();
        if (options.partialKey && isTextType(f.type())) {
            parts.append(QStringLiteral("substr(%1, 1, ?) = ?%2").arg(col, collate));
            extra.params.append(qint64(v.toString().size()));
        } else {
            parts.append(col + QStringLiteral(" = ?") + collate);
        }
        extra.params.append(v);
    }
    extra.sql = join(parts, " AND ");
    const std::optional<qint64> id = findFirst(extra);
    const int pos = id ? positionOf(*id) : -1;
    if (pos < 0)
        return false;
    beforeScroll(*this);
    moveTo(pos);
    scrolled();
    return true;
}

QVariant Table::lookup(const QStringList& fields, const QVariantList& values,
                       const QString& resultField) {
    checkOpen();
    const Field& result = field(resultField);
    Condition extra;
    QStringList parts;
    if (fields.size() != values.size() || fields.isEmpty())
        throw TableError(TableError::InvalidValue,
                         QStringLiteral("Ungültige Anzahl von Suchwerten."));
    for (int i = 0; i < fields.size(); ++i) {
        const Field& f = field(fields[i]);
        const QVariant v = stored(f.index(), values[i]);
        if (v.isNull()) {
            parts.append(quoted(f.name()) + QStringLiteral(" IS NULL"));
        } else {
            parts.append(quoted(f.name()) + QStringLiteral(" = ?"));
            extra.params.append(v);
        }
    }
    extra.sql = join(parts, " AND ");
    const std::optional<qint64> id = findFirst(extra);
    if (!id)
        return {};
    StatementUse s(m_db->connection().cached(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                                                 .arg(quoted(result.name()), quoted(m_physical))));
    s->bind(1, *id);
    return s->step() ? fromStored(result.type(), s->value(0)) : QVariant();
}

void Table::setFilter(const QString& expression) {
    Condition translated;
    if (!expression.trimmed().isEmpty()) {
        if (m_def.fields.isEmpty())
            findField(QString());
        const sqltext::SqlText where = sqltext::FilterExpr::parse(expression)
                                           .bind(sqltext::fieldsOf(m_def), m_filterCaseSensitivity)
                                           .sql();
        translated = {where.sql, where.params};
    }
    if (isOpen())
        checkBrowseMode();
    m_filterText = expression;
    m_filterCondition = translated;
    m_keysValid = false;
    if (isOpen() && m_filtered)
        first();
}

void Table::setFilterCaseInsensitive(bool caseInsensitive) {
    m_filterCaseSensitivity = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (!m_filterText.isEmpty())
        setFilter(m_filterText);
}

void Table::setFiltered(bool filtered) {
    if (isOpen())
        checkBrowseMode();
    m_filtered = filtered;
    m_keysValid = false;
    if (isOpen())
        first();
}

void Table::setFilterFunction(std::function<bool(Table&)> accept) {
    if (isOpen())
        checkBrowseMode();
    m_filterFunction = std::move(accept);
    m_keysValid = false;
    if (isOpen() && m_filtered)
        first();
}

void Table::setMaster(Table* master, const QStringList& masterFields,
                      const QStringList& detailFields) {
    if (master && masterFields.size() != detailFields.size())
        throw TableError(TableError::InvalidValue,
                         QStringLiteral("Ungültige Verknüpfung der Hauptdatenmenge."));
    if (m_master)
        m_master->m_details.removeAll(this);
    m_master = master;
    m_masterFields = masterFields;
    m_detailFields = detailFields;
    if (m_master)
        m_master->m_details.append(this);
    m_keysValid = false;
    if (isOpen())
        first();
}

void Table::masterChanged() {
    if (!isOpen())
        return;
    checkBrowseMode();
    m_keysValid = false;
    first();
}

void Table::setBufferValue(int index, const QVariant& value) {
    Field& f = *m_fields[size_t(index)];
    QVariant typed;
    if (f.isCalculated()) {
        m_values[index] = value;
        return;
    }
    if (!isEditing())
        throw TableError(
            TableError::InvalidState,
            QStringLiteral("Die Tabelle %1 ist nicht im Bearbeitungs- oder Einfügemodus.")
                .arg(m_tableName));
    typed = fromStored(f.type(), toStored(f.def(), value));
    QVariant old = m_values[index];
    m_values[index] = typed;
    try {
        f.onValidate(f);
    } catch (...) {
        m_values[index] = old;
        throw;
    }
    f.onChange(f);
    calcFields();
}

QString Table::keyText() const {
    return m_values.isEmpty() ? QString() : m_values.first().toString();
}

void Table::lockCurrent() {
    Session* s = m_db->session();
    if (!s)
        return;
    const QString key = keyText();
    s->lockRecord(m_db->lockKey(), m_physical, key);
    m_lockedKey = key;
}

void Table::unlockCurrent() {
    Session* s = m_db->session();
    if (!s || m_lockedKey.isNull())
        return;
    s->unlockRecord(m_db->lockKey(), m_physical, m_lockedKey);
    m_lockedKey = QString();
}

void Table::lockTable() {
    checkOpen();
    if (Session* s = m_db->session()) {
        s->lockTable(m_db->lockKey(), m_physical);
        m_tableLocked = true;
    }
}

void Table::unlockTable() {
    if (Session* s = m_db->session(); s && m_tableLocked)
        s->unlockTable(m_db->lockKey(), m_physical);
    m_tableLocked = false;
}

void Table::insert() {
    checkBrowseMode();
    if (m_readOnly)
        throw TableError(TableError::InvalidState,
                         QStringLiteral("Die Tabelle %1 ist schreibgeschützt.").arg(m_tableName));
    beforeInsert(*this);
    beforeScroll(*this);
    m_oldValues = m_values;
    clearBuffer();
    m_state = TableState::Insert;
    try {
        if (m_master && m_master->isOpen())
            for (int i = 0; i < m_detailFields.size(); ++i)
                if (Field* mf = m_master->findField(m_masterFields[i]))
                    field(m_detailFields[i]).setValue(mf->value());
        onNewRecord(*this);
        calcFields();
    } catch (...) {
        m_values = m_oldValues;
        m_state = TableState::Browse;
        throw;
    }
    afterInsert(*this);
    scrolled();
}

void Table::append() {
    insert();
}

void Table::appendRecord(const QVariantList& values) {
    append();
    try {
        for (int i = 0; i < values.size() && i < int(m_def.fields.size()); ++i)
            if (values[i].isValid())
                field(i).setValue(values[i]);
        post();
    } catch (...) {
        cancel();
        throw;
    }
}

void Table::edit() {
    checkOpen();
    m_rowCache.clear();
    if (isEditing())
        return;
    if (m_readOnly)
        throw TableError(TableError::InvalidState,
                         QStringLiteral("Die Tabelle %1 ist schreibgeschützt.").arg(m_tableName));
    ensureKeys();
    if (!m_rowId || (m_keys.empty() && m_pos < 0)) {
        insert();
        return;
    }
    beforeEdit(*this);
    lockCurrent();
    loadCurrent(); // the record as it is now, not as it was read
    if (m_rowMissing) {
        unlockCurrent();
        throw TableError(
            TableError::RecordDeleted,
            QStringLiteral("Der Datensatz wurde von einem anderen Benutzer gelöscht."));
    }
    m_oldValues = m_values;
    m_state = TableState::Edit;
    afterEdit(*this);
}

void Table::writeRecord() {
    Connection& c = m_db->connection();
    if (Session* s = m_db->session())
        s->checkWritable(m_db->lockKey(), m_physical);
    const int n = int(m_def.fields.size());
    if (m_state == TableState::Insert) {
        StatementUse s(slotStatement(m_insertSlot, [&] {
            QStringList cols, marks;
            for (const auto& f : m_def.fields) {
                cols.append(quoted(f.name));
                // An engine-numbered field gets the next number unless a value is given.
                marks.append(
                    f.type == FieldType::AutoInc
                        ? QStringLiteral("COALESCE(?, (SELECT IFNULL(MAX(%1), 0) + 1 FROM %2))")
                              .arg(quoted(f.name), quoted(m_physical))
                        : QStringLiteral("?"));
            }
            return QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                .arg(quoted(m_physical), join(cols, ", "), join(marks, ", "));
        }));
        for (int i = 0; i < n; ++i)
            s->bind(i + 1, stored(i, m_values[i]));
        s->step();
        m_rowId = c.lastInsertRowId();
    } else {
        StatementUse s(slotStatement(m_updateSlot, [&] {
            QStringList sets;
            for (const auto& f : m_def.fields)
                sets.append(quoted(f.name) + QStringLiteral(" = ?"));
            return QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                .arg(quoted(m_physical), join(sets, ", "));
        }));
        for (int i = 0; i < n; ++i)
            s->bind(i + 1, stored(i, m_values[i]));
        s->bind(n + 1, *m_rowId);
        s->step();
        if (c.changes() == 0)
            throw TableError(
                TableError::RecordDeleted,
                QStringLiteral("Der Datensatz wurde von einem anderen Benutzer gelöscht."));
    }
}

void Table::post() {
    checkOpen();
    if (!isEditing())
        return;
    try {
        beforePost(*this);
        for (;;) {
            try {
                writeRecord();
                break;
            } catch (const TableError& e) {
                if (!onPostError)
                    throw;
                switch (onPostError(*this, e)) {
                case PostErrorAction::Retry:
                    continue;
                case PostErrorAction::Abort:
                    throw Abort{};
                case PostErrorAction::Fail:
                    throw;
                }
            }
        }
    } catch (...) {
        postFailed(*this);
        throw;
    }
    const bool wasInsert = m_state == TableState::Insert;
    m_db->noteTableWritten(m_physical);
    m_rowCache.clear();
    unlockCurrent();
    m_state = TableState::Browse;
    // The view is read again lazily: a loop of appends costs no re-read.
    m_keysValid = false;
    m_pos = -1;
    // Only engine-numbered fields differ from what was written.
    if (wasInsert && std::any_of(m_def.fields.cbegin(), m_def.fields.cend(),
                                 [](const FieldDef& f) { return f.type == FieldType::AutoInc; }))
        loadCurrent();
    m_bof = m_eof = false;
    afterPost(*this);
    for (Table* d : QList<Table*>(m_details))
        d->masterChanged();
}

void Table::cancel() {
    checkOpen();
    if (!isEditing())
        return;
    beforeCancel(*this);
    unlockCurrent();
    m_values = m_oldValues;
    m_state = TableState::Browse;
    afterCancel(*this);
}

void Table::deleteRecord() {
    checkOpen();
    if (m_readOnly)
        throw TableError(TableError::InvalidState,
                         QStringLiteral("Die Tabelle %1 ist schreibgeschützt.").arg(m_tableName));
    if (m_state == TableState::Insert) {
        cancel();
        return;
    }
    ensureKeys();
    if (!m_rowId || m_pos < 0)
        throw TableError(
            TableError::InvalidState,
            QStringLiteral("Die Tabelle %1 enthält keinen aktuellen Datensatz.").arg(m_tableName));
    try {
        beforeDelete(*this);
        beforeScroll(*this);
        const bool hadLock = !m_lockedKey.isNull();
        if (!hadLock)
            lockCurrent();
        try {
            if (Session* s = m_db->session())
                s->checkWritable(m_db->lockKey(), m_physical);
            Connection& c = m_db->connection();
            StatementUse s(
                c.cached(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(m_physical))));
            s->bind(1, *m_rowId);
            s->step();
            if (c.changes() == 0)
                throw TableError(
                    TableError::RecordDeleted,
                    QStringLiteral("Der Datensatz wurde von einem anderen Benutzer gelöscht."));
        } catch (const TableError& e) {
            unlockCurrent();
            if (e.kind() == TableError::RecordDeleted) {
                // Drop it from the view so a loop over the table moves on.
                m_keys.erase(m_keys.begin() + m_pos);
                m_positionsValid = false;
                m_state = TableState::Browse;
                if (m_keys.empty()) {
                    m_rowId.reset();
                    m_pos = -1;
                    clearBuffer();
                    m_bof = m_eof = true;
                } else {
                    moveTo(std::min(m_pos, int(m_keys.size()) - 1));
                }
            }
            throw;
        }
    } catch (...) {
        deleteFailed(*this);
        throw;
    }
    unlockCurrent();
    // This cursor's own view is corrected in place; the others read theirs again.
    const bool viewWasCurrent = m_seenTableWrites == m_db->tableWrites(m_physical);
    m_db->noteTableWritten(m_physical);
    if (viewWasCurrent) {
        m_seenSerial = m_db->writeSerial();
        m_seenTableWrites = m_db->tableWrites(m_physical);
    }
    m_rowCache.erase(*m_rowId);
    m_keys.erase(m_keys.begin() + m_pos);
    m_positionsValid = false;
    m_state = TableState::Browse;
    if (m_keys.empty()) {
        m_rowId.reset();
        m_pos = -1;
        clearBuffer();
        m_bof = m_eof = true;
    } else {
        const bool wasLast = m_pos >= int(m_keys.size());
        moveTo(std::min(m_pos, int(m_keys.size()) - 1));
        m_eof = wasLast;
    }
    afterDelete(*this);
    scrolled();
}

} // namespace table
