#include "platform/table/table.h"

#include "platform/sql/filterexpr.h"
#include "platform/table/backend.h"
#include "platform/table/cursordetail.h"
#include "platform/table/session.h"
#include "platform/table/values.h"

#include <algorithm>

namespace table {

using namespace detail;

Table::Table(std::shared_ptr<Database> db, const QString& tableName) : m_db(std::move(db)) {
    if (!m_db)
        throw TableError(TableError::NotFound,
                         QStringLiteral("Die Datenbank für %1 ist nicht geöffnet.").arg(tableName));
    setTableName(tableName);
    m_db->adoptCursor(this);
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
    if (m_db) {
        m_db->detach(this);
        m_db->releaseCursor(this);
    }
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
    m_fieldIndexExact.clear();
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
    m_fieldIndexExact.insert(name, index);
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
        const Database::FieldNames& names = m_db->fieldNames(m_def);
        m_fieldIndex = names.lower;
        m_fieldIndexExact = names.exact;
        int i = 0;
        for (const auto& def : m_def.fields)
            m_fields.push_back(std::make_unique<Field>(*this, def, i++, false));
        for (const auto& def : m_calcDefs) {
            m_fieldIndex.insert(def.name.toLower(), i);
            m_fieldIndexExact.insert(def.name, i);
            m_fields.push_back(std::make_unique<Field>(*this, def, i++, true));
        }
        m_values = QVariantList(i);
        m_oldValues = m_values;
    }
    auto it = m_fieldIndexExact.constFind(name);
    if (it == m_fieldIndexExact.cend()) {
        it = m_fieldIndex.constFind(name.toLower());
        if (it == m_fieldIndex.cend())
            return nullptr;
    }
    return m_fields[size_t(*it)].get();
}

void Table::open() {
    openView(true);
}

void Table::openForSearch() {
    openView(false);
}

void Table::openView(bool readAhead) {
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
        m_fieldIndexExact.clear();
    }
    findField(QString());
    m_def = def;
    clearSlots();
    m_dirty.assign(size_t(m_def.fields.size()), 0);
    if (Session* s = m_db->session()) {
        s->registerOpen(m_db->lockKey(), m_physical, m_exclusive);
        m_registered = true;
        m_registeredExclusive = m_exclusive;
    }
    m_db->attach(this);
    m_state = TableState::Browse;
    m_writes = &m_db->tableWriteCounter(m_physical);
    m_seenWrites = *m_writes;
    m_rowId.reset();
    m_place = Place::Outside;
    try {
        m_keyIsRowId = m_db->keyIsRowId(m_def);
        buildKeyParts();
        viewChanged();
        if (!readAhead) {
            clearBuffer();
            m_bof = m_eof = true;
            afterOpen(*this);
            return;
        }
        m_count = countAll(); // the view as opened; others' later rows show after refresh()
        std::vector<Row>& rows = m_spare;
        fetch(false, nullptr, kEndFetch, rows);
        const bool empty = rows.empty();
        if (empty) {
            clearBuffer();
        } else {
            showWindow(rows, false, 0);
            m_recNo = 1;
        }
        m_bof = true;
        m_eof = empty;
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
        m_db->session()->unregisterOpen(m_db->lockKey(), m_physical, m_registeredExclusive);
        m_registered = false;
    }
    m_state = TableState::Inactive;
    forgetView();
    m_rowId.reset();
    m_key.clear();
    m_place = Place::Outside;
    m_eof = m_bof = true;
    clearBuffer();
    m_db->detach(this);
    notifyDetails();
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
    if (!isOpen())
        return;
    buildKeyParts();
    viewChanged();
    // The record stays current; its key in the new order is read when needed.
    if (m_rowId) {
        m_place = Place::Unknown;
        m_fallback = Place::Outside;
    }
}

Table::Row Table::currentKey() const {
    Row row;
    row.rowId = m_rowId.value_or(0);
    row.key = m_key;
    return row;
}

// Makes a row read from the view the current record, without events.
void Table::takeRow(const Row& row, quint64 readInTransaction) {
    m_rowId = row.rowId;
    m_key = row.key;
    if (row.values.size() == m_values.size()) {
        m_values = row.values; // shared until either is written
    } else {
        const int n = int(m_def.fields.size());
        for (int i = 0; i < m_values.size(); ++i)
            m_values[i] = i < n ? row.values.value(i) : QVariant();
    }
    m_rowMissing = false;
    m_place = Place::InView;
    m_rowTransaction = readInTransaction;
    m_rowWrites = m_writes ? *m_writes : 0;
    m_bof = m_eof = false;
    calcFields();
}

