#include "core/data/kostenauszeiterfass.h"

#include "core/data/datamodule.h"
#include "platform/table/table.h"

bool KostenAusZeiterfassOn = false;

bool GetKostenAusZeiterfass(table::Table& firmen) {
    KostenAusZeiterfassOn = firmen.field(QStringLiteral("F_KostenausZeiterfass")).asBooleanOr(true);
    return KostenAusZeiterfassOn;
}

bool GetKostenAusZeiterfass() {
    return GetKostenAusZeiterfass(DataModule1().TabFirmen());
}
