#include "datasafety/gui/datasafetymodules.h"

#include "core/moduleentries.h"
#include "datasafety/gui/archivewindowsinstall.h"
#include "datasafety/gui/interchangewindows.h"
#include "datasafety/gui/tf_datev.h"

void RegisterDataSafetyModules(ModuleDispatcher& dispatcher) {
    (void)dispatcher;
    InstallDatevForm();
    InstallInterchangeServices();
    InstallArchiveWindows(dispatcher);
}
