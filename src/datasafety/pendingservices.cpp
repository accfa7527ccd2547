// Entries of services that are not built yet: the menus keep them disabled
// (IsDataSafetyServiceAvailable), and a call that reaches one anyway says so
// instead of pretending to have done the work.
#include "datasafety/backupentries.h"
#include "datasafety/datasafety.h"
#include "datasafety/datev/datevservice.h"
#include "datasafety/documentarchive/archivewindows.h"
#include "datasafety/interchangeservices.h"
#include "platform/errors.h"

using namespace Qt::StringLiterals;

namespace {
[[noreturn]] void notAvailable() {
    throw DbError(u"Diese Funktion steht noch nicht zur Verfügung."_s);
}
} // namespace

InterchangeServices& InterchangeServicesRegistry() {
    static InterchangeServices services;
    return services;
}

bool IsDataSafetyServiceAvailable(DataSafetyService service) {
    if (service == DataSafetyService::Datev)
        return IsDatevFormInstalled();
    if (service == DataSafetyService::ArchiveBrowsers)
        return AreArchiveBrowsersInstalled();
    if (service == DataSafetyService::DocumentViewer)
        return IsDocViewInstalled();
    if (service == DataSafetyService::ImportExport)
        return InterchangeServicesRegistry().installed();
    return DataSafetyWindowsAvailable(int(service));
}

namespace {
const InterchangeServices& interchange() {
    const InterchangeServices& services = InterchangeServicesRegistry();
    if (!services.installed())
        notAvailable();
    return services;
}
} // namespace

void RunImport(const QString& table, const QString& caption, const QString& definitionFile,
               const QString& dataFile, const QString& keyField) {
    interchange().runImport(table, caption, definitionFile, dataFile, keyField);
}
bool RunExport(const QString& table, const QString& caption, const QString& definitionFile,
               const QString& outputFile, const QString& filter, int left, int top) {
    return interchange().runExport(table, caption, definitionFile, outputFile, filter, left, top);
}
int EditDefinitionFile(const QString& fileName, int left, int top) {
    return interchange().editDefinitionFile(fileName, left, top);
}
void ShowExportForm() {
    interchange().showExportForm();
}
QString TableFilterText(const QString& table) {
    return interchange().tableFilter(table);
}
