#pragma once

#include <functional>

// Callbacks of the customer, supplier and article forms that the master
// rules call when the current record changes; empty ones behave as if the
// form were closed.
struct MasterFormHooks {
    // Whether the form's turnover tab is visible.
    std::function<bool()> turnoverTabVisible;
    // Draws the form's turnover chart again (the customer and article forms
    // both series, the supplier form the first).
    std::function<void()> redrawTurnoverChart;
    // Shows the current record's position; set while the form exists.
    std::function<void()> showRecordPosition;

    bool turnoverShown() const { return turnoverTabVisible && turnoverTabVisible(); }
};

struct MasterFormHookSet {
    MasterFormHooks customerForm, supplierForm, articleForm;
};
MasterFormHookSet& MasterFormHooksRegistry();
