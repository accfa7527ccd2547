#include "commercial/gui/documentnumberdialog.h"

#include "commercial/documents/documentnumberchange.h"
#include "core/messages/messages.h"
#include "masterdata/dialogs/tf_checkpw.h"
#include "printing/gui/captiondialog.h"

#include <QString>

bool ChangeDocumentNumber(TDocKind kind, int left, int top, int width, table::Table& head,
                          const QString& caption, const QString& dateField) {
    if (!AskYesNo(QStringLiteral("Möchten Sie die %1 wirklich verändern?").arg(caption)))
        return false;
    if (!ConfirmSafetyPrompt())
        return false;
    QString nr = ProposedDocumentNumber(kind, head, dateField);
    if (!InputText(nr, QStringLiteral("Neue Nummer eingeben"), left, top, width))
        return false;
    return WriteDocumentNumber(kind, head, nr.trimmed());
}
