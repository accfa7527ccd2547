#pragma once

class ModuleDispatcher;

// Gives the main window's module entries of data safety their openers.
void RegisterDataSafetyModules(ModuleDispatcher& dispatcher);
