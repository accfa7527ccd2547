#pragma once

#include "commercial/gui/doceditdecl.h"

#include <QList>
#include <QString>
#include <functional>
#include <utility>

// The delivery-note editor TF_LSEdit ("Lieferscheine bearbeiten") on the
// shared delivery-note tables, declared on the document-editor frame.
//
// Its design is shared: an editor built like it (the credit-note editor)
// takes TLsEditDesign from LsEditDesign() and changes the members in which
// it differs, then declares itself with LsEditDeclaration(design).
struct TLsEditDesign {
    // Identity and tables.
    QString formClass = QStringLiteral("TF_LSEdit");
    QString designCaption = QStringLiteral("Lieferscheine bearbeiten");
    QString newCaption = QStringLiteral("Lieferschein erfassen");
    QString editCaption = QStringLiteral("Lieferschein bearbeiten");
    QString headTable = QStringLiteral("TabLSKopf");
    QString lineTable = QStringLiteral("TabLSSatz");
    std::function<void(const QString&)> DocumentFormHooks::*focusHook =
        &DocumentFormHooks::FocusLSEditColumn;
    QString gridName = QStringLiteral("GridAuft");
    QString helpPage = QStringLiteral("Lieferscheine.html");
    TDocKind kind = TDocKind::Lieferschein; // numbers
    int formType = 40000;                   // print forms
    QString documentGroup = QStringLiteral("Lieferschein");
    QString addressGroup = QStringLiteral("Objekt / Lieferanschrift");

    // The number: its caption, the number dialog's caption and date field;
    // numberOnlyNew refuses the change of an existing document's number.
    QString numberCaption = QStringLiteral("LS-&Nr.");
    QString numberDialogCaption = QStringLiteral("Lieferscheinnummer");
    QString numberDateField = QStringLiteral("R_DatumErstell");
    QString numberOnlyNew =
        QStringLiteral("Die LS-Nummer kann nur bei neuen Lieferscheinen verändert werden!");
    // The head's date fields (caption, field), each picked with the calendar;
    // a change recalculates the lines with the VAT rates of the new date.
    QList<std::pair<QString, QString>> dateFields = {
        {QStringLiteral("&Erstell-Datum"), QStringLiteral("R_DatumErstell")},
        {QStringLiteral("&Druck(LS-)datum"), QStringLiteral("R_DatumDruck")},
        {QStringLiteral("&Liefertermin"), QStringLiteral("R_Lieftermin")},
        {QStringLiteral("&Verrechn. nicht vor"), QStringLiteral("R_LiefDatum")},
    };
    // Further fields of the document group after the customer (delivery
    // notes: the billing invoice and "Automatische Rechnung").
    QList<TDocField> documentFields;

    // Object and customer. objektRefusal: the message refusing another
    // object now, empty when allowed. The customer needs an object first
    // (customerNeedsObjekt) and may be changed while customerChangeable
    // says so (empty: always).
    std::function<QString(TF_DocEdit&)> objektRefusal;
    bool customerNeedsObjekt = true;
    std::function<bool(TF_DocEdit&)> customerChangeable;
    QString customerAddressQuestion =
        QStringLiteral("Kundenadresse als Lieferscheinanschrift verwenden?");
    // The grid needs an object first.
    bool linesNeedObjekt = true;

    // The grid and its commands beyond articles and services.
    QList<widgets::GridColumn> columns;
    bool objectArticles = true;   // "Objekt-Art.(F7)"
    bool externalServices = true; // "Fremdleist.(F8)"
    QList<TDocField> lineFields;  // under the grid
    QList<TDocLineButton> extraLineButtons;

    // Copies from other documents ("Vorlage (F6)").
    QString copyButton = QStringLiteral("Vorlage (F6)");
    QList<TDocCopySource> copySources;
    std::function<void(TF_DocEdit&, TDocSource)> copyFrom;
    std::function<bool(TF_DocEdit&)> copyEnabled;

    // The session: a new head (appended and posted), an existing one once
    // located, and the end (true when the head was deleted).
    std::function<void(TF_DocEdit&)> createHead;
    std::function<void(TF_DocEdit&)> openExisting;
    std::function<bool(TF_DocEdit&)> finish;
    // Gives the number of a discarded new document back to its counter.
    std::function<void()> putBackNumber;
};

// What the caller of the delivery-note editor gives a session.
struct TLsEditCall {
    int objektNr = 0;
    bool autoInvoice = false;
    int lsTyp = 0;
    int creatorId = 0;
};

// The delivery note's design for one session.
TLsEditDesign LsEditDesign(const TLsEditCall& call = {});
TDocEditDecl LsEditDeclaration(const TLsEditDesign& design);

// Opens the note numbered nr, or a new note (for the object when objektNr is
// not 0, with R_AutoLS, R_LsTyp and R_CreatorID from the caller). Returns the
// note's R_ID when the editor closes; 0 when a new note was discarded or the
// head table did not open.
int EditLieferschein(const QString& nr, int objektNr, bool autoInvoice, int lsTyp, int creatorId);

// Deletes the note on which TabLSKopf stands after its question (when it
// needs one); true when deleted. A failure changes nothing and is shown.
bool DeleteLieferschein();
// The same for the note with that R_ID (TabLSKopf opened for the call).
bool DeleteLieferscheinById(int lsId);

// While the delivery-note editor is open, selects the grid column of the
// field component ("TabLSSatzS_Menge"); nothing otherwise.
void FocusLSEditColumn(const QString& fieldComponentName);
