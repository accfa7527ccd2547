#pragma once

class TF_LumoMain;

// Joins the main window to client switching: the entries of the menu
// "Mandant", the title line, the start-up screen's client panel and the work
// on the client's data that every activation of the window does. That work
// waits while a switch or creation replaces the client's tables and runs once
// the switch has finished.
void InstallClientSwitching(TF_LumoMain& window);
