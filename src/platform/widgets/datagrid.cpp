#include "platform/widgets/datagrid.h"

#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/typedinput.h"
#include "platform/widgets/userprompts.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace widgets {

namespace {

// Edits a choice column with a drop-down list of its texts; choosing an
// entry writes its value at once.
class ChoiceDelegate : public QStyledItemDelegate {
public:
    ChoiceDelegate(const GridColumn& column, QObject* parent)
        : QStyledItemDelegate(parent), m_items(column.items), m_values(column.values) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* box = new QComboBox(parent);
        box->addItems(m_items.mid(0, m_values.size()));
        connect(box, &QComboBox::activated, this, [this, box] {
            auto* self = const_cast<ChoiceDelegate*>(this);
            Q_EMIT self->commitData(box);
            Q_EMIT self->closeEditor(box, QAbstractItemDelegate::NoHint);
        });
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* box = static_cast<QComboBox*>(editor);
        const QVariant value = index.data(Qt::EditRole);
        int at = -1;
        for (int i = 0; i < box->count() && at < 0; ++i)
            if (!value.isNull() && m_values[i].toString() == value.toString())
                at = i;
        box->setCurrentIndex(at);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        const int at = static_cast<QComboBox*>(editor)->currentIndex();
        if (at >= 0 && at < m_values.size() && index.data(Qt::EditRole) != m_values[at])
            model->setData(index, m_values[at], Qt::EditRole);
    }

private:
    QStringList m_items;
    QVariantList m_values;
};

// Cell editors of number columns refuse letters as they are typed.
class CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(DataGrid& grid) : QStyledItemDelegate(&grid), m_grid(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            ValidateAsNumber(*line, m_grid.source().table().findField(
                                        m_grid.gridModel().fieldAt(index.column())));
        return editor;
    }

private:
    DataGrid& m_grid;
};

} // namespace

DataGrid::DataGrid(DataSource& source, QWidget* parent)
    : QTableView(parent), m_source(source), m_model(new DataGridModel(source, this)) {
    m_model->setMessageParent(this);
    setModel(m_model);
    setItemDelegate(new CellDelegate(*this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { Q_EMIT titleClicked(column, m_model->fieldAt(column)); });
    // After a new view the selection lands on the current record among the new rows.
    connect(&source, &DataSource::recordChanged, this, &DataGrid::followCursor);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyWidths();
        followCursor();
    });
    applyWidths();
    followCursor();
}

void DataGrid::setColumns(const QList<GridColumn>& columns) {
    for (int c = 0; c < m_model->columns().size(); ++c)
        if (QAbstractItemDelegate* old = itemDelegateForColumn(c)) {
            setItemDelegateForColumn(c, nullptr);
            old->deleteLater();
        }
    m_model->setColumns(columns);
    for (int c = 0; c < columns.size(); ++c)
        if (!columns[c].values.isEmpty())
            setItemDelegateForColumn(c, new ChoiceDelegate(columns[c], this));
    applyWidths();
}

void DataGrid::applyWidths() {
    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    // A column is never narrower than its title.
    for (int c = 0; c < m_model->columns().size(); ++c)
        if (m_model->columns()[c].width > 0)
            setColumnWidth(c, std::max(m_model->columns()[c].width * charWidth + 8,
                                       horizontalHeader()->sectionSizeHint(c)));
}

void DataGrid::followCursor() {
    const int row = m_model->cursorRow();
    const int column = std::max(0, currentIndex().column());
    m_following = true;
    if (row < 0 || row >= m_model->rowCount() || m_model->columnCount() == 0) {
        setCurrentIndex({});
    } else {
        const QModelIndex target = m_model->index(row, column);
        if (currentIndex() != target)
            setCurrentIndex(target);
        scrollTo(target);
    }
    m_following = false;
}

void DataGrid::setGridColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

QString DataGrid::selectedField() const {
    return m_model->fieldAt(currentIndex().column());
}

bool DataGrid::selectField(const QString& field) {
    const int column = m_model->columnOf(field);
    if (column < 0)
        return false;
    const int row = currentIndex().isValid() ? currentIndex().row() : m_model->cursorRow();
    m_following = true;
    setCurrentIndex(m_model->index(std::max(row, 0), column));
    m_following = false;
    return true;
}

void DataGrid::commitEdit() {
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void DataGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (m_following || !current.isValid() || current.row() == previous.row())
        return;
    table::Table& t = m_source.table();
    if (m_model->isInsertRow(current.row()) || current.row() == m_model->cursorRow())
        return;
    // Leaving the row posts its changes; when the table refuses, the
    // selection goes back to the record still being edited.
    const bool moved = guarded(this, [&] { t.setRecNo(current.row() + 1); });
    if (!moved)
        followCursor();
}

void DataGrid::keyPressEvent(QKeyEvent* event) {
    if (state() != QAbstractItemView::EditingState) {
        table::Table& t = m_source.table();
        if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
            guarded(this, [&] { m_source.insert(); });
            return;
        }
        if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) {
            guarded(this, [&] { m_source.deleteRecord(); });
            return;
        }
        if (event->key() == Qt::Key_Escape && t.isEditing()) {
            guarded(this, [&] { t.cancel(); });
            return;
        }
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && t.isEditing()) {
            guarded(this, [&] { t.post(); });
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

} // namespace widgets
