#include "datasafety/gui/accountingwindows.h"

#include "core/gui/placement.h"
#include "datasafety/accounting/accountingexports.h"
#include "datasafety/gui/interchangewindows.h"
#include "datasafety/gui/tf_selectmonat.h"

#include <QWidget>

void InstallAccountingExportWindows() {
    AccountingExportUi& ui = AccountingExportUiRegistry();
    ui.selectMonth = &SelectMonth;
    ui.runExport = [](table::Table& table, const QString& caption, const QString& definitionFile,
                      const QString& outputFile, const QString& filter) {
        const QWidget* main = MainForm();
        // Without a main window the export window is centred.
        const int left = main ? main->x() + 400 : 0;
        const int top = main ? main->y() + 200 : 0;
        return RunExport(table, caption, definitionFile, outputFile, filter, left, top);
    };
}
