#include "operations/gui/operationsmodules.h"

#include "core/moduleentries.h"

void RegisterOperationsModules(ModuleDispatcher& dispatcher) {
    (void)dispatcher;
}
