#pragma once

class ModuleDispatcher;

// Gives the main window's module entries of the commercial documents their openers.
void RegisterCommercialModules(ModuleDispatcher& dispatcher);
