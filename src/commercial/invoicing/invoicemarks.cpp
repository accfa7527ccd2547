#include "commercial/invoicing/invoicemarks.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/messages/messages.h"
#include "platform/table/table.h"

#include <exception>

using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");
const QString kHeads = QStringLiteral("Rechkopf.DB");
const QString kMark = QStringLiteral("R_Selected");

bool hasBuchungBit(Table& head, int bit) {
    return (FieldInt(head, QStringLiteral("R_Buchung")) & bit) != 0;
}

} // namespace

bool IsInvoiceBooked(Table& head) {
    return hasBuchungBit(head, kInvoiceBooked);
}

bool IsInvoiceInFibu(Table& head) {
    return hasBuchungBit(head, kInvoiceInFibu);
}

QString FibuHandedOverText() {
    return QStringLiteral("Diese Rechnung wurde bereits an die Fibu übergeben!\rEine "
                          "Änderung/Löschung ist nicht mehr möglich.\rVerwenden Sie zum "
                          "Ausdrucken den \"Drucken\"-Schalter.");
}

QString FibuHandedOverText(const QStringList& numbers) {
    return (numbers.size() == 1 ? QStringLiteral("Rechnung ") : QStringLiteral("Rechnungen ")) +
           numbers.join(QStringLiteral(", ")) + QStringLiteral(":\r") + FibuHandedOverText();
}

bool MayMarkInvoice(Table& head) {
    if (IsInvoiceInFibu(head)) {
        ShowError(FibuHandedOverText());
        return false;
    }
    if (IsInvoiceBooked(head))
        return AskYesNo(
            QStringLiteral("Diese Rechnung wurde bereits abgeschlossen!\rTrotzdem markieren?"));
    return true;
}

bool SetInvoiceMark(Table& head, bool mark) {
    if (head.isEmpty())
        return false;
    if (GetFieldBoolOrDefault(head.findField(kMark), false) == mark)
        return false;
    if (mark && !MayMarkInvoice(head))
        return false;
    WriteInvoiceMark(head, mark);
    return true;
}

void UnmarkAndShowError(Table& head, int id, QString text) {
    head.refresh();
    try {
        if (LocateInvoice(head, id))
            SetInvoiceMark(head, false);
    } catch (const DbError& e) {
        text += QStringLiteral("\r") + e.message();
    }
    ShowError(text);
}

void WriteInvoiceMark(Table& head, bool mark) {
    CancelEditOnError(head, [&] {
        head.edit();
        head.field(kMark).setValue(mark);
        head.post();
    });
}

bool ToggleInvoiceMark(Table& head) {
    return SetInvoiceMark(head, !GetFieldBoolOrDefault(head.findField(kMark), false));
}

void RunInvoiceMarkCommand(TDataModule1& dm, TInvoiceMarkCommand command) {
    QString filter;
    bool mark = false;
    switch (command) {
    case TInvoiceMarkCommand::AllOff:
        break;
    case TInvoiceMarkCommand::AllOn:
        mark = true;
        break;
    case TInvoiceMarkCommand::ManualOff:
    case TInvoiceMarkCommand::ManualOn:
        filter = QStringLiteral("R_Intervall=0");
        mark = command == TInvoiceMarkCommand::ManualOn;
        break;
    case TInvoiceMarkCommand::RecurringOff:
    case TInvoiceMarkCommand::RecurringOn:
        filter = QStringLiteral("R_Intervall<>0");
        mark = command == TInvoiceMarkCommand::RecurringOn;
        break;
    }
    SetFieldInRecords(kDb, kHeads, kMark, filter, mark);
    RefreshUnlessEditing(dm.TabRechKopf());
}

void UnmarkAllInvoices(TDataModule1& dm) {
    RunInvoiceMarkCommand(dm, TInvoiceMarkCommand::AllOff);
}

int CountMarkedInvoices() {
    return CountRecordsFiltered(kDb, kHeads, QStringLiteral("R_Selected=true"));
}

int CountMarkedInvoicesOrTell() {
    const int count = CountMarkedInvoices();
    if (count == 0)
        ShowInfo(QStringLiteral("Es sind keine Sätze markiert!"));
    return count;
}

QList<int> MarkedInvoiceIds(Table& head) {
    QList<int> ids;
    RefreshUnlessEditing(head);
    for (head.first(); !head.eof() && !head.isEmpty(); head.next())
        if (GetFieldBoolOrDefault(head.findField(kMark), false))
            ids.append(FieldInt(head, QStringLiteral("R_ID")));
    return ids;
}

bool LocateInvoice(Table& head, int id) {
    return head.locate({QStringLiteral("R_ID")}, {id});
}

TInvoiceRunOrder::TInvoiceRunOrder(Table& head) : m_head(head), m_indexName(head.indexName()) {
    const QStringList fields = head.indexFieldNames();
    if (fields.isEmpty() ||
        fields.first().compare(QStringLiteral("R_ObjektNr"), Qt::CaseInsensitive) != 0)
        head.setIndexName(QStringLiteral("R_IKundeObj"));
}

TInvoiceRunOrder::~TInvoiceRunOrder() {
    if (m_restored)
        return;
    // On the error path the run's own error is already on its way.
    try {
        restore();
    } catch (const std::exception&) {
    }
}

void TInvoiceRunOrder::restore() {
    m_restored = true;
    if (m_head.indexName() != m_indexName)
        m_head.setIndexName(m_indexName);
}
