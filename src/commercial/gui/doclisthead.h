#pragma once

#include "platform/widgets/datagridmodel.h"

#include <QBrush>
#include <QColor>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class GridSearch;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
class DbEdit;
class RowReader;
} // namespace widgets

// The head list of a document list (the invoices; the offers, orders,
// delivery notes and credit notes use the same): a read-only grid of the
// heads with
// - the title sort (SortGridByColumn), the sorted field kept in the hidden
//   label "lbSort" so that a form can store it with its placement;
// - the search line "&Suchen" above it that jumps to the first head whose
//   sort field starts with the typed text (keys judged by the column's type);
// - the mark mode ("W&ählen"): the mark column shows, one column hides and
//   another widens; Space or Enter toggles the mark and moves on, "J" marks
//   and "N" unmarks and moves on (the last head stays), Up and Down move, a
//   click on a cell toggles; every other key is swallowed. Actions added
//   with addMarkModeAction are visible only in mark mode.
struct TDocListHeadDecl {
    QString gridName = QStringLiteral("DBGrid1");
    QList<widgets::GridColumn> columns; // the mark column among them
    QString markField = QStringLiteral("R_Selected");
    QString hiddenWhileMarking;
    QString widenedWhileMarking;
    int widenBy = 30; // pixels
    // Sets or clears the mark of the current head and posts; false when the
    // document's rule refused (it has told the user why).
    std::function<bool(table::Table& head, bool mark)> setMark;
    // The background of a row; empty: the grid's colour.
    std::function<QBrush(widgets::RowReader& rows, int row)> rowBrush;
};

class TDocListHead : public QObject {
    Q_OBJECT
public:
    // The grid, the search line and the sort label are children of parent;
    // the host lays them out.
    TDocListHead(TDocListHeadDecl decl, widgets::DataSource& source, QWidget* parent);
    ~TDocListHead() override;

    widgets::DataGrid& grid() const { return *m_grid; }
    QLineEdit& searchEdit() const { return *m_search; }
    QLabel& searchLabel() const { return *m_searchLabel; }
    QLabel& sortLabel() const { return *m_sortLabel; }
    table::Table& table() const;

    // The field the list is sorted by (the sort label's caption) and its
    // grid column (-1 before the first sort).
    QString sortField() const;
    int sortColumn() const { return m_sortColumn; }
    // Sorts by the field as a title click would (a stored sort when the form opens).
    void sortBy(const QString& field);

    bool markMode() const { return m_markMode; }
    void setMarkMode(bool on);
    void addMarkModeAction(QAction* action);
    // The start of every command on the marked documents: mark mode goes on,
    // countOrTell counts them (telling the user when there are none); with
    // none the list stays in mark mode, so the user can mark at once and
    // false is returned; otherwise mark mode goes off before the command works.
    bool beginMarkedCommand(const std::function<int()>& countOrTell);

    // What a key does in mark mode; true when it was consumed (always, in mark mode).
    bool markKey(int key, const QString& text);
    // Toggles the mark of the current head (a click on a cell in mark mode).
    void toggleMark();

Q_SIGNALS:
    void markModeChanged(bool on);
    // A double-click on a head outside mark mode.
    void headActivated();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void titleClicked(const QString& field);
    void applyMarkLayout();
    void setMark(bool mark);
    void moveOn();

    TDocListHeadDecl m_decl;
    widgets::DataSource& m_source;
    widgets::DataGrid* m_grid = nullptr;
    QLineEdit* m_search = nullptr;
    QLabel* m_searchLabel = nullptr;
    QLabel* m_sortLabel = nullptr;
    GridSearch* m_gridSearch = nullptr;
    QList<QAction*> m_markActions;
    QColor m_windowColour, m_focusColour;
    int m_sortColumn = -1;
    bool m_markMode = false;
};

// The address that an address id of Adress.DB names, as its lines; empty for 0.
QString DocumentAddressText(int id);

// The tab "Zusatztexte" of a document list: the four rich texts of the head
// in the given order of fields ("R_KopfText", "R_FussText", "R_VorspannText",
// "R_NachspannText"). The widgets whose double-click or Alt+W chooses the
// general head and foot texts (their captions, and the general foot text
// itself when footTextChooses) get filter as event filter and are added to
// chooserTargets.
QWidget* BuildDocumentTextsPage(widgets::DataSource& head, const QStringList& fieldOrder,
                                bool footTextChooses, QObject* filter,
                                QList<QWidget*>& chooserTargets);

// A tab "Zusatzadr. n" (index 0..2): the address id R_AnrIDn (double-click:
// filter picks another; right click: menu), the purpose R_AdrZweckn and the
// address text below.
struct TDocAddressPage {
    QWidget* page = nullptr;
    widgets::DbEdit* number = nullptr;
    QLabel* text = nullptr;
};
TDocAddressPage BuildDocumentAddressPage(widgets::DataSource& head, int index,
                                         const QString& numberCaption, QObject* filter,
                                         QMenu* menu);
// R_AnrID0..2 and R_AdrZweck0..2.
QString DocumentAddressField(int index);

// The general head and foot texts of the current head chosen in the
// catalogue, starting at its R_KFID: R_KFID and both texts written and
// posted after a choice; a cancel changes nothing. True when written.
bool ChooseHeadKopfFussText(table::Table& head);
// Clears the address id R_AnrIDn of the current head and posts.
void ClearHeadAddress(table::Table& head, int index);

// Takes a document list's window apart in the order its parts need: the
// head grid first (its search helper lets go of the search line), then the
// other widgets, the mark mode and search, and last the sources the widgets
// read; the tables stay for the opener to close.
void TearDownDocumentList(QWidget& form, TDocListHead*& head, widgets::DataSource*& headSource,
                          widgets::DataSource*& lineSource);
