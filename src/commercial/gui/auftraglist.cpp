#include "commercial/gui/auftraglist.h"

#include "commercial/gui/liefscheinlist.h"
#include "commercial/gui/rgvlistform.h"
#include "commercial/gui/tf_auftedit.h"
#include "commercial/gui/tf_doclist.h"
#include "core/settings/formplacement.h"
#include "printing/documentprints.h"

using namespace Qt::StringLiterals;

TDocListDecl AuftragListDeclaration() {
    TDocListDecl d;
    d.formName = u"F_Auftrag"_s;
    d.caption = u"Aufträge"_s;
    d.right = 22;
    d.placementFile = kPlacementFile02;
    d.placementSection = u"Auftrag"_s;
    d.helpPage = u"Auftrage.html"_s;
    d.headTable = u"TabAuftKopf"_s;
    d.lineTable = u"TabAuftSatz"_s;
    d.lookupTables = {u"TabPosArt"_s};
    d.headGridName = u"GridAuftKopf"_s;
    widgets::GridColumn mark{u"R_Selected"_s, u"Wahl"_s, 4};
    mark.items = {u"Ja"_s, u"Nein"_s};
    mark.values = {true, false};
    d.headColumns = {
        {u"R_Nr"_s, u"Auftrags-Nr."_s, 10},    {u"R_DatumDruck"_s, u"Auftragsdatum"_s, 10},
        {u"R_ObjektNr"_s, u"Obj-Nr."_s, 6},    {u"R_OMatch"_s, u"Objekt-Bezeichnung"_s, 22},
        {u"R_KundenNr"_s, u"Kunden-Nr."_s, 6}, {u"R_KMatch"_s, u"Kundenname"_s, 20},
        {u"R_Brutto"_s, u"Brutto"_s, 10},      mark};
    d.widenedWhileMarking = u"R_KMatch"_s;
    d.widenBy = -40;
    d.lineColumns = DeliveredLineColumns();
    d.lineCellBrush = DeliveredCellBrush;
    d.kopfFussOnFootText = false;
    d.formType = 13000;
    d.print = [](int id, bool preview, const QString& layout, QWidget* parent) {
        PrintOrder(id, preview, layout, parent);
    };
    d.noun = u"Aufträge"_s;
    d.archive = ArchiveFamily::Orders;
    d.listTitle = u"Aufträge"_s;
    d.listTableName = u"Auftkopf.DB"_s;
    d.openEditor = [](const QString& nr) { ShowAuftEditForm(nr); };
    d.editHint = u"Gewählten Auftrag bearbeiten"_s;
    d.newHint = u"Neuen Auftrag schreiben"_s;
    d.extraButtons = {{u"RGV"_s, u"btnRgv"_s, u"Rechnungsvorlagen einblenden"_s,
                       TDocListRight::Always, [](TF_DocList&) { ShowRgvListForm(); }}};
    return d;
}

void ShowAuftragForm() {
    ShowDocumentList(AuftragListDeclaration());
}
