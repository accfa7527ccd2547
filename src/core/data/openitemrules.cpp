#include "core/data/openitemrules.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/recordrules.h"
#include "core/data/rulebuilders.h"
#include "core/messages/messagelist.h"
#include "core/values/calendar.h"
#include "core/values/rangeerrors.h"
#include "platform/table/table.h"

#include <QDate>

using table::Table;
using table::TableError;
using table::TableState;

namespace {

const QString kDb = QStringLiteral("LumoDB");
const QString kPaymentNrField = QStringLiteral("OZ_RgNo");

using rulebuilders::keyed;

// A date field as a date-time value; null and the zero date both give EmptyDate.
TDateTime dateValue(Table& t, const QString& field) {
    const table::Field* f = t.findField(field);
    if (!f || f->isNull())
        return EmptyDate;
    return DateTimeOfDate(f->asDate());
}

bool sameNumber(Table& t, const QString& field, int value) {
    return GetFieldIntOrDefault(t.findField(field), 0) == value;
}

QString upperField(Table& t, const QString& field) {
    return GetFieldStrOrDefault(t.findField(field), QString()).toUpper();
}

// Deletes the current head's lines through the shared line object, so that
// the lines' own rules run.
void deleteLinesThroughShared(Table& lines) {
    OpenForCall open(lines);
    lines.refresh();
    // Bounded: a line that stays after its delete would otherwise loop for ever.
    int remaining = lines.recordCount() + 1;
    lines.first();
    while (!lines.isEmpty()) {
        if (remaining-- <= 0)
            throw DbError(QStringLiteral("Die Positionen des Eintrags konnten nicht alle "
                                         "gelöscht werden.\rEs wurde nichts gelöscht."));
        try {
            lines.deleteRecord();
        } catch (const TableError& e) {
            if (e.kind() != TableError::RecordDeleted)
                throw;
        }
    }
}

// The payments (linked by the document number) and lines go with their head.
// They are deleted in one transaction after the head's own lock is taken, so
// that either the head and everything that belongs to it goes, or nothing.
void deleteHeadDependants(Table& head, const QString& paymentFile, Table& lines) {
    const QString nr = GetFieldStrOrDefault(head.findField(QStringLiteral("R_Nr")), QString());
    table::Transaction tx(*head.database());
    // A payment without a document number belongs to no head.
    if (!nr.isEmpty() && CountRecordsWithValue(kDb, paymentFile, kPaymentNrField, nr) > 0) {
        OpenMessageList(QStringLiteral("Datenbank-Manager"), QStringLiteral("Lösche Einträge"), 200,
                        200);
        struct CloseList {
            ~CloseList() { CloseMessageList(); }
        } closeList;
        DeleteRecordsWithValue(kDb, paymentFile, kPaymentNrField, nr, OnDeleteFailure::Raise);
        if (head.state() == TableState::Browse)
            head.refresh();
    }
    WithOwnLock(head, [&] {
        deleteLinesThroughShared(lines);
        tx.commit();
    });
}

void onOpostenScrolled() {
    const OpenItemFormHooks& hooks = OpenItemFormHooksRegistry();
    if (!hooks.opostenVisible || !hooks.opostenVisible())
        return;
    if (hooks.opostenShowRecordPosition)
        hooks.opostenShowRecordPosition();
    if (hooks.opostenUpdateSaldo)
        hooks.opostenUpdateSaldo();
}

// The due date never lies after the creation date plus the net days; the
// correction is left in edit state for the form's next post or scroll.
void correctDueDate(Table& head) {
    if (head.state() != TableState::Browse || head.isEmpty())
        return;
    const TDateTime created = dateValue(head, QStringLiteral("R_DatumErstell"));
    if (created == EmptyDate)
        return;
    const int netDays =
        GetFieldIntOrDefault(head.findField(QStringLiteral("R_ZahlBedNettoTage")), 0);
    const QDate latest = DateOfDateTime(created).addDays(netDays);
    const TDateTime due = dateValue(head, QStringLiteral("R_FaelligDatum"));
    if (due <= DateTimeOfDate(latest))
        return;
    head.edit();
    head.field(QStringLiteral("R_FaelligDatum")).setValue(latest);
}

void onOErKopfScrolled(Table& head) {
    const OpenItemFormHooks& hooks = OpenItemFormHooksRegistry();
    if (!hooks.opErVisible || !hooks.opErVisible())
        return;
    if (hooks.opErShowRecordPosition)
        hooks.opErShowRecordPosition();
    correctDueDate(head);
}

void bindOpenItemRules(TDataModule1& dm) {
    for (const NumberedTableRules& r :
         {keyed("TabOposten", "R_ID"), keyed("TabOPSatz", "S_ID"), keyed("TabOErKopf", "R_ID"),
          keyed("TabOErSatz", "S_ID"), keyed("TabRAListe", "R_ID", [](Table& t) {
              t.field(QStringLiteral("R_Satzart")).setValue(0);
          })})
        BindNumberedTableRules(dm, r);

    Table& oposten = dm.TabOposten();
    Table* opLines = &dm.TabOPSatz();
    oposten.beforeDelete += [opLines](Table& head) {
        deleteHeadDependants(head, QStringLiteral("OPZahl.db"), *opLines);
    };
    oposten.afterScroll += [](Table&) { onOpostenScrolled(); };
    oposten.setFilterFunction([](Table& t) { return OpostenFilterAccepts(t); });
    // The filter record outlives a client switch; the new objects follow it.
    oposten.setFiltered(OpFilterParams().Mode != 0);
    opLines->field(QStringLiteral("S_PosNr")).onGetText = [](const table::Field& f) {
        return f.isNull() ? QString() : OpenItemPosNrText(f.asInteger());
    };

    Table& oerKopf = dm.TabOErKopf();
    Table* oerLines = &dm.TabOErSatz();
    oerKopf.beforeDelete += [oerLines](Table& head) {
        deleteHeadDependants(head, QStringLiteral("ERZahl.db"), *oerLines);
    };
    oerKopf.afterScroll += [](Table& head) { onOErKopfScrolled(head); };
}

} // namespace

