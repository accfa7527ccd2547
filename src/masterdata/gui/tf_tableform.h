#pragma once

#include "masterdata/gui/tableformdecl.h"

#include <QDialog>
#include <QHash>
#include <functional>
#include <memory>
#include <vector>

class QGroupBox;
class QLabel;
class QHBoxLayout;
class QMenu;
class QPushButton;
class QVBoxLayout;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
} // namespace widgets

// The modal table form: a grid over one table with its navigator, optional
// field pages below it and the buttons, all built from a TableFormDecl.
// Forms are opened with OpenTableForm; tests and derived hosts may build
// one directly over a table they opened.
class TF_TableForm : public QDialog {
    Q_OBJECT
public:
    // Where the form starts when it is first shown.
    enum class StartRow { Keep, Last, Append };

    TF_TableForm(const TableFormDecl& decl, table::Table& table, QWidget* parent = nullptr);
    ~TF_TableForm() override;

    const TableFormDecl& declaration() const { return m_decl; }
    table::Table& table() const { return m_table; }
    widgets::DataSource& source() const { return *m_source; }
    widgets::DataGrid& grid() const { return *m_grid; }
    widgets::DbNavigator& navigator() const { return *m_navigator; }
    widgets::FieldForm* fields() const { return m_fields; } // nullptr without pages
    // Any button of the form by its caption ("Dr&uck", "S&chließen", ...).
    QPushButton* button(const QString& caption) const;
    // The print buttons in the order of the declaration's prints.
    const QList<QPushButton*>& printButtons() const { return m_printButtons; }
    // The box of a declared print group, by its declared title; nullptr for none.
    QGroupBox* printGroup(const QString& group) const { return m_printGroups.value(group); }
    QMenu* contextMenu() const { return m_contextMenu; }
    // The rows above and below the grid, for what a setup adds.
    QHBoxLayout& topRow() const { return *m_topRow; }
    QHBoxLayout& bottomRow() const { return *m_bottomRow; }

    void setStartRow(StartRow start) { m_startRow = start; }
    // Reads the lists of the LookupCombo fields again (a row was added to
    // their table through another cursor).
    void refreshLookups();

    // The navigator, "Überneh&men" and "&Abbrechen" work on another source
    // while one of its controls has the focus (a detail grid); nullptr: the
    // form's own again.
    void bindActions(widgets::DataSource* source);
    // The actions behind the standard buttons and keys.
    void post();
    void cancel();
    void showHelp();
    // Runs the action of the column showing field, on the current row, as a
    // double-click there does; false when the column has none.
    bool runColumnAction(const QString& field);
    // Sorts by the grid column as a click on its title does.
    void sortByTitle(int column);

    // Runs when the form is about to close, after its own table was posted;
    // a check that throws keeps the form open (its error is shown).
    void addCloseCheck(std::function<void()> check) { m_closeChecks.push_back(std::move(check)); }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTopRow(QVBoxLayout& layout);
    void buildGrid(QVBoxLayout& layout);
    void buildFields(QVBoxLayout& layout);
    void buildBottomRow(QVBoxLayout& layout);
    void buildContextMenu();
    void firstShow();
    void applySort(const QString& field);
    const ColumnAction* actionOf(const QString& field) const;

    TableFormDecl m_decl;
    table::Table& m_table;
    std::unique_ptr<widgets::DataSource> m_source;
    widgets::DataSource* m_bound = nullptr; // the source the actions work on
    std::vector<std::unique_ptr<widgets::DataSource>> m_lookupSources;
    widgets::DbNavigator* m_navigator = nullptr;
    widgets::DataGrid* m_grid = nullptr;
    widgets::FieldForm* m_fields = nullptr;
    QHBoxLayout* m_topRow = nullptr;
    QHBoxLayout* m_bottomRow = nullptr;
    QMenu* m_contextMenu = nullptr;
    QList<QPushButton*> m_buttons;
    QList<QPushButton*> m_printButtons;
    QHash<QString, QGroupBox*> m_printGroups;
    StartRow m_startRow = StartRow::Keep;
    bool m_shown = false;
    std::vector<std::function<void()>> m_closeChecks;
};

// Gives an own table the declaration's new-row values (the key included)
// and delete guards. OpenTableForm does this for its own cursor.
void InstallTableRules(const TableFormDecl& decl, table::Table& own);

// The print buttons stay disabled, with a tooltip saying why, until the
// printing side installs the list printer: it then runs the print-form
// choice and the button's report entry. Returns the previous printer.
using ListPrinter = std::function<void(TF_TableForm& form, const PrintButtonDecl& button)>;
ListPrinter SetListPrinter(ListPrinter printer);

// The data module's tables a form needs open beside its own: the lists of
// its LookupCombo fields and its openTables.
QList<table::Table*> SharedTablesOfForm(const TableFormDecl& decl);

// Opens the declared form modally through the common module opener (timer
// work paused, tables opened for the form and closed again), placed below
// the main window. The own cursor of an Own form lives for this call.
// Append: the form starts on a new row; otherwise Own forms start on the
// last row and Shared ones where their table stands. Returns the dialog's
// result.
int OpenTableForm(const TableFormDecl& decl, bool append = false);