// Keeps rows read in the direction of travel and makes one of them current.
void Table::showWindow(std::vector<Row>& rows, bool backward, int index) {
    if (backward) {
        std::reverse(rows.begin(), rows.end());
        index = int(rows.size()) - 1 - index;
    }
    m_window.swap(rows);
    m_windowPos = index;
    m_windowTransaction = transactionNow();
    takeRow(m_window[size_t(index)], m_windowTransaction);
}

void Table::dropWindow() {
    m_window.clear();
    m_windowPos = -1;
}

void Table::clearBuffer() {
    for (auto& v : m_values)
        v = QVariant();
}

void Table::loadCurrent() {
    if (!m_rowId) {
        clearBuffer();
        return;
    }
    Row row;
    {
        StatementUse s(viewStatement(sig::RowById));
        s->bindInt64(1, *m_rowId);
        m_rowMissing = !s->step();
        if (!m_rowMissing)
            readRow(*s, row);
    }
    const int n = int(m_def.fields.size());
    for (int i = 0; i < m_values.size(); ++i)
        m_values[i] = (!m_rowMissing && i < n) ? row.values[i] : QVariant();
    if (!m_rowMissing) {
        m_key = row.key;
        m_rowTransaction = transactionNow();
        m_rowWrites = m_writes ? *m_writes : 0;
    }
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

// A before-scroll handler wrote to the table: the record moved onto is read again.
void Table::rereadIfWritten(qint64 rowId) {
    if (!m_writes || *m_writes == m_seenWrites)
        return;
    syncWrites();
    m_rowId = rowId;
    loadCurrent();
    m_place = Place::Unknown;
    m_fallback = Place::Gap;
}

void Table::scrolled() {
    notifyDetails();
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
    syncWrites();
    std::vector<Row>& rows = m_spare;
    fetch(toLast, nullptr, kEndFetch, rows);
    m_fetchSize = 2 * kEndFetch;
    if (rows.empty()) {
        m_rowId.reset();
        m_key.clear();
        m_place = Place::Outside;
        dropWindow();
        clearBuffer();
        m_count = 0;
        m_recNo.reset();
    } else {
        showWindow(rows, toLast, 0);
        if (!toLast)
            m_recNo = 1;
        else if (m_count)
            m_recNo = *m_count;
        else
            m_recNo.reset();
    }
    // An empty view is at both ends at once.
    m_bof = !toLast || !m_rowId;
    m_eof = toLast || !m_rowId;
    scrolled();
}

void Table::moveBy(int distance) {
    checkBrowseMode();
    syncWrites();
    resolvePlace();
    if (!m_rowId || m_place == Place::Outside) {
        // No current record in the view (none yet, or posted outside it): start anew.
        std::vector<Row>& rows = m_spare;
        fetch(false, nullptr, kEndFetch, rows);
        if (rows.empty()) {
            m_bof = m_eof = true;
            return;
        }
        beforeScroll(*this);
        showWindow(rows, false, 0);
        m_recNo = 1;
        m_bof = true;
        rereadIfWritten(m_window.front().rowId);
        scrolled();
        return;
    }
    if (distance == 0) {
        beforeScroll(*this);
        loadCurrent();
        scrolled();
        return;
    }
    const bool backward = distance < 0;
    const qint64 steps = backward ? -qint64(distance) : qint64(distance);
    const bool inView = m_place == Place::InView;
    int target = -1;
    bool clamped = false;
    if (inView && m_windowPos >= 0) {
        const qint64 t = m_windowPos + (backward ? -steps : steps);
        if (t >= 0 && t < qint64(m_window.size()))
            target = int(t);
    }
    if (target < 0) {
        // Past what was read ahead: read on from the current key.
        const bool sequential =
            inView && m_windowPos >= 0 &&
            (backward ? m_windowPos == 0 : m_windowPos == int(m_window.size()) - 1);
        const int size = sequential ? m_fetchSize : kJumpFetch;
        m_fetchSize = std::min(kMaxFetch, size * 2);
        std::vector<Row>& rows = m_spare;
        const Row from = currentKey();
        fetch(backward, &from, int(std::max<qint64>(steps, size)), rows);
        if (qint64(rows.size()) < steps) {
            if (!inView || rows.empty()) {
                // At the end; a record removed elsewhere stays where it was.
                if (!inView && rows.empty() && viewIsEmpty())
                    m_bof = m_eof = true;
                else
                    (backward ? m_bof : m_eof) = true;
                return;
            }
            clamped = true;
        }
        const int index = int(std::min<qint64>(steps, qint64(rows.size()))) - 1;
        if (m_recNo && inView)
            m_recNo = *m_recNo + (backward ? -(index + 1) : index + 1);
        else
            m_recNo.reset();
        beforeScroll(*this);
        showWindow(rows, backward, index);
    } else {
        if (m_recNo)
            m_recNo = *m_recNo + (target - m_windowPos);
        beforeScroll(*this);
        m_windowPos = target;
        takeRow(m_window[size_t(target)], m_windowTransaction);
    }
    rereadIfWritten(*m_rowId);
    if (clamped)
        (backward ? m_bof : m_eof) = true;
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
    syncWrites();
    return viewIsEmpty();
}

int Table::recNo() {
    checkOpen();
    if (m_state == TableState::Insert)
        return 0;
    syncWrites();
    if (!m_rowId)
        return 0;
    if (m_recNo)
        return *m_recNo;
    resolvePlace();
    if (m_place != Place::InView)
        return 0;
    m_recNo = countBefore() + 1;
    return *m_recNo;
}

void Table::setRecNo(int recNo) {
    checkBrowseMode();
    syncWrites();
    const int count = recordCount();
    if (count == 0)
        return;
    const int target = std::clamp(recNo, 1, count);
    resolvePlace();
    std::vector<Row> rows = rowsAt(target, count);
    if (rows.empty())
        return; // the view shrank under the count: nothing to move onto
    beforeScroll(*this);
    const bool block = rows.size() > 1;
    showWindow(rows, false, 0);
    m_recNo = target;
    m_fetchSize = block ? 2 * kEndFetch : kJumpFetch;
    rereadIfWritten(*m_rowId);
    scrolled();
}

int Table::recordCount() {
    checkOpen();
    syncWrites();
    if (!m_count)
        m_count = countAll();
    return *m_count;
}

Bookmark Table::bookmark() const {
    return Bookmark{m_rowId.value_or(0), m_rowId.has_value()};
}

bool Table::bookmarkValid(const Bookmark& mark) {
    return mark.valid && isOpen() && rowInView(mark.rowId).has_value();
}

void Table::gotoBookmark(const Bookmark& mark) {
    checkBrowseMode();
    syncWrites();
    std::optional<Row> row = mark.valid ? rowInView(mark.rowId) : std::nullopt;
    if (!row)
        throw TableError(TableError::NotFound, QStringLiteral("Datensatz nicht gefunden."));
    m_spare.assign(1, std::move(*row));
    jumpToSpare();
}

// Moves onto the row found by a search (in m_spare), with the scroll events.
void Table::jumpToSpare() {
    beforeScroll(*this);
    showWindow(m_spare, false, 0);
    m_recNo.reset();
    m_fetchSize = kJumpFetch;
    rereadIfWritten(*m_rowId);
    scrolled();
}

void Table::refresh() {
    checkBrowseMode();
    syncWrites();
    forgetView();
    m_conditionValid = false;
    m_count = countAll(); // the view as it is now, others' rows included
    if (m_rowId) {
        if (std::optional<Row> row = rowInView(*m_rowId)) {
            loadCurrent();
            m_key = row->key;
            m_place = Place::InView;
            return;
        }
    }
    if (*m_count == 0) {
        m_rowId.reset();
        m_key.clear();
        m_place = Place::Outside;
        m_bof = m_eof = true;
        clearBuffer();
        return;
    }
    // The record that took the place of the current one, else the last.
    std::vector<Row> rows;
    if (m_rowId && m_place != Place::Outside) {
        const Row from = currentKey();
        fetch(false, &from, 1, rows);
        if (rows.empty())
            fetch(true, nullptr, 1, rows);
    } else {
        fetch(false, nullptr, 1, rows);
    }
    if (rows.empty())
        return;
    showWindow(rows, false, 0);
}

void Table::invalidate(bool rowIdsChanged) {
    if (!isOpen())
        return;
    forgetView();
    m_conditionValid = false;
    if (m_writes)
        m_seenWrites = *m_writes;
    if (m_place == Place::InView) {
        m_place = Place::Unknown;
        m_fallback = Place::Gap;
    }
    if (m_state != TableState::Browse || !m_rowId)
        return;
    if (!rowIdsChanged) {
        loadCurrent();
        return;
    }
    // The old position means nothing any more: start at the first record.
    std::vector<Row> rows;
    fetch(false, nullptr, kEndFetch, rows);
    if (rows.empty()) {
        m_rowId.reset();
        m_key.clear();
        m_place = Place::Outside;
        clearBuffer();
        m_bof = m_eof = true;
    } else {
        showWindow(rows, false, 0);
        m_recNo = 1;
        m_bof = true;
    }
}

bool Table::findKey(const QVariantList& key) {
    checkBrowseMode();
    syncWrites();
    if (key.isEmpty() || key.size() > qsizetype(m_indexFields.size()) || key.size() > 4)
        throw TableError(TableError::InvalidValue,
                         QStringLiteral("Ungültige Anzahl von Schlüsselwerten."));
    Condition extra;
    quint32 nullMask = 0;
    for (int i = 0; i < key.size(); ++i) {
        const QVariant v = stored(m_indexFields[size_t(i)], key[i]);
        if (v.isNull())
            nullMask |= 1u << i;
        else
            extra.params.append(v);
    }
    m_spare.resize(1);
    if (!findFirst(extra, m_spare.front(),
                   sig::FindKey | quint32(key.size()) << sig::kStartShift |
                       nullMask << sig::kNullShift))
        return false;
    jumpToSpare();
    return true;
}

void Table::findNearest(const QVariantList& key) {
    checkBrowseMode();
    syncWrites();
    if (key.isEmpty() || key.size() > qsizetype(m_indexFields.size()))
        throw TableError(TableError::InvalidValue,
                         QStringLiteral("Ungültige Anzahl von Schlüsselwerten."));
    const IndexDef* idx = currentIndex();
    Condition extra;
    QStringList cols, marks;
    for (int i = 0; i < key.size(); ++i) {
        const int fi = m_indexFields[size_t(i)];
        cols.append(columnExpr(fi, true));
        marks.append(QStringLiteral("?"));
        extra.params.append(stored(fi, key[i]));
    }
    extra.sql = QStringLiteral("(%1) %2 (%3)")
                    .arg(join(cols, ", "),
                         idx && idx->descending ? QStringLiteral("<=") : QStringLiteral(">="),
                         join(marks, ", "));
    m_spare.resize(1);
    if (!findFirst(extra, m_spare.front())) {
        last();
        return;
    }
    jumpToSpare();
}

void Table::setRange(const QVariantList& start, const QVariantList& end) {
    checkBrowseMode();
    m_rangeStart = start;
    m_rangeEnd = end;
    m_hasRange = true;
    viewChanged();
    first();
}

void Table::cancelRange() {
    checkBrowseMode();
    m_hasRange = false;
    viewChanged();
    first();
}

bool Table::locate(const QStringList& fields, const QVariantList& values, LocateOptions options) {
    checkBrowseMode();
    syncWrites();
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
            parts.append((collate.isEmpty() ? seekExpr(f.index()) : col) + QStringLiteral(" = ?") +
                         collate);
        }
        extra.params.append(v);
    }
    extra.sql = join(parts, " AND ");
    m_spare.resize(1);
    if (!findFirst(extra, m_spare.front()))
        return false;
    jumpToSpare();
    return true;
}

