#include "platform/table/backend.h"
#include "platform/table/cursordetail.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

#include <algorithm>

// How a cursor reads its view: the order and condition, the statements that
// seek from a key, and the counts.
namespace table {

using namespace detail;

// A band of the order after (or before) a key: the rows that share the key's
// first parts and follow it in the next part. Bands in sequence cover all
// rows past the key, each read by one index seek.
struct Table::Band {
    quint32 signature = 0;
    QVariantList params;
};

// The view's order: the index's fields with its collation and direction,
// then the row id; for the primary index of an integer key the row id alone.
void Table::buildKeyParts() {
    m_keyParts.clear();
    m_indexFields.clear();
    m_key.clear();
    const IndexDef* idx = currentIndex();
    for (const QString& name : indexFieldNames())
        m_indexFields.push_back(m_fieldIndex.value(name.toLower()));
    m_keyUnique = !idx || idx->unique;
    if (idx || !m_keyIsRowId) {
        for (int fi : m_indexFields)
            m_keyParts.push_back({columnExpr(fi, true), idx && idx->descending, fi});
    }
    m_keyParts.push_back({QStringLiteral("rowid"), false, -1});
    // Statements of the old order are of no use any more.
    m_viewSlots.clear();
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

bool Table::seeksCollated(int fieldIndex) const {
    // A collation decides nothing between numbers, but the engine uses an
    // index only for a test under the index's own collation.
    if (fieldIndex <= 0 || fieldIndex >= m_def.fields.size())
        return false; // the primary key, or calculated
    const FieldDef& f = m_def.fields[fieldIndex];
    if (sqlType(f.type) != QLatin1String("INTEGER") && sqlType(f.type) != QLatin1String("REAL"))
        return false;
    // A field that only case-insensitive indexes hold is compared under their
    // collation wherever it stands in them: a lookup by several of their
    // fields then uses the whole index, not only its first field. A field
    // that plain indexes hold as well keeps the collation only where it
    // leads a case-insensitive index.
    bool leadsCollated = false, inCollated = false, inPlain = false;
    for (const IndexDef& idx : m_def.indexes)
        for (qsizetype i = 0; i < idx.fields.size(); ++i) {
            if (idx.fields[i].compare(f.name, Qt::CaseInsensitive) != 0)
                continue;
            (idx.caseInsensitive ? inCollated : inPlain) = true;
            leadsCollated = leadsCollated || (idx.caseInsensitive && i == 0);
        }
    return leadsCollated || (inCollated && !inPlain);
}

QString Table::seekExpr(int fieldIndex) const {
    const QString expr = quoted(m_fields[size_t(fieldIndex)]->name());
    return seeksCollated(fieldIndex) ? expr + QStringLiteral(" COLLATE DE") : expr;
}

QString Table::orderBy(bool backward) const {
    QStringList cols;
    for (const KeyPart& p : m_keyParts)
        cols.append(p.descending != backward ? p.expr + QStringLiteral(" DESC") : p.expr);
    return join(cols, ", ");
}

QVariant Table::stored(int fieldIndex, const QVariant& value) const {
    return toStored(m_def.fields[fieldIndex], value);
}

Table::Condition Table::viewCondition(int bounds, int* rangeFields, int* present) const {
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
            const int which = lower ? kStartBound : kEndBound;
            if (present)
                *present |= which;
            if (!(bounds & which))
                return;
            QStringList cols, marks;
            for (int i = 0; i < n; ++i) {
                const int fi = m_fieldIndex.value(names[i].toLower());
                cols.append(columnExpr(fi, true));
                marks.append(QStringLiteral("?"));
                params.append(stored(fi, values[i]));
            }
            if (rangeFields)
                *rangeFields = std::max(*rangeFields, n);
            const bool greater = lower != desc;
            parts.append(QStringLiteral("(%1) %2 (%3)")
                             .arg(join(cols, ", "),
                                  greater ? QStringLiteral(">=") : QStringLiteral("<="),
                                  join(marks, ", ")));
        };
        bound(m_rangeStart, true);
        bound(m_rangeEnd, false);
        // What the two bounds imply on their own: the fields both hold equal,
        // and the next one between them. The engine seeks on these where it
        // would scan the index for the comparisons of whole rows; every row
        // of the view passes them, so they hold for each band as well.
        const int both = int(std::min({m_rangeStart.size(), m_rangeEnd.size(), names.size()}));
        for (int i = 0; i < both; ++i) {
            const QVariant& from = m_rangeStart[i];
            const QVariant& to = m_rangeEnd[i];
            if (from.isNull() || to.isNull())
                break;
            const int fi = m_fieldIndex.value(names[i].toLower());
            const QVariant low = stored(fi, from);
            const QVariant high = stored(fi, to);
            const QString col = columnExpr(fi, true);
            if (low == high) {
                parts.append(col + QStringLiteral(" = ?"));
                params.append(low);
                continue;
            }
            parts.append(col + (desc ? QStringLiteral(" <= ?") : QStringLiteral(" >= ?")));
            params.append(low);
            parts.append(col + (desc ? QStringLiteral(" >= ?") : QStringLiteral(" <= ?")));
            params.append(high);
            break;
        }
    }
    if (m_master) {
        for (int i = 0; i < m_detailFields.size(); ++i) {
            const int fi = m_fieldIndex.value(m_detailFields[i].toLower(), -1);
            Field* mf = m_master->isOpen() ? m_master->findField(m_masterFields.value(i)) : nullptr;
            if (fi < 0 || !mf || (!m_master->m_rowId && m_master->m_state != TableState::Insert)) {
                parts.append(QStringLiteral("0"));
                break;
            }
            parts.append(seekExpr(fi) + QStringLiteral(" = ?"));
            params.append(stored(fi, mf->value()));
        }
    }
    if (m_filtered && !m_filterCondition.sql.isEmpty()) {
        parts.append(QLatin1Char('(') + m_filterCondition.sql + QLatin1Char(')'));
        params.append(m_filterCondition.params);
    }
    return {join(parts, " AND "), params};
}

