#include "commercial/gui/tf_rechint.h"

#include "commercial/gui/tf_defrg.h"
#include "core/data/dbhelpers.h"
#include "masterdata/gui/tf_tableform.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"

using namespace Qt::StringLiterals;
using widgets::DbNavigator;

namespace {

constexpr int kRgTermineFormType = 64000;
const QString kPrintEntry = u"PrintRgIntervList"_s;

} // namespace

void EditRechintPeriods(TF_TableForm& form) {
    table::Table& heads = form.table();
    if (!heads.isOpen() || heads.isEmpty())
        return;
    if (heads.isEditing())
        heads.post();
    EditRgTermine(FieldInt(heads, u"I_DefNo"_s), FieldText(heads, u"I_Comment"_s));
    form.source().notifyRecordChanged();
    form.grid().setFocus();
}

TableFormDecl RechintFormDecl() {
    TableFormDecl d;
    d.formClass = u"TF_Rechint"_s;
    d.caption = u"Rechnungsintervalle"_s;
    d.source = TableSource::Shared;
    d.table = u"TabDefYearH"_s;
    d.gridName = u"DBGrid1"_s;
    d.columns = {{u"I_DefNo"_s, u"Nr"_s, 5, true}, {u"I_Comment"_s, u"Beschreibung"_s, 40}};
    d.navigatorButtons = {DbNavigator::First, DbNavigator::Prior,  DbNavigator::Next,
                          DbNavigator::Last,  DbNavigator::Insert, DbNavigator::Delete,
                          DbNavigator::Post,  DbNavigator::Cancel};
    d.buttons = {{u"Bearbeiten"_s, &EditRechintPeriods}};
    d.prints = {{u"Dr&uck"_s, kRgTermineFormType, kPrintEntry, 0},
                {u"Vorsc&hau"_s, kRgTermineFormType, kPrintEntry, 1}};
    d.closeCaption = u"&Schließen"_s;
    d.minimumSize = {560, 320};
    return d;
}

void ShowRechintForm() {
    OpenTableForm(RechintFormDecl());
}
