#include "commercial/purchasing/ertransfer.h"

#include "commercial/bookings/supplierturnover.h"
#include "commercial/documents/linecopies.h"
#include "commercial/invoicing/optransfer.h"
#include "commercial/invoicing/raliste.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/dockinds.h"
#include "core/data/docnumbers.h"
#include "core/messages/messages.h"
#include "core/values/money.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>

using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");

// The journal refused the row; the reason is told once the transaction is
// rolled back, never while it is open.
struct JournalRefused {
    QString reason;
};

QDate documentDate(Table& invoice) {
    const table::Field& druck = invoice.field(QStringLiteral("R_DatumDruck"));
    if (!druck.isNull())
        return druck.asDate();
    const table::Field& erstellt = invoice.field(QStringLiteral("R_DatumErstell"));
    return erstellt.isNull() ? QDate::currentDate() : erstellt.asDate();
}

void transferOne(TDataModule1& dm, Table& invoice) {
    const int id = FieldInt(invoice, QStringLiteral("R_ID"));
    table::Transaction tx(*invoice.database());
    const QDate date = documentDate(invoice);
    if (invoice.field(QStringLiteral("R_DatumDruck")).isNull())
        CancelEditOnError(invoice, [&] {
            invoice.edit();
            invoice.field(QStringLiteral("R_DatumDruck")).setValue(date);
            invoice.post();
        });
    const int itemId = AppendOpenItemHead(invoice, QStringLiteral("OERkopf.DB"));
    auto lines = OpenTempTable(kDb, QStringLiteral("ERsatz.db"), QStringLiteral("S_IRef"));
    lines->setRange({id}, {id});
    auto itemLines = OpenTempTable(kDb, QStringLiteral("OERsatz.DB"));
    CopyDocumentLines(*lines, *itemLines, itemId);
    lines.reset();
    try {
        AppendRaListRow(dm, invoice, kRaSatzartEingangsrechnung);
    } catch (const DbError& e) {
        throw JournalRefused{e.message()};
    } catch (const Abort&) {
        throw JournalRefused{};
    }
    const int lieferant = FieldInt(invoice, QStringLiteral("R_KundenNr"));
    if (lieferant != 0)
        BookLieferantUmsatz(lieferant, FieldFloat(invoice, QStringLiteral("R_Brutto")),
                            FieldFloat(invoice, QStringLiteral("R_Netto")), date);
    // Separate cursors: the data module's line rules would reverse the
    // lines' cost and stock bookings, which stay with the open invoice.
    DeleteRecordsFiltered(kDb, QStringLiteral("ERsatz.db"), QStringLiteral("S_Ref=%1").arg(id),
                          OnDeleteFailure::Raise);
    invoice.deleteRecord();
    tx.commit();
}

void refreshShown(TDataModule1& dm) {
    for (Table* t : {&dm.TabERKopf(), &dm.TabERSatz()})
        if (t->isOpen())
            RefreshUnlessEditing(*t);
}

} // namespace

ErTransferResult TransferIncomingInvoice(TDataModule1& dm, Table& head) {
    if (!head.isOpen() || head.isEmpty())
        return ErTransferResult::Declined;
    if (!AskYesNo(QStringLiteral("Möchten Sie die markierte Eingangsrechnung in die "
                                 "Zahlungsüberwachung überstellen?")))
        return ErTransferResult::Declined;
    const QString nr = FieldText(head, QStringLiteral("R_Nr"));
    if (IsNrInRaListe(TDocKind::Eingangsrechnung, nr)) {
        ShowError(QStringLiteral("Rechnungs-Nr %1 wurde bereits an OP übergeben!").arg(nr));
        return ErTransferResult::AlreadyTransferred;
    }
    if (RoundCents(FieldFloat(head, QStringLiteral("R_Brutto"))) == 0.0 &&
        !AskYesNo(QStringLiteral("Die Rechnungssumme beträgt 0.00 EUR.\rMöchten Sie dennoch "
                                 "fortfahren?")))
        return ErTransferResult::Declined;
    const int id = FieldInt(head, QStringLiteral("R_ID"));
    auto invoice = OpenTempTable(kDb, QStringLiteral("ERkopf.DB"));
    if (!invoice->locate({QStringLiteral("R_ID")}, {id}))
        return ErTransferResult::Declined;
    ErTransferResult result = ErTransferResult::Transferred;
    try {
        transferOne(dm, *invoice);
    } catch (const JournalRefused& refused) {
        QString text = QStringLiteral("Fehler beim Eintrag in die RA-Liste!");
        if (!refused.reason.isEmpty())
            text += QStringLiteral("\r") + refused.reason;
        result = ErTransferResult::Failed;
        refreshShown(dm);
        ShowError(text);
    } catch (const DbError& e) {
        result = ErTransferResult::Failed;
        refreshShown(dm);
        ShowError(e.message());
    }
    if (result == ErTransferResult::Transferred)
        refreshShown(dm);
    else if (head.isOpen())
        head.locate({QStringLiteral("R_ID")}, {id});
    return result;
}
