#pragma once

#include "clientdbfixture.h"
#include "core/data/datamodule.h"

#include <memory>

namespace datatest {

// A client database whose data module a test creates once its rows are
// written, so that the module's objects see them from the start.
class ModuleDbFixture : public ClientDbFixture {
protected:
    void createModule() {
        dm = std::make_unique<TDataModule1>();
        dm->DataModuleCreate();
    }
    void TearDown() override {
        dm.reset();
        ClientDbFixture::TearDown();
    }
    std::unique_ptr<TDataModule1> dm;
};

} // namespace datatest
