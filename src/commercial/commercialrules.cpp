#include "commercial/commercialrules.h"

#include "core/data/datamodule.h"

void InstallCommercialRules(TDataModule1& dm) {
    // One install call per rule family.
    (void)dm;
}
