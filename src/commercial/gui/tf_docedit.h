#pragma once

#include "commercial/gui/doceditdecl.h"

#include <QDialog>
#include <QList>
#include <QVariantHash>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QPushButton;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
class DbNavigator;
class DbRichEdit;
class FieldForm;
} // namespace widgets

// The document editor built from a TDocEditDecl (see doceditdecl.h) over a
// head table and its line table, whose cursor shows the head's lines.
class TF_DocEdit : public QDialog {
    Q_OBJECT
public:
    TF_DocEdit(const TDocEditDecl& decl, table::Table& head, table::Table& lines, bool isNew,
               QWidget* parent = nullptr);
    ~TF_DocEdit() override;

    const TDocEditDecl& declaration() const { return m_decl; }
    table::Table& head() const { return m_head; }
    table::Table& lines() const { return m_lines; }
    widgets::DataSource& headSource() const { return *m_headSource; }
    widgets::DataSource& lineSource() const { return *m_lineSource; }
    widgets::DataGrid& grid() const { return *m_grid; }
    widgets::DbNavigator& navigator() const { return *m_navigator; }
    widgets::DbRichEdit& lineText() const { return *m_lineText; }
    // The editor of a head or line field; nullptr when none shows it.
    QWidget* fieldEditor(const QString& field) const;
    template <typename T> T* fieldEditorAs(const QString& field) const {
        return qobject_cast<T*>(fieldEditor(field));
    }
    QPushButton* button(const QString& caption) const;
    QMenu* copyMenu() const { return m_copyMenu; }
    QMenu* positionMenu() const { return m_positionMenu; }
    QMenu* lineMenu() const { return m_lineMenu; }
    // A menu's entry by its caption; nullptr when none.
    static QAction* menuAction(QMenu* menu, const QString& caption);

    bool isNew() const { return m_isNew; }
    // What the declaration keeps for the session (a manual invoice, the
    // object's id, ...).
    QVariantHash& state() { return m_state; }
    // The sort field the pickers of this editor remember.
    QString& sortField() { return m_sortField; }
    int rememberedLine() const { return m_rememberedLine; }

    // The current line's kind (0 without a line) and whether the line
    // commands act on it (kinds 0 to 2).
    int lineKind() const;
    bool lineTakesCommands() const;
    // Whether the document has a line (one being added counts).
    bool hasLines() const;

    // Runs a command: a silent Abort ends it quietly, any other error is
    // shown; afterwards the widgets show the tables again. True when it ran
    // through.
    bool run(const std::function<void()>& command);
    // The widgets show the tables again (after changes through other cursors).
    void showTablesAgain();

    void focusGrid();
    void focusField(const QString& field);
    // Selects the grid column of a field (or of a component name such as
    // "TabRechSatzS_Menge"), as the column hook does.
    void selectColumn(const QString& field);
    void setCaption(const QString& caption);

    // The commands behind buttons, keys and menus.
    void runLineButton(const QString& caption, bool fromKey = false);
    bool runColumnAction(const QString& field);
    // The copy menu (when copyEnabled allows it).
    void showCopyMenu();
    bool copyEnabled();
    // Whether the declaration lets the grid be entered now.
    bool linesAllowed();
    void runCopy(TDocSource source);
    void preparePositionMenu();
    void renumberFromHere();
    void renumberAll();
    void copyLine();
    void pasteLine();
    void openLineText(bool fromColumn);
    void postAll();
    void cancelCurrent();
    void advanceOnEnter();

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildHead(class QVBoxLayout& layout);
    void buildToolRow(QVBoxLayout& layout);
    void buildGrid(QVBoxLayout& layout);
    void buildLineArea(QVBoxLayout& layout);
    void buildMenus();
    widgets::FieldDecl fieldDecl(const TDocField& field);
    widgets::FieldForm* headForm(const QList<TDocField>& fields);
    QPushButton* addButton(const QString& caption, bool lineButton);
    void setLineControlsEnabled(bool enabled);
    void currentCellChanged(int row, int column, int previousRow, int previousColumn);
    const TDocColumnAction* columnAction(const QString& field) const;
    bool askStartValue(QString& value);
    void watch(QWidget& w, bool headField);
    void refuseLines();

    TDocEditDecl m_decl;
    table::Table& m_head;
    table::Table& m_lines;
    std::unique_ptr<widgets::DataSource> m_headSource;
    std::unique_ptr<widgets::DataSource> m_lineSource;
    QList<widgets::FieldForm*> m_headForms;
    widgets::FieldForm* m_lineForm = nullptr;
    widgets::DataGrid* m_grid = nullptr;
    widgets::DbNavigator* m_navigator = nullptr;
    widgets::DbRichEdit* m_lineText = nullptr;
    QList<QPushButton*> m_buttons;
    QList<QPushButton*> m_lineButtons;
    QPushButton* m_copyButton = nullptr;
    QMenu* m_copyMenu = nullptr;
    QMenu* m_positionMenu = nullptr;
    QMenu* m_lineMenu = nullptr;
    QList<QWidget*> m_headEditors;
    QVariantHash m_state;
    QString m_sortField;
    int m_rememberedLine = 0;
    bool m_isNew = false;
    bool m_forward = true;
    bool m_textEditing = false;
    bool m_selecting = false;
    bool m_lineControls = false;
};

// Runs one editing session of the declared editor over the data module's
// shared tables: key is the document's keyField value, empty (or 0) for a
// new document. Returns the head's R_ID when the editor closes (0 when a new
// document was deleted again). Errors reach the caller after the session
// ended (head deleted or posted, timer work and hook restored).
int OpenDocumentEditor(const TDocEditDecl& decl, const QVariant& key);
// The same over table objects of the caller's own.
int OpenDocumentEditorOn(const TDocEditDecl& decl, table::Table& head, table::Table& lines,
                         const QVariant& key);
