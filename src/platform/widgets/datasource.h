#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

namespace table {
class Table;
}

namespace widgets {

class RowReader;

enum class EditAction { Edit, Insert, Delete };

// Asked before a widget changes, adds or deletes a record; the rights module
// installs one that consults the user's rights for the form's function.
using RightsCheck = std::function<bool(EditAction)>;

// The link between one table object and the widgets that show it: turns the
// table's events into signals, answers whether editing is allowed (read-only
// table, rights) and reads rows for grids without moving the cursor.
// A data source must be destroyed before its table.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(table::Table& table, QObject* parent = nullptr);
    ~DataSource() override;

    table::Table& table() const { return m_table; }

    void setRightsCheck(RightsCheck check);
    bool mayEdit() const;
    bool mayInsert() const;
    bool mayDelete() const;

    // Typing into a bound widget starts editing the record (on by default).
    void setAutoEdit(bool autoEdit) { m_autoEdit = autoEdit; }
    bool autoEdit() const { return m_autoEdit; }

    // Puts the table into edit mode for a widget's change; raises with a German
    // message when the table is read-only or the rights deny it.
    void startEdit();
    void insert();
    void deleteRecord(); // asks for confirmation first; false answers abort silently
    // Replaces the question before a delete (grid, navigator) with the
    // form's own guard, which raises to stop the delete; empty: the question.
    void setDeleteGuard(std::function<void()> guard) { m_deleteGuard = std::move(guard); }

    // Reads the table again (others' changes) and tells the widgets.
    void refresh();
    // For code that changed the table without an event the widgets see:
    // field values set by a rule, an index or filter changed before first().
    void notifyRecordChanged();
    void notifyViewChanged();

    RowReader& rows() { return *m_rows; }

    // While disabled (counted, see ControlsDisabled) the widgets hear nothing,
    // so a loop over the table does not repaint them row by row; enabling
    // again brings them up to date at once.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disabled > 0; }

Q_SIGNALS:
    // The current record's values may differ.
    void recordChanged();
    // Browse, edit, insert or closed; or the rights changed.
    void stateChanged();
    // The set or the order of the rows may differ.
    void viewChanged();

private:
    friend class TableControlsDisabled;
    struct Hub;
    static std::shared_ptr<Hub> hubOf(table::Table& table);
    void scrolled();
    void deliver(void (DataSource::*member)());

    table::Table& m_table;
    std::weak_ptr<Hub> m_hub;
    std::unique_ptr<RowReader> m_rows;
    RightsCheck m_rights;
    std::function<void()> m_deleteGuard;
    bool m_autoEdit = true;
    QString m_viewSignature;
    int m_disabled = 0;
    bool m_missed = false;
};

class ControlsDisabled {
public:
    explicit ControlsDisabled(DataSource& source) : m_source(source) { source.disableControls(); }
    ~ControlsDisabled() { m_source.enableControls(); }
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

private:
    DataSource& m_source;
};

// Every data source of a table hears nothing while it lives, so a data run
// through the table object itself does not repaint the forms on it record by
// record; afterwards they are brought up to date at once.
class TableControlsDisabled {
public:
    explicit TableControlsDisabled(table::Table& table);
    ~TableControlsDisabled();
    TableControlsDisabled(const TableControlsDisabled&) = delete;
    TableControlsDisabled& operator=(const TableControlsDisabled&) = delete;

private:
    std::vector<QPointer<DataSource>> m_sources;
};

} // namespace widgets
