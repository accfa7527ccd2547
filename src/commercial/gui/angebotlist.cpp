#include "commercial/gui/angebotlist.h"

#include "commercial/gui/doceditdecl.h"
#include "commercial/gui/rgvlistform.h"
#include "commercial/gui/tf_angedit.h"
#include "commercial/gui/tf_doclist.h"
#include "core/settings/formplacement.h"
#include "printing/documentprints.h"

using namespace Qt::StringLiterals;

TDocListDecl AngebotListDeclaration() {
    TDocListDecl d;
    d.formName = u"F_Angebot"_s;
    d.caption = u"Angebote"_s;
    d.right = 21;
    d.placementFile = kPlacementFile02;
    d.placementSection = u"Angebot"_s;
    d.helpPage = u"angebote.html"_s;
    d.headTable = u"TabAngKopf"_s;
    d.lineTable = u"TabAngSatz"_s;
    d.lookupTables = {u"TabCalcIV"_s, u"TabPosArt"_s};
    d.headGridName = u"GridAnKopf"_s;
    widgets::GridColumn mark{u"R_Selected"_s, u"Wahl"_s, 4};
    mark.items = {u"Ja"_s, u"Nein"_s};
    mark.values = {true, false};
    d.headColumns = {{u"R_Nr"_s, u"Angebots-Nr."_s, 10},
                     {u"R_DatumDruck"_s, u"Angeb.Dat."_s, 10},
                     {u"R_ObjektNr"_s, u"Obj-Nr."_s, 6},
                     {u"R_OMatch"_s, u"Objekt-Bezeichnung"_s, 22},
                     {u"R_Beschreibung"_s, u"Beschreibung"_s, 20},
                     {u"R_KundenNr"_s, u"Kd.-Nr."_s, 6},
                     {u"R_KMatch"_s, u"Kundenname"_s, 20},
                     {u"R_Brutto"_s, u"Brutto"_s, 10},
                     mark};
    d.widenedWhileMarking = u"R_KMatch"_s;
    d.widenBy = -40;
    d.lineColumns = {{u"S_PosNr"_s, u"Pos"_s, 6},          DocumentKindColumn(u"Art"_s, 9),
                     {u"S_SrcNr"_s, u"Art./Lst-Nr"_s, 10}, {u"S_Menge"_s, u"Mge"_s, 7},
                     {u"S_MengBez"_s, u"Einheit"_s, 7},    {u"S_Kurztext"_s, u"Kurztext"_s, 28},
                     {u"S_EPreis"_s, u"E-Preis"_s, 9},     {u"S_Mwst"_s, u"Mwst %"_s, 6},
                     {u"S_Netto"_s, u"Netto"_s, 10}};
    d.formType = 12000;
    d.print = [](int id, bool preview, const QString& layout, QWidget* parent) {
        PrintOffer(id, preview, layout, parent);
    };
    d.noun = u"Angebote"_s;
    d.archive = ArchiveFamily::Offers;
    d.listTitle = u"Angebote"_s;
    d.listTableName = u"Angkopf.DB"_s;
    d.openEditor = [](const QString& nr) { ShowAngEditForm(nr); };
    d.editHint = u"Gewähltes Angebot bearbeiten"_s;
    d.newHint = u"Neues Angebot schreiben"_s;
    d.extraButtons = {{u"RGV"_s, u"btnRgv"_s, u"Rechnungsvorlagen einblenden"_s,
                       TDocListRight::Always, [](TF_DocList&) { ShowRgvListForm(); }}};
    return d;
}

void ShowAngebotForm() {
    ShowDocumentList(AngebotListDeclaration());
}
