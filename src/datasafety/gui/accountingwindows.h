#pragma once

// Fills the windows of the bookkeeping and payroll exports into
// AccountingExportUiRegistry: the month picker and the export window beside
// the main window (400 pixels right of and 200 below its top-left corner).
void InstallAccountingExportWindows();