QVariant Table::lookup(const QStringList& fields, const QVariantList& values,
                       const QString& resultField) {
    checkOpen();
    syncWrites();
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
            parts.append(seekExpr(f.index()) + QStringLiteral(" = ?"));
            extra.params.append(v);
        }
    }
    extra.sql = join(parts, " AND ");
    Row row;
    if (!findFirst(extra, row))
        return {};
    StatementUse s(m_db->connection().cached(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                                                 .arg(quoted(result.name()), quoted(m_physical))));
    s->bind(1, row.rowId);
    return s->step() ? fromStored(result.type(), s->value(0)) : QVariant();
}

void Table::setFilter(const QString& expression) {
    Condition translated;
    if (!expression.trimmed().isEmpty()) {
        if (m_def.fields.isEmpty())
            findField(QString());
        const sqltext::SqlText where = sqltext::FilterExpr::parse(expression)
                                           .bind(sqltext::fieldsOf(m_def), m_filterCaseSensitivity)
                                           .sql([this](const QString& name) {
                                               const Field* f = findField(name);
                                               return f && seeksCollated(f->index());
                                           });
        translated = {where.sql, where.params};
    }
    if (isOpen())
        checkBrowseMode();
    m_filterText = expression;
    m_filterCondition = translated;
    viewChanged();
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
    viewChanged();
    if (isOpen())
        first();
}

