#pragma once

#include "commercial/documents/linerules.h"
#include "commercial/documents/offerediting.h"
#include "commercial/gui/doceditdecl.h"

#include <QString>
#include <functional>

class TF_DocEdit;

// The editor design that offers and orders share: one head of object,
// address, customer, number, dates, payment terms and print form over one
// grid of lines, with articles and services picked into lines, the copy of
// other documents and the numbering of a new document drawn when it is
// created and given back when it is closed without lines. What an order
// does differently is given here; AngEditParams() are the offer's.
struct TNumberedEditorParams {
    TNumberedHeadKind head; // kind, new-head values, copy target
    QString formClass;      // "TF_AngEdit"
    QString designCaption;  // "Angebote bearbeiten"
    QString newCaption;     // "Angebot erfassen"
    QString editCaption;    // "Angebot bearbeiten"
    QString headTable;      // "TabAngKopf"
    QString lineTable;      // "TabAngSatz"
    std::function<void(const QString&)> DocumentFormHooks::*focusHook = nullptr;
    QString headGroup;                   // "Angebot"
    QString numberCaption;               // "Angebots-Nr."
    QString numberDialogName;            // "Angebotsnummer" (ChangeDocumentNumber)
    QString dateCaption;                 // "Angebotsdatum"
    QString textColumnTitle;             // "Angebotstext"
    QString customerQuestion;            // "Kundenadresse als Angebotsanschrift verwenden?"
    QString helpPage;                    // "angebote.html"
    QString gridName;                    // "GridAng"
    int printFormType = 0;               // 12000
    std::function<void()> putBackNumber; // PutBackAngebotNr
    // Columns after "Brutto" (orders: "Abbuch.").
    QList<widgets::GridColumn> extraColumns;
    // "Ausführung": the field of the line and the interval table it names.
    QString intervalField = QStringLiteral("S_Intervall");
    QString intervalTable = QStringLiteral("CalcIV.db");
    QString intervalKey = QStringLiteral("CI_ID");
    QString intervalText = QStringLiteral("CI_Text");
    // What a line takes from an article or a service.
    std::function<bool(table::Table& line, int id)> fillArtikel;
    std::function<bool(table::Table& line, int id)> fillTaetigkeit;
    // Opening an existing document recomputes its sums (orders: not).
    bool recalcOnOpen = true;
    // Object and customer only while the document is new or was made in the
    // editor (R_Creator 1); orders: the object only while new, the customer always.
    bool objectOnlyWhenNew = false;
    bool customerAlways = false;
    // The number may be changed only while new; otherwise this information.
    QString numberOnlyWhenNew;
    // A new object clears the contact references (offers).
    bool objectClearsAdrRefs = true;
    // Entering the grid of a document without lines starts a line (offers).
    bool lineOnEnteringGrid = true;
    // "Vorlage (F6)" only for a new document (orders); F6 only for a new one (offers).
    bool copyOnlyWhenNew = false;
    // After the new head: the grid takes the focus (orders), else the object.
    bool gridAfterCreate = false;
    // The offer's "Kalukulat.(F7)" and "Anschreib.(F9)" (OfferEditorHooks).
    bool calcAndLetter = false;
    // Alt+W and the double-click on the quantity open the unit picker
    // (orders), else the picker the line came from.
    bool quantityPicksUnit = false;
};

// The offer's parameters.
TNumberedEditorParams AngEditParams();
// The one design, declared for the given parameters.
TDocEditDecl NumberedEditorDeclaration(const TNumberedEditorParams& params);

// The offer editor TF_AngEdit ("Angebote bearbeiten") on the shared offer tables.
TDocEditDecl AngEditDeclaration();

// Opens the offer with that number, or a new offer for an empty number, and
// returns when the editor is closed.
void ShowAngEditForm(const QString& nr);

// While the offer editor is open, selects the grid column of the field
// component ("TabAngSatzS_Menge"); nothing otherwise.
void FocusAngEditColumn(const QString& fieldComponentName);
