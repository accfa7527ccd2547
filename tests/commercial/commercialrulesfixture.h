#pragma once

#include "core/data/recordrulesfixture.h"
#include "commercial/commercialrules.h"

namespace commercialtest {

// A client database with the data module, its record rules and the
// commercial rules.
class CommercialRules : public datatest::RecordRules {
protected:
    void SetUp() override {
        datatest::RecordRules::SetUp();
        InstallCommercialRules(*dm);
    }
};

} // namespace commercialtest
