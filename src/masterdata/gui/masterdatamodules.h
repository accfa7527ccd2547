#pragma once

class ModuleDispatcher;

// Gives the main window's module entries of the master data their openers.
void RegisterMasterDataModules(ModuleDispatcher& dispatcher);