void Table::setFilterFunction(std::function<bool(Table&)> accept) {
    if (isOpen())
        checkBrowseMode();
    m_filterFunction = std::move(accept);
    viewChanged();
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
    viewChanged();
    if (isOpen())
        first();
}

void Table::notifyDetails() {
    if (m_detailsHeld > 0)
        return;
    for (Table* d : QList<Table*>(m_details))
        d->masterChanged();
}

void Table::releaseDetails() {
    if (m_detailsHeld > 0 && --m_detailsHeld == 0)
        notifyDetails();
}

void Table::masterChanged() {
    if (!isOpen())
        return;
    checkBrowseMode();
    viewChanged();
    first();
}

void Table::setBufferValue(int index, const QVariant& value) {
    Field& f = *m_fields[size_t(index)];
    if (f.isCalculated()) {
        m_values[index] = value;
        return;
    }
    if (!isEditing())
        throw TableError(
            TableError::InvalidState,
            QStringLiteral("Die Tabelle %1 ist nicht im Bearbeitungs- oder Einfügemodus.")
                .arg(m_tableName));
    QVariant typed = toTyped(f.def(), value);
    QVariant old = m_values[index];
    m_values[index] = std::move(typed);
    try {
        f.onValidate(f);
    } catch (...) {
        m_values[index] = old;
        throw;
    }
    m_dirty[size_t(index)] = 1;
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
    std::fill(m_dirty.begin(), m_dirty.end(), 0);
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
    if (isEditing())
        return;
    if (m_readOnly)
        throw TableError(TableError::InvalidState,
                         QStringLiteral("Die Tabelle %1 ist schreibgeschützt.").arg(m_tableName));
    syncWrites();
    if (!m_rowId) {
        insert();
        return;
    }
    if (m_place != Place::InView) {
        // Gone from an empty view: a new record, as on an empty table.
        resolvePlace();
        if (m_place != Place::InView && viewIsEmpty()) {
            insert();
            return;
        }
    }
    beforeEdit(*this);
    lockCurrent();
    if (!rowIsFresh()) {
        loadCurrent(); // the record as it is now, not as it was read
        if (m_rowMissing) {
            unlockCurrent();
            recordDeleted();
        }
    }
    m_oldValues = m_values;
    std::fill(m_dirty.begin(), m_dirty.end(), 0);
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
            bindTyped(*s, i + 1, m_def.fields[i], m_values[i]);
        s->step();
        m_rowId = c.lastInsertRowId();
        return;
    }
    // Only the fields set since edit() are written.
    std::string mask(size_t(n), '0');
    for (int i = 0; i < n; ++i)
        if (m_dirty[size_t(i)])
            mask[size_t(i)] = '1';
    StatementUse s(slotStatement(m_updateSlots[mask], [&] {
        QStringList sets;
        for (int i = 0; i < n; ++i)
            if (mask[size_t(i)] == '1')
                sets.append(quoted(m_def.fields[i].name) + QStringLiteral(" = ?"));
        // Nothing changed: still a write, so a record deleted meanwhile is noticed.
        if (sets.isEmpty())
            sets.append(quoted(m_def.fields.first().name) + QStringLiteral(" = ") +
                        quoted(m_def.fields.first().name));
        return QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
            .arg(quoted(m_physical), join(sets, ", "));
    }));
    int index = 0;
    for (int i = 0; i < n; ++i)
        if (m_dirty[size_t(i)])
            bindTyped(*s, ++index, m_def.fields[i], m_values[i]);
    s->bindInt64(++index, *m_rowId);
    s->step();
    if (c.changes() == 0)
        recordDeleted();
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
    const bool viewWasCurrent = *m_writes == m_seenWrites;
    m_db->noteTableWritten(*m_writes);
    unlockCurrent();
    m_state = TableState::Browse;
    afterOwnPost(wasInsert, viewWasCurrent);
    m_bof = m_eof = false;
    afterPost(*this);
    notifyDetails();
}

