#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QStringList>
#include <QVariantList>
#include <QWidget>
#include <functional>
#include <utility>

class QGroupBox;
class QLabel;
class QMenu;
class QTabWidget;

namespace table {
class Table;
}

namespace widgets {

class DataSource;

// An item of a field's context menu, also reachable by its shortcut while
// the field has the focus. An item without an action only closes the menu.
struct FieldMenuItem {
    QString caption;
    QKeySequence shortcut;
    std::function<void(QWidget& editor)> run;
};

// Display: a read-only line whose text FieldDecl::display computes from the
// record (a name looked up by the field's number); its field names the line.
enum class FieldKind {
    Edit,
    CheckBox,
    Combo,
    LookupCombo,
    Date,
    Spin,
    Memo,
    RichText,
    Image,
    Display
};

// One line of a declared form: a caption ("&" marks the mnemonic; a check
// box carries it itself), the field, the widget, and the page it sits on.
struct FieldDecl {
    QString caption;
    QString field;
    FieldKind kind = FieldKind::Edit;
    QString page;  // tab page; forms whose lines name no page have no tabs
    int width = 0; // in characters; 0 fills the line
    // Combo: the texts offered and, when given, the values stored for them.
    QStringList items;
    QVariantList values;
    // LookupCombo: the list's source, the key stored and the text shown.
    DataSource* lookup = nullptr;
    QString lookupKey;
    QString lookupText;
    // Consecutive lines of a page naming the same group sit in a box with
    // that title; empty: no box.
    QString group;
    // Shown but never edited, whatever the state of the table, and skipped
    // by the Tab key (sums and other computed values). One-line edits only.
    bool readOnly = false;
    // Sits right of the previous field, on its line (postcode and town);
    // its caption, when it has one, stands between the two.
    bool sameLine = false;
    // The field's picker (a record lookup, a folder choice, ...), opened by a
    // double-click on the field or Alt+W. It gets the editor (for placing
    // its window) and writes the record itself; errors it raises are shown,
    // a silent abort ends it quietly. Date fields have the calendar already.
    std::function<void(QWidget& editor)> pick;
    // LookupCombo: when the user chooses a row, each pair (field of the list,
    // field of the record) copies the chosen row's value into the record, so
    // that a chosen bank name fills the bank code beside it.
    QList<std::pair<QString, QString>> lookupCopies;
    // The field's tooltip ("Doppelklick für Nummern-Vorschlag").
    QString hint;
    // The field's context menu (a bank list's "&Neuer Eintrag", Ctrl+N).
    QList<FieldMenuItem> menu;
    // Display: the text shown for the current record, computed again
    // whenever the record changes.
    std::function<QString(table::Table&)> display;
};

// The fields of a form built from declarations, page by page in the order
// given, each with its caption before it:
//   FieldForm form(dsFirma, {
//       {"&Name", "F_Name", FieldKind::Edit, "Adresse"},
//       {"&Gründung", "F_Datum", FieldKind::Date, "Adresse", 10},
//       {"&Aktiv", "F_Aktiv", FieldKind::CheckBox, "Adresse"},
//   });
// Lines with a group name are boxed: decl.group = "Bankverbindung".
// Actions come with the declaration, not with code per form: decl.pick opens
// a picker, decl.lookupCopies fills a field from a chosen list row, decl.menu
// gives the field a context menu with shortcuts.
class FieldForm : public QWidget {
    Q_OBJECT
public:
    FieldForm(DataSource& source, const QList<FieldDecl>& fields, QWidget* parent = nullptr);

    QWidget* editor(const QString& field) const { return m_editors.value(field.toLower()); }
    template <typename T> T* editorAs(const QString& field) const {
        return qobject_cast<T*>(editor(field));
    }
    QLabel* label(const QString& field) const { return m_labels.value(field.toLower()); }
    QTabWidget* pages() const { return m_pages; } // nullptr without pages
    QWidget* page(const QString& name) const { return m_pageWidgets.value(name); }
    // Brings the named page to the front.
    void showPage(const QString& name);
    // The first box of that title (on any page); nullptr when none.
    QGroupBox* group(const QString& title) const { return m_groups.value(title); }
    // Switches the fields' context menus and their shortcuts off (a user who
    // may not edit) and on again.
    void setMenusEnabled(bool enabled);
    // The context menu of a field's editor as declared; nullptr when none.
    QMenu* menu(const QString& field) const { return m_menus.value(field.toLower()); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* createEditor(DataSource& source, const FieldDecl& decl);
    void copyFromList(DataSource& source, const FieldDecl& decl, int row);
    void addMenu(QWidget& editor, const FieldDecl& decl);

    QHash<QObject*, std::function<void(QWidget&)>> m_picks;

    QHash<QString, QWidget*> m_editors;
    QHash<QString, QLabel*> m_labels;
    QHash<QString, QWidget*> m_pageWidgets;
    QHash<QString, QGroupBox*> m_groups;
    QHash<QString, QMenu*> m_menus;
    QTabWidget* m_pages = nullptr;
};

} // namespace widgets
