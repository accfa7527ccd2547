#pragma once

#include "commercial/gui/doceditdecl.h"

#include <QList>
#include <QString>
#include <functional>

class QWidget;
class TF_DocEdit;

// The pieces that several document-editor declarations share: where
// pickers open, the head and line fields' builders, and the commands on
// the current line or head that every editor runs the same way.

// A place relative to the editor's corner, in screen coordinates.
int EditorLeft(const TF_DocEdit& form, int dx);
int EditorTop(const TF_DocEdit& form, int dy);
// The object picker of a head's "Objekt-Nr." beside the editor, starting on
// the head's object: the number chosen, or 0 when it was cancelled or the
// same object was taken again.
int ChooseOtherObjekt(TF_DocEdit& form);

// A field of the current line (0 without a line) and its type (4, a free
// line, without one).
int LineInt(TF_DocEdit& form, const QString& field);
int LinePosTyp(TF_DocEdit& form);

// Builders of declared fields.
using DocPick = std::function<void(TF_DocEdit&, QWidget&)>;
TDocField DocFieldOf(const QString& caption, const QString& name, int width = 0, DocPick pick = {},
                     bool address = false);
TDocField SameLine(TDocField f);
TDocField ReadOnlyField(TDocField f);
TDocField Hinted(TDocField f, const QString& hint);
QList<TDocField> Grouped(const QString& group, QList<TDocField> fields);
// The print form's name beside its number, picked like the number.
TDocField PrintFormNameField(DocPick pick);
// The cost type's name beside S_ErloesKonto.
TDocField KostartNameField();
// "Objekt / Rechnungsanschrift": the object (picked by pickObjekt), its
// billing address with the address pop-up and its long name.
QList<TDocField> ObjectAddressGroup(DocPick pickObjekt);
// The head's sums ("Netto/Mwst") right of the line text.
QList<TDocField> DocumentSumsFooter();
// The seven address commands of the head's pop-up, posting.
QList<TDocAction> HeadAddressActions();

// "Zahlbed.": the payment-term picker; a choice goes into the head, posted.
void PickZahlbed(TF_DocEdit& form, QWidget& editor);
// "Sachbearb.": the staff picker into R_Betreuer.
void PickBetreuer(TF_DocEdit& form, QWidget& editor);
// "Kostenart": the cost-type picker into the line's S_ErloesKonto.
void PickKostart(TF_DocEdit& form);
// "St %": the VAT-rate picker; a chosen code goes into S_MwstKz.
void PickLineVatRate(TF_DocEdit& form);
// "Einheit": the unit picker; another unit is written and the line posted.
void PickLineUnit(TF_DocEdit& form);

// The session key of the document object's O_ID (the object pickers of the
// lines read it).
inline const QString DocEditObjektId = QStringLiteral("objektId");
// "Artikel": the article picker (ofObject: over the articles of the
// document's object, else over those of the line's article) into the line.
void PickLineArtikel(TF_DocEdit& form, bool ofObject);
// "Leistung": the activity picker into the line.
void PickLineTaetigkeit(TF_DocEdit& form);
// "Fremdleist.": the object's unbilled external services into the line;
// the sums are recalculated once afterwards.
void PickLineFremdleistung(TF_DocEdit& form);
// The picker of the line's type: activities, external services or articles.
void PickOfLineType(TF_DocEdit& form);
// "Preis als Sonderpreis merken": asks, posts the line and writes the price
// into the object's own article.
void RememberSpecialPrice(TF_DocEdit& form);
