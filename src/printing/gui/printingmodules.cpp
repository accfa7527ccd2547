#include "printing/gui/printingmodules.h"

#include "core/datagui/logoimage.h"
#include "core/moduleentries.h"
#include "printing/companylogo.h"

void RegisterPrintingModules(ModuleDispatcher& dispatcher) {
    (void)dispatcher;
    SetFirmenLogoLoader(&LoadFirmenLogo);
}
