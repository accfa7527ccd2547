#pragma once

#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/tf_tableform.h"

#include <QSet>

class QLabel;
class QLineEdit;
class GridSearch;

// The host of the long-lived master-data list forms (listformdecl.h): the
// table form's grid, navigator, pages and print buttons, plus the search
// line, rights, sorting, delete guard, number proposal, bank pair and the
// declared extra pages. Shown without a modal loop and kept until the
// program ends (or a client switch replaces the tables it shows).
class TF_ListForm : public TF_TableForm {
    Q_OBJECT
public:
    TF_ListForm(const ListFormDecl& decl, table::Table& table, QWidget* parent = nullptr);
    ~TF_ListForm() override;

    // The table-form declaration the host builds from a list declaration:
    // the navigator, the title sort, the number proposal and the bank pair.
    static TableFormDecl hostDeclaration(const ListFormDecl& decl);

    const ListFormDecl& listDeclaration() const { return m_list; }
    QLineEdit& searchEdit() const { return *m_search; }
    // Another box that, like the search line, selects the sort column, takes
    // the tooltip colour and disables the navigator while it has the focus
    // (the address book's phone filter).
    void watchLikeSearch(QLineEdit& box);
    // The grid column the list is sorted by; -1 before the first sort.
    int sortColumn() const { return m_sortColumn; }
    // The sorted field as the hidden label "lbSort" keeps it.
    QString sortField() const;

    // What an activation and a deactivation of the window do; the window
    // events call them, tests may too.
    void activate();
    void deactivate();
    bool isActivated() const { return m_activated; }

    // The delete guard of the form's right number: raises to stop the delete.
    void guardDelete();
    // The number proposal for the current record.
    void proposeNumber();

    // A tab by its title (field, grid or custom page); nullptr when none.
    QWidget* page(const QString& title) const;
    void showPage(const QString& title);
    // The tab is in front and the form visible.
    bool pageShown(const QString& title) const;
    QString currentPage() const;
    // Removes a tab or a field with its caption for the rest of the form's
    // life (rights that take them away for good); an unknown name is ignored.
    void takeAwayPage(const QString& title);
    void takeAwayField(const QString& field);
    bool isTakenAway(const QString& pageOrField) const { return m_takenAway.contains(pageOrField); }

    // The declared custom pages' redraw (the turnover chart after a move).
    void redrawPages();
    // The record rules ask for the current record to be shown again: the
    // record position and the declaration's recordShown.
    void showRecord();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildSearchLine();
    void buildRecordPosition();
    void buildExtraPages();
    void applyRights();
    void sortOnActivation();
    void titleSorted();
    void searchEntered(QLineEdit& box);
    void searchLeft(QLineEdit& box);
    void remember();
    void showRecordPosition();
    void updateShownPage();
    int pageIndex(const QString& title) const;

    ListFormDecl m_list;
    QLineEdit* m_search = nullptr;
    QList<QLineEdit*> m_searchLike;
    GridSearch* m_gridSearch = nullptr;
    QLabel* m_lbSort = nullptr;
    QLabel* m_recordCount = nullptr;
    QLabel* m_recordNumber = nullptr;
    int m_sortColumn = -1;
    QString m_sortIndex; // the table's index after the form's last sort
    bool m_activated = false;
    QString m_shownPage; // the extra page whose shown hook ran last
    QSet<QString> m_takenAway;
};
