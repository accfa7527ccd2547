#pragma once

#include "platform/widgets/datagridmodel.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

// The archive browsers (the documents moved into "AblageDB") are declared,
// not written: one ArchiveViewDecl per document family, read by the one
// window TF_ArchiveView (tf_archiveview.h). A new family writes its
// declaration function and adds it to ArchiveViewDecls() (archiveviews.cpp);
// the opener's name is its main-window entry, registered by
// RegisterArchiveBrowsers.
//
// What the window does for every member, with the declaration's values:
// - "AblageDB" for the document prints while it is open (and the invoice
//   print source when given), "LumoDB" again on every way out; a table that
//   does not open is reported ("Beim Öffnen einer Datei ist ein Fehler
//   aufgetreten!") and logged, and the window is not shown;
// - the head grid with the lines of the current head below it and their
//   rich text beside them; line rows coloured by their kind;
// - the search box over the remembered sort column, sorting by a title
//   click, the first sort on the declared field;
// - marking mode ("W&ählen") with its keys and the declared column changes;
// - "Dr&uck", "L&öschen", "&Liste", "Ändern", the preview (pop-up and
//   double-click), "&?Info?" ("Datenablage.html"), the navigator;
// - placement below the main window, at least 780 x 520, the grids' column
//   layouts and panel sizes in "DomveraPlan04.ini".

// How "Dr&uck" prints.
enum class ArchivePrintRun {
    MarkedOnPrinter, // every marked head on the printer
    MarkedInPreview, // every marked head in the preview, its form stored
    CurrentDocument, // the current head: "Druck" and "Vorsc&hau"
};

// Which print form a preview (and a print of the current document) uses.
enum class ArchivePreviewForm {
    AlwaysAsked,           // chosen each time
    StoredElseAskedStored, // the head's own form of the type, else chosen and stored
    AskedStoredWhenNone,   // chosen; stored when the head has none
    StoredElseAsked,       // the head's own form of the type, else chosen
};

// The text of the lines' "Art" column.
enum class ArchiveLineKinds {
    None,
    PositionKinds,     // A_Text of the position kind (Posart.db) of S_PosArt
    ObjectAndCostType, // O_Nr of S_ObjID and the cost type's A_Text of S_KostArt
};

// A column changed while marking mode is on (and changed back after it).
struct ArchiveMarkingChange {
    QString field;
    int widthDelta = 0; // pixels
    bool hide = false;
};

using ArchivePrintEntry =
    std::function<void(int id, bool preview, const QString& layoutFile, QWidget* parent)>;

struct ArchiveViewDecl {
    QString formName; // "TF_AngView"
    QString caption;  // "Angebote [Ablage]"
    QString opener;   // "ShowAngViewForm", the main window's entry
    QString headTable, lineTable;
    // Columns: field, title, width in characters; a calculated line field
    // named "PosArtText", "ObjNrText" or "KostArtText" shows the kind texts.
    QList<widgets::GridColumn> headColumns, lineColumns;
    ArchiveLineKinds lineKinds = ArchiveLineKinds::PositionKinds;
    bool lineColours = true;      // rows by S_PosArt
    bool deliveredColour = false; // S_MengeGeliefert light green when all is delivered
    bool marking = true;          // "W&ählen", "L&öschen" and the marked print
    bool changeAddress = true;    // "Ändern" (with marking only)
    QList<ArchiveMarkingChange> markingChanges;
    QString firstSortField = QStringLiteral("R_Nr");
    bool sortByColumn = false; // the title click takes the column's own index
    int formType = 0;
    ArchivePrintEntry print;
    ArchivePrintRun printRun = ArchivePrintRun::MarkedOnPrinter;
    // Offers, orders and delivery notes go on after a document that failed
    // to print; the invoice and credit-note runs end there.
    bool printErrorEndsRun = false;
    ArchivePreviewForm previewForm = ArchivePreviewForm::AlwaysAsked;
    // The questions after "Es sind %d Einträge markiert."; every %d is the count.
    QString printQuestion, deleteQuestion;
    // The whole print question instead ("Rechnungsdruck:" ...), when given.
    QString printQuestionWhole;
    QString listTitle; // "&Liste"; empty: no list
    bool navigatorPost = false;
    std::optional<int> rgPrintSource; // set while the browser is open
    QString iniSection;
    // Also kept: the height of the lower panel (delivery notes), the head
    // grid's height instead of the line grid's width (incoming invoices).
    bool storeLowerPanelHeight = false;
    bool storeHeadHeightNotLineWidth = false;
};

const QList<ArchiveViewDecl>& ArchiveViewDecls();
// nullptr when no member has this opener.
const ArchiveViewDecl* FindArchiveViewDecl(const QString& opener);
