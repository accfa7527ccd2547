#include "masterdata/dialogs/pickerfilters.h"

#include "core/data/datamodule.h"
#include "platform/table/table.h"

#include <QDate>

using namespace Qt::StringLiterals;

QString QuotedFilterText(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\'', u"''"_s);
    return u'\'' + quoted + u'\'';
}

QString ActiveObjectFilter() {
    if (HasDataModule1() && DataModule1().TabObjekt().isFiltered())
        return u"O_Aktiv="_s + QuotedFilterText(u"true"_s);
    return {};
}

QString ObjectsOfCustomerFilter(int customerNr) {
    const QString active = ActiveObjectFilter();
    const QString own = u"O_Kunde="_s + QString::number(customerNr);
    return active.isEmpty() ? own : active + u" AND "_s + own;
}

QString ArticlesOfObjectFilter(int objectId) {
    return u"A_ObjID="_s + QString::number(objectId);
}

QString UnbilledServicesFilter(int objectId) {
    return u"S_ObjID="_s + QString::number(objectId) + u" AND S_Gebucht=0"_s;
}

QString TemplateFilter(int objectNr, const QString& currentDocNr) {
    const QString notCurrent = u"R_Nr<>"_s + QuotedFilterText(currentDocNr);
    if (objectNr == 0)
        return notCurrent;
    return u"R_ObjektNr="_s + QString::number(objectNr) + u" AND "_s + notCurrent;
}

QString OtherTourOfDayFilter(int weekday, int currentTourNr) {
    return u"TO_Wochentag="_s + QString::number(weekday) + u" AND TO_Nr<>"_s +
           QString::number(currentTourNr);
}

QString VatRatesValidOnFilter(const QDate& day) {
    const QString quoted = QuotedFilterText(day.toString(u"dd.MM.yyyy"_s));
    return u"Mwst_GueltigVon<="_s + quoted + u" AND Mwst_GueltigBis>="_s + quoted;
}
