#include "operations/gui/zeiterfparts.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/datagui/gridservices.h"
#include "masterdata/lookupfields.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"

#include <QDateEdit>
#include <QKeyEvent>
#include <QLocale>
#include <QPushButton>

using namespace Qt::StringLiterals;

bool IsKeyPress(const QEvent* event, int key, Qt::KeyboardModifiers modifiers) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* k = static_cast<const QKeyEvent*>(event);
    return k->key() == key && k->modifiers() == modifiers;
}

QPushButton* MakeFormButton(QWidget* parent, const QString& name, const QString& caption,
                            const QString& hint) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

int SelectedStaffNr() {
    table::Table& staff = DataModule1().TabPersonal();
    return staff.isOpen() && !staff.isEmpty() ? FieldInt(staff, u"P_Nr"_s) : 0;
}

QDateEdit* MakeDayPicker(QWidget* parent) {
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(u"dtpDate"_s);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(u"dddd, d. MMMM yyyy"_s);
    picker->setLocale(QLocale(QLocale::German, QLocale::Germany));
    return picker;
}

widgets::DataGrid* MakeStaffGrid(widgets::DataSource& staff, QWidget* parent) {
    auto* grid = new widgets::DataGrid(staff, parent);
    grid->setObjectName(u"GridPersonal"_s);
    grid->setColumns({{u"P_Nr"_s, u"P-Nr."_s, 6}, {u"P_Match"_s, u"Mitarbeiter-Name"_s, 20}});
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setFixedWidth(280);
    return grid;
}

QList<widgets::GridColumn> DayRecordColumns() {
    return {{u"ZeitartKurz"_s, u"Art"_s, 8, true}, {u"Z_Stunden"_s, u"Stunden"_s, 8},
            {u"Z_ObjNr"_s, u"Objekt"_s, 7},        {u"ObjektMatch"_s, u"Obj.-Bezeich"_s, 16, true},
            {u"Z_Text"_s, u"Text"_s, 18},          {u"Z_EkPreis"_s, u"Std-Satz"_s, 8},
            {u"Z_Kostart"_s, u"Kostart"_s, 7}};
}

bool ShowGridFocus(widgets::DataGrid& grid, const QEvent* event) {
    if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut)
        return false;
    SetGridColor(grid, grid.palette().color(event->type() == QEvent::FocusIn ? QPalette::ToolTipBase
                                                                             : QPalette::Base));
    return true;
}

void AddDayRecordLookups(table::Table& records) {
    const QString client = u"LumoDB"_s;
    AddLookupFields(records, {{u"ZeitartKurz"_s, table::FieldType::String, 10, u"Z_Art"_s,
                               u"Zeitart.DB"_s, u"ZA_Type"_s, u"ZA_Kurztext"_s, client},
                              {u"ObjektMatch"_s, table::FieldType::String, 40, u"Z_ObjNr"_s,
                               u"Objekte.DB"_s, u"O_Nr"_s, u"O_Match"_s, client}});
}
