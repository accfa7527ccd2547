#include "masterdata/gui/mwstform.h"

#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tf_tableform.h"

using namespace Qt::StringLiterals;

TableFormDecl MwstFormDecl() {
    TableFormDecl d;
    d.formClass = u"TF_Mwst"_s;
    d.caption = u"Mehrwertsteuer-Sätze"_s;
    d.source = TableSource::Shared;
    d.table = u"TabMwst"_s;
    d.gridName = u"GridMwst"_s;
    d.columns = {{u"Mwst_Nr"_s, u"Kennz."_s, 6},
                 {u"Mwst_Kurz"_s, u"Kurzname"_s, 12},
                 {u"Mwst_Lang"_s, u"Bezeichnung"_s, 30},
                 {u"Mwst_Satz"_s, u"Satz"_s, 6},
                 {u"Mwst_GueltigVon"_s, u"Gueltig von"_s, 10},
                 {u"Mwst_GueltigBis"_s, u"Gueltig bis"_s, 10}};
    // A cancelled calendar still leaves the row in edit state.
    for (const QString& field : {u"Mwst_GueltigVon"_s, u"Mwst_GueltigBis"_s})
        d.columnActions.append(CalendarColumn(field, 100, 100, false, CalendarCancel::EditAnyway));
    d.navigatorButtons = BrowseNavigator();
    d.postCancelButtons = true;
    d.prints = ListPrintButtons(49000, u"PrintMwstList"_s);
    d.helpPage = u"steuersatze.html"_s;
    return d;
}

void ShowMwstForm() {
    OpenTableForm(MwstFormDecl());
}
