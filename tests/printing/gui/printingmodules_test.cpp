#include "core/datagui/f_firmen.h"
#include "core/moduleentries.h"
#include "masterdata/serienbrief.h"
#include "printing/companylogo.h"
#include "printing/gui/printingmodules.h"

#include <gtest/gtest.h>

namespace {

// The company form lives below the printing library; only the modules'
// registration gives its print buttons their print.
TEST(PrintingModules, GiveTheCompanyFormItsPrint) {
    ModuleDispatcher dispatcher;
    RegisterPrintingModules(dispatcher);
    const bool installed = bool(SetFirmenPrinter({}));
    SetFirmenLogoLoader({});
    EXPECT_TRUE(installed);
}

// Registered before the long-lived forms exist, so that the address book
// builds "Serienbrief" enabled.
TEST(PrintingModules, InstallTheSerialLetterPrint) {
    const SerienbriefPrint before = SetSerienbriefPrint({});
    ModuleDispatcher dispatcher;
    RegisterPrintingModules(dispatcher);
    EXPECT_TRUE(IsSerienbriefPrintAvailable());
    SetFirmenPrinter({});
    SetFirmenLogoLoader({});
    SetSerienbriefPrint(before);
}

} // namespace
