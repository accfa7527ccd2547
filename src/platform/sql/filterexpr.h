#pragma once

// Filter expressions of a cursor's Filter property, e.g.
//   O_Aktiv='true'
//   (R_Satzart=1) OR (R_SatzArt=3)
//   Z_Datum>=01.03.2024 AND Z_Datum<=31.03.2024 AND NOT K_Name1='Müller*'
// Comparisons (= <> < <= > >=) of a field with a literal or another field,
// joined by AND, OR, NOT and parentheses. Literals: '...' or "..." ('' doubles a
// quote), numbers with '.', true/false, NULL, unquoted dates dd.mm.yyyy. A text
// literal ending in '*' compared with = or <> matches by prefix. Comparing with ''
// also accepts null fields (a blank field is empty), <> '' rejects them.
// Field names are matched without regard to case.
//
// Usage:
//   const auto filter = sqltext::FilterExpr::parse(text);      // DbError when malformed
//   const auto bound = filter.bind(sqltext::fieldsOf(tableDef), Qt::CaseInsensitive);
//   const sqltext::SqlText where = bound.sql();                // "\"K_Nr\" >= ? AND ..."
//   const bool fits = bound.matches([&](const QString& field) { return record.value(field); });
// bind() throws DbError for unknown fields and literals that do not fit their field.
// User text is never pasted into SQL: every literal is a bound parameter.
// Null handling is SQL's: a comparison with a null field is unknown, so such a
// record passes neither "F=1" nor "NOT F=1"; matches() gives the same answer as
// the SQL run by SQLite with the "DE" collation registered.

#include "platform/sql/sqltext.h"
#include "platform/table/tabledef.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

namespace sqltext {

struct FilterNode;
struct BoundNode;
class StorageComparer;

// Finds a field by name without regard to case; nullopt when the table has none.
using FieldLookup = std::function<std::optional<table::FieldDef>(const QString& name)>;
FieldLookup fieldsOf(const table::TableDef& def);

// A record's value for a field (called with the field's name as the table defines it).
// Qt values (QDate, bool, int, double, QString ...) and storage values are both accepted.
using FieldValue = std::function<QVariant(const QString& field)>;

// Whether a field compared with a value of its own type is written collated
// "DE" (a number leading a case-insensitive index, which the engine then seeks).
using SeekCollated = std::function<bool(const QString& field)>;

class BoundFilter {
public:
    BoundFilter();
    SqlText sql(const SeekCollated& seekCollated = {}) const; // empty sql for an empty filter
    bool matches(const FieldValue& valueOf) const;
    bool isEmpty() const { return !m_root; }

private:
    friend class FilterExpr;
    std::shared_ptr<const BoundNode> m_root;
    bool m_caseInsensitive = false;
    // Made once per binding: a collator is costly to set up.
    std::shared_ptr<const StorageComparer> m_binary;
    std::shared_ptr<const StorageComparer> m_collated;
};

class FilterExpr {
public:
    FilterExpr(); // the empty filter: every record passes

    static FilterExpr parse(const QString& text);

    bool isEmpty() const { return !m_root; }
    // The expression written back in a normal form: "K_Nr>=5 AND (A='x' OR NOT B=1)".
    QString text() const;

    BoundFilter bind(const FieldLookup& lookup, Qt::CaseSensitivity cs) const;
    SqlText toSql(const FieldLookup& lookup, Qt::CaseSensitivity cs) const {
        return bind(lookup, cs).sql();
    }
    bool evaluate(const FieldLookup& lookup, Qt::CaseSensitivity cs,
                  const FieldValue& valueOf) const {
        return bind(lookup, cs).matches(valueOf);
    }

private:
    std::shared_ptr<const FilterNode> m_root;
};

inline FilterExpr parseFilter(const QString& text) {
    return FilterExpr::parse(text);
}

} // namespace sqltext
