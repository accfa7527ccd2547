#include "datasafety/gui/datasafetymodules.h"

#include "core/moduleentries.h"
#include "datasafety/gui/tf_datsich.h"

void RegisterDataSafetyModules(ModuleDispatcher& dispatcher) {
    (void)dispatcher;
    InstallBackupDialogWindow();
}
