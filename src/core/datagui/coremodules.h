#pragma once

class ModuleDispatcher;

// Gives the main window's entries of the core (company data, the print-form
// fix-up of "Sonstiges") their openers; called before the main window is built.
void RegisterCoreModules(ModuleDispatcher& dispatcher);
