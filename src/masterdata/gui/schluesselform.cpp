#include "masterdata/gui/schluesselform.h"

#include "core/data/dbhelpers.h"
#include "core/settings/formplacement.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/gui/keyinterceptor.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/modallistform.h"
#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tf_listform.h"
#include "masterdata/gui/tf_tableform.h"
#include "masterdata/keyregister.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datagridmodel.h"
#include "platform/widgets/datasource.h"

#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

const QString kSortObjekt = u"lbSortObjekt"_s;

// Whatever the user sorted by, a closed picker or calendar leaves the list
// in key-number order. The sort runs as a click on the title of "S-Nr", so
// that the search line follows it; a change of order posts a pending change
// and starts the list at its first key, so the key just edited is sought
// again.
void sortByNr(TF_TableForm& form) {
    table::Table& t = form.table();
    const QStringList fields = t.indexFieldNames();
    if (!t.isOpen() ||
        (!fields.isEmpty() && fields.first().compare(u"S_Nr"_s, Qt::CaseInsensitive) == 0))
        return;
    const QVariant id = t.field(u"S_ID"_s).value();
    Q_EMIT form.grid().titleClicked(form.grid().gridModel().columnOf(u"S_Nr"_s), u"S_Nr"_s);
    if (!id.isNull() && FieldInt(t, u"S_ID"_s) != id.toInt() && t.locate({u"S_ID"_s}, {id}))
        form.source().notifyRecordChanged();
}

void pickObjekt(TF_TableForm& form) {
    table::Table& keys = form.table();
    const int start = KeyObjektNr(FieldText(keys, u"S_Objekt"_s));
    // The object picker's sort field is kept between runs in a hidden label.
    QLabel& sort = HiddenSortLabel(form, kSortObjekt);
    QString sortField = sort.text();
    const int chosen = SelectObjekt(start, 300, form.x() + 240, form.y(), sortField);
    sort.setText(sortField);
    if (TakeKeyObjekt(keys, start, chosen))
        form.source().notifyRecordChanged();
    sortByNr(form);
}

void pickHalter(TF_TableForm& form) {
    table::Table& keys = form.table();
    const int start = FieldInt(keys, u"S_PersNo"_s);
    const int chosen = SelectPersonal(start, 400, form.x() + 240, form.y() + 140, {});
    if (TakeKeyHalter(keys, start, chosen))
        form.source().notifyRecordChanged();
    sortByNr(form);
}

void pickGegeben(TF_TableForm& form) {
    table::Table& keys = form.table();
    const table::Field& stored = keys.field(u"S_Gegeben"_s);
    const QDate start = stored.isNull() ? QDate() : stored.asDate();
    TDateTime date = DateTimeOfDate(start.isValid() ? start : QDate::currentDate());
    if (PickDateBeside(date, form, 240, 140) && TakeKeyGegeben(keys, start, DateOfDateTime(date)))
        form.source().notifyRecordChanged();
    sortByNr(form);
}

} // namespace

TableFormDecl SchluesselTableDecl() {
    TableFormDecl d;
    d.formClass = u"TF_Schluessel"_s;
    d.caption = u"Schlüsselverwaltung"_s;
    d.source = TableSource::Shared;
    d.table = u"TabSchluessel"_s;
    d.gridName = u"GridSchluessel"_s;
    d.columns = {{u"S_Objekt"_s, u"Objekt"_s, 28},           {u"S_Nr"_s, u"S-Nr"_s, 6},
                 {u"S_Bezeichnung"_s, u"Bezeichnung"_s, 24}, {u"S_PersNo"_s, u"Pers-Nr"_s, 7},
                 {u"S_Halter"_s, u"Mitarbeiter"_s, 22},      {u"S_Gegeben"_s, u"Gegeben am"_s, 10}};
    d.columnActions = {
        {u"S_Objekt"_s, pickObjekt}, {u"S_PersNo"_s, pickHalter}, {u"S_Gegeben"_s, pickGegeben}};
    d.titleSort = TitleSort::ByField;
    d.initialSortField = u"S_Nr"_s;
    d.navigatorButtons = EditNavigator();
    d.fields = {{.caption = u"Mem&o"_s,
                 .field = u"S_Bemerkung"_s,
                 .kind = widgets::FieldKind::Memo,
                 .page = u"&Grunddaten"_s}};
    d.prints = DruckVorschauButtons(29000, u"PrintSchluesselList"_s);
    d.closeButton = false;
    d.helpPage = u"schlussel.html"_s;
    d.minimumSize = {760, 480};
    d.placement = {kPlacementFile03,
                   u"Schluessel"_s,
                   {u"GridSchluessel.Columns"_s, kSortObjekt + u".Caption"_s}};
    d.setup = [](TF_TableForm& form) { HiddenSortLabel(form, kSortObjekt); };
    return d;
}

ListFormDecl SchluesselFormDecl() {
    ListFormDecl d;
    d.form = SchluesselTableDecl();
    d.recordPosition = true;
    d.activated = sortByNr;
    d.build = [](TF_ListForm& form) {
        // Alt+W in the search line opens the editor of the grid's column.
        KeyInterceptor::install(form.searchEdit(), QKeySequence(Qt::ALT | Qt::Key_W),
                                [&form] { form.runColumnAction(form.grid().selectedField()); });
    };
    return d;
}

void ShowSchluesselForm() {
    OpenListFormModal(SchluesselFormDecl());
}
