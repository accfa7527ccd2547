#include "commercial/invoicing/raliste.h"

#include "commercial/documents/headfieldcopy.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/messages/messages.h"
#include "core/values/money.h"
#include "core/values/numberparsing.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>

using table::Table;

namespace {

double grossOf(Table& head, const QString& suffix) {
    return RoundCents(FieldFloat(head, QStringLiteral("R_Netto") + suffix) +
                      FieldFloat(head, QStringLiteral("R_Mwst") + suffix));
}

void fillJournalRow(Table& head, Table& journal, int satzart) {
    CopyStoredFieldsByName(head, journal);
    journal.field(QStringLiteral("R_Brutto")).setValue(grossOf(head, {}));
    for (const QString& code : {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")})
        journal.field(QStringLiteral("R_Brutto") + code).setValue(grossOf(head, code));
    journal.field(QStringLiteral("R_Exported")).setValue(false);
    journal.field(QStringLiteral("R_Selected")).setValue(false);
    journal.field(QStringLiteral("R_Satzart")).setValue(satzart);
    int kostenstelle1 = 0;
    int kostenstelle2 = 0;
    int zahlart = 0;
    // An incoming invoice's R_KundenNr is a supplier's number: no customer's
    // cost centres or payment method belong to it.
    if (satzart != kRaSatzartEingangsrechnung)
        GetKundeKostenstellen(FieldInt(journal, QStringLiteral("R_KundenNr")), kostenstelle1,
                              kostenstelle2, zahlart);
    journal.field(QStringLiteral("R_KKostenstelle1")).setValue(kostenstelle1);
    journal.field(QStringLiteral("R_KKostenstelle2")).setValue(kostenstelle2);
    journal.field(QStringLiteral("R_Zahlart")).setValue(zahlart);
    journal.field(QStringLiteral("R_NrNum"))
        .setValue(DigitsToInt(FieldText(journal, QStringLiteral("R_Nr"))));
}

} // namespace

void AppendRaListRow(TDataModule1& dm, Table& head, int satzart) {
    Table& journal = dm.TabRAListe();
    OpenForCall opened(journal);
    CancelEditOnError(journal, [&] {
        journal.append();
        fillJournalRow(head, journal, satzart);
        journal.post();
    });
    opened.close();
}

bool AppendToRAList(TDataModule1& dm, Table& head, int satzart) {
    try {
        AppendRaListRow(dm, head, satzart);
        return true;
    } catch (const DbError& e) {
        ShowError(QStringLiteral("Fehler beim Eintrag in die RA-Liste!\r") + e.message());
    } catch (const Abort&) {
        ShowError(QStringLiteral("Fehler beim Eintrag in die RA-Liste!"));
    }
    return false;
}

void MarkRaListePeriod(const QDate& from, const QDate& to) {
    auto journal = OpenTempTable(QStringLiteral("LumoDB"), QStringLiteral("raliste.db"));
    const QDate today = QDate::currentDate();
    table::Transaction tx(*journal->database());
    for (journal->first(); !journal->eof() && !journal->isEmpty(); journal->next()) {
        const table::Field& druck = journal->field(QStringLiteral("R_DatumDruck"));
        const QDate day = druck.isNull() ? today : druck.asDate();
        const bool inPeriod = day >= from && day <= to;
        const table::Field& mark = journal->field(QStringLiteral("R_Selected"));
        if (!mark.isNull() && mark.asBoolean() == inPeriod)
            continue;
        CancelEditOnError(*journal, [&] {
            journal->edit();
            journal->field(QStringLiteral("R_Selected")).setValue(inPeriod);
            journal->post();
        });
    }
    tx.commit();
}
