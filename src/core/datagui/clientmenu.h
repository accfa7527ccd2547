#pragma once

#include <functional>

class TF_LumoMain;

// Joins the main window to client switching: the entries of the menu
// "Mandant", the title line, the start-up screen's client panel and the work
// on the client's data that every activation of the window does. That work
// waits while a switch or creation replaces the client's tables and runs once
// the switch has finished. firstActivation (when given) runs once, at the
// first activation that finds the client's tables: work of modules above
// this library, such as bringing the tours' next dates up to today.
void InstallClientSwitching(TF_LumoMain& window, std::function<void()> firstActivation = {});
