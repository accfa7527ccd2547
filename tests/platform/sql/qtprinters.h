#pragma once

#include <QString>
#include <QVariant>
#include <ostream>

// Readable failure output for Qt values in this test program.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QVariant& value, std::ostream* os) {
    if (!value.isValid())
        *os << "NULL";
    else
        *os << value.metaType().name() << '(' << value.toString().toStdString() << ')';
}
