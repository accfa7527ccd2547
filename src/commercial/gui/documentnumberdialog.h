#pragma once

#include "core/data/dockinds.h"

class QString;

namespace table {
class Table;
}

// Changing a document's number by hand, the one dialog sequence of the
// invoice, offer, delivery-note and credit-note editors: the question
// "Möchten Sie die <caption> wirklich verändern?", the safety prompt, the
// input "Neue Nummer eingeben" (at left, top with width) holding the
// proposal (the running number written again for the head's dateField),
// and the write, which refuses a number in use. The counters are not
// touched. True when a new number was written.
bool ChangeDocumentNumber(TDocKind kind, int left, int top, int width, table::Table& head,
                          const QString& caption, const QString& dateField);
