#pragma once

// A document list (offers, orders, delivery notes, credit notes, purchase
// orders) is declared, not written: one TDocListDecl says what the list shows
// and does differently, TF_DocList (tf_doclist.h) builds the window from it
// and ShowDocumentList runs it. angebotlist.cpp declares the offer list and
// is the example to follow.
//
// What the host does for every list:
// - opening: the timer work paused; the head table opened, then the line
//   table and its lookup tables; a table that does not open shows "Beim
//   Öffnen einer Datei ist ein Fehler aufgetreten!" with the reason and the
//   table name and logs "<table>: ERROR OPEN"; the list shows only when all
//   opened; every table it opened is closed again afterwards, on every path.
// - the head grid (TDocListHead): title sort, the search line, the mark
//   mode ("W&ählen", Space/Enter/J/N, clicks); the sort field and the mark
//   mode are kept for the program run, per list, in memory.
// - the tabs "Positionen" (the lines, read-only, painted by line kind, and
//   the line text), "Zusatztexte" (the four head texts; the general pair
//   chosen by a double-click or Alt+W on its captions) and "Zusatzadr. 1..3"
//   (the contact addresses: double-click on the number picks one, the
//   pop-up "Adresseintrag löschen" clears it; the purpose is editable).
// - the commands of rights number `right`: "Druc&ken" (print right) over
//   the marked heads with the fallback form of the current head, "&Löschen"
//   (delete right) each document in one transaction, "Ablage" (export
//   right) through ArchiveDocuments, "&Editor" (edit right), "Neuanla&ge"
//   (create right), "&Liste" and the preview (double-click, pop-up
//   "Vorschau") always; extra buttons as declared.

#include "datasafety/documentarchive/documentmove.h"
#include "platform/widgets/datagridmodel.h"
#include "platform/widgets/fieldform.h"

#include <QBrush>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;
class TF_DocList;
namespace table {
class Table;
}
namespace widgets {
class RowReader;
}

// Which right of the list's number shows a button.
enum class TDocListRight { Always, Print, Delete, Export, Edit, Create };

struct TDocListButton {
    QString caption;
    QString objectName;
    QString hint;
    TDocListRight right = TDocListRight::Always;
    std::function<void(TF_DocList&)> run;
};

struct TDocListDecl {
    QString formName; // object name, "F_Angebot"
    QString caption;  // "Angebote"
    int right = 0;    // the rights number of the buttons
    QString placementFile;
    QString placementSection;
    QString helpPage;

    // The data module's shared objects (accessor names).
    QString headTable; // "TabAngKopf"
    QString lineTable; // "TabAngSatz"
    // Opened with the lines, closed with them ("TabCalcIV", "TabPosArt").
    QStringList lookupTables;

    // Head grid; the mark column among the columns.
    QString headGridName = QStringLiteral("GridAnKopf");
    QList<widgets::GridColumn> headColumns;
    QString hiddenWhileMarking;
    QString widenedWhileMarking;
    int widenBy = 0; // negative narrows
    QString firstSortField = QStringLiteral("R_Nr");

    // Line grid; rows painted by line kind, a cell brush may paint one cell
    // (return Qt::NoBrush to keep the row's).
    QList<widgets::GridColumn> lineColumns;
    std::function<QBrush(widgets::RowReader& rows, int row, const QString& field)> lineCellBrush;

    // The general head and foot texts are chosen by a double-click on their
    // captions; also on the general foot text itself when set.
    bool kopfFussOnFootText = true;

    // Preview and print: the print-form type and the print entry.
    int formType = 0;
    std::function<void(int id, bool preview, const QString& layoutPath, QWidget* parent)> print;
    QString noun; // "Angebote": "Möchten Sie diese Angebote wirklich löschen?"
    // Print the run even without a valid fallback form (each with its own
    // form when that is of the type, else with the fallback id as chosen).
    bool printWithoutFallback = false;

    // "Ablage": the family moved to the archive; none: no button.
    std::optional<ArchiveFamily> archive;
    // "&Liste": PrintFaktList's title and table name ("Angebote", "Angkopf.DB").
    QString listTitle;
    QString listTableName;

    // "&Editor" with the current head's R_Nr, "Neuanla&ge" with an empty one.
    std::function<void(const QString& nr)> openEditor;
    QString newHint;  // tooltip of "Neuanla&ge"
    QString editHint; // tooltip of "&Editor"

    // false: no mark mode and none of the commands over marked heads
    // ("W&ählen", "Druc&ken", "&Löschen"); the list's own buttons work on
    // the current head instead.
    bool markedCommands = true;
    // false: only the "Positionen" tab, for heads without head texts and
    // contact addresses (incoming invoices, purchase orders).
    bool extraPages = true;

    // Buttons of the list's own, after "&Liste".
    QList<TDocListButton> extraButtons;

    // The list's own rule for marking a head (refusals, questions); true
    // when the mark was written. Empty: the mark is written as asked.
    std::function<bool(table::Table& head, bool mark)> setMark;
    // The background of a head row; empty: the grid's colour.
    std::function<QBrush(widgets::RowReader& rows, int row)> headRowBrush;
    // Commands of the list's own in place of the host's, by the object name
    // of the button ("btnDrucken", "btnLoeschen", "btnAblage", "btnEditor").
    QHash<QString, std::function<void(TF_DocList&)>> ownCommands;
    // A widget of the list's own at the right end of the search line.
    std::function<QWidget*(TF_DocList&)> searchLineWidget;
    // Pop-up items of the head grid shown only in the mark mode ("Alle
    // wählen", ...); their right is not read.
    QList<TDocListButton> markMenu;
    // "&Löschen" through the list's own deletion of the current head (its
    // questions and messages its own); a head it leaves (false) is unmarked.
    // Empty: each marked document with its lines in one transaction.
    std::function<bool(TF_DocList&)> deleteCurrent;
    // "Ablage": the list's own check, count and question in place of the
    // count; false stops before the move.
    std::function<bool(TF_DocList&)> beforeArchive;
    // "Druc&ken" sets this date field to today on a document's first print
    // (R_Drucke 0); empty: none.
    QString firstPrintDateField;
    // Read-only head fields under the head grid ("Automatische Rechnung").
    QList<widgets::FieldDecl> headFields;
    // The captions of the three address tabs.
    QStringList addressTabCaptions{QStringLiteral("Zusatzadr. 1"), QStringLiteral("Zusatzadr. 2"),
                                   QStringLiteral("Zusatzadr. 3")};
    // What a list does besides the common steps (purchase orders).
    // On the located head before it prints or previews.
    std::function<void(table::Table& head)> beforePrintOne;
    // In the transaction that counts a print.
    std::function<void(table::Table& head)> afterPrinted;
    // In each document's delete transaction, before the delete.
    std::function<void(table::Table& head)> beforeDelete;
    // "Ablage": after the marks were counted, before the dialog; and after
    // the dialog, also when it failed or was cancelled.
    std::function<void()> beforeArchiveMove;
    std::function<void()> afterArchive;
    // "&Editor": a non-empty text is shown as an error and the editor stays shut.
    std::function<QString(table::Table& head)> editRefusal;
};

// Opens the list modally on its declaration (the caller checked the use right).
void ShowDocumentList(const TDocListDecl& decl);
