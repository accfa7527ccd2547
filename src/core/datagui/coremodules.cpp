#include "core/datagui/coremodules.h"

#include "core/moduleentries.h"

void RegisterCoreModules(ModuleDispatcher& dispatcher) {
    (void)dispatcher;
}
