#include "masterdata/gui/masterdatamodules.h"

#include "core/moduleentries.h"

void RegisterMasterDataModules(ModuleDispatcher& dispatcher) {
    (void)dispatcher;
}
