#include "commercial/invoicing/optransfer.h"

#include "commercial/companysettings.h"
#include "commercial/documents/headfieldcopy.h"
#include "commercial/documents/linecopies.h"
#include "commercial/invoicing/invoicemarks.h"
#include "commercial/invoicing/raliste.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/docnumbers.h"
#include "core/messages/messages.h"
#include "datasafety/autobackup.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>

using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");
const QString kHeads = QStringLiteral("Rechkopf.DB");

// The journal refused the row; the reason is told once the invoice's
// transaction is rolled back, never while it is open.
struct JournalRefused {
    QString reason;
};

void transferOne(TDataModule1& dm, Table& invoice) {
    const int id = FieldInt(invoice, QStringLiteral("R_ID"));
    table::Transaction tx(*invoice.database());
    const int itemId = AppendOpenItemHead(invoice, QStringLiteral("OpKopf.DB"));
    auto lines = OpenTempTable(kDb, QStringLiteral("Rechsatz.db"), QStringLiteral("S_IRef"));
    lines->setRange({id}, {id});
    auto itemLines = OpenTempTable(kDb, QStringLiteral("OPSatz.db"));
    CopyDocumentLines(*lines, *itemLines, itemId);
    try {
        AppendRaListRow(dm, invoice, kRaSatzartRechnung);
    } catch (const DbError& e) {
        throw JournalRefused{e.message()};
    } catch (const Abort&) {
        throw JournalRefused{};
    }
    DeleteRecordsFiltered(kDb, QStringLiteral("Fremdlst.db"),
                          QStringLiteral("S_Gebucht=%1").arg(id), OnDeleteFailure::Raise);
    DeleteRecordsFiltered(kDb, QStringLiteral("Rechsatz.db"), QStringLiteral("S_Ref=%1").arg(id),
                          OnDeleteFailure::Raise);
    invoice.deleteRecord();
    tx.commit();
}

} // namespace

int AppendOpenItemHead(Table& invoice, const QString& itemTable) {
    auto items = OpenTempTable(kDb, itemTable);
    const int id = GetNextId(*items, QStringLiteral("R_ID"));
    CancelEditOnError(*items, [&] {
        items->append();
        CopyStoredFieldsByName(invoice, *items);
        items->field(QStringLiteral("R_ID")).setValue(id);
        items->field(QStringLiteral("O_OffenSumme"))
            .setValue(FieldFloat(invoice, QStringLiteral("R_Brutto")));
        items->field(QStringLiteral("O_ZahlSumme")).setValue(0.0);
        items->field(QStringLiteral("O_Erledigt")).setValue(false);
        // Open incoming invoices are not dunned and have no counter.
        if (table::Field* dunnings = items->findField(QStringLiteral("O_Mahnungen")))
            dunnings->setValue(0);
        items->field(QStringLiteral("R_Selected")).setValue(false);
        items->post();
    });
    return id;
}

QList<int> MarkBookedInvoicesUpTo(TDataModule1& dm, const QDate& limit) {
    UnmarkAllInvoices(dm);
    auto heads = OpenTempTable(kDb, kHeads);
    QList<int> ids;
    const QDate today = QDate::currentDate();
    table::Transaction tx(*heads->database());
    for (heads->first(); !heads->eof() && !heads->isEmpty(); heads->next()) {
        const table::Field& druck = heads->field(QStringLiteral("R_DatumDruck"));
        if (!IsInvoiceBooked(*heads) || (druck.isNull() ? today : druck.asDate()) > limit)
            continue;
        CancelEditOnError(*heads, [&] {
            heads->edit();
            heads->field(QStringLiteral("R_Selected")).setValue(true);
            heads->post();
        });
        ids.append(FieldInt(*heads, QStringLiteral("R_ID")));
    }
    tx.commit();
    // In the list's order, as the hand-over goes.
    Table& shown = dm.TabRechKopf();
    OpenForCall opened(shown);
    QList<int> ordered;
    for (int id : MarkedInvoiceIds(shown))
        if (ids.contains(id))
            ordered.append(id);
    opened.close();
    return ordered;
}

void TransferBookedInvoicesUpTo(TDataModule1& dm, const QDate& limit) {
    const QList<int> ids = MarkBookedInvoicesUpTo(dm, limit);
    if (ids.isEmpty()) {
        ShowError(QStringLiteral("Es wurden keine gedruckten Rechnungen gefunden!"));
        return;
    }
    TransferInvoicesToOP(dm, ids);
}

void TransferCurrentInvoice(TDataModule1& dm) {
    Table& head = dm.TabRechKopf();
    if (!head.isOpen() || head.isEmpty())
        return;
    if (!IsInvoiceBooked(head)) {
        ShowError(QStringLiteral("Die gewählte Rechnung wurde noch nicht gedruckt!"));
        return;
    }
    if (!AskYesNo(
            QStringLiteral("Möchten Sie die gewählte Rechnung in die OP-Verwaltung überstellen?")))
        return;
    const int id = FieldInt(head, QStringLiteral("R_ID"));
    UnmarkAllInvoices(dm);
    if (LocateInvoice(head, id))
        WriteInvoiceMark(head, true);
    TransferInvoicesToOP(dm, {id});
}

int TransferInvoicesToOP(TDataModule1& dm, const QList<int>& ids) {
    if (!AskYesNo(QStringLiteral("Es wurden %1 Datensätze gefunden.\rMöchten Sie diese "
                                 "Rechnung(en) in die OP-Verwaltung übergeben?")
                      .arg(ids.size()))) {
        UnmarkAllInvoices(dm);
        return 0;
    }
    OfferAutomaticBackup(CompanyFlag(dm, QStringLiteral("F_AutoSichernOP"))
                             ? AutoBackupSwitch::Unasked
                             : AutoBackupSwitch::Ask,
                         QStringLiteral("Datenübertragung"),
                         AutoBackupComment(QStringLiteral("Autosicherung vor OP-Übergabe am ")));
    auto invoice = OpenTempTable(kDb, kHeads);
    int transferred = 0;
    for (int id : ids) {
        // Gone or no longer booked since it was chosen: not this run's to move.
        if (!LocateInvoice(*invoice, id) || !IsInvoiceBooked(*invoice))
            continue;
        const QString nr = FieldText(*invoice, QStringLiteral("R_Nr"));
        if (IsNrInRaListe(TDocKind::Rechnung, nr)) {
            UnmarkAndShowError(
                *invoice, id, QStringLiteral("Rechnung %1 wurde bereits an OP übergeben!").arg(nr));
            continue;
        }
        try {
            transferOne(dm, *invoice);
            ++transferred;
        } catch (const JournalRefused& refused) {
            QString text = QStringLiteral("Fehler beim Eintrag in die RA-Liste!");
            if (!refused.reason.isEmpty())
                text += QStringLiteral("\r") + refused.reason;
            ShowError(text);
            UnmarkAndShowError(
                *invoice, id,
                QStringLiteral("Rechnung %1 kann nicht in die RA-Liste übertragen werden!")
                    .arg(nr));
        } catch (const DbError& e) {
            UnmarkAndShowError(*invoice, id,
                               QStringLiteral("Rechnung %1 kann nicht an OP übergeben werden!\r%2")
                                   .arg(nr, e.message()));
        }
    }
    for (Table* t : {&dm.TabRechKopf(), &dm.TabRechSatz()})
        if (t->isOpen())
            RefreshUnlessEditing(*t);
    ShowInfo(QStringLiteral("Es wurden %1 Rechnungen\rin die OP-Verwaltung überstellt.")
                 .arg(transferred));
    return transferred;
}
