#include "core/data/masterformhooks.h"

MasterFormHookSet& MasterFormHooksRegistry() {
    static MasterFormHookSet hooks;
    return hooks;
}
