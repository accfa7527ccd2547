#include "core/data/customerbilling.h"

#include "core/data/dbhelpers.h"
#include "core/data/turnover.h"
#include "core/values/money.h"
#include "core/values/packeddate.h"
#include "platform/table/table.h"

#include <QDate>
#include <cmath>
#include <exception>

namespace {

const QString kDb = QStringLiteral("LumoDB");
const QString kKunden = QStringLiteral("Kunden.DB");

std::unique_ptr<table::Table> customerCursor(int kundenNr) {
    auto t = OpenTempTable(kDb, kKunden);
    if (!t->locate({QStringLiteral("K_Nr")}, {kundenNr}))
        return nullptr;
    return t;
}

void bookIntoCustomer(table::Table& k, double brutto, const QDate& datum) {
    const double gross = RoundCents(brutto);
    CancelEditOnError(k, [&] {
        k.edit();
        k.field(QStringLiteral("K_UmsGesamt"))
            .setValue(RoundCents(FieldFloat(k, QStringLiteral("K_UmsGesamt")) + gross));
        k.field(QStringLiteral("K_Rechoffen"))
            .setValue(RoundCents(FieldFloat(k, QStringLiteral("K_Rechoffen")) + gross));
        k.field(QStringLiteral("K_UmsLetzt")).setValue(brutto);
        k.field(QStringLiteral("K_UmsLetztDat")).setValue(datum);
        k.post();
    });
}

} // namespace

bool GetKundeBillingData(int kundenNr, TKundeBillingData& data) {
    auto k = customerCursor(kundenNr);
    if (!k)
        return false;
    data.Match = FieldText(*k, QStringLiteral("K_Match"));
    data.Name1 = FieldText(*k, QStringLiteral("K_Name1"));
    data.Name2 = FieldText(*k, QStringLiteral("K_Name2"));
    data.Name3 = FieldText(*k, QStringLiteral("K_Name3"));
    data.Plz = FieldText(*k, QStringLiteral("K_Plz"));
    data.Ort = FieldText(*k, QStringLiteral("K_Ort"));
    data.Strasse = FieldText(*k, QStringLiteral("K_Strasse"));
    data.FibuKonto = int(std::lround(FieldFloat(*k, QStringLiteral("K_FibuKonto"))));
    data.RechBed = FieldInt(*k, QStringLiteral("K_RechBed"));
    if (data.RechBed > 0) {
        auto z = OpenTempTable(kDb, QStringLiteral("Zahlbed.DB"));
        if (z->locate({QStringLiteral("Z_ID")}, {data.RechBed})) {
            data.PaymentTermText = FieldText(*z, QStringLiteral("Z_Text"));
            data.Skonto = FieldFloat(*z, QStringLiteral("Z_Skonto"));
            data.Tage = FieldInt(*z, QStringLiteral("Z_Tage"));
            data.Skonto2 = FieldFloat(*z, QStringLiteral("Z_Skonto2"));
            data.Tage2 = FieldInt(*z, QStringLiteral("Z_Tage2"));
            data.NettoTage = FieldInt(*z, QStringLiteral("Z_NettoTage"));
        }
    }
    return true;
}

void BookKundenUmsatz(int kundenNr, double brutto, double netto, const QDate& datum) {
    if (kundenNr == 0)
        return;
    std::exception_ptr customerError;
    try {
        if (auto k = customerCursor(kundenNr))
            bookIntoCustomer(*k, brutto, datum);
    } catch (...) {
        customerError = std::current_exception();
    }
    AddKUmsatz(kundenNr, netto, 0,
               TPackedDate(quint16(datum.year()), quint8(datum.month()), quint8(datum.day())));
    if (customerError)
        std::rethrow_exception(customerError);
}