const Table::Condition& Table::condition() {
    if (!m_conditionValid) {
        m_rangeFields = 0;
        int present = 0;
        m_condition = viewCondition(kStartBound | kEndBound, &m_rangeFields, &present);
        for (int bounds = 0; bounds < 3; ++bounds)
            m_bandConditions[bounds] = m_rangeFields > 0 && (bounds == 0 || (present & bounds))
                                           ? viewCondition(bounds, nullptr, nullptr)
                                           : m_condition;
        m_conditionValid = true;
        if (m_condition.sql != m_slotCondition) {
            m_viewSlots.clear();
            m_slotCondition = m_condition.sql;
        }
    }
    return m_condition;
}

// The condition a statement tests. A band moves away from a record of the
// view, so the range's bound behind it holds on its own, and a band that
// holds the range's fields equal to the record's is inside the range: the
// engine then seeks on the band and tests no bound it need not on every row.
const Table::Condition& Table::conditionOf(quint32 signature) {
    condition();
    return conditionFor(signature);
}

const Table::Condition& Table::conditionFor(quint32 signature) const {
    const Condition& all = m_condition;
    const quint32 kind = signature & sig::kKindMask;
    // A null compares to no bound: bands of nulls test the whole range.
    const bool nulls = signature & (sig::kNullBand | sig::kAfterNull | ~0u << sig::kNullShift);
    if (m_rangeFields == 0 || (kind != sig::Band && kind != sig::BandCount) || nulls)
        return all;
    const int start = int((signature >> sig::kStartShift) & 7);
    if (start >= m_rangeFields)
        return m_bandConditions[0];
    return m_bandConditions[signature & sig::kBackward ? kStartBound : kEndBound];
}

bool Table::narrowed() const {
    return m_hasRange || m_master ||
           (m_filtered && (!m_filterCondition.sql.isEmpty() || m_filterFunction));
}

// The view's definition changed: nothing read of it holds any more.
void Table::viewChanged() {
    m_conditionValid = false;
    forgetView();
    if (m_place == Place::InView) {
        m_place = Place::Unknown;
        m_fallback = Place::Gap;
    }
}

void Table::forgetView() {
    dropWindow();
    m_count.reset();
    m_recNo.reset();
}

// Rows written through another cursor of this database: what this cursor
// read of the view may be out of date.
void Table::syncWrites() {
    if (!m_writes || *m_writes == m_seenWrites)
        return;
    m_seenWrites = *m_writes;
    forgetView();
    if (m_place == Place::InView) {
        m_place = Place::Unknown;
        m_fallback = Place::Gap;
    }
}

// Finds out whether the current record is still in the view, and its key.
void Table::resolvePlace() {
    if (m_place != Place::Unknown)
        return;
    if (!m_rowId) {
        m_place = Place::Outside;
        return;
    }
    if (const std::optional<Row> row = rowInView(*m_rowId)) {
        m_key = row->key;
        m_place = Place::InView;
    } else {
        m_place = m_fallback;
    }
}

quint64 Table::transactionNow() const {
    return m_db->transactionDepth() > 0 ? m_db->transactionSerial() : 0;
}

