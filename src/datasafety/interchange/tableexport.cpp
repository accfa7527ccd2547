#include "datasafety/interchange/tableexport.h"

#include "core/messages/messages.h"
#include "core/settings/regionalsettings.h"
#include "core/values/conversions.h"
#include "core/values/datetimeformat.h"
#include "datasafety/interchange/exportformat.h"
#include "datasafety/interchange/textfilewriter.h"
#include "platform/richtext/rtf.h"
#include "platform/sql/filterexpr.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <vector>

using namespace Qt::StringLiterals;
using table::FieldType;

QString ExportTypeName(FieldType type) {
    switch (type) {
    case FieldType::String:
        return u"Text"_s;
    case FieldType::Date:
    case FieldType::DateTime:
        return u"Datum"_s;
    case FieldType::Memo:
        return u"- Memo"_s;
    case FieldType::FmtMemo:
        return u"- RTF"_s;
    case FieldType::Graphic:
        return u"* Grafik"_s;
    case FieldType::Boolean:
        return u"Logisch"_s;
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc:
        return u"Ganzzahl"_s;
    case FieldType::Currency:
        return u"Währung"_s;
    case FieldType::Float:
        return u"Kommazahl"_s;
    case FieldType::Time:
        break;
    }
    return u"nicht erlaubt"_s;
}

int ExportTypeNumber(FieldType type) {
    // The numbering of the stored definitions of earlier versions.
    switch (type) {
    case FieldType::String:
        return 1;
    case FieldType::Smallint:
        return 2;
    case FieldType::Integer:
        return 3;
    case FieldType::Boolean:
        return 5;
    case FieldType::Float:
        return 6;
    case FieldType::Currency:
        return 7;
    case FieldType::Date:
        return 9;
    case FieldType::Time:
        return 10;
    case FieldType::DateTime:
        return 11;
    case FieldType::AutoInc:
        return 14;
    case FieldType::Memo:
        return 16;
    case FieldType::Graphic:
        return 17;
    case FieldType::FmtMemo:
        return 18;
    }
    return 0;
}

QString FormatTableExportFloat(double value, const QString& picture) {
    const RegionalSettings& regional = Regional();
    if (picture.isEmpty())
        return FloatToStrLocal(4, 2, value);
    const int n = int(picture.size());
    const int d = int(picture.indexOf(regional.decimalSeparator)) + 1;
    const int t = int(picture.indexOf(regional.thousandSeparator)) + 1;
    const auto decimalsAfter = [n](int position) {
        const int decimals = n - position;
        return decimals >= 1 && decimals <= n - 1 ? decimals : 0;
    };
    QString text;
    if (d > 0 && t > 0)
        text = FloatToStrGrouped(n, decimalsAfter(std::max(d, t)), value);
    else if (d > 0)
        text = FloatToStrLocal(n, decimalsAfter(d), value);
    else
        text = FloatToStrFix(n, t > 0 ? decimalsAfter(t) : 0, value);
    return picture.contains(u'@') ? text.trimmed() : text;
}

namespace {

QString plainLine(const QString& stored) {
    QString text = richtext::plainTextOfRtf(stored.toLatin1());
    text.replace(u"\r\n"_s, u"\n"_s);
    QStringList lines = text.split(u'\n');
    for (QString& line : lines)
        line.remove(u'\r');
    return lines.join(u' ');
}

QString dateValue(const table::Field& field, const QString& picture) {
    const TDateTime value = FieldDateTime(field);
    if (picture.isEmpty()) {
        switch (field.type()) {
        case FieldType::Time:
            return FormatDateTime(u"hh:nn:ss"_s, value);
        case FieldType::DateTime:
            return FormatDateTime(u"dd/mm/yyyy hh:nn:ss"_s, value);
        default:
            return FormatDateTime(u"dd/mm/yyyy"_s, value);
        }
    }
    if (picture.contains(u'/'))
        return FormatDateTime(picture, value);
    const bool fourDigits = picture.contains(u"yyyy"_s, Qt::CaseInsensitive);
    if (value == EmptyDate)
        return fourDigits ? u"00000000"_s : u"000000"_s;
    return FormatDateTime(fourDigits ? u"ddmmyyyy"_s : u"ddmmyy"_s, value);
}

} // namespace

