#include "masterdata/gui/zahlintervform.h"

#include "core/data/dbhelpers.h"
#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tf_defmon.h"
#include "masterdata/gui/tf_defyear.h"
#include "masterdata/gui/tf_tableform.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"

using namespace Qt::StringLiterals;

namespace {

const QString kPattern = u"ZI_Pattern"_s;

void editPattern(TF_TableForm& form, bool (*editor)(QString&)) {
    table::Table& t = form.table();
    if (!t.isOpen())
        return;
    QString pattern = FieldText(t, kPattern);
    if (!editor(pattern))
        return;
    CancelEditOnError(t, [&] {
        EnsureEditOrInsert(t);
        t[kPattern] = pattern;
        t.post();
    });
    form.source().notifyRecordChanged();
}

} // namespace

void EditMonthIntervall(TF_TableForm& form) {
    editPattern(form, &EditMonthPattern);
}

void EditYearIntervall(TF_TableForm& form) {
    editPattern(form, &EditYearPattern);
}

TableFormDecl ZahlIntervFormDecl() {
    TableFormDecl d;
    d.formClass = u"TF_ZahlInterv"_s;
    d.caption = u"Berichtsintervalle"_s;
    d.source = TableSource::Own;
    d.table = u"ZahlIV.DB"_s;
    d.keyField = u"ZI_ID"_s;
    d.newRowValues = {{u"ZI_Text"_s, QString()}, {kPattern, QString()}};
    d.deleteGuards = {
        {u"Objekte.DB"_s, u"O_BerichtIntervall=%1 OR O_ZahlIntervall=%1"_s, u"Objektdatei"_s}};
    d.gridName = u"DBGrid1"_s;
    d.columns = {{u"ZI_Text"_s, u"Bezeichnung"_s, 40}, {kPattern, u"Definition"_s, 40, true}};
    d.buttons = {{u"&< Monat"_s, &EditMonthIntervall}, {u"&>= Monat"_s, &EditYearIntervall}};
    d.contextMenu = {{u"Intervall < 1 Monat"_s, &EditMonthIntervall},
                     {u"Intervall >=1 Monat"_s, &EditYearIntervall},
                     {u"Abbruch"_s, {}}};
    d.prints = ListPrintButtons(54000, u"PrintZahlIntervList"_s);
    d.helpPage = u"berichtsintervalle.html"_s;
    d.closeIsDefault = true;
    d.minimumSize = {760, 320};
    return d;
}

void ShowZahlIntervForm() {
    OpenTableForm(ZahlIntervFormDecl());
}
