#include "platform/widgets/datagridmodel.h"

#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/table/tableerror.h"
#include "platform/table/values.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/rowreader.h"
#include "platform/widgets/typedinput.h"
#include "platform/widgets/userprompts.h"

#include <QDebug>

namespace widgets {

DataGridModel::DataGridModel(DataSource& source, QObject* parent)
    : QAbstractTableModel(parent), m_source(source) {
    defaultColumns();
    m_insertRowShown = showsInsertRow();
    connect(&source, &DataSource::viewChanged, this, &DataGridModel::viewChanged);
    connect(&source, &DataSource::stateChanged, this, &DataGridModel::stateChanged);
    connect(&source, &DataSource::recordChanged, this, &DataGridModel::recordChanged);
}

void DataGridModel::defaultColumns() {
    if (m_ownColumns)
        return;
    table::Table& t = m_source.table();
    m_columns.clear();
    if (!t.isOpen())
        return;
    for (int i = 0; i < t.fieldCount(); ++i)
        if (t.field(i).type() != table::FieldType::Graphic &&
            t.field(i).type() != table::FieldType::FmtMemo)
            m_columns.append({t.field(i).name(), {}, 0});
}

void DataGridModel::setColumns(const QList<GridColumn>& columns) {
    beginResetModel();
    m_ownColumns = !columns.isEmpty();
    m_columns = columns;
    defaultColumns();
    endResetModel();
}

QString DataGridModel::fieldAt(int column) const {
    return column >= 0 && column < m_columns.size() ? m_columns[column].field : QString();
}

int DataGridModel::columnOf(const QString& field) const {
    for (int c = 0; c < m_columns.size(); ++c)
        if (m_columns[c].field.compare(field, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

void DataGridModel::setTitleBrush(int column, const QBrush& brush) {
    const QString key = fieldAt(column).toLower();
    if (key.isEmpty())
        return;
    if (brush.style() == Qt::NoBrush)
        m_titleBrushes.remove(key);
    else
        m_titleBrushes.insert(key, brush);
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

bool DataGridModel::showsInsertRow() const {
    return m_source.table().state() == table::TableState::Insert;
}

int DataGridModel::cursorRow() const {
    table::Table& t = m_source.table();
    if (!t.isOpen())
        return -1;
    if (t.state() == table::TableState::Insert)
        return m_source.rows().rowCount();
    return t.recNo() - 1;
}

bool DataGridModel::isInsertRow(int row) const {
    return m_insertRowShown && row == m_source.rows().rowCount();
}

bool DataGridModel::showsBuffer(int row) const {
    const table::Table& t = m_source.table();
    if (t.state() == table::TableState::Insert)
        return isInsertRow(row);
    return t.state() == table::TableState::Edit && row == cursorRow();
}

int DataGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return m_source.rows().rowCount() + (m_insertRowShown ? 1 : 0);
}

int DataGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DataGridModel::data(const QModelIndex& index, int role) const {
    // Asked while painting, where an exception cannot be shown: the cell stays
    // empty and the reason goes to the log; the next action that reads the
    // table meets the same error and shows it.
    try {
        return cellData(index, role);
    } catch (const DbError& e) {
        qWarning("DataGridModel: %s", qPrintable(e.message()));
    } catch (const std::exception& e) {
        qWarning("DataGridModel: %s", e.what());
    }
    return {};
}

QVariant DataGridModel::cellData(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= m_columns.size() || index.row() >= rowCount())
        return {};
    table::Table& t = m_source.table();
    const QString& name = m_columns[index.column()].field;
    const table::Field* field = t.findField(name);
    if (!field)
        return {};
    const bool boolean = field->type() == table::FieldType::Boolean;
    const bool buffer = showsBuffer(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        if (boolean)
            return {};
        const GridColumn& column = m_columns[index.column()];
        if (column.values.isEmpty())
            return buffer ? field->text() : m_source.rows().text(index.row(), name);
        const QVariant value = buffer ? field->value() : m_source.rows().value(index.row(), name);
        // The choice list edits the stored value; the cell shows its text.
        if (role == Qt::EditRole)
            return value;
        return choiceText(column, *field, value);
    }
    case Qt::CheckStateRole: {
        if (!boolean)
            return {};
        const bool on =
            buffer ? field->asBoolean() : m_source.rows().value(index.row(), name).toBool();
        return on ? Qt::Checked : Qt::Unchecked;
    }
    case Qt::TextAlignmentRole:
        switch (field->type()) {
        case table::FieldType::Smallint:
        case table::FieldType::Integer:
        case table::FieldType::AutoInc:
        case table::FieldType::Float:
        case table::FieldType::Currency:
            return int(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return {};
        }
    case Qt::BackgroundRole:
        if (isInsertRow(index.row()))
            return {};
        if (m_cellBrush)
            if (const QBrush brush = m_cellBrush(index.row(), name); brush.style() != Qt::NoBrush)
                return QVariant::fromValue(brush);
        if (!m_rowBrush)
            return {};
        if (const QBrush brush = m_rowBrush(index.row()); brush.style() != Qt::NoBrush)
            return QVariant::fromValue(brush);
        return {};
    default:
        return {};
    }
}

QString DataGridModel::choiceText(const GridColumn& column, const table::Field& field,
                                  const QVariant& value) const {
    if (value.isNull() || !value.isValid())
        return {};
    const QVariant stored = table::toStored(field.def(), value);
    for (int i = 0; i < column.values.size() && i < column.items.size(); ++i)
        if (table::toStored(field.def(), column.values[i]) == stored)
            return column.items[i];
    return value.toString();
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    const GridColumn& c = m_columns[section];
    if (role == Qt::BackgroundRole) {
        const auto it = m_titleBrushes.constFind(c.field.toLower());
        return it == m_titleBrushes.cend() ? QVariant() : QVariant::fromValue(*it);
    }
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return c.title.isEmpty() ? c.field : c.title;
}

Qt::ItemFlags DataGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!index.isValid())
        return f;
    if (index.column() < m_columns.size() && m_columns[index.column()].readOnly)
        return f;
    const table::Field* field = m_source.table().findField(fieldAt(index.column()));
    if (!field || field->isCalculated() || field->type() == table::FieldType::AutoInc ||
        field->type() == table::FieldType::Graphic)
        return f;
    const bool allowed = isInsertRow(index.row()) ? m_source.mayInsert() : m_source.mayEdit();
    if (!allowed)
        return f;
    if (field->type() == table::FieldType::Boolean)
        return f | Qt::ItemIsUserCheckable;
    return f | Qt::ItemIsEditable;
}

bool DataGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
        return false;
    table::Table& t = m_source.table();
    const QString name = fieldAt(index.column());
    QVariant stored = value;
    if (role == Qt::CheckStateRole)
        stored = value.toInt() == Qt::Checked;
    else if (role != Qt::EditRole)
        return false;
    return guarded(m_messageParent, [&] {
        table::Field& field = t.field(name);
        try {
            stored = TypedFieldValue(field, stored);
            // Refused before the record is touched, so a bad value leaves no edit behind.
            table::toStored(field.def(), stored);
        } catch (const table::TableError& e) {
            // The user knows the field by its column title.
            const QString title = headerData(index.column(), Qt::Horizontal).toString();
            if (e.fieldName().compare(name, Qt::CaseInsensitive) != 0 || title.isEmpty())
                throw;
            throw DbError(e.namingField(title));
        }
        if (!isInsertRow(index.row()) && index.row() != cursorRow())
            t.setRecNo(index.row() + 1);
        m_source.startEdit();
        field.setValue(stored);
        m_source.notifyRecordChanged();
    });
}

void DataGridModel::viewChanged() {
    beginResetModel();
    defaultColumns();
    m_insertRowShown = showsInsertRow();
    endResetModel();
}

void DataGridModel::stateChanged() {
    const bool insertRow = showsInsertRow();
    if (insertRow == m_insertRowShown)
        return;
    const int row = m_source.rows().rowCount();
    if (insertRow) {
        beginInsertRows({}, row, row);
        m_insertRowShown = true;
        endInsertRows();
    } else {
        beginRemoveRows({}, row, row);
        m_insertRowShown = false;
        endRemoveRows();
    }
}

void DataGridModel::recordChanged() {
    const int row = cursorRow();
    if (row >= 0 && row < rowCount() && !m_columns.isEmpty())
        Q_EMIT dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
}

} // namespace widgets