QString FormatTableExportValue(const table::Field& field, const QString& picture,
                               const QString& delimiter) {
    const int n = int(picture.size());
    switch (field.type()) {
    case FieldType::String:
    case FieldType::Memo:
        return delimiter + PicturedText(field.asString(), picture) + delimiter;
    case FieldType::FmtMemo:
        return delimiter + plainLine(field.asString()) + delimiter;
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc: {
        const qint64 value = field.asIntegerOr(0);
        if (picture.isEmpty())
            return QString::number(value);
        const QString text =
            picture.front() == u'0' ? IntToStrZero(value, n) : IntToStrWidth(value, n);
        return picture.contains(u'@') ? text.trimmed() : text;
    }
    case FieldType::Boolean: {
        const bool value = field.asBooleanOr(false);
        if (picture.isEmpty())
            return BoolToJN(value);
        const qsizetype slash = picture.indexOf(u'/');
        if (slash >= 0 && slash < picture.size() - 1)
            return value ? picture.left(slash) : picture.mid(slash + 1);
        return value ? u"true"_s : u"false"_s;
    }
    case FieldType::Float:
    case FieldType::Currency:
        return FormatTableExportFloat(field.asFloatOr(0.0), picture);
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return dateValue(field, picture);
    case FieldType::Graphic:
        break;
    }
    return {};
}

QString NewExportDescription(const QString& databaseName, const QString& tableName) {
    const bool working = databaseName.compare(u"LumoDB"_s, Qt::CaseInsensitive) == 0;
    return u"Export"_s + (working ? u" (Beweg) "_s : u" (Ablag) "_s) + tableName;
}

QString NewExportFileName(const QString& importExportDir, const QString& tableName) {
    const qsizetype dot = tableName.lastIndexOf(u'.');
    return importExportDir + (dot < 0 ? tableName : tableName.left(dot)) + u".TXT"_s;
}

namespace {

struct Head {
    QString separator;
    QString delimiter;
    QString output;
    QString databaseName;
    QString tableName;
    QString filter;
    bool headline = false;
};

struct Line {
    QString fieldName;
    QString picture;
};

const QString kFailed = u"Es ist ein Fehler aufgetreten!"_s;

} // namespace

