#include "commercial/gui/tf_auftedit.h"

#include "commercial/documents/documentediting.h"
#include "commercial/gui/tf_docedit.h"
#include "core/data/counters.h"

using namespace Qt::StringLiterals;

TNumberedEditorParams AuftEditParams() {
    TNumberedEditorParams p = AngEditParams();
    p.head = {TDocKind::Auftrag, false, 12, TLineCopyTarget::Auftrag};
    p.formClass = u"TF_AuftEdit"_s;
    p.designCaption = u"Aufträge bearbeiten"_s;
    p.newCaption = u"Auftrag erfassen"_s;
    p.editCaption = u"Auftrag bearbeiten"_s;
    p.headTable = u"TabAuftKopf"_s;
    p.lineTable = u"TabAuftSatz"_s;
    p.focusHook = &DocumentFormHooks::FocusAuftEditColumn;
    p.headGroup = u"Auftrag"_s;
    p.numberCaption = u"Auftrags-Nr."_s;
    p.numberDialogName = u"Auftragsnummer"_s;
    p.dateCaption = u"Auftragsdatum"_s;
    p.textColumnTitle = u"Auftragstext"_s;
    p.customerQuestion = u"Kundenadresse als Auftragsanschrift verwenden?"_s;
    p.helpPage = u"Auftrage.html"_s;
    p.gridName = u"GridAuft"_s;
    p.printFormType = 13000;
    p.putBackNumber = &PutBackAuftragNr;
    p.extraColumns = {{u"S_MengeGeliefert"_s, u"Abbuch."_s, 8, true}};
    p.intervalField = u"S_AusfInterv"_s;
    p.intervalTable = u"AusfIV.DB"_s;
    p.intervalKey = u"AI_ID"_s;
    p.intervalText = u"AI_Text"_s;
    // The article's price 1 is the line's price; an order has no calculation.
    p.fillArtikel = [](table::Table& line, int id) { return FillLineFromArtikel(line, id); };
    p.fillTaetigkeit = [](table::Table& line, int id) { return FillLineFromTaetigkeit(line, id); };
    p.recalcOnOpen = false;
    p.objectOnlyWhenNew = true;
    p.customerAlways = true;
    p.numberOnlyWhenNew = u"Die Auftrags-Nummer kann nur bei neuen Aufträgen verändert werden!"_s;
    p.objectClearsAdrRefs = false;
    p.lineOnEnteringGrid = false;
    p.copyOnlyWhenNew = true;
    p.gridAfterCreate = true;
    p.calcAndLetter = false;
    p.quantityPicksUnit = true;
    return p;
}

TDocEditDecl AuftEditDeclaration() {
    return NumberedEditorDeclaration(AuftEditParams());
}

void ShowAuftEditForm(const QString& nr) {
    OpenDocumentEditor(AuftEditDeclaration(), nr);
}

void FocusAuftEditColumn(const QString& fieldComponentName) {
    if (const auto& hook = DocumentFormHooksRegistry().FocusAuftEditColumn)
        hook(fieldComponentName);
}
