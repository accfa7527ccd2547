#include "commercial/documents/documentnumberchange.h"

#include "core/data/dbhelpers.h"
#include "core/data/docnumbers.h"
#include "core/messages/messages.h"
#include "platform/table/table.h"

QString ProposedDocumentNumber(TDocKind kind, table::Table& head, const QString& dateField,
                               const QDate& today) {
    const int running = ParseDocNr(kind, FieldText(head, QStringLiteral("R_Nr")));
    table::Field* date = head.findField(dateField);
    const QDate at = date && !date->isNull() ? date->asDate() : today;
    return FormatDocNr(kind, running, at.year(), at.month(), false);
}

bool WriteDocumentNumber(TDocKind kind, table::Table& head, const QString& nr) {
    if (nr.isEmpty() || nr == FieldText(head, QStringLiteral("R_Nr")))
        return false;
    if (IsDocNrUsed(kind, nr, head.tableName(), FieldInt(head, QStringLiteral("R_ID")))) {
        ShowError(DocNrTakenText);
        return false;
    }
    EnsureEditOrInsert(head);
    head[QStringLiteral("R_Nr")] = nr;
    head.post();
    return true;
}
