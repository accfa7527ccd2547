#pragma once
#include <functional>

class QMenu;
class QWidget;

// Fills the main window's menus "Datensicherung" and "Import/Export" with the
// backup, transport, vault, path, import and export entries. Entries whose
// service is not part of this build are disabled. Position for the dialogs
// comes from the owner window.
void FillDatensicherungMenu(QMenu* menu, QWidget* owner);
void FillImportExportMenu(QMenu* menu, QWidget* owner);

// The opener of the reorganisation form (menu "Datensicherung"); set before
// the menus are built.
void SetDbReorgOpener(std::function<void()> opener);
