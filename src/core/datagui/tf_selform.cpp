#include "core/datagui/tf_selform.h"

#include "core/data/dbhelpers.h"
#include "core/data/timerworkpause.h"
#include "core/gui/placement.h"
#include "platform/table/field.h"
#include "platform/table/table.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TF_SelForm::TF_SelForm(const QList<PrintFormRow>& rows, int currentId, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TF_SelForm"));
    setWindowTitle(QStringLiteral("Druckformular-Auswahl"));
    auto* layout = new QVBoxLayout(this);
    m_grid = new QTableWidget(int(rows.size()), 3, this);
    m_grid->setObjectName(QStringLiteral("GridForm"));
    m_grid->setHorizontalHeaderLabels(
        {QStringLiteral("ID"), QStringLiteral("Dateiname"), QStringLiteral("Beschreibung")});
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setMinimumHeight(240);
    QTableWidgetItem* preselected = nullptr;
    for (int r = 0; r < rows.size(); ++r) {
        auto* id = new QTableWidgetItem;
        id->setData(Qt::DisplayRole, rows[r].id); // sorts as a number
        m_grid->setItem(r, 0, id);
        m_grid->setItem(r, 1, new QTableWidgetItem(rows[r].fileName));
        m_grid->setItem(r, 2, new QTableWidgetItem(rows[r].comment));
        if (rows[r].id == currentId || (r == 0 && !preselected))
            preselected = id;
    }
    // Keep the table's order until a column title is clicked.
    m_grid->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_grid->setSortingEnabled(true);
    // File names such as "ORM47001.QFD" must show whole; the description takes the rest.
    m_grid->resizeColumnsToContents();
    if (preselected)
        m_grid->selectRow(preselected->row());
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
    layout->addWidget(m_grid);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(520, sizeHint().height());
}

int TF_SelForm::chosenId() const {
    if (result() != QDialog::Accepted)
        return 0;
    const QList<QTableWidgetItem*> selected = m_grid->selectedItems();
    if (selected.isEmpty())
        return 0;
    const QTableWidgetItem* id = m_grid->item(selected.first()->row(), 0);
    return id ? id->data(Qt::DisplayRole).toInt() : 0;
}

int SelectPrintForm(int formType, int currentId, int x, int y) {
    TimerWorkPause paused;
    TF_SelForm dialog(PrintFormsOfGroup(formType), currentId);
    dialog.move(x, y);
    dialog.exec();
    return dialog.chosenId();
}

int ChoosePrintForm(int formType, int currentId, int x, int y) {
    TimerWorkPause paused;
    return SelectPrintForm(formType, currentId, x, y);
}

int ChoosePrintFormForField(QWidget* control, table::Field* field, int formType, bool postAfter) {
    TimerWorkPause paused;
    const int current = field && !field->isNull() ? field->asInteger() : 0;
    int x = 0;
    int y = 0;
    if (control) {
        const QPoint bottomLeft = control->mapToGlobal(QPoint(0, control->height()));
        x = std::max(0, bottomLeft.x() - 420);
        y = bottomLeft.y();
    } else if (const QWidget* main = MainForm()) {
        x = main->x() + main->width() / 2 - 210;
        y = main->y() + 150;
    }
    const int chosen = SelectPrintForm(formType, current, x, y);
    if (chosen == 0)
        return current;
    if (field && chosen != current) {
        table::Table& record = field->table();
        EnsureEditOrInsert(record);
        field->setValue(chosen);
        if (postAfter)
            record.post();
    }
    return chosen;
}