// The current record's values are those in the file: read within the open
// transaction, where no other connection can write, and no cursor of this
// database wrote to the table since.
bool Table::rowIsFresh() const {
    return !m_rowMissing && m_rowTransaction != 0 && m_rowTransaction == transactionNow() &&
           m_writes && m_rowWrites == *m_writes;
}

Statement& Table::slotStatement(StatementSlot& slot, const std::function<QString()>& sql) {
    Connection& c = m_db->connection();
    if (!slot.statement || slot.generation != c.cacheGeneration()) {
        slot.statement = &c.cached(sql());
        slot.generation = c.cacheGeneration();
    }
    return *slot.statement;
}

// A statement of the view; the caller has brought the condition up to date.
Statement& Table::viewStatement(quint32 signature) {
    return slotStatement(m_viewSlots[signature], [&] { return viewSql(signature); });
}

QString Table::viewSql(quint32 signature) const {
    const quint32 kind = signature & sig::kKindMask;
    const bool backward = signature & sig::kBackward;
    const int start = int((signature >> sig::kStartShift) & 7);
    const quint32 nullMask = signature >> sig::kNullShift;
    const QString& condition = conditionFor(signature).sql;
    QStringList where;
    if (!condition.isEmpty())
        where.append(QLatin1Char('(') + condition + QLatin1Char(')'));
    switch (kind) {
    case sig::Band:
    case sig::BandCount: {
        for (int i = 0; i < start; ++i)
            where.append(m_keyParts[size_t(i)].expr + (nullMask & (1u << i)
                                                           ? QStringLiteral(" IS NULL")
                                                           : QStringLiteral(" = ?")));
        const KeyPart& part = m_keyParts[size_t(start)];
        if (signature & sig::kNullBand) {
            where.append(part.expr + QStringLiteral(" IS NULL"));
        } else if (signature & sig::kAfterNull) {
            where.append(part.expr + QStringLiteral(" IS NOT NULL"));
        } else {
            const bool rising = part.descending == backward;
            where.append(part.expr + (rising ? QStringLiteral(" > ?") : QStringLiteral(" < ?")));
        }
        break;
    }
    case sig::RowById:
        where = QStringList{QStringLiteral("rowid = ?")};
        break;
    case sig::RowInView:
        where.append(QStringLiteral("rowid = ?"));
        break;
    case sig::FindKey:
        for (int i = 0; i < start; ++i) {
            const int fi = m_indexFields[size_t(i)];
            where.append(nullMask & (1u << i)
                             ? quoted(m_def.fields[fi].name) + QStringLiteral(" IS NULL")
                             : columnExpr(fi, true) + QStringLiteral(" = ?"));
        }
        break;
    default:
        break;
    }
    const bool counting = kind == sig::BandCount || kind == sig::CountAll;
    QString sql = (counting ? QStringLiteral("SELECT count(*) FROM ")
                            : QStringLiteral("SELECT rowid, * FROM ")) +
                  quoted(m_physical);
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + join(where, " AND ");
    if (kind == sig::Band || kind == sig::First || kind == sig::FindKey)
        sql += QStringLiteral(" ORDER BY ") + orderBy(backward) + QStringLiteral(" LIMIT ?");
    else if (kind == sig::Offset)
        sql +=
            QStringLiteral(" ORDER BY ") + orderBy(backward) + QStringLiteral(" LIMIT ? OFFSET ?");
    return sql;
}

// The bands of the order past `from`, in the order the rows come: first the
// rows equal in every index field (told apart by the row id), then those
// equal in all but the last field, and so on. Each band is one index seek;
// the engine seeks on a row value only without a collation, so none is used.
// Nulls sort first, so a part falling in the direction of travel also needs
// the band of its null values.
std::vector<Table::Band> Table::bandsFrom(bool backward, const Row& from) const {
    const int parts = int(m_keyParts.size());
    auto value = [&](int i) { return i < parts - 1 ? from.key.value(i) : QVariant(from.rowId); };
    auto isNull = [&](int i) { return i < parts - 1 && isNullValue(from.key.value(i)); };
    auto rising = [&](int i) { return m_keyParts[size_t(i)].descending == backward; };
    auto band = [&](int start, quint32 flags) {
        Band b;
        b.signature = sig::Band | flags | (backward ? sig::kBackward : 0) |
                      quint32(start) << sig::kStartShift;
        for (int i = 0; i < start; ++i) {
            if (isNull(i))
                b.signature |= 1u << (sig::kNullShift + i);
            else
                b.params.append(value(i));
        }
        return b;
    };
    // In a unique index no other row shares a key without nulls.
    bool sole = m_keyUnique && parts > 1;
    for (int i = 0; sole && i < parts - 1; ++i)
        sole = !isNull(i);
    std::vector<Band> bands;
    for (int j = sole ? parts - 2 : parts - 1; j >= 0; --j) {
        if (rising(j)) {
            Band b = band(j, isNull(j) ? sig::kAfterNull : 0);
            if (!isNull(j))
                b.params.append(value(j));
            bands.push_back(std::move(b));
        } else if (!isNull(j)) {
            Band b = band(j, 0);
            b.params.append(value(j));
            bands.push_back(b);
            if (m_keyParts[size_t(j)].field >= 0)
                bands.push_back(band(j, sig::kNullBand));
        }
    }
    return bands;
}

