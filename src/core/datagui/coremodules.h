#pragma once

class ModuleDispatcher;

// Gives the main window's module entries of the core (company data, grid services) their openers.
void RegisterCoreModules(ModuleDispatcher& dispatcher);
