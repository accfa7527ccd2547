#include "masterdata/dialogs/gridsearch.h"

#include "core/datagui/gridservices.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"

#include <QKeyEvent>
#include <QLineEdit>

GridSearch::GridSearch(QLineEdit& edit, widgets::DataGrid& grid, std::function<int()> sortColumn)
    : QObject(&grid), m_edit(edit), m_grid(grid), m_sortColumn(std::move(sortColumn)) {
    edit.installEventFilter(this);
    connect(&edit, &QLineEdit::textChanged, this, &GridSearch::search);
}

GridSearch::~GridSearch() {
    m_edit.removeEventFilter(this);
}

bool GridSearch::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_edit || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    QChar typed = TypedSearchKey(*static_cast<QKeyEvent*>(event));
    if (typed.isNull())
        return false;
    FilterSearchKey(m_grid, m_edit, m_sortColumn(), typed);
    return typed.isNull();
}

void GridSearch::search(const QString& text) {
    if (!m_grid.source().table().isOpen())
        return;
    FindKeyUpperCase(m_grid.source(), text);
    m_grid.followCursor();
}
