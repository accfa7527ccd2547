#include "masterdata/dialogs/gridsearch.h"

#include "core/datagui/gridservices.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"

#include <QApplication>
#include <QChildEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

// True when the key press types a character that the search-key filter
// refuses for the sort column; keys that type nothing pass.
bool refusedKey(const QEvent* event, const widgets::DataGrid& grid, QLineEdit& edit, int column) {
    if (event->type() != QEvent::KeyPress)
        return false;
    QChar typed = TypedSearchKey(*static_cast<const QKeyEvent*>(event));
    if (typed.isNull())
        return false;
    FilterSearchKey(grid, edit, column, typed);
    return typed.isNull();
}

} // namespace

GridSearch::GridSearch(QLineEdit& edit, widgets::DataGrid& grid, std::function<int()> sortColumn)
    : QObject(&grid), m_edit(edit), m_grid(grid), m_sortColumn(std::move(sortColumn)) {
    edit.installEventFilter(this);
    connect(&edit, &QLineEdit::textChanged, this, &GridSearch::search);
}

GridSearch::~GridSearch() {
    m_edit.removeEventFilter(this);
}

bool GridSearch::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_edit)
        return QObject::eventFilter(watched, event);
    return refusedKey(event, m_grid, m_edit, m_sortColumn());
}

void GridSearch::search(const QString& text) {
    if (!m_grid.source().table().isOpen())
        return;
    FindKeyUpperCase(m_grid.source(), text);
    m_grid.followCursor();
}

GridTypingFilter::GridTypingFilter(widgets::DataGrid& grid, QLineEdit& searchEdit,
                                   std::function<int()> sortColumn)
    : QObject(&grid), m_grid(grid), m_edit(searchEdit), m_sortColumn(std::move(sortColumn)) {
    grid.installEventFilter(this);
    // Cell editors are children of the viewport, made when editing starts.
    grid.viewport()->installEventFilter(this);
}

void GridTypingFilter::watchEditor(QObject* editor) {
    editor->installEventFilter(this);
    for (QWidget* part : editor->findChildren<QWidget*>())
        part->installEventFilter(this);
}

bool GridTypingFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid.viewport()) {
        if (event->type() == QEvent::ChildPolished)
            watchEditor(static_cast<QChildEvent*>(event)->child());
        return false;
    }
    // Only where the key lands: an editor passing it on to a part of its
    // own is not judged twice.
    if (watched != &m_grid && watched != QApplication::focusWidget())
        return false;
    return refusedKey(event, m_grid, m_edit, m_sortColumn());
}
