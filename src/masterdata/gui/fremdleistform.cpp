#include "masterdata/gui/fremdleistform.h"

#include "core/data/datamodule.h"
#include "core/settings/formplacement.h"
#include "masterdata/dialogs/displayfields.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/modallistform.h"
#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tableformdecl.h"
#include "masterdata/gui/tf_listform.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

void AddFremdleistObjectFields(table::Table& services) {
    AddDisplayFields(
        services,
        {{u"ObjNr"_s, table::FieldType::Integer}, {u"ObjName"_s, table::FieldType::String, 40}},
        [](table::Table& t) {
            const QVariantList object =
                LookupRow(t, u"Objekte.DB"_s, u"O_ID"_s, t.field(u"S_ObjID"_s).value(),
                          {u"O_Nr"_s, u"O_Match"_s});
            t.field(u"ObjNr"_s).setValue(object.isEmpty() ? QVariant() : object[0]);
            t.field(u"ObjName"_s).setValue(object.isEmpty() ? QVariant() : object[1]);
        });
}

TableFormDecl FremdleistTableDecl() {
    TableFormDecl d;
    d.formClass = u"TF_Fremdleist"_s;
    d.caption = u"Fremdleistungen"_s;
    d.source = TableSource::Shared;
    d.table = u"TabFremdLeist"_s;
    d.gridName = u"GridFremdleist"_s;
    d.columns = {{u"R_Nr"_s, u"ER-Nr."_s, 10, true},
                 {u"ObjNr"_s, u"Obj.-Nr."_s, 7, true},
                 {u"ObjName"_s, u"Objektbezeichnung"_s, 22, true},
                 {u"S_Kurztext"_s, u"Kurztext"_s, 28, true},
                 {u"S_KostArt"_s, u"Kostart"_s, 7, true},
                 {u"S_Brutto"_s, u"Brutto"_s, 10, true},
                 {u"S_Gebucht"_s, u"Gebucht"_s, 7, true}};
    d.titleSort = TitleSort::ByField;
    d.navigatorButtons = BrowseNavigator();
    const QString page = u"Grunddaten"_s;
    d.fields = {
        {.caption = u"Menge"_s, .field = u"S_Menge"_s, .page = page, .width = 10, .readOnly = true},
        {.field = u"S_MengBez"_s, .page = page, .width = 12, .readOnly = true, .sameLine = true},
        {.caption = u"Netto"_s, .field = u"S_Netto"_s, .page = page, .width = 12, .readOnly = true},
        {.caption = u"Mwst-Betrag"_s,
         .field = u"S_MwstBetrag"_s,
         .page = page,
         .width = 12,
         .readOnly = true},
        {.caption = u"Text"_s,
         .field = u"S_Text"_s,
         .kind = widgets::FieldKind::RichText,
         .page = page},
    };
    d.prints = DruckVorschauButtons(51000, u"PrintFremdlst"_s);
    d.closeButton = false;
    d.helpPage = u"Wareneingang.html"_s;
    d.minimumSize = {780, 520};
    d.placement = {kPlacementFile03,
                   u"Fremdleist"_s,
                   {u"GridFremdleist.Columns"_s, u"lbSortND.Caption"_s},
                   StorePosition};
    return d;
}

ListFormDecl FremdleistFormDecl() {
    ListFormDecl d;
    d.form = FremdleistTableDecl();
    d.recordPosition = true;
    d.sortLabel = u"lbSortND"_s;
    return d;
}

void ShowFremdleistForm() {
    AddFremdleistObjectFields(DataModule1().TabFremdLeist());
    OpenListFormModal(FremdleistFormDecl());
}