// What this cursor knows after writing its record: the record's new key, and
// how much of what it read of the view still holds.
void Table::afterOwnPost(bool wasInsert, bool viewWasCurrent) {
    const QVariantList oldKey = m_key;
    // Only engine-numbered fields differ from what was written.
    if (wasInsert && std::any_of(m_def.fields.cbegin(), m_def.fields.cend(),
                                 [](const FieldDef& f) { return f.type == FieldType::AutoInc; })) {
        loadCurrent();
    } else {
        const int keys = int(m_keyParts.size()) - 1;
        m_key.resize(keys);
        for (int p = 0; p < keys; ++p) {
            const int fi = m_keyParts[size_t(p)].field;
            if (wasInsert || m_dirty[size_t(fi)])
                m_key[p] = stored(fi, m_values[fi]);
        }
        m_rowMissing = false;
        m_rowTransaction = transactionNow();
    }
    // An integer key is the row id: a changed key moved the record.
    const bool moved = !wasInsert && m_keyIsRowId && m_dirty[0];
    if (moved)
        m_rowId = m_values.first().toLongLong();
    std::fill(m_dirty.begin(), m_dirty.end(), 0);
    // The fields not written may have been changed by others meanwhile.
    if (!viewWasCurrent)
        m_rowTransaction = 0;
    m_rowWrites = *m_writes;
    const bool keyKept = !wasInsert && !moved && m_key == oldKey && m_place == Place::InView;
    if (!viewWasCurrent) {
        syncWrites();
        m_place = Place::Unknown;
        m_fallback = Place::Outside;
        return;
    }
    m_seenWrites = *m_writes;
    if (narrowed()) {
        // The record may have left the view, or entered it.
        forgetView();
        m_place = Place::Unknown;
        m_fallback = Place::Outside;
        return;
    }
    if (wasInsert) {
        dropWindow();
        m_recNo.reset();
        if (m_count)
            ++*m_count;
    } else if (!keyKept) {
        dropWindow();
        m_recNo.reset();
    } else if (m_windowPos >= 0) {
        // Still in its place: the rows read around it hold.
        m_window[size_t(m_windowPos)].values = m_values;
    }
    m_place = Place::InView;
}

