#pragma once

// A document editor (invoice, invoice template, offer, order, delivery note,
// credit note, purchase order, incoming invoice) is declared, not written:
// one TDocEditDecl says what the editor shows and what it does differently,
// TF_DocEdit (tf_docedit.h) builds the window from it, and
// OpenDocumentEditor runs one editing session. tf_rgedit.cpp declares the
// invoice editor and is the example to follow.
//
// What the frame does for every editor:
// - the session: timer work paused; the window directly below the main
//   window, 32 pixels narrower and no taller than the screen leaves; the
//   head's lines in position order (lineIndex); the editor's column hook of
//   DocumentFormHooks (focusHook, e.g. FocusRgEditColumn) installed only
//   while it is open; a new document's head made by createHead, an existing
//   one located by keyField and prepared by openExisting; at the end, also
//   after an error, a new document without lines deleted and otherwise every
//   pending edit posted (or the declaration's own finish).
// - the head: columns of declared fields (widgets::FieldDecl) on the head
//   table, the form's "&?Info?" and "S&chließen" below the last column, and
//   headFooter (the sums) at the right of the line text; TDocField::pick runs on a double-click or
//   Alt+W; fields with addressMenu carry the address pop-up (addressMenu items and "Abbrechen");
//   entering a head field greys the line controls, Ctrl+PgDn goes to the grid, Ctrl+PgUp from the
//   grid comes back to firstField.
// - the lines: the grid with its columns and a background per line kind
//   (kindColours); while it has the focus it takes the info colour and the
//   navigator and line buttons work. Column actions run on a double-click or
//   Alt+W in their column; line buttons on a click or their key in the grid;
//   both only on lines of kinds 0 to 2 unless anyKind. Enter moves to the next
//   column and, from enterNextLineFrom on, to the quantity of the next line
//   (a new line after the last). Plain keys are recorded for the position
//   numbers (SetLastLineKey), so Insert and the navigator's insert put the
//   new line before the current one. Entering textColumn, or a click on the
//   line text, opens the rich-text editor on textField with priceField as
//   the target of its "Berechnen"; afterwards the grid goes on to priceField
//   (last Tab forward) or back to unitField. Deleting a line asks
//   "Möchten Sie den Datensatz löschen?".
// - pop-ups: on positionField the renumbering ("Neu nummerieren ab hier",
//   "Neu nummerieren alles") and "Satz kopieren"/"Satz einfügen"
//   (PasteDocumentLine); elsewhere in the grid lineMenu while lineMenuWhen
//   says so; the copy button's menu of copySources (caption and TDocSource
//   as data) and "A&bbruch", also on copyKey, each running copyFrom.
// - "Überneh&men" (F10) and "&Abbrechen" (Alt+Backspace) beside the
//   navigator; "&?Info?" opens helpPage.
// - what some editors do differently, when declared: headButtons beside
//   "&?Info?"; linesAllowed refusing the grid (linesRefusal shown, the
//   focus back on firstField); swallowedKeys eaten in the grid; the copy
//   menu only while copyEnabled says so and its key only outside the grid
//   (copyKeyOutsideGrid); Ctrl+PgDn from the grid to the line text
//   (lineTextKey); the position menu's copy items always enabled.
// Declarations keep their own state in TF_DocEdit::state() and reach the
// tables, widgets and commands through TF_DocEdit's public members.

#include "commercial/documents/linerules.h"
#include "core/data/dockinds.h"
#include "platform/widgets/datagridmodel.h"
#include "platform/widgets/fieldform.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QSize>
#include <QString>
#include <QVariant>
#include <functional>

class QWidget;
class TF_DocEdit;

// A field of the head or of the line area.
struct TDocField {
    widgets::FieldDecl decl;
    // Double-click or Alt+W on the field; gets the field's editor for placing
    // its window.
    std::function<void(TF_DocEdit&, QWidget& editor)> pick;
    // The field carries the head's address pop-up.
    bool addressMenu = false;
};

// One column of head fields, side by side with the others.
struct TDocHeadColumn {
    QList<TDocField> fields;
    int stretch = 1;
};

// An item of a pop-up menu.
struct TDocAction {
    QString caption;
    std::function<void(TF_DocEdit&)> run;
};

// A button above the grid acting on the current line.
struct TDocLineButton {
    QString caption; // "Artikel (F3)"
    int key = 0;     // Qt::Key that runs it in the grid; 0: none
    std::function<void(TF_DocEdit&)> run;
    bool anyKind = false; // also on text, subtotal and page-break lines
    // Its key in the grid acts on any line, the button only on kinds 0 to 2.
    bool keyAnyKind = false;
};

