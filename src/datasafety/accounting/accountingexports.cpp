#include "datasafety/accounting/accountingexports.h"

#include "core/data/datamodule.h"
#include "core/files/paths.h"
#include "core/files/programdirs.h"
#include "core/importdefinitions.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/values/calendar.h"
#include "core/values/datetext.h"
#include "datasafety/accounting/invoiceexporttable.h"
#include "datasafety/autobackup.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>
#include <QDir>

using namespace Qt::StringLiterals;
using Kind = AccountingExportKind;

namespace {

const AccountingExportUi& installedUi() {
    const AccountingExportUi& ui = AccountingExportUiRegistry();
    if (!ui.installed())
        throw DbError(u"Diese Funktion steht noch nicht zur Verfügung."_s);
    return ui;
}

// The closing log line of an export, written however the export ends.
class LogOut {
public:
    explicit LogOut(QString line) : m_line(std::move(line)) {}
    ~LogOut() { WriteLog(m_line); }
    LogOut(const LogOut&) = delete;
    LogOut& operator=(const LogOut&) = delete;

private:
    QString m_line;
};

void offerBackup(const AccountingExport& job) {
    OfferAutomaticBackupAsking(AutoBackupSwitch::Ask, ExportBackupQuestion(),
                               job.backupComment + TodayStr());
}

// The current month and year, changed by the picker; false on cancel.
bool chooseMonth(const AccountingExportUi& ui, const QString& caption, int& month, int& year) {
    const QDate today = QDate::currentDate();
    month = today.month();
    year = today.year();
    return ui.selectMonth(month, year, year - 2, year + 2, caption);
}

// The directory part of an "SFILE" value, with its separator; empty when the
// value names no directory.
QString directoryOf(const QString& value) {
    const QString path = LocalPath(value.trimmed());
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.left(slash + 1);
}

} // namespace

const QList<AccountingExport>& AccountingExports() {
    static const QList<AccountingExport> exports = {
        {Kind::Invoices, u"Rechnungsexport -> KHK-Fibu"_s,
         u"Rechnungsexport an KHK-Classic Line 2000"_s, u"Fibuexport KHK"_s,
         u"Autosicherung vor Fibu-Export am "_s, QString(), u"RechKHK.exp"_s, u"Export.dif"_s,
         QString()},
        {Kind::Masters, u"Debitorenexport -> KHK-Fibu"_s, u"Datenexport : Debitoren -> KHK-Fibu"_s,
         u"Debitorenexport KHK"_s, u"Autosicherung vor Debitoren-Export am "_s, u"TabKunden"_s,
         u"DebitKHK.exp"_s, u"Opdebit.dif"_s, u"K_FibuKonto>0"_s},
        {Kind::Invoices, u"Rechnungsexport -> Lexware-Fibu"_s, u"Rechnungsexport an Lexware-Fibu"_s,
         u"Fibuexport Lex"_s, u"Autosicherung vor Fibu-Export am "_s, QString(), u"RechLex.exp"_s,
         u"RechLex.txt"_s, QString()},
        {Kind::Masters, u"Debitorenexport->Lexware-Fibu"_s,
         u"Datenexport : Debitoren -> Lexware-Fibu"_s, u"Debitorenexport Lexware"_s,
         u"Autosicherung vor Debitoren-Export am "_s, u"TabKunden"_s, u"DebitLex.exp"_s,
         u"DebitLex.txt"_s, u"K_FibuKonto>0"_s},
        // The supplier table spells the field K_Fibukonto; field names in
        // filters are found without regard to case.
        {Kind::Masters, u"Kreditorenexport->Lexware-Fibu"_s,
         u"Datenexport : Kreditoren -> Lexware-Fibu"_s, u"Kreditorenexport Lexware"_s,
         u"Autosicherung vor Kreditoren-Export am "_s, u"TabLieferant"_s, u"KreditLex.exp"_s,
         u"kreditLex.txt"_s, u"K_FibuKonto>0"_s},
        {Kind::Masters, u"Personaldaten ->Lexware Lohn+Gehalt"_s,
         u"Datenexport : Personaldaten -> Lexware-Lohn"_s, u"Personaldatenexport Lexware"_s,
         u"Autosicherung vor Personaldaten-Export am "_s, u"TabPersonal"_s, u"Perslex.exp"_s,
         u"Perslext.txt"_s, QString()},
        {Kind::Hours, u"Arbeitszeiten -> Lexware Lohn+Gehalt"_s,
         u"Datenexport : Lohndaten -> Lexware-Lohn"_s, u"Lohndatenexport Lexware"_s,
         u"Autosicherung vor Lohndaten-Export am "_s, u"TabZeitsumme"_s, u"Lohnlex.exp"_s,
         u"Lohnlext.txt"_s, QString()},
    };
    return exports;
}

