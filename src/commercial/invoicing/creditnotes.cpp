#include "commercial/invoicing/creditnotes.h"

#include "commercial/bookings/costbookings.h"
#include "commercial/documents/documentlists.h"
#include "commercial/invoicing/invoiceeffects.h"
#include "commercial/invoicing/invoicemarks.h"
#include "commercial/invoicing/raliste.h"
#include "core/data/customerbilling.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/dockinds.h"
#include "core/data/docnumbers.h"
#include "core/data/lookups.h"
#include "core/data/turnover.h"
#include "core/messages/messages.h"
#include "core/values/datetimevalue.h"
#include "core/values/money.h"
#include "core/values/packeddate.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>
#include <exception>

using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");
const QString kBuchung = QStringLiteral("R_Buchung");
const QString kKey = QStringLiteral("R_ID");

int buchung(Table& head) {
    return FieldInt(head, kBuchung);
}

bool locate(Table& head, int id) {
    return head.locate({kKey}, {id});
}

void setBuchung(Table& head, int value) {
    CancelEditOnError(head, [&] {
        head.edit();
        head.field(kBuchung).setValue(value);
        head.post();
    });
}

void bookInOneTransaction(Table& head, bool book) {
    table::Transaction tx(*head.database());
    if (book) {
        setBuchung(head, buchung(head) | kGutschriftBooked);
        BookGutschriftEffects(head, TGutschriftEffects::Book);
    } else {
        BookGutschriftEffects(head, TGutschriftEffects::Undo);
        setBuchung(head, buchung(head) & ~kGutschriftBooked);
    }
    tx.commit();
}

} // namespace

void BookGutschriftEffects(Table& head, TGutschriftEffects mode) {
    if ((buchung(head) & kGutschriftBooked) == 0)
        return;
    const table::Field& plan = head.field(QStringLiteral("R_PlanDatum"));
    const QDate datum = plan.isNull() ? QDate::currentDate() : plan.asDate();
    // A credit note lowers what it books; taking it back raises it again.
    const double sign = mode == TGutschriftEffects::Book ? -1.0 : 1.0;
    const int kunde = FieldInt(head, QStringLiteral("R_KundenNr"));
    if (kunde != 0)
        BookKundenUmsatz(kunde, sign * RoundCents(FieldFloat(head, QStringLiteral("R_Brutto"))),
                         sign * RoundCents(FieldFloat(head, QStringLiteral("R_Netto"))), datum);
    BookDocumentLineEffects(head, QStringLiteral("GSSatz.DB"), datum, sign);
}

QString GutschriftClosedQuestion() {
    return QStringLiteral("Diese Gutschrift wurde bereits abgeschlossen!\rTrotzdem markieren?");
}

bool MayMarkGutschrift(Table& head) {
    if (buchung(head) & kGutschriftInFibu) {
        ShowError(FibuHandedOverText());
        return false;
    }
    if (buchung(head) & kGutschriftBooked)
        return AskYesNo(GutschriftClosedQuestion());
    return true;
}

bool SetGutschriftMark(Table& head, bool mark) {
    if (head.isEmpty())
        return false;
    if (mark && !GetFieldBoolOrDefault(head.findField(QStringLiteral("R_Selected")), false) &&
        !MayMarkGutschrift(head))
        return false;
    WriteDocumentMark(head, mark);
    return true;
}

void BookGutschrift(Table& head) {
    table::Transaction tx(*head.database());
    CancelEditOnError(head, [&] {
        head.edit();
        head.field(kBuchung).setValue(buchung(head) | kGutschriftBooked);
        head.field(QStringLiteral("R_Drucke")).setValue(0);
        head.post();
    });
    BookGutschriftEffects(head, TGutschriftEffects::Book);
    tx.commit();
}

int BookMarkedGutschriften(Table& head, const std::function<void(const QString& text)>& failedOne) {
    int booked = 0;
    for (int id : MarkedDocumentIds(head)) {
        if (!locate(head, id) || buchung(head) != 0)
            continue;
        const QString nr = FieldText(head, QStringLiteral("R_Nr"));
        QString reason;
        try {
            BookGutschrift(head);
            ++booked;
            continue;
        } catch (const DbError& e) {
            reason = e.message();
        } catch (const Abort&) {
        }
        head.refresh();
        QString text =
            QStringLiteral("Beim Drucken der Rechnung %1 ist ein Fehler aufgetreten!").arg(nr);
        if (!reason.isEmpty())
            text += u'\r' + reason;
        // Left marked it would be printed unbooked.
        try {
            if (locate(head, id))
                WriteDocumentMark(head, false);
        } catch (const DbError& e) {
            text += u'\r' + e.message();
        }
        if (failedOne)
            failedOne(text);
    }
    head.refresh();
    return booked;
}

void UnmarkAllGutschriften(Table& head) {
    const QList<int> ids = MarkedDocumentIds(head);
    if (ids.isEmpty())
        return;
    table::Transaction tx(*head.database());
    for (int id : ids)
        if (locate(head, id))
            WriteDocumentMark(head, false);
    tx.commit();
}

void DeleteGutschrift(Table& head) {
    try {
        table::Transaction tx(*head.database());
        BookGutschriftEffects(head, TGutschriftEffects::Undo);
        head.deleteRecord();
        tx.commit();
    } catch (...) {
        head.refresh();
        throw;
    }
}

int DeleteMarkedGutschriften(Table& head) {
    int deleted = 0;
    for (int id : MarkedDocumentIds(head)) {
        if (!locate(head, id))
            continue;
        DeleteGutschrift(head);
        ++deleted;
    }
    head.refresh();
    return deleted;
}

void EditWithGutschriftEffects(Table& head, const std::function<void()>& edit) {
    if (head.isEmpty() || (buchung(head) & kGutschriftBooked) == 0) {
        edit();
        return;
    }
    const int id = FieldInt(head, kKey);
    const QString nr = FieldText(head, QStringLiteral("R_Nr"));
    bookInOneTransaction(head, false);
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
        // A note the editor deleted has nothing left to book.
        if (locate(head, id))
            bookInOneTransaction(head, true);
    } catch (const DbError& e) {
        throw DbError(QStringLiteral("Die Buchungen der Gutschrift %1 konnten nicht wieder "
                                     "eingetragen werden!\r%2")
                          .arg(nr, e.message()));
    }
    if (editFailure)
        std::rethrow_exception(editFailure);
}

void JournalGutschriftForArchive(TDataModule1& dm, Table& head) {
    const QString nr = FieldText(head, QStringLiteral("R_Nr"));
    try {
        table::Transaction tx(*head.database());
        int state = buchung(head);
        if (!IsNrInRaListe(TDocKind::Gutschrift, nr)) {
            AppendRaListRow(dm, head, kRaSatzartGutschrift);
            state |= kGutschriftJournalled;
        }
        CancelEditOnError(head, [&] {
            head.edit();
            head.field(kBuchung).setValue(state);
            head.field(QStringLiteral("R_Selected")).setValue(true);
            head.post();
        });
        tx.commit();
    } catch (...) {
        head.refresh();
        throw;
    }
}
