#pragma once

#include <QDialog>
#include <memory>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
struct LookupGrid;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
class DbNavigator;
class DbRichEdit;
} // namespace widgets

// The record lookup "Datenbank-Auswahl" (see selectrecord.h for the calls).
// One instance per call: the call opens the dialog's own cursor, shows the
// list, and closes the cursor again on every path.
class TF_DbSelect : public QDialog {
    Q_OBJECT
public:
    static constexpr int Panel1Height = 41; // navigator and search field
    static constexpr int Panel2Height = 43; // the buttons
    static constexpr int PanelREHeight = 49;
    static constexpr int Preview2Width = 320;

    explicit TF_DbSelect(QWidget* parent = nullptr);
    ~TF_DbSelect() override;

    // The steps of a call, in this order. openLookup creates and opens the
    // cursor (read-only, filtered when a filter is given); an error leaves
    // nothing open. showLookup sizes the dialog at (left, top) and shows the
    // grid and, with preview fields, the preview panel.
    void openLookup(const QString& databaseName, const QString& tableName, const QString& filter);
    void showLookup(const LookupGrid& grid, int left, int top, const QString& previewField1,
                    const QString& previewField2);
    // Sorts by the field's index (else by the grid's first column) and
    // remembers the sort field and column.
    void sortBy(const QString& field);
    // The row of key, or the first row whose locateField begins with
    // locateValue (without case); the first row when none matches.
    void positionOn(const QString& keyField, const QVariant& key, const QString& locateField,
                    const QString& locateValue);
    // Unbinds and frees the grid, the previews and the cursor; hides the
    // dialog. Safe to call more than once.
    void closeLookup();

    bool okFlag() const { return m_ok; }
    const QString& sortField() const { return m_sortField; }
    void setSortField(const QString& field) { m_sortField = field; }
    int sortColumn() const { return m_sortColumn; }

    table::Table* lookupTable() const { return m_table.get(); }
    widgets::DataGrid* grid() const { return m_grid; }
    QLineEdit* editSearch() const { return m_editSearch; }
    QPushButton* btnOK() const { return m_btnOK; }
    QPushButton* btnCancel() const { return m_btnCancel; }
    QWidget* panelRE() const { return m_panelRE; }
    widgets::DbRichEdit* richEdit1() const { return m_richEdit1; }
    widgets::DbRichEdit* richEdit2() const { return m_richEdit2; }

    // Lookup cursors open at this moment in the whole program.
    static int openLookupCount();

    void btnOKClick();
    void btnCancelClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    bool formKeyDown(QObject* watched, QKeyEvent* event);
    void gridTitleClick(const QString& field);
    void freeTable();

    bool m_ok = false;
    QString m_sortField;
    int m_sortColumn = -1;
    std::unique_ptr<table::Table> m_table;
    widgets::DataSource* m_source = nullptr;
    widgets::DataGrid* m_grid = nullptr;
    widgets::DbNavigator* m_navigator = nullptr;
    widgets::DbRichEdit* m_richEdit1 = nullptr;
    widgets::DbRichEdit* m_richEdit2 = nullptr;

    QVBoxLayout* m_layout = nullptr;
    QWidget* m_panel1 = nullptr;
    QHBoxLayout* m_panel1Layout = nullptr;
    QLineEdit* m_editSearch = nullptr;
    QWidget* m_panelRE = nullptr;
    QWidget* m_panel2 = nullptr;
    QPushButton* m_btnOK = nullptr;
    QPushButton* m_btnCancel = nullptr;
};
