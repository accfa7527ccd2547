#pragma once

#include <QList>
#include <QString>
#include <Qt>

class QDateEdit;
class QEvent;
class QPushButton;
class QWidget;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
struct GridColumn;
} // namespace widgets

// Pieces the time-recording windows share (time entry, its archive browser,
// the monthly views, the cost views).

// A key press of exactly key with exactly these modifiers.
bool IsKeyPress(const QEvent* event, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// A push button that never becomes the dialog's default, with its hint.
QPushButton* MakeFormButton(QWidget* parent, const QString& name, const QString& caption,
                            const QString& hint = {});

// P_Nr of the data module's staff cursor; 0 when it is closed or empty.
int SelectedStaffNr();

// "dtpDate": the day as "Dienstag, 10. März 2026", with a calendar.
QDateEdit* MakeDayPicker(QWidget* parent);

// "GridPersonal": number and name of the staff, read-only, whole rows.
widgets::DataGrid* MakeStaffGrid(widgets::DataSource& staff, QWidget* parent);

// The columns of a day's time records: "Art" (the lookup field
// "ZeitartKurz") to "Kostart", the object's name from "ObjektMatch".
QList<widgets::GridColumn> DayRecordColumns();

// A focused grid gets the tool-tip background, a grid left the base colour;
// true when the event was a focus change.
bool ShowGridFocus(widgets::DataGrid& grid, const QEvent* event);

// The lookup fields of DayRecordColumns on a cursor of time records: the time
// type's short text and the object's name, from the client's tables (also
// for archived records).
void AddDayRecordLookups(table::Table& records);
