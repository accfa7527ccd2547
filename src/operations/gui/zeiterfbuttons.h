#pragma once

#include <functional>

class TF_Zeiterf;

// The buttons of the time-entry window whose modules live elsewhere: the
// time-record imports, the chip-card clock, the monthly time views and the
// archive. A module registers its opener here at start-up; a button without
// one stays disabled. The window shows its day again after every opener
// returns, also when it fails.
struct ZeiterfButtonHooks {
    std::function<void(TF_Zeiterf&)> import1;     // "Import 1": Zeiterf.dat
    std::function<void(TF_Zeiterf&)> import2;     // "Import 2": Zewtag.dat
    std::function<void(TF_Zeiterf&)> chipdrive;   // "Chipdrive": the chip-card clock
    std::function<void(TF_Zeiterf&)> objekte;     // "Objekte": month view by object
    std::function<void(TF_Zeiterf&)> mitarbeiter; // "Mitarbeiter": month view by employee
    std::function<void(TF_Zeiterf&)> auslagern;   // "Auslagern": into the archive
};
ZeiterfButtonHooks& ZeiterfButtonHooksRegistry();
