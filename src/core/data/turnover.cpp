#include "core/data/turnover.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/values/calendar.h"
#include "core/values/money.h"
#include "core/values/packeddate.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>
#include <cmath>

int TodayYear = QDate::currentDate().year();

namespace {

void addTurnover(const QString& file, const QString& index, const QString& ownerField, int owner,
                 double betrag, double kosten, TPackedDate datum) {
    if (datum.Month < 1 || datum.Month > 12)
        throw DbError(QStringLiteral("Ungültiges Buchungsdatum für den Umsatz."));
    const QString db = QStringLiteral("LumoDB");
    const int year = datum.Year;
    // The month rows and the booking land together.
    table::Transaction tx(*table::aliases::database(db));
    auto t = OpenTempTable(db, file, index);
    const QStringList key{ownerField, QStringLiteral("U_Jahr"), QStringLiteral("U_Monat")};
    if (!t->locate(key, {owner, year, int(datum.Month)})) {
        for (int month = 1; month <= 12; ++month) {
            if (t->locate(key, {owner, year, month}))
                continue;
            t->append();
            t->field(QStringLiteral("U_ID")).setValue(GetNextId(db, file, QStringLiteral("U_ID")));
            t->field(ownerField).setValue(owner);
            t->field(QStringLiteral("U_Jahr")).setValue(year);
            t->field(QStringLiteral("U_Monat")).setValue(month);
            t->field(QStringLiteral("U_Betrag")).setValue(0.0);
            t->field(QStringLiteral("U_Kosten")).setValue(0.0);
            t->post();
        }
        if (!t->locate(key, {owner, year, int(datum.Month)}))
            throw DbError(QStringLiteral("Die Umsatzzeile konnte nicht angelegt werden."));
    }
    double amount =
        RoundCents(GetFieldFloatOrDefault(t->findField(QStringLiteral("U_Betrag")), 0) + betrag);
    if (std::fabs(amount) < 0.005)
        amount = 0;
    const double costs =
        RoundCents(GetFieldFloatOrDefault(t->findField(QStringLiteral("U_Kosten")), 0) + kosten);
    t->edit();
    t->field(QStringLiteral("U_Betrag")).setValue(amount);
    t->field(QStringLiteral("U_Kosten")).setValue(costs);
    t->post();
    tx.commit();
}

} // namespace

void AddKUmsatz(int kundenNr, double betrag, double kosten, TPackedDate datum) {
    addTurnover(QStringLiteral("KUmsatz.DB"), QStringLiteral("U_KdJrMon"),
                QStringLiteral("U_Kunde"), kundenNr, betrag, kosten, datum);
}

void AddAUmsatz(int artikelId, double betrag, double kosten, TPackedDate datum) {
    addTurnover(QStringLiteral("AUmsatz.DB"), QStringLiteral("U_IArtJahr"),
                QStringLiteral("U_ArtikelID"), artikelId, betrag, kosten, datum);
}

void InstallTurnoverMonthNames(TDataModule1& dm) {
    dm.AddTableSetup([](TDataModule1& module) {
        for (table::Table* t : {&module.TabKUmsatz(), &module.TabAUmsatz(), &module.TabLUmsatz()}) {
            t->addCalculatedField(QStringLiteral("U_MonatsName"), table::FieldType::String, 20);
            t->onCalcFields += [](table::Table& self) {
                self.field(QStringLiteral("U_MonatsName"))
                    .setValue(GetMonthName(self.field(QStringLiteral("U_Monat")).asIntegerOr(0)));
            };
        }
    });
}
