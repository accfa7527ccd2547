#pragma once

#include "core/data/printformrows.h"

#include <QDialog>

class QTableWidget;

namespace table {
class Field;
}

// The print-form choice "Druckformular-Auswahl": a read-only list of print
// forms, whole rows selected, sortable by a click on a column title; a double
// click confirms like OK.
class TF_SelForm : public QDialog {
    Q_OBJECT
public:
    // The row of currentId is preselected when offered, else the first row.
    TF_SelForm(const QList<PrintFormRow>& rows, int currentId, QWidget* parent = nullptr);

    QTableWidget* grid() const { return m_grid; }
    // The id of the selected row once confirmed; 0 when cancelled or when
    // confirmed with no row.
    int chosenId() const;

private:
    QTableWidget* m_grid = nullptr;
};

// Runs the choice for the forms of the form type's thousand at screen
// position (x, y); returns the chosen form id or 0.
int SelectPrintForm(int formType, int currentId, int x, int y);
// The call of the print buttons and choice fields.
int ChoosePrintForm(int formType, int currentId, int x, int y);

// The choice for a form-id field, placed below `control` (or, without one, in
// the middle of the main window) with the field's id preselected; a chosen id
// other than the field's is stored (the record is posted when postAfter).
// Returns the chosen id, or the field's (0 without one) when nothing was chosen.
int ChoosePrintFormForField(QWidget* control, table::Field* field, int formType, bool postAfter);
