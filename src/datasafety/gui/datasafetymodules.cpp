#include "datasafety/gui/datasafetymodules.h"

#include "core/moduleentries.h"
#include "datasafety/gui/interchangewindows.h"

void RegisterDataSafetyModules(ModuleDispatcher& dispatcher) {
    (void)dispatcher;
    InstallInterchangeServices();
}
