#include "commercial/gui/offereditorhooks.h"

OfferEditorHooks& OfferEditorHooksRegistry() {
    static OfferEditorHooks hooks;
    return hooks;
}
