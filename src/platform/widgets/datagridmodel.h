#pragma once

#include <QAbstractTableModel>
#include <QBrush>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariantList>
#include <functional>

namespace table {
class Field;
}

namespace widgets {

class DataSource;

struct GridColumn {
    QString field;
    QString title; // the field name when empty
    int width = 0; // in characters; 0 leaves the view's default
    // Shown but never edited in the grid (a value that a dialog writes).
    bool readOnly = false;
    // A choice column: the stored values and the texts shown for them (a
    // line kind shown as "Alternativ"); edited with a drop-down list. A
    // value without a text shows as stored.
    QStringList items;
    QVariantList values;
};

// The rows of a data source's table as a Qt model: rows are read on demand
// through the source's row reader; the current record shows its unposted
// values, a record being inserted appears as an extra last row. Changes go
// through the table object, so its events and record rules run.
class DataGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataGridModel(DataSource& source, QObject* parent = nullptr);

    DataSource& source() const { return m_source; }
    // An empty list shows every field except pictures and rich texts.
    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const { return m_columns; }
    QString fieldAt(int column) const;
    int columnOf(const QString& field) const; // -1 when not shown
    // The background of a column title, e.g. the one a grid is sorted by; an
    // invalid brush restores the plain title.
    void setTitleBrush(int column, const QBrush& brush);

    // The background of a whole row by its values (read through the source's
    // rows()); Qt::NoBrush keeps the grid's colour.
    void setRowBrush(std::function<QBrush(int row)> brush) { m_rowBrush = std::move(brush); }
    // The background of one cell by its row and field, before the row's;
    // Qt::NoBrush leaves it to the row brush.
    void setCellBrush(std::function<QBrush(int row, const QString& field)> brush) {
        m_cellBrush = std::move(brush);
    }
    // The row of the table's current record; -1 when there is none.
    int cursorRow() const;
    bool isInsertRow(int row) const;
    // Where error messages of edits appear.
    void setMessageParent(QWidget* parent) { m_messageParent = parent; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    QVariant cellData(const QModelIndex& index, int role) const;
    QString choiceText(const GridColumn& column, const table::Field& field,
                       const QVariant& value) const;
    void viewChanged();
    void stateChanged();
    void recordChanged();
    bool showsInsertRow() const;
    bool showsBuffer(int row) const;
    void defaultColumns();

    DataSource& m_source;
    QList<GridColumn> m_columns;
    QHash<QString, QBrush> m_titleBrushes; // by lower-case field name
    std::function<QBrush(int row)> m_rowBrush;
    std::function<QBrush(int row, const QString& field)> m_cellBrush;
    bool m_ownColumns = false;
    bool m_insertRowShown = false;
    QWidget* m_messageParent = nullptr;
};

} // namespace widgets