bool RunTableExport(const QString& databaseName, const QString& headTableName,
                    const QString& lineTableName, int definitionId,
                    const std::function<void()>& poll) {
    const std::shared_ptr<table::Database> db = table::aliases::database(databaseName);
    Head head;
    {
        table::Table heads(db, headTableName);
        heads.open();
        if (!heads.locate({u"EK_ID"_s}, {definitionId})) {
            ShowError(u"Tabelle nicht gefunden!"_s);
            return false;
        }
        head.separator = heads.field(u"EK_Separ"_s).asString();
        head.delimiter = heads.field(u"EK_Delim"_s).asString();
        head.output = heads.field(u"EK_ExpName"_s).asString();
        head.databaseName = heads.field(u"EK_Databasename"_s).asString();
        head.tableName = heads.field(u"EK_Tablename"_s).asString();
        head.filter = heads.field(u"EK_SourceFilter"_s).asString().trimmed();
        head.headline = heads.field(u"EK_Headline"_s).asBooleanOr(false);
    }
    std::vector<Line> lines;
    {
        table::Table rows(db, lineTableName);
        rows.setIndexName(u"I_Ref"_s);
        rows.open();
        rows.setRange({definitionId}, {definitionId});
        for (rows.first(); !rows.eof(); rows.next())
            lines.push_back(
                {rows.field(u"ES_FieldName"_s).asString(), rows.field(u"ES_Format"_s).asString()});
    }
    if (head.tableName.isEmpty()) {
        ShowError(u"Tabelle nicht gefunden!"_s);
        return false;
    }
    if (head.output.trimmed().isEmpty()) {
        ShowError(u"Für diese Exportdefinition ist kein Ausgabename angegeben!"_s);
        return false;
    }
    const auto source =
        table::aliases::database(head.databaseName.isEmpty() ? databaseName : head.databaseName);
    if (!source->exists(head.tableName)) {
        ShowError(u"Die Tabelle %1 wurde nicht gefunden!"_s.arg(head.tableName));
        return false;
    }
    table::Table records(source, head.tableName);
    std::vector<const table::Field*> fields;
    {
        const table::TableDef def = source->tableDef(head.tableName);
        // Checked before anything is written: a filter that does not parse
        // or names a field the table lacks, and lines naming such a field.
        if (!head.filter.isEmpty()) {
            try {
                sqltext::FilterExpr::parse(head.filter)
                    .bind(sqltext::fieldsOf(def), Qt::CaseSensitive);
            } catch (const DbError& error) {
                ShowError(u"Die Filter-Anweisung \"%1\" ist ungültig:\r%2\r\rEs wurde nichts "
                          u"exportiert."_s.arg(head.filter, error.message()));
                return false;
            }
            records.setFilter(head.filter);
            records.setFiltered(true);
        }
        records.open();
        for (const Line& line : lines) {
            const table::Field* field = records.findField(line.fieldName);
            if (!field || field->isCalculated()) {
                ShowError(u"Das Feld \"%1\" ist in der Tabelle %2 nicht vorhanden!\r\rEs wurde "
                          u"nichts exportiert."_s.arg(line.fieldName, head.tableName));
                return false;
            }
            fields.push_back(field);
        }
    }
    const QString separator = head.separator.isEmpty() ? u";"_s : head.separator.left(1);
    const QString delimiter = head.delimiter.left(1);

    TextFileWriter file(head.output);
    if (!file.open()) {
        ShowError(u"Kann Datei "_s + head.output + u" nicht erzeugen!"_s);
        ShowError(kFailed);
        return false;
    }
    bool ok = true;
    if (head.headline) {
        QString text;
        for (const Line& line : lines)
            text += delimiter + line.fieldName + delimiter + separator;
        if (text.endsWith(separator))
            text.chop(separator.size());
        ok = file.writeLine(text);
    }
    int count = 0;
    for (records.first(); ok && !records.eof(); records.next()) {
        QString text;
        for (std::size_t i = 0; i < fields.size(); ++i)
            text += FormatTableExportValue(*fields[i], lines[i].picture, delimiter) + separator;
        if (text.endsWith(separator))
            text.chop(separator.size());
        ok = file.writeLine(text);
        if (ok)
            ++count;
        if (poll)
            poll();
    }
    if (ok && count == 0) {
        // The previous file stays: there was nothing to replace it with.
        ShowInfo(u"Der Datenexport wurde ausgeführt.\rEs wurden %1 Datensätze exportiert"_s.arg(0));
        return false;
    }
    if (!ok || !file.commit()) {
        ShowError(kFailed);
        return false;
    }
    ShowInfo(u"Der Datenexport wurde ausgeführt.\rEs wurden %1 Datensätze exportiert"_s.arg(count));
    return true;
}

bool MoveExportLine(table::Table& lines, bool up) {
    if (lines.isEmpty())
        return false;
    const table::Bookmark moved = lines.bookmark();
    const int own = lines.field(u"ES_Sort"_s).asIntegerOr(0);
    if (up)
        lines.prior();
    else
        lines.next();
    if ((up && lines.bof()) || (!up && lines.eof())) {
        lines.gotoBookmark(moved);
        return false;
    }
    const int other = lines.field(u"ES_Sort"_s).asIntegerOr(0);
    const table::Bookmark neighbour = lines.bookmark();
    table::Transaction tx(*lines.database());
    lines.edit();
    lines.field(u"ES_Sort"_s).setValue(-1);
    lines.post();
    lines.gotoBookmark(moved);
    lines.edit();
    lines.field(u"ES_Sort"_s).setValue(other);
    lines.post();
    lines.gotoBookmark(neighbour);
    lines.edit();
    lines.field(u"ES_Sort"_s).setValue(own);
    lines.post();
    tx.commit();
    lines.gotoBookmark(moved);
    return true;
}
