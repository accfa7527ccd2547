#include "masterdata/gui/dvgroupsform.h"

#include "core/data/dbhelpers.h"
#include "core/settings/formplacement.h"
#include "masterdata/documenttargets.h"
#include "masterdata/dvgroups.h"
#include "masterdata/gui/docforms.h"
#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tf_tableform.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/fieldform.h"

#include <QBoxLayout>

using namespace Qt::StringLiterals;

void ChooseDvGroupPath(TF_TableForm& form) {
    table::Table& t = form.table();
    const QString folder =
        ChooseDocFolder(&form, DvGroupStartDirectory(FieldText(t, u"DG_Defpath"_s)));
    if (folder.isEmpty())
        return;
    EnsureEditOrInsert(t);
    t[u"DG_Defpath"_s] = WithFinalSeparator(folder);
    form.source().notifyRecordChanged();
}

TableFormDecl DvGroupsFormDecl() {
    TableFormDecl d;
    d.formClass = u"TF_DvGroups"_s;
    d.caption = u"Dokument-Gruppen"_s;
    d.source = TableSource::Shared;
    d.table = u"TabDvGroups"_s;
    d.gridName = u"DBGrid1"_s;
    d.columns = {{u"DG_Type"_s, u"Typ"_s, 5},
                 {u"DG_Name"_s, u"Bezeichnung"_s, 26},
                 {u"DG_Mask"_s, u"Suchmasken"_s, 22},
                 {u"DG_Prefix"_s, u"Präfix"_s, 10},
                 {u"DG_Suffix"_s, u"Suffix"_s, 10}};
    d.navigatorButtons = EditNavigator();
    d.fields = {
        {.caption = u"Vorgabepfad"_s, .field = u"DG_Defpath"_s, .pick = [](QWidget& editor) {
             if (auto* form = qobject_cast<TF_TableForm*>(editor.window()))
                 ChooseDvGroupPath(*form);
         }}};
    d.contextMenu = {{u"Gruppe kopieren"_s,
                      [](TF_TableForm& form) {
                          CopyDvGroup(form.table());
                          form.source().notifyViewChanged();
                      }},
                     {u"Abbrechen"_s, {}}};
    d.helpPage = u"fremddokumente.html"_s;
    d.minimumSize = {640, 360};
    d.placement = {kPlacementFile01, u"Docverw"_s, {u"DBGrid1.Columns"_s}};
    // One line of fields: the list takes the height, the path keeps its line.
    d.setup = [](TF_TableForm& form) {
        auto* layout = qobject_cast<QBoxLayout*>(form.layout());
        auto* fields = form.findChild<widgets::FieldForm*>();
        if (layout && fields) {
            layout->setStretchFactor(fields, 0);
            fields->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
        }
    };
    return d;
}

void ShowDvGroupsForm() {
    OpenTableForm(DvGroupsFormDecl());
}
