#pragma once

// Builders for the rule descriptions of the data module's tables: the
// shapes that most tables share, so that a description lists only what is
// particular to its table.

#include "core/data/recordrules.h"
#include "platform/table/table.h"

#include <QVariant>
#include <initializer_list>
#include <utility>

namespace rulebuilders {

inline QString text(const char* latin1) {
    return QString::fromLatin1(latin1);
}

// A table whose new records get the next key and the given defaults.
inline NumberedTableRules keyed(const char* tableObject, const char* keyField,
                                std::function<void(table::Table&)> defaults = {}) {
    NumberedTableRules r;
    r.tableObject = text(tableObject);
    r.keyField = text(keyField);
    r.defaults = std::move(defaults);
    return r;
}

// A master table with a number: the next key, the proposed number and, when
// not 0, the create right of its function.
inline NumberedTableRules numbered(const char* tableObject, int createRight, const char* keyField,
                                   const char* numberField, std::function<int()> propose) {
    NumberedTableRules r = keyed(tableObject, keyField);
    r.createRight = createRight;
    r.numberField = text(numberField);
    r.propose = std::move(propose);
    return r;
}

// Every post stamps the time and the user (the prefix's LastAccess and LastUser fields).
inline void stampWith(NumberedTableRules& r, const char* prefix) {
    r.stampAccessField = text(prefix) + QStringLiteral("LastAccess");
    r.stampUserField = text(prefix) + QStringLiteral("LastUser");
}

// One step of a cascade over the field of a dependent table; line: the
// message-list line after it; shownIn: the shared object showing the rows.
inline CascadeStep step(const char* file, const char* field, CascadeAction action,
                        const QString& line = {}, const char* shownIn = nullptr) {
    return {text(file), text(field), action, false, line, shownIn ? text(shownIn) : QString()};
}

// Rows that belong to the record (documents, contacts, definition rows):
// removed after every delete without a question. byKey: they hold the
// record's key, else its number.
inline CascadeStep ownedRows(const char* file, const char* ownerField, const char* shownIn,
                             bool byKey = true) {
    return {text(file), text(ownerField), CascadeAction::Delete, byKey, {}, text(shownIn), false};
}

inline void setFields(table::Table& t,
                      std::initializer_list<std::pair<const char*, QVariant>> values) {
    for (const auto& [name, value] : values)
        t.field(text(name)).setValue(value);
}

} // namespace rulebuilders
