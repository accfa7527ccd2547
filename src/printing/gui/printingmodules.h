#pragma once

class ModuleDispatcher;

// Gives the main window's module entries of printing and the statistics their openers.
void RegisterPrintingModules(ModuleDispatcher& dispatcher);
