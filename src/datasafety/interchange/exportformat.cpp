#include "datasafety/interchange/exportformat.h"

#include "core/settings/regionalsettings.h"
#include "core/values/conversions.h"
#include "core/values/datetimeformat.h"
#include "datasafety/interchange/importformat.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;
using table::FieldType;

ExportDefinitionText ParseExportDefinition(const QStringList& lines) {
    ExportDefinitionText def;
    for (const QString& line : lines) {
        if (IsDefinitionItemLine(line)) {
            const qsizetype colon = line.indexOf(u':');
            const qsizetype equals = line.indexOf(u'=', colon + 1);
            if (equals < 0)
                continue;
            ExportItem item;
            item.name = line.mid(colon + 1, equals - colon - 1).trimmed();
            const qsizetype greater = line.indexOf(u'>', equals + 1);
            if (greater >= 0) {
                item.param = line.mid(equals + 1, greater - equals - 1).trimmed();
                item.format = line.mid(greater + 1).trimmed();
            }
            if (!item.name.isEmpty() && !item.param.isEmpty())
                def.items.append(item);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        const QString key = line.left(equals).toUpper();
        const QString value = line.mid(equals + 1);
        if (key == u"DELIM"_s) {
            def.delimiter = value.isEmpty() ? std::nullopt : std::optional<QChar>(value.front());
        } else if (key == u"SEPAR"_s) {
            if (!value.isEmpty())
                def.separator = value.front();
        } else if (key == u"SFILE"_s) {
            if (!value.trimmed().isEmpty())
                def.outputFile = value.trimmed();
        } else if (key == u"NOHEADER"_s) {
            if (!value.isEmpty())
                def.writeHeader = value.toUpper() != u"TRUE"_s;
        }
    }
    return def;
}

TDateTime FieldDateTime(const table::Field& field) {
    if (field.isNull())
        return EmptyDate;
    switch (field.type()) {
    case FieldType::Date:
        return DateTimeOfDate(field.asDate());
    case FieldType::Time:
        return field.asTime().msecsSinceStartOfDay() / 86400000.0;
    case FieldType::DateTime: {
        const QDateTime moment = field.asDateTime();
        return DateTimeOfMoment(moment.date(), moment.time());
    }
    default:
        return EmptyDate;
    }
}

QString FormatExportFloat(double value, const QString& picture) {
    const RegionalSettings& regional = Regional();
    const int n = int(picture.size());
    const int d = int(picture.indexOf(regional.decimalSeparator)) + 1;
    const int t = int(picture.indexOf(regional.thousandSeparator)) + 1;
    const int later = std::max(d, t);
    int earlier = d > 0 && t > 0 ? std::min(d, t) : 0;
    int decimals = n - later;
    if (decimals < 1 || decimals > n - 1)
        decimals = 0;
    if (d > 0 && t > 0 && decimals == 0) {
        decimals = n - earlier;
        earlier = 0;
    }
    const QString text = earlier != 0 && decimals != 0 ? FloatToStrGrouped(n, decimals, value)
                                                       : FloatToStrFix(n, decimals, value);
    return text.trimmed();
}

namespace {

bool isWhole(FieldType type) {
    return type == FieldType::Smallint || type == FieldType::Integer || type == FieldType::AutoInc;
}

bool isDateKind(FieldType type) {
    return type == FieldType::Date || type == FieldType::Time || type == FieldType::DateTime;
}

QString formatDate(TDateTime value, const QString& picture) {
    if (picture.isEmpty()) {
        QString text = FormatDateTime(u"dd/mm/yy"_s, value);
        text.remove(Regional().dateSeparator);
        return text;
    }
    return FormatDateTime(picture, value);
}

// The picture "Ja/Nein": the text before the "/" for true, after it for false.
std::optional<QString> booleanText(bool value, const QString& picture) {
    const qsizetype slash = picture.indexOf(u'/');
    if (slash < 0 || slash >= picture.size() - 1)
        return std::nullopt;
    return value ? picture.left(slash) : picture.mid(slash + 1);
}

} // namespace

QString PicturedText(const QString& text, const QString& picture) {
    if (picture.isEmpty())
        return text;
    const int n = int(picture.size());
    if (picture.front() == u'L')
        return PadRight(text, n);
    if (picture.front() == u'R')
        return PadLeft(text, n);
    return text.left(n);
}

QString FormatExportValue(const table::Field& field, const QString& picture) {
    const FieldType type = field.type();
    if (type == FieldType::String)
        return PicturedText(field.asString(), picture);
    if (isWhole(type)) {
        const qint64 value = field.asInteger();
        if (!picture.isEmpty() && picture.front() == u'0')
            return IntToStrZero(value, int(picture.size()));
        return QString::number(value);
    }
    if (type == FieldType::Boolean) {
        const bool value = field.asBoolean();
        if (const auto text = booleanText(value, picture))
            return *text;
        return value ? u"true"_s : u"false"_s;
    }
    if (type == FieldType::Float || type == FieldType::Currency) {
        if (picture.isEmpty())
            return FloatToStrFix(16, 2, field.asFloat()).trimmed();
        return FormatExportFloat(field.asFloat(), picture);
    }
    if (isDateKind(type))
        return formatDate(FieldDateTime(field), picture);
    return {};
}

ExportLineBuilder::ExportLineBuilder(const ExportDefinitionText& definition, table::Table& table)
    : m_def(definition),
      m_delimiter(definition.delimiter ? QString(*definition.delimiter) : QString()),
      m_separator(definition.separator) {
    for (const ExportItem& item : definition.items) {
        Step step;
        step.item = item;
        const QString keyword = item.name.toUpper();
        if (const table::Field* field = table.findField(item.name)) {
            step.kind = Kind::Field;
            step.field = field;
        } else if (keyword == u"IFVAL"_s || keyword == u"IFNUL"_s) {
            step.kind = keyword == u"IFVAL"_s ? Kind::IfVal : Kind::IfNul;
            step.field = table.findField(item.param);
        } else if (keyword == u"ENDIF"_s) {
            step.kind = Kind::EndIf;
        } else if (keyword == u"CTRL"_s) {
            step.kind = Kind::Ctrl;
        } else if (keyword == u"CONST"_s) {
            step.kind = Kind::Const;
        } else if (keyword == u"VAR"_s) {
            step.kind = Kind::Var;
            const QStringList names = item.param.toUpper().split(u'|');
            const QStringList pictures = item.format.split(u'|');
            for (qsizetype i = 0; i < names.size(); ++i)
                step.parts.emplace_back(table.findField(names.at(i)), pictures.value(i));
        } else if (keyword == u"EXPR"_s) {
            step.kind = Kind::Expr;
            // Only "Date#Days" computes; an arithmetic sign before it gives nothing.
            const QString& expr = item.param;
            const bool arithmetic = expr.contains(u'+') || expr.contains(u'-') ||
                                    expr.contains(u'*') || expr.contains(u'/');
            const qsizetype hash = expr.indexOf(u'#');
            if (!arithmetic && hash >= 0) {
                const table::Field* date = table.findField(expr.left(hash).trimmed());
                const table::Field* days = table.findField(expr.mid(hash + 1).trimmed());
                if (date && days && isWhole(days->type()) &&
                    (date->type() == FieldType::Date || date->type() == FieldType::DateTime)) {
                    step.field = date;
                    step.days = days;
                }
            }
        }
        m_steps.push_back(std::move(step));
    }
}

QString ExportLineBuilder::header() const {
    QString line;
    for (const ExportItem& item : m_def.items)
        if (item.param.toUpper() != u"&CRLF"_s)
            line += m_delimiter + item.param + m_delimiter + m_separator;
    return line;
}

bool ExportLineBuilder::skips(const Step& step) const {
    if (!step.field)
        return true;
    const table::Field& f = *step.field;
    bool empty = true;
    if (!f.isNull()) {
        const FieldType type = f.type();
        if (type == FieldType::String)
            empty = f.asString().isEmpty();
        else if (isWhole(type))
            empty = f.asInteger() == 0;
        else if (type == FieldType::Float || type == FieldType::Currency)
            empty = f.asFloat() == 0.0;
        else if (type == FieldType::Boolean)
            empty = !f.asBoolean();
    }
    return step.kind == Kind::IfVal ? empty : !empty;
}

QString ExportLineBuilder::expression(const Step& step) const {
    if (!step.field || !step.days)
        return {};
    const TDateTime date = FieldDateTime(*step.field) + step.days->asIntegerOr(0);
    return formatDate(date, step.item.format);
}

QString ExportLineBuilder::line() {
    QString line;
    std::vector<bool> conditions;
    bool skipping = false;
    const auto pop = [&] {
        if (!conditions.empty())
            conditions.pop_back();
        skipping = !conditions.empty() && conditions.back();
    };
    for (const Step& step : m_steps) {
        if (skipping) {
            if (step.kind == Kind::EndIf)
                pop();
            else if (step.kind == Kind::IfVal || step.kind == Kind::IfNul)
                conditions.push_back(true);
            continue;
        }
        switch (step.kind) {
        case Kind::Field:
            line += m_delimiter;
            if (!step.field->isNull())
                line += FormatExportValue(*step.field, step.item.format);
            line += m_delimiter + m_separator;
            break;
        case Kind::IfVal:
        case Kind::IfNul:
            skipping = skips(step);
            conditions.push_back(skipping);
            break;
        case Kind::Ctrl:
            if (step.item.format.toUpper() == u"&CRLF"_s) {
                if (line.endsWith(m_separator))
                    line.chop(1);
                line += u"\r\n"_s;
            }
            break;
        case Kind::Const:
            line += step.item.format + m_separator;
            break;
        case Kind::Var: {
            QString joined;
            for (const auto& [field, picture] : step.parts)
                if (field && !field->isNull())
                    joined += FormatExportValue(*field, picture);
            line += m_delimiter + joined + m_delimiter + m_separator;
            break;
        }
        case Kind::Expr:
            line += m_delimiter + expression(step) + m_delimiter + m_separator;
            break;
        case Kind::EndIf:
            pop();
            break;
        case Kind::Nothing:
            break;
        }
    }
    if (line.endsWith(m_separator))
        line.chop(1);
    return line;
}
