#pragma once

#include <QString>
#include <QVariantList>

namespace sqltext {

// SQLite SQL with '?' placeholders and their values, in order.
struct SqlText {
    QString sql;
    QVariantList params;
};

} // namespace sqltext
