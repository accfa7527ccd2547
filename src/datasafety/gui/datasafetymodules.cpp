#include "datasafety/gui/datasafetymodules.h"

#include "core/moduleentries.h"

void RegisterDataSafetyModules(ModuleDispatcher& dispatcher) {
    (void)dispatcher;
}
