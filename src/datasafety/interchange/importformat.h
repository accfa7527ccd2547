#pragma once

#include "platform/table/tabledef.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

// The import definition (".imp") and the delimited data files it describes.
//
// A definition is read line by line:
//   N:Target=Source>comment   an item (the first ":" at position 2 to 5);
//                             Target and Source are taken as written, not
//                             trimmed; Source "&Text" is a constant
//   DELIM="                   the delimiter around values (empty: none)
//   SEPAR=;  SEPAR=#9         the separator, a character or "#" + its code
//   SFILE=C:\Daten\Kunden.asc the data file in place of the caller's
// Anything else is passed over.

struct ImportItem {
    QString target; // a field of the target table
    QString source; // a column name of the data file, or "&" + a constant
};

struct ImportDefinitionText {
    std::optional<QChar> delimiter = QChar(u'"');
    QChar separator = u';';
    QString dataFile; // from "SFILE"; empty: the caller's
    QList<ImportItem> items;
};

ImportDefinitionText ParseImportDefinition(const QStringList& lines);

// Whether the line is an item line of a definition: its first ":" stands at
// character position 2 to 5. The export reads its items the same way.
bool IsDefinitionItemLine(const QString& line);

// The values of one data-file line. A separator between two delimiters
// belongs to the value; one delimiter at each end of a value is removed.
// Text after the last separator is dropped, as when the line ends in one.
QStringList SplitDelimitedLine(QString line, QChar separator, std::optional<QChar> delimiter);

// What a mapped field takes from its text.
struct ImportValue {
    enum Kind {
        Set,     // the field takes `value`
        Skip,    // the field keeps its value (an unreadable date, a time 00:00:00)
        Refused, // out of the field's range: the import stops
    };
    Kind kind = Skip;
    QVariant value;
};

// The text of a data-file column converted for a field of the given type,
// under the regional settings in force. Numbers are read with the regional
// separators (a text that is not a number gives 0); dates as day, month and
// year with two-digit years from 30 in the 1900s; booleans are false for a
// first character "0", "F" or "N".
ImportValue ConvertImportText(table::FieldType type, const QString& text);

// The float rule of the import: blanks and thousands separators removed, the
// first decimal separator read as the point; 0 for a text that is no number.
double ImportFloat(const QString& text);
