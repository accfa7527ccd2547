#include "commercial/accounts/oparchive.h"

#include "core/data/dbhelpers.h"
#include "core/values/datetimevalue.h"
#include "core/values/money.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>
#include <QHash>

using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");
const QString kItems = QStringLiteral("OpKopf.DB");
const QString kPayments = QStringLiteral("OPZahl.db");

QDate printDate(Table& item) {
    const table::Field& f = item.field(QStringLiteral("R_DatumDruck"));
    return f.isNull() ? DateOfDateTime(EmptyDate) : f.asDate();
}

void tell(const OpArchiveFeedback& feedback, const QString& text) {
    if (feedback.status)
        feedback.status(text);
}

bool cancelled(const OpArchiveFeedback& feedback) {
    return feedback.cancelled && feedback.cancelled();
}

void setField(Table& t, const QString& field, const QVariant& value) {
    CancelEditOnError(t, [&] {
        t.edit();
        t.field(field).setValue(value);
        t.post();
    });
}

} // namespace

QDate EarliestSettledOpDate() {
    auto items = OpenTempTable(kDb, kItems, QStringLiteral("R_IDatumNr"));
    for (items->first(); !items->eof() && !items->isEmpty(); items->next())
        if (GetFieldBoolOrDefault(items->findField(QStringLiteral("O_Erledigt")), false) &&
            !items->field(QStringLiteral("R_DatumDruck")).isNull())
            return items->field(QStringLiteral("R_DatumDruck")).asDate();
    return {};
}

QString OpArchiveMemoLine(const QVariant& date, double amount, const QString& comment) {
    const QString day =
        date.isNull() ? QString() : date.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    return day + QStringLiteral(":  ") + FormatMoney(0, amount) + QLatin1Char(' ') + comment +
           QLatin1Char('\r');
}

OpArchiveMarks MarkOpItemsForArchive(const QDate& limit, const OpArchiveFeedback& feedback) {
    OpArchiveMarks result;
    auto db = table::aliases::database(kDb);
    table::Transaction tx(*db);
    tell(feedback, QStringLiteral("OP-Datei wird vorbereitet."));
    SetFieldInRecords(kDb, kItems, QStringLiteral("R_Selected"), QStringLiteral("R_Selected=true"),
                      false);
    tell(feedback, QStringLiteral("Zahlungsdatei wird vorbereitet."));
    SetFieldInRecords(kDb, kPayments, QStringLiteral("OZ_Selected"),
                      QStringLiteral("OZ_Selected=true"), false);

    auto items = OpenTempTable(kDb, kItems, QStringLiteral("R_IDatumNr"));
    QList<table::Bookmark> inRange;
    for (items->first(); !items->eof() && !items->isEmpty(); items->next()) {
        if (printDate(*items) > limit)
            break;
        inRange.append(items->bookmark());
    }
    result.inRange = int(inRange.size());
    if (inRange.isEmpty()) {
        tx.commit();
        return result;
    }

    tell(feedback, QStringLiteral("Auszulagernde Rechnungen werden markiert.\rBitte warten..."));
    if (feedback.startProgress)
        feedback.startProgress(result.inRange);
    auto payments = OpenTempTable(kDb, kPayments, QStringLiteral("I_RgNo"));
    int position = 0;
    for (const table::Bookmark& mark : inRange) {
        if (cancelled(feedback)) {
            result.cancelled = true;
            return result; // the transaction rolls every mark back
        }
        items->gotoBookmark(mark);
        if (GetFieldBoolOrDefault(items->findField(QStringLiteral("O_Erledigt")), false)) {
            const QString nr = FieldText(*items, QStringLiteral("R_Nr"));
            payments->setRange({nr}, {nr});
            QString memo;
            QList<table::Bookmark> own;
            for (payments->first(); !payments->eof() && !payments->isEmpty(); payments->next()) {
                memo += OpArchiveMemoLine(payments->field(QStringLiteral("OZ_Datum")).value(),
                                          FieldFloat(*payments, QStringLiteral("OZ_Betrag")),
                                          FieldText(*payments, QStringLiteral("OZ_Comment")));
                own.append(payments->bookmark());
            }
            payments->cancelRange();
            for (const table::Bookmark& p : own) {
                payments->gotoBookmark(p);
                setField(*payments, QStringLiteral("OZ_Selected"), true);
            }
            CancelEditOnError(*items, [&] {
                items->edit();
                items->field(QStringLiteral("R_Memo")).setValue(memo);
                items->field(QStringLiteral("R_Selected")).setValue(true);
                items->post();
            });
            ++result.marked;
        }
        if (feedback.progress)
            feedback.progress(++position);
    }
    if (cancelled(feedback)) {
        result.cancelled = true;
        return result;
    }
    tx.commit();
    return result;
}

void FinishOpArchive(const OpArchiveFeedback& feedback) {
    auto db = table::aliases::database(kDb);
    table::Transaction tx(*db);
    auto left = OpenTempTableWhere(kDb, kItems, QStringLiteral("R_Selected=true"));
    QStringList numbers;
    for (left->first(); !left->eof() && !left->isEmpty(); left->next())
        numbers.append(FieldText(*left, QStringLiteral("R_Nr")));
    if (!numbers.isEmpty()) {
        tell(feedback,
             QStringLiteral("Nicht übertragene Sätze werden wieder hergestellt.\rBitte warten..."));
        SetFieldInRecords(kDb, kItems, QStringLiteral("R_Selected"),
                          QStringLiteral("R_Selected=true"), false);
        auto payments = OpenTempTable(kDb, kPayments, QStringLiteral("I_RgNo"));
        for (const QString& nr : numbers) {
            payments->setRange({nr}, {nr});
            QList<table::Bookmark> own;
            for (payments->first(); !payments->eof() && !payments->isEmpty(); payments->next())
                own.append(payments->bookmark());
            payments->cancelRange();
            for (const table::Bookmark& p : own) {
                payments->gotoBookmark(p);
                setField(*payments, QStringLiteral("OZ_Selected"), false);
            }
        }
    }
    DeleteRecordsWithValue(kDb, kPayments, QStringLiteral("OZ_Selected"), true,
                           OnDeleteFailure::Raise);
    tx.commit();
}
