#pragma once

#include "core/data/masterformhooks.h"
#include "masterdata/gui/tableformdecl.h"

#include <QBrush>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class TF_ListForm;

namespace widgets {
class RowReader;
}

// The long-lived master-data list forms (customers, objects, articles,
// activities, staff, suppliers, emergency services, key register, address
// book) are declared, not written: a ListFormDecl wraps the TableFormDecl of
// the grid, navigator, field pages and print buttons, and TF_ListForm
// (tf_listform.h) adds what every list form does the same way. A new form
// writes one declaration function and adds it to the table in listforms.cpp
// (creation order at start-up); the declaration test checks it with the
// table forms.
//
// What the host does for every list form, with the declaration's values:
// - placement below the main window, the first page in front;
// - rights of `right` on every activation: the print buttons (tag 0) only
//   with the print right; without the edit right the master table is
//   read-only (TDataModule1::SetTableReadOnly) while the form is active and
//   the context menus stay shut; without the delete right no delete button;
// - the search line "&Suchen" (EditSearch): the sort column selected, the
//   tooltip colour and the navigator disabled while it has the focus, each
//   key judged by FilterSearchKey, each change moving to the nearest key
//   (FindKeyUpperCase) and remembering the record (`remember`);
// - sorting by a title click (form.titleSort), kept in the hidden label
//   "lbSort" (store "lbSort.Caption" in form.placement to keep it between
//   runs), re-applied on activation when another form changed the index;
// - the grid's focus colours, Ctrl+PgDn/Ctrl+PgUp between grid and pages,
//   F10 and Alt+Backspace, "&?Info?";
// - the delete guard ConfirmDelete(right) before every delete (Ctrl+Del in
//   grid or search line, the navigator's button), in place of the
//   navigator's own question;
// - the number proposal on a double-click of the number column or field;
// - date fields (FieldKind::Date) open the calendar on a double-click or
//   Alt+K; picker fields (FieldDecl::pick) on a double-click or Alt+W;
// - the bank pair;
// - the answers to the data module's hooks (listforms.h).
//
// Extension points for a form's specials, all optional:
// - gridPages and customPages: tabs beside the field pages;
// - build: once, after the host built the form (extra buttons, labels);
// - applyRights: after the host's rights on every activation; takeAway-
//   Page/takeAwayField of TF_ListForm remove tabs and fields for good;
// - activated, deactivated: after the host's own work;
// - recordShown: the record rules ask the form to show its record again;
// - form.prints[].prepare: what a print button prints beyond the plain list
//   (a range filter set before the protocol and undone after it).

// A double-click on the number column of the grid or on the number field of
// the pages proposes a free number for the current record.
struct NumberProposalDecl {
    QString field; // empty: no proposal
    // Asked when the record already has a number other than 0; No keeps it.
    // Empty: never asked.
    QString question;
    std::function<int()> propose;
};

// Bank name and bank code: two lists over the bank table "TabBanken" that
// fill each other when a row is chosen, with the context menu "&Neuer
// Eintrag" (Ctrl+N) opening the bank list on a new row. The two fields are
// declared among form.fields (caption, page, width); the host makes them
// lists.
struct BankPairDecl {
    QString nameField; // empty: no bank pair
    QString codeField;
};

// A read-only grid page over rows that belong to the current record.
struct GridPageDecl {
    QString title;  // the tab
    QString before; // the tab it stands in front of; empty: at the end
    QString gridName;
    TableSource source = TableSource::Shared;
    // Shared: a linked detail of the master table ("TabKundObj"); Own: a
    // table file in "LumoDB", linked to the master by the fields below.
    QString table;
    QString index; // Own: the index it is read in
    QStringList masterFields, detailFields;
    // Own: opened while the tab is in front of a visible form, else closed.
    bool openWhileShown = false;
    QList<widgets::GridColumn> columns;
    // The row's background (settled items light green); Qt::NoBrush: plain.
    std::function<QBrush(widgets::RowReader& rows, int row)> rowBrush;
};

// The row brush of the open-items pages: settled items light green, the
// others white.
QBrush SettledItemBrush(widgets::RowReader& rows, int row);

// A tab that the form builds itself (the turnover page).
struct CustomPageDecl {
    QString title;
    QString before;
    std::function<QWidget*(TF_ListForm& form)> build;
    // Each time the tab comes to the front of a visible form, and leaves it.
    std::function<void(TF_ListForm& form)> shown;
    std::function<void(TF_ListForm& form)> hidden;
    // The record rules' request to draw it again (the master form hooks).
    std::function<void(TF_ListForm& form)> redraw;
};

struct ListFormDecl {
    // Source Shared over the data module's table object; its caption,
    // grid, pages, buttons, prints, placement and help page.
    TableFormDecl form;
    int right = 0;      // the function number of its rights; 0: none applied
    QString splashName; // reported on the start-up screen; empty: the caption
    // The hidden sort label's name, as the stored placements know it.
    QString sortLabel = QStringLiteral("lbSort");
    // After a search move and when the search line is left; empty: the
    // data module remembers the number of form.table (RememberNr).
    std::function<void()> remember;
    // The search line's key filter also judges what is typed into the
    // grid's cells, with the same sort column and the same search line to
    // clear (the supplier assortment).
    bool filterGridTyping = false;
    NumberProposalDecl numberProposal;
    BankPairDecl bankPair;
    // "Datensätze:" and "Satznummer:" beside the navigator.
    bool recordPosition = false;
    // Alt+PgUp and Alt+PgDn anywhere in the form move to the previous and
    // next record.
    bool altPageMoves = false;
    QList<GridPageDecl> gridPages;
    QList<CustomPageDecl> customPages;
    // The member of MasterFormHooksRegistry() that the form answers, and the
    // page whose visibility it reports as the turnover tab.
    MasterFormHooks MasterFormHookSet::*masterHooks = nullptr;
    QString turnoverPage;

    std::function<void(TF_ListForm&)> build;
    std::function<void(TF_ListForm&)> applyRights;
    std::function<void(TF_ListForm&)> activated;
    std::function<void(TF_ListForm&)> deactivated;
    std::function<void(TF_ListForm&)> recordShown;
};
