#include "commercial/bookings/supplierturnover.h"

#include "commercial/bookings/costbookings.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/values/money.h"
#include "platform/table/table.h"

#include <QDate>
#include <exception>

namespace {

const QString kDb = QStringLiteral("LumoDB");

void bookIntoSupplier(int lieferantNr, double gross, const QDate& datum) {
    // A cursor of its own, so that the supplier form's record stays where it is.
    auto k = OpenTempTable(kDb, QStringLiteral("Liefrnt.db"));
    if (!k->locate({QStringLiteral("K_Nr")}, {lieferantNr}))
        return;
    CancelEditOnError(*k, [&] {
        k->edit();
        for (const QString& field : {QStringLiteral("K_UmsGesamt"), QStringLiteral("K_Rechoffen")})
            k->field(field).setValue(RoundCents(FieldFloat(*k, field) + gross));
        k->field(QStringLiteral("K_UmsLetzt")).setValue(gross);
        k->field(QStringLiteral("K_UmsLetztDat")).setValue(datum);
        k->post();
    });
    if (HasDataModule1())
        RefreshUnlessEditing(DataModule1().TabLieferant());
}

} // namespace

void BookLieferantUmsatz(int lieferantNr, double brutto, double netto, const QDate& datum) {
    if (lieferantNr == 0)
        return;
    const double gross = RoundCents(brutto);
    if (gross == 0)
        return;
    std::exception_ptr supplierError;
    try {
        bookIntoSupplier(lieferantNr, gross, datum);
    } catch (...) {
        supplierError = std::current_exception();
    }
    BookMonthUmsatz(lieferantNr, kDb, QStringLiteral("LUmsatz.db"), netto, 0, true, datum);
    if (supplierError)
        std::rethrow_exception(supplierError);
}
