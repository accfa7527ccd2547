// Entries of services that are not built yet: the menus keep them disabled
// (IsDataSafetyServiceAvailable), and a call that reaches one anyway says so
// instead of pretending to have done the work.
#include "datasafety/backupentries.h"
#include "datasafety/datasafety.h"
#include "platform/errors.h"

using namespace Qt::StringLiterals;

namespace {
[[noreturn]] void notAvailable() {
    throw DbError(u"Diese Funktion steht noch nicht zur Verfügung."_s);
}
} // namespace

bool IsDataSafetyServiceAvailable(DataSafetyService service) {
    return DataSafetyWindowsAvailable(int(service));
}

void RunImport(const QString&, const QString&, const QString&, const QString&, const QString&) {
    notAvailable();
}
void RunExport(const QString&, const QString&, const QString&, const QString&, const QString&, int,
               int) {
    notAvailable();
}
void EditDefinitionFile(const QString&, int, int) {
    notAvailable();
}
void ShowExportForm() {
    notAvailable();
}
void ShowDatevForm() {
    notAvailable();
}
void ShowRechViewForm() {
    notAvailable();
}
void ShowGsViewForm() {
    notAvailable();
}
void ShowAngViewForm() {
    notAvailable();
}
void ShowAuftViewForm() {
    notAvailable();
}
void ShowLiefViewForm() {
    notAvailable();
}
void ShowRechEinViewForm() {
    notAvailable();
}
void ShowDocViewForm(int, const QString&, int, const QStringList&) {
    notAvailable();
}