void Table::cancel() {
    checkOpen();
    if (!isEditing())
        return;
    beforeCancel(*this);
    unlockCurrent();
    m_values = m_oldValues;
    std::fill(m_dirty.begin(), m_dirty.end(), 0);
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
    syncWrites();
    resolvePlace();
    if (!m_rowId || m_place != Place::InView)
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
            s->bindInt64(1, *m_rowId);
            s->step();
            if (c.changes() == 0)
                recordDeleted();
        } catch (const TableError& e) {
            unlockCurrent();
            if (e.kind() == TableError::RecordDeleted) {
                // Drop it from the view so a loop over the table moves on.
                m_state = TableState::Browse;
                if (m_count)
                    --*m_count;
                stepAfterDelete(true);
            }
            throw;
        }
    } catch (...) {
        deleteFailed(*this);
        throw;
    }
    unlockCurrent();
    // This cursor's own view is corrected in place; the others read theirs again.
    const bool viewWasCurrent = *m_writes == m_seenWrites;
    m_db->noteTableWritten(*m_writes);
    if (viewWasCurrent) {
        m_seenWrites = *m_writes;
        if (m_count)
            --*m_count;
    } else {
        syncWrites();
    }
    m_state = TableState::Browse;
    stepAfterDelete(false);
    afterDelete(*this);
    scrolled();
}

// Moves from a record just deleted (or found deleted) to the one that
// followed it, else to the new last record.
void Table::stepAfterDelete(bool silent) {
    std::vector<Row> rows;
    const Row from = currentKey();
    const std::optional<int> recNo = m_recNo;
    m_recNo.reset();
    if (m_windowPos >= 0) {
        m_window.erase(m_window.begin() + m_windowPos);
        if (m_windowPos >= int(m_window.size()))
            m_windowPos = -1;
    }
    if (m_windowPos >= 0) {
        takeRow(m_window[size_t(m_windowPos)], m_windowTransaction);
        m_recNo = recNo;
        return;
    }
    fetch(false, &from, kJumpFetch, rows);
    if (!rows.empty()) {
        showWindow(rows, false, 0);
        m_recNo = recNo;
        return;
    }
    fetch(true, &from, 1, rows);
    if (rows.empty()) {
        m_rowId.reset();
        m_key.clear();
        m_place = Place::Outside;
        dropWindow();
        clearBuffer();
        m_bof = m_eof = true;
        return;
    }
    showWindow(rows, true, 0);
    m_eof = !silent; // the deleted record was the last
}

} // namespace table
