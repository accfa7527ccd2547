#pragma once

#include "datasafety/datev/datevformat.h"
#include "datasafety/datev/datevwriter.h"

#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class WorkTable;

namespace table {
class Table;
}

namespace datev {

// What the export asks of its window.
struct ExportUi {
    // Empties the protocol at the start of a run.
    std::function<void()> clearProtocol;
    // One line of the protocol (the window puts ten blanks in front).
    std::function<void(const QString&)> protocol;
    // "Bitte fehlende Kontonummer ergänzen": the number typed, 0 when the
    // box is cancelled or the answer is no number.
    std::function<int(const QString& prompt)> askAccountNumber;
    // Lets the window paint between the steps of a run.
    std::function<void()> processEvents;
};

// The kinds of one run, in the order they are written.
enum class Kind { Buchungen, Debitoren, Kreditoren, Lohn };

// One run of the DATEV export over the client database: the settings row of
// ExpStamm.DB decides what is written where. Data files are written under
// temporary names and take their names only when the whole run succeeded,
// so a failed run leaves the files of the last one as they were.
class DatevExport {
public:
    explicit DatevExport(ExportUi ui, const QString& databaseName = QStringLiteral("LumoDB"));
    ~DatevExport();
    DatevExport(const DatevExport&) = delete;
    DatevExport& operator=(const DatevExport&) = delete;

    // "Ausführen" after the settings row was posted: the checks, the backup
    // question, every chosen kind, the control file, the counters and the
    // journal marks. True when the run succeeded.
    bool execute(table::Table& settings);

    // The header record of the run from the current settings row; shows the
    // message of the failed check and returns false.
    bool loadSettings(table::Table& settings);
    // Takes the journal rows of the period into a new work table and marks
    // them (one transaction); the number of rows, -1 when the work table
    // cannot be created.
    int prepareBookingTable();
    void saveCounters(table::Table& settings);
    // Asks whether the rows handed over count as exported, then clears their
    // marks (and sets R_Exported on Yes) in one transaction.
    void markBookingsExported();

    const Vorlauf& vorlauf() const { return m_vorlauf; }
    // The tax key of the VAT-free bucket in this run.
    int stkz0() const { return m_stkz0; }
    // The work table of prepareBookingTable; empty when there is none.
    QString workTableName() const;

    // The ledger account of a debtor: K_FibuKonto of the customer, its number
    // when that is 0, and 0 when no customer has the number. Suppliers alike.
    int customerFibuAccount(int kundenNr);
    int supplierFibuAccount(int lieferantNr);

private:
    struct Output;
    bool runKinds();
    bool exportKind(Kind kind);
    bool exportBookings(DataFileWriter& file, double& total);
    bool exportMasters(DataFileWriter& file, bool suppliers);
    bool exportPayroll(DataFileWriter& file, double& total);
    bool writeBooking(DataFileWriter& file, table::Table& row, double amount, double& total);
    bool reportWrite(WriteResult result, const QString& what);
    bool writeControlFile();
    void protocol(const QString& line);
    void settingsError(const QString& text);

    ExportUi m_ui;
    QString m_databaseName;
    Vorlauf m_vorlauf;
    int m_stkz0 = 1;
    ControlRecords m_control;
    std::unique_ptr<Output> m_output;
    std::unique_ptr<WorkTable> m_work;
    const QHash<int, int>& accountsOf(bool suppliers);
    std::optional<QHash<int, int>> m_customerAccounts;
    std::optional<QHash<int, int>> m_supplierAccounts;
};

} // namespace datev
