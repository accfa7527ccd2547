#include "operations/gui/zeitartform.h"

#include "core/data/dbhelpers.h"
#include "core/messages/messages.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/gui/tf_tableform.h"
#include "masterdata/lookupfields.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"

#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

const QString kKostart = u"ZA_Kostart"_s;

} // namespace

void ShowTwoDecimals(table::Field& field) {
    field.onGetText = [](const table::Field& f) {
        return f.isNull()
                   ? QString()
                   : QLocale(QLocale::German, QLocale::Germany).toString(f.asFloat(), 'f', 2);
    };
}

void ChooseZeitartKostart(TF_TableForm& form) {
    table::Table& t = form.table();
    if (!t.isOpen() || t.isEmpty())
        return;
    const int start = FieldInt(t, kKostart);
    const int chosen = SelectKostart(start, 280, form.x() + 140, form.y() + 50, u"A_Nr"_s);
    if (chosen == 0 || chosen == start)
        return;
    CancelEditOnError(t, [&] {
        EnsureEditOrInsert(t);
        t[kKostart] = chosen;
        t.post();
    });
    form.source().notifyRecordChanged();
}

TableFormDecl ZeitartFormDecl() {
    TableFormDecl d;
    d.formClass = u"TF_Zeitart"_s;
    d.caption = u"Arbeitszeit-Arten"_s;
    d.source = TableSource::Own;
    d.table = u"Zeitart.DB"_s;
    d.gridName = u"GridEdit"_s;
    d.columns = {{u"ZA_Type"_s, u"Kz"_s, 4, true},
                 {u"ZA_Kurztext"_s, u"Kurzbezeichnung"_s, 12},
                 {u"ZA_Langtext"_s, u"Beschreibung"_s, 22},
                 {u"ZA_Aufschlag"_s, u"Zuschlagsfaktor"_s, 12},
                 {kKostart, u"Kostenart"_s, 10},
                 {u"KostartName"_s, u"Kostenart-Bezeichnung"_s, 30, true}};
    d.columnActions = {{kKostart, &ChooseZeitartKostart}};
    using B = widgets::DbNavigator;
    d.navigatorButtons = {B::First, B::Prior, B::Next,   B::Last,
                          B::Edit,  B::Post,  B::Cancel, B::Refresh};
    // The list prints in the order of the data module's time-type table.
    d.openTables = {u"TabZeitart"_s};
    d.prints = {{u"Vorschau"_s, 65000, u"PrintZeitartList"_s, 1},
                {u"Druck"_s, 65000, u"PrintZeitartList"_s, 0}};
    d.helpPage = u"zeitarten.html"_s;
    d.minimumSize = {720, 330};
    d.setup = [](TF_TableForm& form) {
        table::Table& t = form.table();
        AddLookupFields(t, {{u"KostartName"_s, table::FieldType::String, 40, kKostart,
                             u"Kostart.DB"_s, u"A_Nr"_s, u"A_Text"_s}});
        ShowTwoDecimals(t.field(u"ZA_Aufschlag"_s));
        // The set of types is fixed: the type number is a column of the sums.
        t.onNewRecord += [](table::Table&) {
            ShowError(u"Sie können der Tabelle keine neuen Datensätze hinzufügen!"_s);
            throw Abort{};
        };
        const auto refuseDelete = [] {
            ShowError(u"Sie können keine Datensäte aus der Tabelle löschen!"_s);
            throw Abort{};
        };
        t.beforeDelete += [refuseDelete](table::Table&) { refuseDelete(); };
        form.source().setDeleteGuard(refuseDelete);
    };
    return d;
}

void ShowZeitartForm() {
    OpenTableForm(ZeitartFormDecl());
}