TOpFilterParams& OpFilterParams() {
    static TOpFilterParams params;
    return params;
}

OpenItemFormHooks& OpenItemFormHooksRegistry() {
    static OpenItemFormHooks hooks;
    return hooks;
}

void SetOpostenFilter(TDataModule1& dm, int mode, int objektNr, int kundenNr, int jahr, int monat,
                      int matchKind, const QString& searchText) {
    // The month's bounds are packed dates: a year or month outside them is refused.
    if (jahr < 0 || jahr > 65535 || monat < 0 || monat > 255)
        RaiseRangeError();
    TOpFilterParams p;
    p.Mode = mode;
    p.ObjektNr = objektNr;
    p.KundenNr = kundenNr;
    p.Jahr = jahr;
    p.Monat = monat;
    p.MatchKind = matchKind;
    p.SearchText = searchText;
    const QDate first(jahr, monat, 1);
    if (first.isValid()) {
        p.DateFrom = DateTimeOfDate(first);
        p.DateTo = DateTimeOfDate(first.addMonths(1).addDays(-1));
    }
    OpFilterParams() = p;
    Table& t = dm.TabOposten();
    t.setFiltered(mode != 0);
    if (t.isOpen())
        t.refresh();
}

bool OpostenFilterAccepts(const TOpFilterParams& p, Table& dataSet) {
    switch (p.Mode) {
    case 1:
        return !GetFieldBoolOrDefault(dataSet.findField(QStringLiteral("O_Erledigt")), false);
    case 2:
        return GetFieldBoolOrDefault(dataSet.findField(QStringLiteral("O_Erledigt")), false);
    case 3:
        return sameNumber(dataSet, QStringLiteral("R_ObjektNr"), p.ObjektNr);
    case 4:
        return sameNumber(dataSet, QStringLiteral("R_KundenNr"), p.KundenNr);
    case 5:
        return DateInRange(dateValue(dataSet, QStringLiteral("R_DatumDruck")), p.DateFrom,
                           p.DateTo);
    case 99:
        return upperField(dataSet, p.MatchKind == 3 ? QStringLiteral("R_OMatch")
                                                    : QStringLiteral("R_KMatch"))
            .contains(p.SearchText);
    default:
        return true;
    }
}

bool OpostenFilterAccepts(Table& dataSet) {
    return OpostenFilterAccepts(OpFilterParams(), dataSet);
}

QString OpenItemPosNrText(int posNr) {
    while (posNr != 0 && posNr % 100 == 0)
        posNr /= 100;
    QString text = QString::number(posNr);
    for (qsizetype pos = text.size() - 2; pos >= 1; pos -= 2)
        text.insert(pos, QLatin1Char('.'));
    return text;
}

void InstallOpenItemRules(TDataModule1& dm) {
    dm.AddTableSetup(bindOpenItemRules);
}