const AccountingExport& AccountingExportOf(const QString& menuEntry) {
    for (const AccountingExport& job : AccountingExports())
        if (job.menuEntry == menuEntry)
            return job;
    throw DbError(u"Unbekannter Export: "_s + ShownValue(menuEntry));
}

AccountingExportUi& AccountingExportUiRegistry() {
    static AccountingExportUi ui;
    return ui;
}

bool IsAccountingExportInstalled() {
    return AccountingExportUiRegistry().installed();
}

InvoiceExportOutcome RunInvoiceExport(const AccountingExport& job, const QString& databaseName) {
    const AccountingExportUi& ui = installedUi();
    int month = 0, year = 0;
    if (!chooseMonth(ui, u"Fibudaten übergeben für Monat:"_s, month, year))
        return InvoiceExportOutcome::Cancelled;
    const QDate from(year, month, 1);
    const QDate to(year, month, DaysOfMonth(year, month));
    offerBackup(job);

    // The marks are committed here, before any window of the export opens.
    const InvoiceExportTable work = BuildInvoiceExportTable(databaseName, from, to);
    if (work.count < 0) {
        ShowError(u"Exportdatei konnte nicht erstellt werden!"_s);
        return InvoiceExportOutcome::NotCreated;
    }
    if (work.count == 0) {
        ShowError(u"Für den angegebenen Zeitraum sind keine exportierbaren Daten vorhanden!"_s);
        return InvoiceExportOutcome::NothingFound;
    }
    WriteLog(job.logName + u" in"_s);
    const LogOut logOut(job.logName + u" out"_s);

    ui.printJournal(
        {job.caption + u" Monat "_s + QString::number(month) + u'/' + QString::number(year),
         u"R_INr"_s, from.toString(u"dd.MM.yyyy"_s), to.toString(u"dd.MM.yyyy"_s)});

    table::Table table(table::aliases::database(databaseName), work.table->name());
    table.open();
    if (!ui.runExport(table, job.caption, job.definitionFile, job.outputFile, QString()))
        return InvoiceExportOutcome::ExportFailed;
    table.close();
    MarkExportedInvoices(databaseName);
    return InvoiceExportOutcome::Exported;
}

bool RunMasterExport(const AccountingExport& job) {
    const AccountingExportUi& ui = installedUi();
    QString filter = job.filter;
    if (job.kind == Kind::Hours) {
        int month = 0, year = 0;
        if (!chooseMonth(ui, u"Lohndaten übergeben für Monat:"_s, month, year))
            return false;
        filter = u"ZS_Monat=%1 AND ZS_Jahr=%2"_s.arg(month).arg(year);
    }
    offerBackup(job);
    WriteLog(job.logName + u" in"_s);
    const LogOut logOut(job.logName + u" out"_s);
    return ui.runExport(DataModule1().table(job.table), job.caption, job.definitionFile,
                        job.outputFile, filter);
}

void RunAccountingExport(const QString& menuEntry) {
    const AccountingExport& job = AccountingExportOf(menuEntry);
    if (job.kind == Kind::Invoices)
        RunInvoiceExport(job);
    else
        RunMasterExport(job);
}

void SetExportPath(const QString& definitionFile, const QString& outputFile,
                   const DirectoryChooser& choose) {
    const QString fileName = ImExDir + definitionFile;
    const SfileSetting setting = ReadSfileSetting(fileName);
    if (setting.state == SfileSetting::FileMissing) {
        ShowError(MissingExportDefinitionMessage(fileName));
        return;
    }
    if (setting.state != SfileSetting::Found)
        return;
    // A value without a directory would otherwise start the picker in the
    // process's working directory.
    QString start = directoryOf(setting.current);
    if (start.isEmpty() || !DirExists(start))
        start = ProgramDir;
    const QString chosen = choose(start);
    if (chosen.isEmpty())
        return;
    const QString value = AddBackslash(QDir::toNativeSeparators(chosen)) + outputFile;
    if (!WriteSfileSetting(fileName, setting, value))
        ShowError(u"Die Datei\r%1\rkonnte nicht gespeichert werden."_s.arg(fileName));
}
