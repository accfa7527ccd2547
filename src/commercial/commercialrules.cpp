#include "commercial/commercialrules.h"

#include "commercial/accounts/paymentrules.h"
#include "commercial/documents/documentrules.h"
#include "commercial/purchasing/purchasingrules.h"
#include "core/data/datamodule.h"

void InstallCommercialRules(TDataModule1& dm) {
    // One install call per rule family.
    InstallDocumentRules(dm);
    InstallPurchasingRules(dm);
    InstallOpenItemAccountRules(dm);
    (void)dm;
}
