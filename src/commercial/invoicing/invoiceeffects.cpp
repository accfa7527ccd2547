#include "commercial/invoicing/invoiceeffects.h"

#include "commercial/bookings/costbookings.h"
#include "commercial/invoicing/invoicemarks.h"
#include "core/data/customerbilling.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/turnover.h"
#include "core/values/datetimevalue.h"
#include "core/values/money.h"
#include "core/values/packeddate.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>
#include <exception>

using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");

// The delivery-note heads of the invoice's object that it billed.
void bookDeliveryNotes(Table& head, TInvoiceEffects mode) {
    const int id = FieldInt(head, QStringLiteral("R_ID"));
    const QString nr = FieldText(head, QStringLiteral("R_Nr"));
    const QVariant datum = head.field(QStringLiteral("R_DatumDruck")).value();
    auto notes = OpenTempTable(kDb, QStringLiteral("LSkopf.DB"), QStringLiteral("R_IObjektNr"));
    const QVariantList objekt{FieldInt(head, QStringLiteral("R_ObjektNr"))};
    notes->setRange(objekt, objekt);
    for (notes->first(); !notes->eof() && !notes->isEmpty(); notes->next()) {
        if (FieldInt(*notes, QStringLiteral("R_Buchung")) != id)
            continue;
        CancelEditOnError(*notes, [&] {
            notes->edit();
            if (mode == TInvoiceEffects::Book) {
                notes->field(QStringLiteral("R_RechNr")).setValue(nr);
                notes->field(QStringLiteral("R_BuchDat")).setValue(datum);
            } else {
                notes->field(QStringLiteral("R_Buchung")).setValue(0);
                notes->field(QStringLiteral("R_RechNr")).clear();
                notes->field(QStringLiteral("R_BuchDat")).clear();
            }
            notes->post();
        });
    }
}

} // namespace

void BookDocumentLineEffects(Table& head, const QString& lineTable, const QDate& datum,
                             double sign) {
    const int objektId = GetObjektIdByNr(FieldInt(head, QStringLiteral("R_ObjektNr")));
    auto lines = OpenTempTable(kDb, lineTable, QStringLiteral("S_IRef"));
    const QVariantList ref{FieldInt(head, QStringLiteral("R_ID"))};
    lines->setRange(ref, ref);
    const TPackedDate packed = DateToPacked(DateTimeOfDate(datum));
    for (lines->first(); !lines->eof() && !lines->isEmpty(); lines->next()) {
        // Text, subtotal and page-break lines and the kinds 1 and 2 carry no
        // revenue of their own.
        if (FieldInt(*lines, QStringLiteral("S_PosArt")) != 0)
            continue;
        const double netto = sign * RoundCents(FieldFloat(*lines, QStringLiteral("S_Netto")));
        BookKostSum(objektId, FieldInt(*lines, QStringLiteral("S_ErloesKonto")), datum, 0, 0,
                    netto);
        const int artikel = FieldInt(*lines, QStringLiteral("S_MatID"));
        // A line without article has no article turnover to book.
        if (FieldInt(*lines, QStringLiteral("S_PosTyp")) == 0 && artikel != 0)
            AddAUmsatz(artikel, netto, 0, packed);
    }
}

void BookInvoiceEffects(Table& head, TInvoiceEffects mode) {
    if (!IsInvoiceBooked(head)) {
        if (mode == TInvoiceEffects::UndoForDelete)
            bookDeliveryNotes(head, mode);
        return;
    }
    if (mode != TInvoiceEffects::UndoForEdit)
        bookDeliveryNotes(head, mode);
    const table::Field& druck = head.field(QStringLiteral("R_DatumDruck"));
    const QDate datum = druck.isNull() ? QDate::currentDate() : druck.asDate();
    const double sign = mode == TInvoiceEffects::Book ? 1.0 : -1.0;
    const int kunde = FieldInt(head, QStringLiteral("R_KundenNr"));
    if (kunde != 0)
        BookKundenUmsatz(kunde, sign * RoundCents(FieldFloat(head, QStringLiteral("R_Brutto"))),
                         sign * RoundCents(FieldFloat(head, QStringLiteral("R_Netto"))), datum);
    BookDocumentLineEffects(head, QStringLiteral("Rechsatz.db"), datum, sign);
}

namespace {

void bookInOneTransaction(Table& head, TInvoiceEffects mode) {
    table::Transaction tx(*head.database());
    BookInvoiceEffects(head, mode);
    tx.commit();
}

} // namespace

void EditWithInvoiceEffects(Table& head, const std::function<void()>& edit) {
    if (head.isEmpty() || !IsInvoiceBooked(head)) {
        edit();
        return;
    }
    const int id = FieldInt(head, QStringLiteral("R_ID"));
    const QString nr = FieldText(head, QStringLiteral("R_Nr"));
    bookInOneTransaction(head, TInvoiceEffects::UndoForEdit);
    std::exception_ptr editFailure;
    try {
        edit();
    } catch (...) {
        editFailure = std::current_exception();
    }
    try {
        if (head.isEditing())
            head.cancel();
        head.refresh();
        // An invoice the editor deleted has no effects left to book.
        if (LocateInvoice(head, id) && IsInvoiceBooked(head))
            bookInOneTransaction(head, TInvoiceEffects::Book);
    } catch (const DbError& e) {
        throw DbError(QStringLiteral("Die Buchungen der Rechnung %1 konnten nicht wieder "
                                     "eingetragen werden!\r%2")
                          .arg(nr, e.message()));
    }
    if (editFailure)
        std::rethrow_exception(editFailure);
}
