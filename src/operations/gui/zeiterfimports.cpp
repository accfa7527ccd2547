#include "operations/gui/zeiterfimports.h"

#include "core/importdefinitions.h"
#include "core/messages/messages.h"
#include "core/values/datetext.h"
#include "core/values/datetimevalue.h"
#include "datasafety/autobackup.h"
#include "masterdata/dialogs/tf_daterangedlg.h"
#include "operations/gui/importprogress.h"
#include "operations/gui/tf_zeiterf.h"
#include "operations/timeimportfiles.h"
#include "operations/timerecordservice.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace {

// After the file was read and before anything is written: the backup
// offered, then whether the period's records go first.
void askAndRun(TimeFileImport& import) {
    OfferAutomaticBackupAsking(AutoBackupSwitch::Ask, ImportBackupQuestion(),
                               u"Autosicherung vor Import der Arbeitszeiten am "_s + TodayStr());
    QCoreApplication::processEvents();
    const bool deleteExisting = AskYesNo(u"Möchten Sie vorhandene Datensätze löschen?"_s);
    import.run(deleteExisting);
}

// The create right of time recording, asked before anything else.
bool mayImport() {
    TimeRecordService service;
    return service.mayCreateRecords();
}

} // namespace

void RunZeiterfImport(TF_Zeiterf& window) {
    if (!mayImport())
        return;
    ImportProgressWindow progress(&window, u"Datensatz %1 von %2"_s);
    TimeFileImport import(progress.progress());
    if (!import.loadZeiterfDat())
        return;
    askAndRun(import);
}

void RunZewtagImport(TF_Zeiterf& window) {
    if (!mayImport())
        return;
    const QDate today = QDate::currentDate();
    TDateTime from = DateTimeOfDate(QDate(today.year(), today.month(), 1));
    TDateTime to = DateTimeOfDate(QDate(today.year(), today.month(), today.daysInMonth()));
    if (!EnterDateRange(from, to, 122, 128, u"Arbeitszeiten erstellen für den Zeitraum"_s))
        return;
    ImportProgressWindow progress(&window, u"Datensatz %1 von %2"_s);
    TimeFileImport import(progress.progress());
    if (!import.loadZewtagDat(DateOfDateTime(from), DateOfDateTime(to)))
        return;
    askAndRun(import);
}
