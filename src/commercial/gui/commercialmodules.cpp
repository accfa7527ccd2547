#include "commercial/gui/commercialmodules.h"

#include "core/moduleentries.h"

void RegisterCommercialModules(ModuleDispatcher& dispatcher) {
    (void)dispatcher;
}
