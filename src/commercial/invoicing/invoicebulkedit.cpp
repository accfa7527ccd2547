#include "commercial/invoicing/invoicebulkedit.h"

#include "commercial/companysettings.h"
#include "commercial/invoicing/invoiceeffects.h"
#include "commercial/invoicing/invoicemarks.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/messages/messages.h"
#include "datasafety/autobackup.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>
#include <functional>

using table::Table;

namespace {

struct BulkOutcome {
    int done = 0;
    QStringList inFibu;
};

// Runs change on every marked invoice in the head object's order, each in a
// transaction of its own; failures are named at once.
BulkOutcome forEachMarkedInvoice(Table& head, const QString& failureText,
                                 const std::function<void(Table&)>& change) {
    BulkOutcome outcome;
    for (int id : MarkedInvoiceIds(head)) {
        if (!LocateInvoice(head, id))
            continue;
        const QString nr = FieldText(head, QStringLiteral("R_Nr"));
        if (IsInvoiceInFibu(head)) {
            outcome.inFibu.append(nr);
            continue;
        }
        QString reason;
        try {
            table::Transaction tx(*head.database());
            CancelEditOnError(head, [&] { change(head); });
            tx.commit();
            ++outcome.done;
            continue;
        } catch (const DbError& e) {
            reason = e.message();
        } catch (const Abort&) {
        }
        head.refresh();
        QString text = failureText.arg(nr);
        if (!reason.isEmpty())
            text += QStringLiteral("\r") + reason;
        ShowError(text);
    }
    if (!outcome.inFibu.isEmpty())
        ShowError(FibuHandedOverText(outcome.inFibu));
    return outcome;
}

void unmark(Table& head) {
    head.field(QStringLiteral("R_Selected")).setValue(false);
}

void reportEdited(int count) {
    ShowInfo(QStringLiteral("Es wurden %1 Datensätze bearbeitet.").arg(count));
}

} // namespace

void DeleteMarkedInvoices(TDataModule1& dm) {
    if (!AskYesNo(QStringLiteral("Möchten Sie diese Rechnung(en) wirklich löschen?")))
        return;
    OfferAutomaticBackup(AutoBackupSwitch::Ask, QStringLiteral("Löschen der Rechnungen"),
                         AutoBackupComment(QStringLiteral("Autosicherung vor Rechnungsdruck am ")));
    Table& head = dm.TabRechKopf();
    OpenForCall opened(head);
    const BulkOutcome outcome = forEachMarkedInvoice(
        head, QStringLiteral("Die Rechnung %1 konnte nicht gelöscht werden."), [](Table& h) {
            BookInvoiceEffects(h, TInvoiceEffects::UndoForDelete);
            h.deleteRecord();
        });
    opened.close();
    ShowInfo(QStringLiteral("Es wurden %1 Datensätze gelöscht.").arg(outcome.done));
}

void SetMarkedInvoicesDate(TDataModule1& dm, const QDate& date) {
    Table& head = dm.TabRechKopf();
    OpenForCall opened(head);
    head.setIndexName(QStringLiteral("R_IObjektNr"));
    const BulkOutcome outcome = forEachMarkedInvoice(
        head, QStringLiteral("Die Rechnung %1 konnte nicht geändert werden."), [&](Table& h) {
            // The effects of a booked invoice are dated by it.
            const bool booked = IsInvoiceBooked(h);
            if (booked)
                BookInvoiceEffects(h, TInvoiceEffects::UndoForEdit);
            h.edit();
            h.field(QStringLiteral("R_DatumDruck")).setValue(date);
            unmark(h);
            h.post();
            if (booked)
                BookInvoiceEffects(h, TInvoiceEffects::Book);
        });
    opened.close();
    reportEdited(outcome.done);
}

QString ProposedPeriodText(Table& head) {
    return head.isEmpty() ? QString() : FieldText(head, QStringLiteral("R_ZeitraumTxt"));
}

void SetMarkedInvoicesPeriodText(TDataModule1& dm, const QString& text) {
    Table& head = dm.TabRechKopf();
    OpenForCall opened(head);
    if (const int size = head.field(QStringLiteral("R_ZeitraumTxt")).size(); text.size() > size)
        throw DbError(
            QStringLiteral("Der Zeitraumtext darf höchstens %1 Zeichen lang sein.").arg(size));
    const BulkOutcome outcome = forEachMarkedInvoice(
        head, QStringLiteral("Die Rechnung %1 konnte nicht geändert werden."), [&](Table& h) {
            h.edit();
            h.field(QStringLiteral("R_ZeitraumTxt")).setValue(text);
            unmark(h);
            h.post();
        });
    opened.close();
    reportEdited(outcome.done);
}