void Table::clearSlots() {
    m_viewSlots.clear();
    m_updateSlots.clear();
    m_insertSlot = StatementSlot{};
}

// A row of a "SELECT rowid, *" result.
void Table::readRow(const Statement& s, Row& row) const {
    const int n = int(m_def.fields.size());
    const Statement::RowLock lock(s);
    row.rowId = s.cell(0).int64();
    // Sized as the record buffer, calculated fields empty, so that the
    // current record can share the row instead of copying it.
    row.values.resize(qsizetype(m_fields.size()));
    for (int i = 0; i < n; ++i)
        row.values[i] = readTyped(s.cell(i + 1), m_def.fields[i].type);
    const int keys = int(m_keyParts.size()) - 1;
    row.key.resize(keys);
    for (int p = 0; p < keys; ++p) {
        const int fi = m_keyParts[size_t(p)].field;
        // Text reads the same typed or stored; other kinds as the file holds them.
        row.key[p] = isTextType(m_def.fields[fi].type) ? row.values[fi] : s.cell(fi + 1).value();
    }
}

// The callback filter sees the candidate as the current record.
bool Table::accepts(const Row& row) {
    const QVariantList saved = m_values;
    struct Restore {
        Table& t;
        const QVariantList& saved;
        ~Restore() { t.m_values = saved; }
    } restore{*this, saved};
    for (int i = 0; i < m_values.size(); ++i)
        m_values[i] = i < row.values.size() ? row.values[i] : QVariant();
    return m_filterFunction(*this);
}

// Reads up to `want` rows past `from` (without it: from the start or, going
// backward, the end) before the callback filter; true when the view has no more.
bool Table::readCandidates(bool backward, const Row* from, int want, std::vector<Row>& out) {
    // Rows already in `out` are filled again: their storage is reused.
    int used = 0;
    auto run = [&](quint32 signature, const QVariantList& params) {
        const Condition& cond = conditionOf(signature);
        StatementUse s(viewStatement(signature));
        s->bindAll(cond.params);
        int index = int(cond.params.size());
        for (const QVariant& p : params)
            s->bind(++index, p);
        s->bindInt64(++index, want - used);
        while (s->step()) {
            if (used == int(out.size()))
                out.emplace_back();
            readRow(*s, out[size_t(used++)]);
        }
    };
    bool exhausted = true;
    if (!from) {
        run(sig::First | (backward ? sig::kBackward : 0), {});
        exhausted = used < want;
    } else {
        for (const Band& band : bandsFrom(backward, *from)) {
            run(band.signature, band.params);
            if (used >= want) {
                exhausted = false;
                break;
            }
        }
    }
    out.resize(size_t(used));
    return exhausted;
}

// Up to `limit` rows of the view past `from`, in the direction of travel.
void Table::fetch(bool backward, const Row* from, int limit, std::vector<Row>& out) {
    if (!callbackFilter()) {
        readCandidates(backward, from, limit, out);
        return;
    }
    out.clear();
    std::vector<Row> candidates;
    Row cursor;
    const Row* after = from;
    for (;;) {
        const bool exhausted = readCandidates(
            backward, after, std::max(limit - int(out.size()), kJumpFetch), candidates);
        for (Row& row : candidates)
            if (int(out.size()) < limit && accepts(row))
                out.push_back(row);
        if (exhausted || int(out.size()) >= limit || candidates.empty())
            return;
        cursor = candidates.back();
        after = &cursor;
    }
}

std::optional<Table::Row> Table::rowInView(qint64 rowId) {
    const Condition& cond = condition();
    Row row;
    {
        StatementUse s(viewStatement(sig::RowInView));
        s->bindAll(cond.params);
        s->bindInt64(int(cond.params.size()) + 1, rowId);
        if (!s->step())
            return std::nullopt;
        readRow(*s, row);
    }
    if (callbackFilter() && !accepts(row))
        return std::nullopt;
    return row;
}

