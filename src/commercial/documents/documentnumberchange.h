#pragma once

#include "core/data/dockinds.h"

#include <QDate>
#include <QString>

namespace table {
class Table;
}

// The data side of changing a document's number by hand (the questions and
// the input box belong to the editor); the number counters are not touched.

// The proposal: the running number inside the head's R_Nr, written again
// with the kind's mask for year and month of dateField (today when null).
QString ProposedDocumentNumber(TDocKind kind, table::Table& head, const QString& dateField,
                               const QDate& today = QDate::currentDate());

inline const QString DocNrTakenText =
    QStringLiteral("Die eingegebene Nummmer ist bereits vergeben!");

// Writes nr into R_Nr and posts the head, unless another document uses it
// (DocNrTakenText is shown, false). An empty or unchanged number writes
// nothing.
bool WriteDocumentNumber(TDocKind kind, table::Table& head, const QString& nr);
