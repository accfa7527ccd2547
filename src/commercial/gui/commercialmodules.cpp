#include "commercial/gui/commercialmodules.h"

#include "commercial/documents/deliverynoteentries.h"
#include "commercial/documents/linerules.h"
#include "commercial/gui/angebotlist.h"
#include "commercial/gui/auftraglist.h"
#include "commercial/gui/bestellunglist.h"
#include "commercial/gui/f_cnvrgv.h"
#include "commercial/gui/gutschriftlist.h"
#include "commercial/gui/liefscheinlist.h"
#include "commercial/gui/offereditorhooks.h"
#include "commercial/gui/recheinlist.h"
#include "commercial/gui/rgvlistform.h"
#include "commercial/gui/tf_calc.h"
#include "commercial/gui/tf_editangnotes.h"
#include "commercial/gui/tf_lsedit.h"
#include "commercial/gui/tf_oposten.h"
#include "commercial/gui/tf_rechhead.h"
#include "commercial/gui/tf_rechint.h"
#include "commercial/gui/tf_rechnung.h"
#include "core/gui/mainform.h"
#include "core/messages/messages.h"
#include "core/moduleentries.h"
#include "core/settings/programsettings.h"
#include "core/settings/settingsfiles.h"

using namespace Qt::StringLiterals;

void RegisterCommercialModules(ModuleDispatcher& dispatcher) {
    // "Einstellungen › Kopf-/Fusstexte" maintains the catalogue alone.
    dispatcher.setOpener(u"SelectKopfFussText"_s, [] { SelectKopfFussText(0); });
    // "Datenbanken › Rechnungen" and the tool-bar button "Rechnungen".
    dispatcher.setOpener(u"ShowRechnungForm"_s, &ShowRechnungForm);
    // "Datenbanken › Angebote" and the tool-bar button "Angebote".
    dispatcher.setOpener(u"ShowAngebotForm"_s, &ShowAngebotForm);
    // "Datenbanken › Bestellungen".
    dispatcher.setOpener(u"ShowBestellungForm"_s, &ShowBestellungForm);
    // "Datenbanken › Aufträge" and the tool-bar button "Aufträge".
    dispatcher.setOpener(u"ShowAuftragForm"_s, &ShowAuftragForm);
    // "Datenbanken › Lieferscheine" and the tool-bar button "Lieferscheine".
    dispatcher.setOpener(u"ShowLiefscheinForm"_s, &ShowLiefscheinForm);
    // "Datenbanken › Gutschriften"; the list applies right 25 itself.
    dispatcher.setOpener(u"ShowGutschriftForm"_s, &ShowGutschriftForm);
    // "Datenbanken › Wareneingang" and the tool-bar button "Wareneing.".
    dispatcher.setOpener(u"ShowRechEinForm"_s, &ShowRechEinForm);
    dispatcher.setOpener(u"ShowRechintForm"_s, [] { ShowRechintForm(); });
    dispatcher.setOpener(u"ShowRgvListForm"_s, [] { ShowRgvListForm(); });
    // "Datenbanken › Offene Ausgangsrechnungen" and the tool-bar button "Off. Post. AR".
    dispatcher.setOpener(u"ShowOpostenForm"_s, &ShowOpostenForm);
    // "Sonstiges › Rechnungsvorlagen konvertieren": the old billing
    // definitions of the objects become invoice templates.
    SetOtherMenuAction(u"Rechnungsvorlagen konvertieren"_s, [] {
        if (IsRgvConverted(MandantNr) &&
            !AskYesNo(u"Die Rechnungsvorlagen wurden bereits konvertiert.\rTrotzdem fortfahren?"_s))
            return;
        RunCnvRgv(MandantNr);
    });
    // The delivery-note editor and deletion for the operations windows.
    DeliveryNoteEntriesRegistry().editLieferschein = &EditLieferschein;
    DeliveryNoteEntriesRegistry().deleteLieferschein = &DeleteLieferscheinById;
    // New offer lines are marked calculated while the calculation sheet is open.
    DocumentFormHooksRegistry().CalcFormOpen = &CalcFormOpen;
    // The offer editor's "Kalukulat.(F7)" and "Anschreib.(F9)".
    OfferEditorHooksRegistry().showCalc = [](int angId, const QString& angNr) {
        ShowCalcForm(angId, angNr);
    };
    OfferEditorHooksRegistry().showNotes = [](const QRect& editor) {
        ShowAngNotesForm(editor.left(), editor.top(), editor.width(), editor.height());
    };
}
