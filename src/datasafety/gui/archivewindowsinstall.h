#pragma once

class ModuleDispatcher;

// The archive's windows: "Daten auslagern" behind ArchiveDocuments, the
// document viewer behind ShowDocViewForm, and the archive browsers behind
// their "Datenablage" entries.
void InstallArchiveWindows(ModuleDispatcher& dispatcher);
