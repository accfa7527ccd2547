#include "commercial/gui/recheinlist.h"

#include "commercial/gui/doclistdecl.h"
#include "commercial/gui/tf_doclist.h"
#include "commercial/purchasing/ertransfer.h"
#include "core/data/datamodule.h"
#include "core/messages/messages.h"
#include "core/settings/formplacement.h"
#include "platform/table/table.h"
#include "printing/documentprints.h"
#include "printing/gui/ralistebutton.h"

using namespace Qt::StringLiterals;

namespace {

// The journal print offers every record kind first.
constexpr int kRaListeAllKinds = 3;

void DeleteCurrent(TF_DocList& list) {
    table::Table& head = list.headTable();
    if (!head.isOpen() || head.isEmpty())
        return;
    if (!AskYesNo(u"Möchten Sie den Datensatz löschen?"_s))
        return;
    // The data module's rules take the lines along and reverse their bookings.
    head.deleteRecord();
}

} // namespace

TDocListDecl RechEinListDeclaration() {
    TDocListDecl d;
    d.formName = u"F_RechEin"_s;
    d.caption = u"Eingangs-Rechnungen"_s;
    d.right = 27;
    d.placementFile = kPlacementFile02;
    d.placementSection = u"RechEin"_s;
    d.helpPage = u"Wareneingang.html"_s;
    d.headTable = u"TabERKopf"_s;
    d.lineTable = u"TabERSatz"_s;
    d.headGridName = u"GridERKopf"_s;
    d.headColumns = {{u"R_Nr"_s, u"Rechnungs-Nr."_s, 12},
                     {u"R_KundenNr"_s, u"Lieferanten-Nr."_s, 10},
                     {u"R_KMatch"_s, u"Lieferanten-Name"_s, 30},
                     {u"R_DatumDruck"_s, u"Rechnungsdatum"_s, 12},
                     {u"R_FaelligDatum"_s, u"Fälligkeit zum"_s, 12},
                     {u"R_Brutto"_s, u"Bruttobetrag"_s, 12}};
    d.lineColumns = {
        {u"S_ObjID"_s, u"Obj-Nr"_s, 6},       {u"S_ArtNo"_s, u"Artikel-Nr"_s, 8},
        {u"S_KostArt"_s, u"Kostenart"_s, 7},  {u"S_LiefArtNr"_s, u"Lief. Artikel-Nr"_s, 12},
        {u"S_Kurztext"_s, u"Kurztext"_s, 28}, {u"S_Menge"_s, u"Menge"_s, 8},
        {u"S_Netto"_s, u"Nettobetrag"_s, 10}, {u"S_Mwst"_s, u"Mwst%"_s, 6},
        {u"S_MwstBetrag"_s, u"Mwst"_s, 9}};
    d.formType = 57000;
    d.print = [](int id, bool preview, const QString& layout, QWidget* parent) {
        PrintIncomingInvoice(id, preview, layout, parent);
    };
    d.noun = u"Eingangsrechnungen"_s;
    d.markedCommands = false;
    d.extraPages = false;
    d.listTitle = u"Eingangsrechnungen"_s;
    d.listTableName = u"ERkopf.DB"_s;
    d.extraButtons = {
        {u"Vorsc&hau"_s, u"btnVorschau"_s, u"Gewählte Eingangsrechnung in der Vorschau"_s,
         TDocListRight::Always, [](TF_DocList& list) { list.printCurrent(true); }},
        {u"Druck"_s, u"btnDruck"_s, u"Gewählte Eingangsrechnung drucken"_s, TDocListRight::Print,
         [](TF_DocList& list) { list.printCurrent(false); }},
        {u"&Löschen"_s, u"btnLoeschen"_s, u"Gewählte Eingangsrechnung löschen"_s,
         TDocListRight::Delete, &DeleteCurrent},
        {u"&OP-Überg."_s, u"btnOpUeberg"_s,
         u"Gewählte Eingangsrechnung in die Zahlungsüberwachung überstellen"_s,
         TDocListRight::Export,
         [](TF_DocList& list) { TransferIncomingInvoice(DataModule1(), list.headTable()); }},
        {u"&RA-Liste"_s, u"btnRaListe"_s, u"Rechnungsausgangsliste drucken"_s,
         TDocListRight::Always, [](TF_DocList& list) {
             RunRaListeButton(&list, kRaListeAllKinds, list.headTable().indexName());
         }}};
    return d;
}

void ShowRechEinForm() {
    ShowDocumentList(RechEinListDeclaration());
}
