#include "operations/gui/zeiterfbuttons.h"

ZeiterfButtonHooks& ZeiterfButtonHooksRegistry() {
    static ZeiterfButtonHooks hooks;
    return hooks;
}
