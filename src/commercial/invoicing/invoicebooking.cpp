#include "commercial/invoicing/invoicebooking.h"

#include "commercial/companysettings.h"
#include "commercial/invoicing/invoiceeffects.h"
#include "commercial/invoicing/invoicemarks.h"
#include "commercial/invoicing/invoicerunhooks.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/docnumbers.h"
#include "core/data/runtablelocks.h"
#include "core/messages/messages.h"
#include "core/values/datetimevalue.h"
#include "datasafety/autobackup.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>

using table::Table;

namespace {

// The number and the effects of one invoice, together or not at all.
void bookInvoice(Table& head) {
    table::Transaction tx(*head.database());
    CancelEditOnError(head, [&] {
        head.edit();
        const table::Field& druck = head.field(QStringLiteral("R_DatumDruck"));
        const QDate datum = druck.isNull() ? DateOfDateTime(EmptyDate) : druck.asDate();
        const int nr = NextFreeDocNr(TDocKind::Rechnung, datum.year(), datum.month());
        head.field(QStringLiteral("R_Nr"))
            .setValue(FormatDocNr(TDocKind::Rechnung, nr, datum.year(), datum.month(), false));
        head.field(QStringLiteral("R_Buchung")).setValue(kInvoiceBooked);
        head.field(QStringLiteral("R_Drucke")).setValue(0);
        head.post();
    });
    BookInvoiceEffects(head, TInvoiceEffects::Book);
    tx.commit();
}

// The head is unmarked so that the print step passes it over.
void reportFailure(Table& head, int id, const QString& oldNr, const QString& reason) {
    QString text =
        QStringLiteral("Beim Drucken der Rechnung %1 ist ein Fehler aufgetreten!").arg(oldNr);
    if (!reason.isEmpty())
        text += QStringLiteral("\r") + reason;
    UnmarkAndShowError(head, id, text);
}

} // namespace

QString InvoicePrintQuestion(int count) {
    return QStringLiteral("Sie haben %1 Rechnungen gewählt.\rMöchten Sie diese Rechnung(en) "
                          "wirklich drucken?")
        .arg(count);
}

bool BookMarkedInvoices(TDataModule1& dm, const TInvoiceRunHooks& hooks) {
    Table& head = dm.TabRechKopf();
    OpenForCall opened(head);
    if (!AskYesNo(InvoicePrintQuestion(CountMarkedInvoices())))
        return false;
    OfferAutomaticBackup(CompanyFlag(dm, QStringLiteral("F_AutoSichernRechDruck"))
                             ? AutoBackupSwitch::Unasked
                             : AutoBackupSwitch::Ask,
                         QStringLiteral("Rechnungserstellung"),
                         AutoBackupComment(QStringLiteral("Autosicherung vor Rechnungsdruck am ")));
    TInvoiceRunOrder order(head);
    // Every invoice is numbered and adds to a dozen cost-sum rows and to its
    // customer's month.
    const RunTableLocks locks(QStringLiteral("LumoDB"),
                              {QStringLiteral("Rechkopf.DB"), QStringLiteral("KostSumH.db"),
                               QStringLiteral("KostSumD.db"), QStringLiteral("KUmsatz.DB")});
    int booked = 0;
    QStringList inFibu;
    for (int id : MarkedInvoiceIds(head)) {
        if (!LocateInvoice(head, id) || IsInvoiceBooked(head))
            continue;
        const QString oldNr = FieldText(head, QStringLiteral("R_Nr"));
        // "Alle ein" marks it too; it is printed, never given a number.
        if (IsInvoiceInFibu(head)) {
            inFibu.append(oldNr);
            continue;
        }
        try {
            bookInvoice(head);
        } catch (const DbError& e) {
            reportFailure(head, id, oldNr, e.message());
            continue;
        } catch (const Abort&) {
            reportFailure(head, id, oldNr, {});
            continue;
        }
        ++booked;
        if (hooks.showCounter)
            hooks.showCounter(QStringLiteral("%1 Rechnungen verbucht.").arg(booked, 3));
    }
    order.restore();
    opened.close();
    if (!inFibu.isEmpty())
        ShowError(FibuHandedOverText(inFibu));
    return true;
}
