#pragma once

#include "datasafety/gui/archiveviewdecl.h"
#include "platform/errors.h"

#include <QDialog>
#include <memory>

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class QWidget;

class ReportDatabaseScope;
class RgPrintSourceScope;

namespace table {
class Table;
class Transaction;
} // namespace table
namespace widgets {
class DataGrid;
class DataSource;
class DbNavigator;
class DbRichEdit;
} // namespace widgets

// A table of a browser that does not open: its name and the engine's reason.
class ArchiveOpenError : public DbError {
public:
    ArchiveOpenError(QString table, const QString& message);
    const QString& table() const { return m_table; }

private:
    QString m_table;
};

// One archive browser (archiveviewdecl.h): the archived heads of a family
// with their lines, read in "AblageDB" on cursors of the window's own.
class TF_ArchiveView : public QDialog {
    Q_OBJECT
    Q_PROPERTY(int lineGridWidth READ lineGridWidth WRITE setLineGridWidth)
    Q_PROPERTY(int lowerPanelHeight READ lowerPanelHeight WRITE setLowerPanelHeight)
    Q_PROPERTY(int headGridHeight READ headGridHeight WRITE setHeadGridHeight)
public:
    explicit TF_ArchiveView(const ArchiveViewDecl& decl, QWidget* parent = nullptr);
    ~TF_ArchiveView() override;

    // Opens the tables; raises when one does not open, naming it.
    void openTables();
    void closeTables() noexcept;

    const ArchiveViewDecl& declaration() const { return m_decl; }
    table::Table& head() const { return *m_head; }
    table::Table& lines() const { return *m_lines; }
    widgets::DataGrid& headGrid() const { return *GridAnKopf; }
    widgets::DataGrid& lineGrid() const { return *GridSatz; }
    widgets::DbNavigator& navigator() const { return *DBNavigator; }
    QLineEdit& searchEdit() const { return *EditSearch; }
    QWidget& rightPanel() const { return *Panel3; }
    // A button of the right panel by its caption; nullptr when the member has none.
    QPushButton* button(const QString& caption) const;
    QMenu& headMenu() const { return *m_headMenu; }

    // What the first activation does: the first sort (or the remembered
    // one) and the focus on the head grid.
    void activateFirstTime();
    bool markingMode() const { return m_marking; }
    void setMarkingMode(bool on);
    int searchColumn() const;

    void sortByTitle(int column);
    void printMarked();
    void deleteMarked();
    void printList();
    void preview(QWidget* below);
    void printCurrent(bool preview);
    void changeAddress();
    // Marking mode: a click on a head row, a key on the head grid. True when
    // the key was taken.
    void toggleCurrentMark();
    bool markingKey(int key, const QString& text);

    int lineGridWidth() const;
    void setLineGridWidth(int width);
    int lowerPanelHeight() const;
    void setLowerPanelHeight(int height);
    int headGridHeight() const;
    void setHeadGridHeight(int height);

    // Forgets the remembered sort columns of every member (tests).
    static void forgetRemembered();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildGrids();
    void buildRightPanel();
    void buildTopLine();
    void setupLineTexts();
    void guarded(const std::function<void()>& action);
    void setMark(bool on);
    int countMarked();
    bool askMarked(const QString& question, const QString& whole);
    int chooseFormFor(QWidget* control, bool storeIn, bool& asked);
    void previewCurrent(QWidget* control);
    void searchEntered();
    void searchLeft();
    void searchChanged(const QString& text);
    void gridFocused(widgets::DataGrid& grid, bool in);
    void applyMarkingColumns(bool on);

    ArchiveViewDecl m_decl;
    // The prints read the archive while the window exists.
    std::unique_ptr<ReportDatabaseScope> m_reportDatabase;
    std::unique_ptr<RgPrintSourceScope> m_printSource;
    std::unique_ptr<table::Table> m_head, m_lines, m_posArt, m_objekte, m_kostart;
    std::unique_ptr<widgets::DataSource> m_headSource, m_lineSource;
    std::unique_ptr<table::Transaction> m_deleting; // of the head being deleted
    widgets::DataGrid* GridAnKopf = nullptr;
    widgets::DataGrid* GridSatz = nullptr;
    widgets::DbRichEdit* DBRERgText = nullptr;
    widgets::DbNavigator* DBNavigator = nullptr;
    QLineEdit* EditSearch = nullptr;
    QLabel* LbEdSearch = nullptr;
    QWidget* Panel3 = nullptr;
    QSplitter* m_vertical = nullptr;
    QSplitter* m_horizontal = nullptr;
    QMenu* m_headMenu = nullptr;
    QList<QPushButton*> m_buttons;
    bool m_marking = false;
    bool m_activated = false;
};

// The opener of a member: shows its browser modally; nothing when its
// tables do not open (after the message). The report database and print
// source are given back afterwards on every path.
void ShowArchiveView(const ArchiveViewDecl& decl);
// Installs the openers of every member (datasafety.h's Show...ViewForm).
void InstallArchiveViews();
