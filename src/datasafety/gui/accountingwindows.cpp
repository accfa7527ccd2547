#include "datasafety/gui/accountingwindows.h"

#include "core/gui/placement.h"
#include "datasafety/accounting/accountingexports.h"
#include "datasafety/gui/interchangewindows.h"
#include "datasafety/gui/tf_selectmonat.h"
#include "printing/gui/printbutton.h"
#include "printing/ralisteprint.h"

#include <QWidget>

namespace {
// The outgoing-invoice list, the protocol of the invoice exports.
constexpr int kJournalListForm = 37000;
} // namespace

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
    ui.printJournal = [](const JournalProtocol& protocol) {
        RaListRangeFrom = protocol.rangeFrom;
        RaListRangeTo = protocol.rangeTo;
        RaListPrintTime = RaListPrintTimeNow();
        QWidget* main = MainForm();
        const PrintLayout layout =
            ResolvePrintLayout({PrintVariant::A, kJournalListForm}, WindowPrintFormChoosers(main));
        if (layout.prints())
            PrintRAListe(protocol.title, protocol.indexName, QString(), true, layout.layoutPath(),
                         main);
    };
}
