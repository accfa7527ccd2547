#pragma once

// The print of a master-data list, shared by the list entries: the report
// of the form type's list made through the report-entry runner, the table
// settings copied from the data module's table that the window shows
// (listdescription.h "screen"), the bands of optional fields printing only
// when a layout enabled one of their controls, then the entry's own
// preparation.

#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class ReportEntryBusy;

namespace report {
class Report;
}
namespace table {
class Table;
}

struct ListPrintOptions {
    // The data module's table whose settings are copied; empty: the description's.
    QString screenTable;
    // Whether its filter is copied too; unset: as the description says.
    std::optional<bool> copyFilter;
    // The table the list prints; empty: the description's (or the copied one).
    QString tableName;
    std::function<void(report::Report&)> prepare;
};

// False when the list was busy and nothing was done.
bool PrintList(ReportEntryBusy& busy, int formType, bool preview, const QString& layoutFile,
               const ListPrintOptions& options = {});

// Whether two names stand for one table as the table layer resolves them
// (case and ".DB" ignored).
bool SameTableName(const QString& a, const QString& b);

// "12 -- Muster": number and name of the current record of a shared table,
// read where its cursor stands; empty when it has none.
QString CurrentRecordTitle(table::Table& table, const QString& numberField,
                           const QString& nameField);
// A field of the current record of a shared table; null when it has none.
QVariant CurrentRecordValue(table::Table& table, const QString& field);
// The same as an integer, 0 when it has none.
int CurrentRecordNumber(table::Table& table, const QString& field);
