#include "printing/gui/printingmodules.h"

#include "core/moduleentries.h"

void RegisterPrintingModules(ModuleDispatcher& dispatcher) {
    (void)dispatcher;
}
