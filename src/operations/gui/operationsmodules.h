#pragma once

class ModuleDispatcher;

// Gives the main window's module entries of operations planning their openers.
void RegisterOperationsModules(ModuleDispatcher& dispatcher);
