#include "commercial/gui/doclisthead.h"

#include "core/data/dbhelpers.h"
#include "core/datagui/gridservices.h"
#include "masterdata/dialogs/gridsearch.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/userprompts.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

TDocListHead::TDocListHead(TDocListHeadDecl decl, widgets::DataSource& source, QWidget* parent)
    : QObject(parent), m_decl(std::move(decl)), m_source(source) {
    m_grid = new widgets::DataGrid(source, parent);
    m_grid->setObjectName(m_decl.gridName);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setColumns(m_decl.columns);
    if (m_decl.rowBrush)
        m_grid->gridModel().setRowBrush(
            [this](int row) { return m_decl.rowBrush(m_source.rows(), row); });
    m_windowColour = m_grid->palette().color(QPalette::Base);
    m_focusColour = m_grid->palette().color(QPalette::ToolTipBase);
    m_grid->installEventFilter(this);
    connect(m_grid, &widgets::DataGrid::titleClicked, this,
            [this](int, const QString& field) { titleClicked(field); });
    connect(m_grid, &QAbstractItemView::clicked, this, [this] {
        if (m_markMode)
            toggleMark();
    });
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this] {
        if (!m_markMode)
            Q_EMIT headActivated();
    });
    // A new view gives the columns their declared widths again.
    connect(&m_grid->gridModel(), &QAbstractItemModel::modelReset, this,
            [this] { applyMarkLayout(); });

    m_searchLabel = new QLabel(u"&Suchen"_s, parent);
    m_search = new QLineEdit(parent);
    m_search->setObjectName(u"EditSearch"_s);
    m_search->setToolTip(u"Suchbegriff eingeben"_s);
    m_search->setFixedWidth(m_search->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 18);
    m_searchLabel->setBuddy(m_search);
    m_gridSearch = new GridSearch(*m_search, *m_grid, [this] { return m_sortColumn; });
    m_search->installEventFilter(this);

    m_sortLabel = new QLabel(parent);
    m_sortLabel->setObjectName(u"lbSort"_s);
    m_sortLabel->hide();
    applyMarkLayout();
}

TDocListHead::~TDocListHead() = default;

table::Table& TDocListHead::table() const {
    return m_source.table();
}

QString TDocListHead::sortField() const {
    return m_sortLabel->text();
}

void TDocListHead::sortBy(const QString& field) {
    if (field.isEmpty() || !table().isOpen())
        return;
    titleClicked(field);
}

void TDocListHead::titleClicked(const QString& field) {
    guarded(m_grid, [&] {
        m_sortColumn = SortGridByColumn(*m_grid, field);
        const QString sorted = m_grid->gridModel().fieldAt(m_sortColumn);
        if (!sorted.isEmpty())
            m_sortLabel->setText(sorted);
        m_source.notifyViewChanged();
        m_grid->followCursor();
    });
}

void TDocListHead::setMarkMode(bool on) {
    if (m_markMode == on)
        return;
    m_markMode = on;
    applyMarkLayout();
    Q_EMIT markModeChanged(on);
}

void TDocListHead::applyMarkLayout() {
    const widgets::DataGridModel& model = m_grid->gridModel();
    if (const int mark = model.columnOf(m_decl.markField); mark >= 0)
        m_grid->setColumnHidden(mark, !m_markMode);
    if (const int hidden = model.columnOf(m_decl.hiddenWhileMarking); hidden >= 0)
        m_grid->setColumnHidden(hidden, m_markMode);
    if (const int wide = model.columnOf(m_decl.widenedWhileMarking); wide >= 0) {
        // From the declared width, so switching twice does not widen twice.
        const int charWidth = m_grid->fontMetrics().horizontalAdvance(QLatin1Char('0'));
        const int declared = std::max(model.columns()[wide].width * charWidth + 8,
                                      m_grid->horizontalHeader()->sectionSizeHint(wide));
        m_grid->setColumnWidth(wide, declared + (m_markMode ? m_decl.widenBy : 0));
    }
    for (QAction* action : m_markActions)
        action->setVisible(m_markMode);
}

void TDocListHead::addMarkModeAction(QAction* action) {
    m_markActions.append(action);
    action->setVisible(m_markMode);
}

bool TDocListHead::beginMarkedCommand(const std::function<int()>& countOrTell) {
    setMarkMode(true);
    if (countOrTell() == 0)
        return false;
    setMarkMode(false);
    return true;
}

void TDocListHead::setMark(bool mark) {
    table::Table& t = table();
    if (!t.isOpen() || t.isEmpty() || !m_decl.setMark)
        return;
    m_decl.setMark(t, mark);
    m_source.notifyRecordChanged();
}

void TDocListHead::toggleMark() {
    guarded(m_grid, [&] {
        table::Table& t = table();
        if (!t.isOpen() || t.isEmpty())
            return;
        setMark(!GetFieldBoolOrDefault(t.findField(m_decl.markField), false));
    });
}

void TDocListHead::moveOn() {
    table::Table& t = table();
    if (t.isOpen() && !t.isEmpty())
        t.next();
    m_grid->followCursor();
}

bool TDocListHead::markKey(int key, const QString& text) {
    if (!m_markMode)
        return false;
    guarded(m_grid, [&] {
        table::Table& t = table();
        const QString upper = text.toUpper();
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
            toggleMark();
            moveOn();
        } else if (upper == u"J"_s) {
            setMark(true);
            moveOn();
        } else if (upper == u"N"_s) {
            setMark(false);
            moveOn();
        } else if (key == Qt::Key_Down) {
            moveOn();
        } else if (key == Qt::Key_Up && t.isOpen() && !t.isEmpty()) {
            t.prior();
            m_grid->followCursor();
        }
    });
    return true;
}

bool TDocListHead::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (markKey(key->key(), key->text()))
            return true;
    }
    // The list that has the focus shows it in the tool-tip colour.
    if (watched == m_grid &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        SetGridColor(*m_grid, event->type() == QEvent::FocusIn ? m_focusColour : m_windowColour);
    // The search goes by the sorted column: it is the one selected.
    if (watched == m_search && event->type() == QEvent::FocusIn && m_sortColumn >= 0)
        m_grid->selectField(m_grid->gridModel().fieldAt(m_sortColumn));
    return QObject::eventFilter(watched, event);
}
