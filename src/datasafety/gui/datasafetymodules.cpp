#include "datasafety/gui/datasafetymodules.h"

#include "core/moduleentries.h"
#include "datasafety/backupentries.h"
#include "datasafety/gui/accountingwindows.h"
#include "datasafety/gui/archivewindowsinstall.h"
#include "datasafety/gui/interchangewindows.h"
#include "datasafety/gui/tf_datev.h"
#include "datasafety/gui/tf_datsich.h"
#include "datasafety/gui/tf_defftp.h"
#include "datasafety/gui/tf_ftp.h"
#include "datasafety/gui/tf_path.h"

void RegisterDataSafetyModules(ModuleDispatcher& dispatcher) {
    (void)dispatcher;
    InstallDatevForm();
    InstallInterchangeServices();
    InstallArchiveWindows(dispatcher);
    InstallBackupDialogWindow();
    InstallVaultWindows();
    DataSafetyWindowsRegistry().pathForm = &ShowPathFormWindow;
    DataSafetyWindowsRegistry().ftpSettingsForm = &ShowFtpSettingsWindow;
    InstallAccountingExportWindows();
}
