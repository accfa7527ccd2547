#include "commercial/documents/documentlists.h"

#include "core/data/dbhelpers.h"
#include "core/messages/messages.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>

using table::Table;

namespace {

const QString kMark = QStringLiteral("R_Selected");
const QString kKey = QStringLiteral("R_ID");

bool locate(Table& head, int id) {
    return head.locate({kKey}, {id});
}

// Runs change on the located head in one transaction; the reason of a
// failure (empty for a silent abort) in reason.
bool changeInTransaction(Table& head, const std::function<void(Table&)>& change, QString& reason) {
    try {
        table::Transaction tx(*head.database());
        CancelEditOnError(head, [&] { change(head); });
        tx.commit();
        return true;
    } catch (const DbError& e) {
        reason = e.message();
    } catch (const Abort&) {
    }
    head.refresh();
    return false;
}

} // namespace

int CountMarkedDocuments(const QString& databaseName, const QString& tableName) {
    return CountRecordsFiltered(databaseName, tableName, QStringLiteral("R_Selected=true"));
}

void WriteDocumentMark(Table& head, bool mark) {
    CancelEditOnError(head, [&] {
        if (!head.isEditing())
            head.edit();
        head.field(kMark).setValue(mark);
        head.post();
    });
}

QList<int> MarkedDocumentIds(Table& head) {
    QList<int> ids;
    RefreshUnlessEditing(head);
    for (head.first(); !head.eof() && !head.isEmpty(); head.next())
        if (GetFieldBoolOrDefault(head.findField(kMark), false))
            ids.append(FieldInt(head, kKey));
    return ids;
}

TMarkedRunOutcome DeleteMarkedDocuments(Table& head) {
    TMarkedRunOutcome outcome;
    for (int id : MarkedDocumentIds(head)) {
        if (!locate(head, id))
            continue;
        const QString nr = FieldText(head, QStringLiteral("R_Nr"));
        QString reason;
        if (changeInTransaction(
                head, [](Table& h) { h.deleteRecord(); }, reason)) {
            ++outcome.done;
        } else {
            outcome.failed.append(nr);
            outcome.reasons.append(reason);
        }
    }
    head.refresh();
    return outcome;
}

QString DeletedDocumentsText(const TMarkedRunOutcome& outcome) {
    QString text = QStringLiteral("Es wurden %1 Datensätze gelöscht.").arg(outcome.done);
    if (!outcome.failed.isEmpty()) {
        text += QStringLiteral("\rNicht gelöscht: ") + outcome.failed.join(QStringLiteral(", "));
        QStringList reasons = outcome.reasons;
        reasons.removeAll(QString());
        reasons.removeDuplicates();
        if (!reasons.isEmpty())
            text += u'\r' + reasons.join(u'\r');
    }
    return text;
}

TMarkedRunOutcome PrintMarkedDocuments(Table& head,
                                       const std::function<void(int id, int storedForm)>& printOne,
                                       const std::function<void()>& failedOne,
                                       const QString& firstPrintDateField) {
    TMarkedRunOutcome outcome;
    for (int id : MarkedDocumentIds(head)) {
        if (!locate(head, id))
            continue;
        const QString nr = FieldText(head, QStringLiteral("R_Nr"));
        QString reason;
        bool printed = false;
        try {
            printOne(id, GetFieldIntOrDefault(head.findField(QStringLiteral("R_PrintFormNo")), 0));
            printed = true;
        } catch (const DbError& e) {
            reason = e.message();
        } catch (const Abort&) {
        }
        // The print may have moved the shared cursor.
        if (printed && !locate(head, id))
            continue;
        if (printed && changeInTransaction(
                           head,
                           [&firstPrintDateField](Table& h) {
                               h.edit();
                               const int prints = FieldInt(h, QStringLiteral("R_Drucke"));
                               if (prints == 0 && !firstPrintDateField.isEmpty())
                                   h.field(firstPrintDateField).setValue(QDate::currentDate());
                               h.field(QStringLiteral("R_Drucke")).setValue(prints + 1);
                               h.field(kMark).setValue(false);
                               h.post();
                           },
                           reason)) {
            ++outcome.done;
            continue;
        }
        outcome.failed.append(nr);
        outcome.reasons.append(reason);
        if (failedOne)
            failedOne();
    }
    head.refresh();
    return outcome;
}
