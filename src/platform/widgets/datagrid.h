#pragma once

#include "platform/widgets/datagridmodel.h"

#include <QTableView>

namespace widgets {

class DataSource;

// A grid over a data source: the selected row is the table's current record
// both ways; edits post when the cursor leaves the row, on Enter outside a
// cell editor, or through a navigator. Insert adds a record, Ctrl+Delete
// deletes one, Escape cancels. A title click is offered to the sorting hook.
class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(DataSource& source, QWidget* parent = nullptr);

    DataSource& source() const { return m_source; }
    DataGridModel& gridModel() const { return *m_model; }
    void setColumns(const QList<GridColumn>& columns);

    // Moves the selection to the table's current record.
    void followCursor();
    // Writes the text of an open cell editor into the record and closes the
    // editor, as leaving the cell would: a post by shortcut then takes it.
    void commitEdit();

    // The grid's background colour.
    void setGridColor(const QColor& color);
    // The field of the selected column, and choosing the column by its field
    // (without regard to case); false when the grid does not show the field.
    QString selectedField() const;
    bool selectField(const QString& field);

Q_SIGNALS:
    void titleClicked(int column, const QString& field);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void applyWidths();

    DataSource& m_source;
    DataGridModel* m_model;
    bool m_following = false;
};

} // namespace widgets
