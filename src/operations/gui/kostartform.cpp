#include "operations/gui/kostartform.h"

#include "core/data/dbhelpers.h"
#include "core/data/numberproposals.h"
#include "core/data/recordrules.h"
#include "core/datagui/gridservices.h"
#include "core/messages/messages.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/dialogs/selectrecord.h"
#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tf_tableform.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPointer>

using namespace Qt::StringLiterals;

namespace {

const QString kNr = u"A_Nr"_s;
const QString kRubrikNr = u"A_RubrikNr"_s;
const QString kRubrikName = u"A_Rubrikname"_s;
const QString kMwstKz = u"A_MwstKz"_s;

// While the form is open the cost-type rules put the cursor on the column
// they reject ("TabKostartA_RubrikNr"); the hook found is given back after.
class FocusFieldHook : public QObject {
public:
    explicit FocusFieldHook(TF_TableForm& form)
        : QObject(&form), m_previous(RecordRuleHooksRegistry().focusField) {
        QPointer<TF_TableForm> shown(&form);
        RecordRuleHooksRegistry().focusField = [shown,
                                                previous = m_previous](const QString& fieldObject) {
            if (shown && fieldObject.startsWith(u"TabKostart"_s, Qt::CaseInsensitive))
                SelectGridField(shown->grid(), fieldObject);
            else if (previous)
                previous(fieldObject);
        };
    }
    ~FocusFieldHook() override { RecordRuleHooksRegistry().focusField = m_previous; }

private:
    std::function<void(const QString&)> m_previous;
};

// The rubric's name is a copy the rule writes: the cursor passes over its
// column in the direction of the last key (the left arrow: to the left).
class RubrikNameSkip : public QObject {
public:
    explicit RubrikNameSkip(TF_TableForm& form) : QObject(&form), m_grid(form.grid()) {
        m_grid.installEventFilter(this);
        connect(m_grid.selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this](const QModelIndex& current) {
                    if (current.isValid() &&
                        m_grid.gridModel().fieldAt(current.column()) == kRubrikName)
                        SkipGridColumn(m_grid, current.column(), m_lastKey);
                });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress)
            m_lastKey = static_cast<QKeyEvent*>(event)->key();
        return QObject::eventFilter(watched, event);
    }

private:
    widgets::DataGrid& m_grid;
    int m_lastKey = 0;
};

} // namespace

void ProposeKostartNumber(TF_TableForm& form) {
    table::Table& t = form.table();
    if (!t.isOpen())
        return;
    if (FieldInt(t, kNr) != 0 && !AskYesNo(u"Möchten Sie die Kostenartennummer wirklich ändern?"_s))
        return;
    EnsureEditOrInsert(t);
    t[kNr] = ProposeKostartNr();
    form.source().notifyRecordChanged();
}

void ChooseKostartRubrik(TF_TableForm& form) {
    table::Table& t = form.table();
    if (!t.isOpen())
        return;
    const LookupGrid grid{
        {{u"R_Nr"_s, u"Nummer"_s, 8}, {u"R_Text"_s, u"Rubrikname"_s, 20}}, 0, 150};
    QVariant rubrik = FieldInt(t, kRubrikNr);
    QString sort;
    if (!SelectRecordUnfiltered(grid, u"R_Nr"_s, rubrik, form.x() + 280, form.y() + 160,
                                u"Rubrik auswählen"_s, u"LumoDB"_s, u"Rubrik.db"_s, sort))
        return;
    EnsureEditOrInsert(t);
    t[kRubrikNr] = rubrik.toInt();
    form.source().notifyRecordChanged();
}

void ChooseKostartMwst(TF_TableForm& form) {
    table::Table& t = form.table();
    if (!t.isOpen())
        return;
    int code = FieldInt(t, kMwstKz);
    double rate = 0;
    QString shortText, longText;
    if (!PickVatRate(code, rate, shortText, longText, form.x() + 40, form.y() + 240))
        return;
    CancelEditOnError(t, [&] {
        EnsureEditOrInsert(t);
        t[kMwstKz] = code;
        t.post();
    });
    form.source().notifyRecordChanged();
}

TableFormDecl KostartFormDecl() {
    TableFormDecl d;
    d.formClass = u"TF_Kostart"_s;
    d.caption = u"Kostenarten definieren"_s;
    d.source = TableSource::Shared;
    d.table = u"TabKostart"_s;
    d.gridName = u"GridKostart"_s;
    d.columns = {{kNr, u"Kostart-Nr."_s, 10},
                 {kRubrikNr, u"R.-Nr."_s, 6},
                 {kRubrikName, u"Rubrikbezeichnung"_s, 20, true},
                 {u"A_Text"_s, u"Beschreibung"_s, 40},
                 {u"A_Personal"_s, u"Gemeinkosten"_s, 12},
                 {kMwstKz, u"Mwst-Kz"_s, 8}};
    d.columnActions = {{kNr, &ProposeKostartNumber},
                       {kRubrikNr, &ChooseKostartRubrik},
                       {kRubrikName, &ChooseKostartRubrik},
                       {kMwstKz, &ChooseKostartMwst}};
    d.titleSort = TitleSort::ByField;
    d.initialSortField = kNr;
    d.navigatorButtons = BrowseNavigator();
    d.postCancelButtons = true;
    d.openTables = {u"TabRubrik"_s};
    d.prints = {{u"Dr&ucken"_s, 55000, u"PrintKostartList"_s, 0},
                {u"&Vorschau"_s, 55000, u"PrintKostartList"_s, 1}};
    d.helpPage = u"Kostenarten.html"_s;
    d.minimumSize = {720, 420};
    d.setup = [](TF_TableForm& form) {
        form.grid().setToolTip(u"Sortierung ändern: Kopf der\r\ngewünschten Spalte anclicken"_s);
        new FocusFieldHook(form);
        new RubrikNameSkip(form);
    };
    return d;
}

void ShowKostartForm() {
    OpenTableForm(KostartFormDecl());
}