// A dialog behind a grid column.
struct TDocColumnAction {
    QString field;
    std::function<void(TF_DocEdit&)> run;
    bool anyKind = false;
};

// An entry of the copy-source menu.
struct TDocCopySource {
    QString caption;
    TDocSource source;
    bool isDefault = false; // shown as the menu's default entry
};

// The background of each line kind; kind 0 keeps the grid's colour.
QHash<int, QColor> DocumentKindColours();
// The grid column of the line kind (S_PosArt) as a choice of the kind
// names of "Posart.db".
widgets::GridColumn DocumentKindColumn(const QString& title, int width);

struct TDocEditDecl {
    QString formClass;     // object name, e.g. "TF_RgEdit"
    QString designCaption; // until the session sets one of the two below
    QString newCaption;
    QString editCaption;

    // The data module's shared objects (accessor names); OpenDocumentEditorOn
    // takes other table objects instead.
    QString headTable;
    QString lineTable;
    QString keyField = QStringLiteral("R_Nr"); // how the session finds the head
    QString lineIndex = QStringLiteral("S_IRef");
    // Open and close the tables for the session; empty: the tables closed
    // at the start are opened and closed again afterwards.
    std::function<void()> openTables;
    std::function<void()> closeTables;
    // The column hook the data module's line rules call while the editor is open.
    std::function<void(const QString&)> DocumentFormHooks::*focusHook = nullptr;

    QList<TDocHeadColumn> head;
    // Head fields at the right of the line text (the sums).
    QList<TDocField> headFooter;
    QList<TDocAction> addressMenu;
    QString firstField = QStringLiteral("R_ObjektNr");

    QString gridName = QStringLiteral("GridPos");
    QList<widgets::GridColumn> columns;
    QHash<int, QColor> kindColours = DocumentKindColours();
    QList<TDocColumnAction> columnActions;
    QString kindField = QStringLiteral("S_PosArt");
    QString positionField = QStringLiteral("S_PosNr");
    QString quantityField = QStringLiteral("S_Menge");
    QString textColumn = QStringLiteral("S_Kurztext");
    QString textField = QStringLiteral("S_Text");
    QString priceField = QStringLiteral("S_EPreis");
    QString unitField = QStringLiteral("S_MengBez");
    QString enterNextLineFrom = QStringLiteral("S_EPreis");
    // Beside the line text.
    QList<TDocField> lineFields;

    QList<TDocLineButton> lineButtons;
    QString copyButton; // empty: no copy menu
    int copyKey = 0;
    // The copy key works in the head fields, not in the grid.
    bool copyKeyOutsideGrid = false;
    // The copy button and key work only while this says so; empty: always.
    std::function<bool(TF_DocEdit&)> copyEnabled;
    // The copy key works only while this says so as well; empty: always.
    std::function<bool(TF_DocEdit&)> copyKeyEnabled;
    QList<TDocCopySource> copySources;
    std::function<void(TF_DocEdit&, TDocSource)> copyFrom;

    bool positionMenu = true;
    // "Satz kopieren" and "Satz einfügen" are always enabled ("Satz
    // einfügen" does nothing before a line was copied).
    bool positionCopyAlwaysEnabled = false;
    QList<TDocAction> lineMenu;
    std::function<bool(TF_DocEdit&)> lineMenuWhen;

    QString helpPage;
    // Buttons of the head, left of "&?Info?".
    QList<TDocAction> headButtons;

    // Whether the grid may be entered; when not, linesRefusal is shown and
    // firstField gets the focus. Empty: always.
    std::function<bool(TF_DocEdit&)> linesAllowed;
    QString linesRefusal;
    // Keys the grid eats without doing anything.
    QList<int> swallowedKeys;
    // Ctrl+PgDn in the grid moves to the line text (its editor).
    bool lineTextKey = false;

    // A new document: append the head with its values and post it.
    std::function<void(TF_DocEdit&)> createHead;
    // An existing document, once located, before the window shows.
    std::function<void(TF_DocEdit&)> openExisting;
    // Once after the window is built.
    std::function<void(TF_DocEdit&)> setup;
    // The end of the session in place of the common one; true when the
    // head was deleted.
    std::function<bool(TF_DocEdit&)> finish;

    QSize designSize{928, 600};
};
