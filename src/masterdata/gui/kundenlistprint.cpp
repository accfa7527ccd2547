#include "masterdata/gui/kundenlistprint.h"

#include "masterdata/dialogs/pickerfilters.h"

#include <QDate>

using namespace Qt::StringLiterals;
using table::FieldType;

namespace {

QString literal(FieldType type, const QVariant& value) {
    switch (type) {
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc:
        return QString::number(value.isNull() ? 0 : value.toLongLong());
    case FieldType::Float:
    case FieldType::Currency:
        return QString::number(value.isNull() ? 0.0 : value.toDouble(), 'f', 6);
    case FieldType::Boolean:
        return value.toBool() ? u"true"_s : u"false"_s;
    case FieldType::Date:
        if (value.isNull())
            return u"NULL"_s;
        return value.toDate().toString(u"dd.MM.yyyy"_s);
    default:
        return QuotedFilterText(value.isNull() ? QString() : value.toString());
    }
}

} // namespace

QString TooManyCustomersText(int count) {
    return u"Sie haben %1 Kunden erfasst. Domvera kann aber\rmaximal %2 Datensätze in einem "
           u"Report drucken.\rDer Ausdruck beginnt mit der aktuell angewählten\r"
           u"Datensatz-Zeile. Die Sortierung entspricht der\raktuell gewählten Sortierspalte.\r"
           u"Um weitere Kunden auszudrucken, müssen Sie die den\rgewünschten ersten Datensatz "
           u"selektieren und die\rDruckfunktion erneut aufrufen."_s.arg(count)
               .arg(kMaxReportRows);
}

QString RangeFilterText(const QString& field, FieldType type, const QVariant& first,
                        const QVariant& last) {
    return field + u">="_s + literal(type, first) + u" AND "_s + field + u"<="_s +
           literal(type, last);
}
