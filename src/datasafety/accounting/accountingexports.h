#pragma once

#include <QList>
#include <QString>
#include <functional>

namespace table {
class Table;
}

// The exports to the KHK and Lexware bookkeeping and to the Lexware payroll
// of the menu "Import/Export": each writes a text file through the
// definition-driven export, after the backup question and between the log
// lines "<log name> in" and "... out".

enum class AccountingExportKind {
    Invoices, // the journal's bookings of a month, through the work table
    Masters,  // a master table within a filter
    Hours,    // the monthly time sums of a month
};

struct AccountingExport {
    AccountingExportKind kind = AccountingExportKind::Masters;
    QString menuEntry;      // "Rechnungsexport -> KHK-Fibu"
    QString caption;        // of the export window
    QString logName;        // "Fibuexport KHK"
    QString backupComment;  // followed by the date
    QString table;          // the data module's table (masters and hours)
    QString definitionFile; // inside the import/export directory
    QString outputFile;     // inside it too, unless the definition's "SFILE" says otherwise
    QString filter;         // masters only
};
// The seven exports, in menu order.
const QList<AccountingExport>& AccountingExports();
// The export of a menu entry; raises DbError for an unknown one.
const AccountingExport& AccountingExportOf(const QString& menuEntry);

// The protocol of an invoice export: the journal list of the rows marked
// R_Selected (the bookings of this export) under the list's head texts.
struct JournalProtocol {
    QString title;     // the export's caption + " Monat " + month + "/" + year
    QString indexName; // "R_INr"
    QString rangeFrom; // the month's first day, "dd.mm.yyyy"
    QString rangeTo;   // its last day
};

// What the exports ask of the windows; the window library installs it.
struct AccountingExportUi {
    // The month picker: OK sets month and year (the years minYear to
    // maxYear offered) and gives true; cancel leaves both as they were.
    std::function<bool(int& month, int& year, int minYear, int maxYear, const QString& caption)>
        selectMonth;
    // The export window over the table, placed beside the main window; true
    // when records were written and the output file replaced.
    std::function<bool(table::Table& table, const QString& caption, const QString& definitionFile,
                       const QString& outputFile, const QString& filter)>
        runExport;
    // The protocol: a print form of the journal list chosen beside the main
    // window and the list previewed with it; a cancelled choice prints
    // nothing and the export goes on.
    std::function<void(const JournalProtocol& protocol)> printJournal;

    bool installed() const { return selectMonth && runExport && printJournal; }
};
AccountingExportUi& AccountingExportUiRegistry();
bool IsAccountingExportInstalled();

enum class InvoiceExportOutcome {
    Cancelled,    // the month was not chosen
    NotCreated,   // the work table could not be created
    NothingFound, // no unexported booking in the month
    ExportFailed, // the export failed or was cancelled: nothing marked exported
    Exported,     // written; the marking question was asked
};

// The invoice export of either family: month, backup question, the bookings
// of the month into the work table, the protocol, the export of the work
// table and the marking question. The work table is dropped on every way out.
InvoiceExportOutcome RunInvoiceExport(const AccountingExport& job,
                                      const QString& databaseName = QStringLiteral("LumoDB"));
// A master-data or working-hours export; true when the export wrote its file.
bool RunMasterExport(const AccountingExport& job);
// Runs the export of the menu entry, of whichever kind.
void RunAccountingExport(const QString& menuEntry);

// The directory picker of SetExportPath: the chosen directory, empty when
// cancelled.
using DirectoryChooser = std::function<QString(const QString& startDirectory)>;
// Sets the directory of an export's output in the "SFILE" line of its
// definition: the picker starts in the line's directory when it exists, else
// in the program directory; the line becomes "SFILE=" + the directory + the
// separator + outputFile. A missing or empty definition is reported; one
// without such a line is left alone.
void SetExportPath(const QString& definitionFile, const QString& outputFile,
                   const DirectoryChooser& choose);
