#include "operations/dailylistformhooks.h"

DailyListFormHooks& DailyListFormHooksRegistry() {
    static DailyListFormHooks hooks;
    return hooks;
}