// The record at a position of the view (1-based, within its `count` rows),
// followed by the rows after it as far as one block reaches.
std::vector<Table::Row> Table::rowsAt(int recNo, int count) {
    std::vector<Row> rows;
    if (m_recNo && m_place == Place::InView && recNo != *m_recNo &&
        std::abs(recNo - *m_recNo) <= recNo - 1) {
        // Nearer to the current record than to the start: step from there.
        const bool backward = recNo < *m_recNo;
        const Row from = currentKey();
        fetch(backward, &from, std::abs(recNo - *m_recNo), rows);
        if (int(rows.size()) < std::abs(recNo - *m_recNo))
            return {};
        rows.erase(rows.begin(), rows.end() - 1);
        return rows;
    }
    if (callbackFilter()) {
        fetch(false, nullptr, recNo, rows);
        if (int(rows.size()) < recNo)
            return {};
        rows.erase(rows.begin(), rows.end() - 1);
        return rows;
    }
    const bool fromEnd = count - recNo < recNo - 1;
    const Condition& cond = condition();
    StatementUse s(viewStatement(sig::Offset | (fromEnd ? sig::kBackward : 0)));
    s->bindAll(cond.params);
    s->bindInt64(int(cond.params.size()) + 1, fromEnd ? 1 : kEndFetch);
    s->bindInt64(int(cond.params.size()) + 2, fromEnd ? count - recNo : recNo - 1);
    while (s->step()) {
        rows.emplace_back();
        readRow(*s, rows.back());
    }
    return rows;
}

int Table::countAll() {
    if (callbackFilter()) {
        int n = 0;
        std::vector<Row> rows;
        Row last;
        const Row* from = nullptr;
        do {
            fetch(false, from, kMaxFetch, rows);
            n += int(rows.size());
            if (!rows.empty()) {
                last = rows.back();
                from = &last;
            }
        } while (int(rows.size()) == kMaxFetch);
        return n;
    }
    const Condition& cond = condition();
    StatementUse s(viewStatement(sig::CountAll));
    s->bindAll(cond.params);
    return s->step() ? int(s->int64(0)) : 0;
}

// The rows before the current record in the view.
int Table::countBefore() {
    const Row from = currentKey();
    if (callbackFilter()) {
        int n = 0;
        std::vector<Row> rows;
        Row last = from;
        do {
            const Row after = last;
            fetch(true, &after, kMaxFetch, rows);
            n += int(rows.size());
            if (!rows.empty())
                last = rows.back();
        } while (int(rows.size()) == kMaxFetch);
        return n;
    }
    qint64 n = 0;
    for (const Band& band : bandsFrom(true, from)) {
        const quint32 signature = (band.signature & ~sig::kKindMask) | sig::BandCount;
        const Condition& cond = conditionOf(signature);
        StatementUse s(viewStatement(signature));
        s->bindAll(cond.params);
        int index = int(cond.params.size());
        for (const QVariant& p : band.params)
            s->bind(++index, p);
        if (s->step())
            n += s->int64(0);
    }
    return int(n);
}

bool Table::viewIsEmpty() {
    if (m_count)
        return *m_count == 0;
    std::vector<Row> rows;
    fetch(false, nullptr, 1, rows);
    return rows.empty();
}

// The first row of the view in its order that also meets `extra`, into `row`.
bool Table::findFirst(const Condition& extra, Row& row, quint32 signature) {
    const Condition& cond = condition();
    const bool check = callbackFilter();
    auto read = [&](Statement& statement) {
        StatementUse s(statement);
        s->bindAll(cond.params);
        int index = int(cond.params.size());
        for (const QVariant& p : extra.params)
            s->bind(++index, p);
        s->bindInt64(++index, check ? -1 : 1);
        if (!check) {
            if (!s->step())
                return false;
            readRow(*s, row);
            return true;
        }
        // The callback may read other tables: the statement is done first.
        std::vector<Row> candidates;
        while (s->step()) {
            candidates.emplace_back();
            readRow(*s, candidates.back());
        }
        s->reset();
        for (const Row& candidate : candidates)
            if (accepts(candidate)) {
                row = candidate;
                return true;
            }
        return false;
    };
    if (signature)
        return read(viewStatement(signature));
    QString where = cond.sql;
    if (!extra.sql.isEmpty())
        where = where.isEmpty() ? extra.sql
                                : QLatin1Char('(') + where + QStringLiteral(") AND ") + extra.sql;
    const QString sql =
        QStringLiteral("SELECT rowid, * FROM %1%2 ORDER BY %3 LIMIT ?")
            .arg(quoted(m_physical),
                 where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where, orderBy());
    return read(m_db->connection().cached(sql));
}

} // namespace table
