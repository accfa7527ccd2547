#pragma once

#include "platform/table/tabledef.h"

#include <QString>
#include <functional>

namespace table {
class Field;
class Table;
} // namespace table

// The general data export: definitions stored in ExpKopf.DB (one head per
// definition: table, separator, delimiter, output file, header switch,
// filter) and ExpSatz.DB (one line per exported field, in ES_Sort order).

// The name of a field type in the field list ("Text", "Ganzzahl", "Währung" ...);
// "nicht erlaubt" for a type the export writes nothing of.
QString ExportTypeName(table::FieldType type);
// The data type number kept with a definition line (informational).
int ExportTypeNumber(table::FieldType type);

// A field's value by the general export's rules: texts in the delimiter and
// cut or padded by the picture, integers padded, booleans "J"/"N" or by a
// "yes/no" picture, numbers with the regional separators, dates as
// "dd/mm/yyyy" or by a pattern (a picture without "/" gives the digits), rich
// texts as one line of plain text. A null field gives its type's default.
QString FormatTableExportValue(const table::Field& field, const QString& picture,
                               const QString& delimiter);
// The float rule alone (blanks kept, "@" in the picture removes them).
QString FormatTableExportFloat(double value, const QString& picture);

// The text of a new definition: "Export (Beweg) Kunden.DB" or "(Ablag)".
QString NewExportDescription(const QString& databaseName, const QString& tableName);
// The output file of a new definition: the table's name with ".TXT" in the
// import/export directory.
QString NewExportFileName(const QString& importExportDir, const QString& tableName);

// Runs the stored definition: writes its table's records (within its filter,
// in primary order) into its output file, through a temporary file that takes
// the file's place only when the run succeeds. Tells the user the outcome.
// True when this run wrote the output file. `poll` is called after every
// record.
bool RunTableExport(const QString& databaseName, const QString& headTableName,
                    const QString& lineTableName, int definitionId,
                    const std::function<void()>& poll = {});

// Moves the current line of a definition (a cursor on ExpSatz.DB in the order
// "I_Ref", limited to the definition) one place up or down by exchanging its
// ES_Sort with its neighbour's; nothing at the ends. True when it moved.
bool MoveExportLine(table::Table& lines, bool up);
