#pragma once

#include "core/values/datetimevalue.h"
#include "platform/table/tabledef.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace table {
class Field;
class Table;
} // namespace table

// The export definition (".exp") and the text lines it makes of records.
//
// A definition is read line by line:
//   N:Name=Param>Format   an item (the first ":" at position 2 to 5); Name,
//                         Param and Format trimmed; an item needs a Param,
//                         which is also its column heading
//   DELIM=" SEPAR=;       delimiter (empty: none) and separator (first character)
//   SFILE=C:\out.txt      the output file in place of the caller's
//   NOHEADER=TRUE         no header line
// Names are fields of the table or the keywords IFVAL, IFNUL, ENDIF (a part
// written only when the field has a value / has none), CTRL with the format
// "&CRLF" (a line break), CONST (the format as written), VAR (fields "A|B"
// with pictures "x|y" joined) and EXPR ("DateField#DaysField").

struct ExportItem {
    QString name;
    QString param;
    QString format;
};

struct ExportDefinitionText {
    std::optional<QChar> delimiter = QChar(u'"');
    QChar separator = u';';
    bool writeHeader = true;
    QString outputFile; // from "SFILE"; empty: the caller's
    QList<ExportItem> items;
};

ExportDefinitionText ParseExportDefinition(const QStringList& lines);

// The date-time value of a date, time or date-time field (day zero, 30.12.1899,
// when null).
TDateTime FieldDateTime(const table::Field& field);

// A field's value formatted with a picture by the rules of the definition
// export: texts cut or padded, integers with leading zeros, booleans by a
// "yes/no" picture, numbers by the float rule (regional separators in the
// picture give the decimals and the grouping), dates by a date-time pattern
// ("ddmmyy" without one). Memos and pictures give nothing.
QString FormatExportValue(const table::Field& field, const QString& picture);
// A text cut or padded to the picture's length: "L..." pads behind, "R..." in
// front, any other picture cuts; an empty picture keeps the text.
QString PicturedText(const QString& text, const QString& picture);
// The float rule alone: the value written to the picture's length with the
// decimals and grouping the picture's separators ask for, blanks removed.
QString FormatExportFloat(double value, const QString& picture);

// Builds the header line and the line of each record of one table for one
// definition. The condition stack is emptied at the start of every record, so
// an IFVAL without ENDIF never reaches the next one.
class ExportLineBuilder {
public:
    ExportLineBuilder(const ExportDefinitionText& definition, table::Table& table);

    // Every heading with its delimiters and a separator after each (the
    // trailing one stays).
    QString header() const;
    // The current record's text, possibly several lines joined by CR LF, with
    // one trailing separator removed.
    QString line();

private:
    enum class Kind { Field, IfVal, IfNul, EndIf, Ctrl, Const, Var, Expr, Nothing };
    struct Step {
        Kind kind = Kind::Nothing;
        const table::Field* field = nullptr; // a field item, or the tested field
        ExportItem item;
        // VAR: the fields (nullptr: not a field of the table) and their pictures.
        std::vector<std::pair<const table::Field*, QString>> parts;
        const table::Field* days = nullptr; // EXPR: the days field
    };
    bool skips(const Step& step) const;
    QString expression(const Step& step) const;

    const ExportDefinitionText& m_def;
    QString m_delimiter;
    QChar m_separator;
    std::vector<Step> m_steps;
};
