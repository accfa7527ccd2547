#pragma once

#include <QDialog>
#include <memory>

class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTableWidget;
class RadioGroup;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
class DbNavigator;
} // namespace widgets

// A part of a window stacked in a splitter whose height is kept between runs
// as the property "Height".
class SplitterPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Height READ panelHeight WRITE setPanelHeight)
public:
    using QWidget::QWidget;
    int panelHeight() const { return height(); }
    void setPanelHeight(int height);
};

// "Datenbanken exportieren": the tables of the working or the archive
// database with their fields, the stored export definitions (ExpKopf.DB)
// with their lines (ExpSatz.DB), and "Ausführen", which writes the current
// definition's file and shows it.
class TF_Export : public QDialog {
    Q_OBJECT
public:
    explicit TF_Export(QWidget* parent = nullptr);
    ~TF_Export() override;

    RadioGroup* RadioGroup1;
    QTableWidget* DBGrid1; // the tables of the chosen database
    QTableWidget* DBGrid2; // the fields of the listed table
    widgets::DbNavigator* DBNavigator1;
    widgets::DataGrid* DBGrid3; // the definitions
    widgets::DbNavigator* DBNavigator2;
    widgets::DataGrid* DBGrid4; // the lines of the current definition
    QPushButton* btnUp;
    QPushButton* btnDn;
    QPushButton* Button1; // "Ausführen"
    QPushButton* sbtnInfo;
    QPushButton* btnClose;
    QPlainTextEdit* Memo1;
    SplitterPanel* Panel1;
    SplitterPanel* Panel6;

    table::Table& heads() const { return *m_heads; }
    table::Table& lines() const { return *m_lines; }

    // "LumoDB" or "AblageDB", and the table whose fields are listed.
    const QString& listedDatabase() const { return m_database; }
    const QString& listedTable() const { return m_table; }

    // What the window's clicks and double-clicks do.
    void selectDatabase(int index); // 0 "Bewegungsdaten", 1 "Ablagedaten"
    void listTable(const QString& tableName);
    void addField(const QString& fieldName);
    void moveLine(bool up);
    void chooseOutputFile();
    void toggleHeadline();
    void execute();

private:
    void listTables();
    void showDefinitionTable();
    void newDefinition(table::Table& heads);
    void deleteLines(table::Table& heads);
    void selectLineField();
    void headCellDoubleClicked(const QModelIndex& index);
    void postHead();

    std::unique_ptr<table::Table> m_heads;
    std::unique_ptr<table::Table> m_lines;
    widgets::DataSource* m_headSource = nullptr;
    widgets::DataSource* m_lineSource = nullptr;
    QSplitter* m_splitter = nullptr;
    QString m_database;
    QString m_table;
    bool m_listing = false;
};
