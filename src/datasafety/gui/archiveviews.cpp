// The members of the archive browser family, one declaration each.
#include "datasafety/documentarchive/archivewindows.h"
#include "datasafety/gui/archiveviewdecl.h"
#include "datasafety/gui/tf_archiveview.h"
#include "platform/errors.h"
#include "printing/documentprints.h"

using namespace Qt::StringLiterals;
using widgets::GridColumn;

namespace {

const QString kMarkedPrint = u"Möchten Sie diese %1 wirklich drucken?"_s;
const QString kMarkedDelete = u"Möchten Sie diese %1 wirklich löschen?"_s;

// The columns the offer, order and delivery-note heads share after their
// own first ones.
QList<GridColumn> objectCustomerColumns() {
    return {{u"R_ObjektNr"_s, u"Obj-Nr."_s, 7},    {u"R_OMatch"_s, u"Objekt-Bezeichnung"_s, 24},
            {u"R_KundenNr"_s, u"Kunden-Nr."_s, 8}, {u"R_KMatch"_s, u"Kundenname"_s, 24},
            {u"R_Brutto"_s, u"Brutto"_s, 11},      {u"R_Selected"_s, u"Wahl"_s, 5}};
}

// The lines of offers, orders and delivery notes: the column after the
// unit is the delivered (orders) or billed (delivery notes) quantity.
QList<GridColumn> kindLineColumns(const QString& quantityTitle, bool vatLast) {
    QList<GridColumn> columns = {{u"S_PosNr"_s, u"Pos"_s, 6},
                                 {u"PosArtText"_s, u"Art"_s, 8},
                                 {u"S_SrcNr"_s, u"Art./Lst-Nr."_s, 10},
                                 {u"S_Menge"_s, u"Menge"_s, 8},
                                 {u"S_MengBez"_s, u"Einheit"_s, 8}};
    if (!quantityTitle.isEmpty())
        columns.append({u"S_MengeGeliefert"_s, quantityTitle, 8});
    columns.append({u"S_Kurztext"_s, u"Kurztext"_s, 28});
    columns.append({u"S_Netto"_s, u"Netto"_s, 10});
    if (vatLast)
        columns.append({u"S_Mwst"_s, u"Mwst"_s, 6});
    return columns;
}

QList<GridColumn> invoiceLineColumns() {
    return {{u"S_PosNr"_s, u"Pos"_s, 6},          {u"S_SrcNr"_s, u"Art./Lst-Nr."_s, 10},
            {u"S_Menge"_s, u"Menge"_s, 8},        {u"S_MengBez"_s, u"Einheit"_s, 8},
            {u"S_Kurztext"_s, u"Kurztext"_s, 30}, {u"S_Netto"_s, u"Netto"_s, 10},
            {u"S_Mwst"_s, u"Mwst"_s, 6}};
}

ArchiveViewDecl offers() {
    ArchiveViewDecl d;
    d.formName = u"TF_AngView"_s;
    d.caption = u"Angebote [Ablage]"_s;
    d.opener = u"ShowAngViewForm"_s;
    d.headTable = u"Angkopf.DB"_s;
    d.lineTable = u"AngSatz.DB"_s;
    d.headColumns = {{u"R_Nr"_s, u"Angebots-Nr."_s, 12}, {u"R_DatumDruck"_s, u"Angeb.-Dat."_s, 10}};
    d.headColumns += objectCustomerColumns();
    d.lineColumns = kindLineColumns({}, true);
    d.markingChanges = {{u"R_KMatch"_s, -40}};
    d.formType = 12000;
    d.print = [](int id, bool preview, const QString& layout, QWidget* parent) {
        PrintOffer(id, preview, layout, parent);
    };
    d.printQuestion = kMarkedPrint.arg(u"Angebote"_s);
    d.deleteQuestion = kMarkedDelete.arg(u"Angebote"_s);
    d.listTitle = u"Angebotsablage"_s;
    d.iniSection = u"AblgAN"_s;
    return d;
}

ArchiveViewDecl orders() {
    ArchiveViewDecl d;
    d.formName = u"TF_AuftView"_s;
    d.caption = u"Aufträge [Ablage]"_s;
    d.opener = u"ShowAuftViewForm"_s;
    d.headTable = u"Auftkopf.DB"_s;
    d.lineTable = u"Auftsatz.DB"_s;
    d.headColumns = {{u"R_Nr"_s, u"Auftrags-Nr."_s, 12},
                     {u"R_DatumDruck"_s, u"Auftragsdat."_s, 10}};
    d.headColumns += objectCustomerColumns();
    d.lineColumns = kindLineColumns(u"Geliefert"_s, false);
    d.deliveredColour = true;
    d.markingChanges = {{u"R_KMatch"_s, -40}};
    d.formType = 13000;
    d.print = [](int id, bool preview, const QString& layout, QWidget* parent) {
        PrintOrder(id, preview, layout, parent);
    };
    d.printQuestion = kMarkedPrint.arg(u"Aufträge"_s);
    d.deleteQuestion = kMarkedDelete.arg(u"Aufträge"_s);
    d.listTitle = u"Auftrags-Ablage"_s;
    d.iniSection = u"AblgAU"_s;
    return d;
}

ArchiveViewDecl deliveryNotes() {
    ArchiveViewDecl d;
    d.formName = u"TF_LiefView"_s;
    d.caption = u"Lieferscheine [Ablage]"_s;
    d.opener = u"ShowLiefViewForm"_s;
    d.headTable = u"LSkopf.DB"_s;
    d.lineTable = u"LSsatz.DB"_s;
    d.headColumns = {{u"R_Nr"_s, u"Lieferschein-Nr."_s, 12},
                     {u"R_DatumDruck"_s, u"LS-Datum"_s, 10},
                     {u"R_Lieftermin"_s, u"Liefertermin"_s, 10}};
    d.headColumns += objectCustomerColumns();
    d.lineColumns = kindLineColumns(u"Berechnet"_s, false);
    d.deliveredColour = true;
    d.markingChanges = {{u"R_KMatch"_s, -40}};
    d.formType = 40000;
    d.print = [](int id, bool preview, const QString& layout, QWidget* parent) {
        PrintDeliveryNote(id, preview, layout, parent);
    };
    d.printRun = ArchivePrintRun::MarkedInPreview;
    d.previewForm = ArchivePreviewForm::StoredElseAskedStored;
    d.printQuestion =
        u"Sie haben %d Lieferscheine gewählt.\r"_s + kMarkedPrint.arg(u"Lieferscheine"_s);
    d.deleteQuestion = kMarkedDelete.arg(u"Lieferscheine"_s);
    d.listTitle = u"Lieferschein-Ablage"_s;
    d.iniSection = u"AblgLS"_s;
    d.storeLowerPanelHeight = true;
    return d;
}

ArchiveViewDecl invoices() {
    ArchiveViewDecl d;
    d.formName = u"TF_RechView"_s;
    d.caption = u"Rechnungen [Ablage]"_s;
    d.opener = u"ShowRechViewForm"_s;
    d.headTable = u"Rechkopf.DB"_s;
    d.lineTable = u"Rechsatz.db"_s;
    d.headColumns = {
        {u"R_ObjektNr"_s, u"O-Nr."_s, 6},        {u"R_OMatch"_s, u"Objekt-Bezeichnung"_s, 20},
        {u"R_Nr"_s, u"Rech.-Nr."_s, 11},         {u"R_Intervall"_s, u"IV"_s, 3},
        {u"R_IVname"_s, u"Art/Intervall"_s, 12}, {u"R_PlanDatum"_s, u"Plan-Dat."_s, 10},
        {u"R_DatumDruck"_s, u"Rech.-D."_s, 10},  {u"R_KundenNr"_s, u"Kdnr."_s, 6},
        {u"R_KMatch"_s, u"Kundenname"_s, 20},    {u"R_ANr"_s, u"Vorlage"_s, 8},
        {u"R_Brutto"_s, u"Brutto"_s, 11},        {u"R_Selected"_s, u"Wahl"_s, 5}};
    d.lineColumns = invoiceLineColumns();
    d.lineKinds = ArchiveLineKinds::None;
    d.markingChanges = {{u"R_PlanDatum"_s, 0, true}, {u"R_OMatch"_s, 30}};
    d.firstSortField = u"R_ObjektNr"_s;
    d.formType = 10000;
    d.print = [](int id, bool preview, const QString& layout, QWidget* parent) {
        PrintInvoice(id, false, preview, layout, parent);
    };
    d.printErrorEndsRun = true;
    d.previewForm = ArchivePreviewForm::AskedStoredWhenNone;
    d.printQuestionWhole =
        u"Rechnungsdruck:\r\rEs sind %d Einträge markiert.\rSie haben %d "
        "Rechnungen gewählt.\rMöchten Sie diese Rechnung(en) wirklich drucken?"_s;
    d.deleteQuestion = kMarkedDelete.arg(u"Rechnung(en)"_s);
    d.listTitle = u"Rechnungsablage"_s;
    d.navigatorPost = true;
    d.rgPrintSource = 0;
    d.iniSection = u"AblgRG"_s;
    return d;
}

ArchiveViewDecl creditNotes() {
    ArchiveViewDecl d;
    d.formName = u"TF_GsView"_s;
    d.caption = u"Gutschriften [Ablage]"_s;
    d.opener = u"ShowGsViewForm"_s;
    d.headTable = u"Gskopf.DB"_s;
    d.lineTable = u"Gssatz.db"_s;
    d.headColumns = {
        {u"R_Nr"_s, u"Gutschrift-Nr."_s, 11}, {u"R_DatumDruck"_s, u"GS-Datum"_s, 10},
        {u"R_ANr"_s, u"Rechnungs-Nr."_s, 11}, {u"R_PlanDatum"_s, u"Rg.-Datum"_s, 10},
        {u"R_ObjektNr"_s, u"O-Nr."_s, 6},     {u"R_OMatch"_s, u"Objekt-Bezeichnung"_s, 20},
        {u"R_KundenNr"_s, u"Kdnr."_s, 6},     {u"R_KMatch"_s, u"Kundenname"_s, 20},
        {u"R_Brutto"_s, u"Brutto"_s, 11},     {u"R_Selected"_s, u"Wahl"_s, 5}};
    d.lineColumns = invoiceLineColumns();
    d.lineKinds = ArchiveLineKinds::None;
    d.markingChanges = {{u"R_Brutto"_s, 0, true}};
    d.firstSortField = u"R_ObjektNr"_s;
    d.formType = 14000;
    d.print = [](int id, bool preview, const QString& layout, QWidget* parent) {
        PrintCreditNote(id, false, preview, layout, parent);
    };
    d.printErrorEndsRun = true;
    d.previewForm = ArchivePreviewForm::StoredElseAskedStored;
    d.printQuestion =
        u"Sie haben %d Gutschrift(en) gewählt.\r"_s + kMarkedPrint.arg(u"Gutschrift(en)"_s);
    d.deleteQuestion = kMarkedDelete.arg(u"Gutschrift(en)"_s);
    d.listTitle = u"Gutschriftenablage"_s;
    d.navigatorPost = true;
    d.rgPrintSource = 0;
    d.iniSection = u"AblgGS"_s;
    return d;
}

ArchiveViewDecl incomingInvoices() {
    ArchiveViewDecl d;
    d.formName = u"TF_RechEinView"_s;
    d.caption = u"Eingangsrechnungen [Ablage]"_s;
    d.opener = u"ShowRechEinViewForm"_s;
    d.headTable = u"ERkopf.DB"_s;
    d.lineTable = u"ERsatz.db"_s;
    d.headColumns = {{u"R_Nr"_s, u"Rechnungs-Nr."_s, 12},
                     {u"R_KundenNr"_s, u"Lieferanten-Nr."_s, 10},
                     {u"R_KMatch"_s, u"Lieferanten-Name"_s, 28},
                     {u"R_DatumDruck"_s, u"Rechnungsdatum"_s, 12},
                     {u"R_FaelligDatum"_s, u"Fälligkeit zum"_s, 12},
                     {u"R_Brutto"_s, u"Bruttobetrag"_s, 12}};
    d.lineColumns = {
        {u"ObjNrText"_s, u"Obj-Nr"_s, 7},       {u"S_ArtNo"_s, u"Artikel-Nr"_s, 8},
        {u"KostArtText"_s, u"Kostenart"_s, 16}, {u"S_LiefArtNr"_s, u"Lief. Artikel-Nr"_s, 12},
        {u"S_Kurztext"_s, u"Kurztext"_s, 24},   {u"S_Menge"_s, u"Menge"_s, 7},
        {u"S_Netto"_s, u"Nettobetrag"_s, 10},   {u"S_Mwst"_s, u"Mwst%"_s, 5},
        {u"S_MwstBetrag"_s, u"Mwst"_s, 9}};
    d.lineKinds = ArchiveLineKinds::ObjectAndCostType;
    d.lineColours = false;
    d.marking = false;
    d.sortByColumn = true;
    d.formType = 57000;
    d.print = [](int id, bool preview, const QString& layout, QWidget* parent) {
        PrintIncomingInvoice(id, preview, layout, parent);
    };
    d.printRun = ArchivePrintRun::CurrentDocument;
    d.previewForm = ArchivePreviewForm::StoredElseAsked;
    d.listTitle = u"ER-Ablage"_s;
    d.iniSection = u"RechEinV"_s;
    d.storeHeadHeightNotLineWidth = true;
    return d;
}

ArchiveViewDecl purchaseOrders() {
    ArchiveViewDecl d;
    d.formName = u"TF_BestView"_s;
    d.caption = u"Bestellungen [Ablage]"_s;
    d.opener = u"ShowBestViewForm"_s;
    d.headTable = u"Bestkopf.DB"_s;
    d.lineTable = u"Bestsatz.DB"_s;
    d.headColumns = {
        {u"R_Nr"_s, u"Bestell-Nr."_s, 12},  {u"R_DatumErstell"_s, u"Bestell-Dat."_s, 10},
        {u"R_LiefNr"_s, u"Lief.-Nr."_s, 8}, {u"R_LMatch"_s, u"Lieferant"_s, 24},
        {u"R_LOrt"_s, u"Ort"_s, 18},        {u"R_LStrasse"_s, u"Strasse"_s, 20},
        {u"R_Brutto"_s, u"Brutto"_s, 11},   {u"R_Selected"_s, u"Wahl"_s, 5}};
    d.lineColumns = {{u"S_PosNr"_s, u"Pos"_s, 6},
                     {u"S_ArtNr"_s, u"Art-Nr."_s, 10},
                     {u"S_LArtNr"_s, u"Lief.-ArtNr."_s, 10},
                     {u"S_Menge"_s, u"Mge"_s, 7},
                     {u"S_MengBez"_s, u"Einheit"_s, 8},
                     {u"S_LieferMenge"_s, u"Geliefert"_s, 8},
                     {u"S_Kurztext"_s, u"Kurztext"_s, 26},
                     {u"S_Mwst"_s, u"Mwst"_s, 6},
                     {u"S_Brutto"_s, u"Brutto"_s, 10}};
    d.lineKinds = ArchiveLineKinds::None;
    d.lineColours = false;
    // Archived purchase orders keep the supplier's address as it was ordered.
    d.changeAddress = false;
    d.markingChanges = {{u"R_LOrt"_s, -40}};
    d.formType = 76000;
    d.print = [](int id, bool preview, const QString& layout, QWidget* parent) {
        PrintBestellung(id, preview, layout, parent);
    };
    d.previewForm = ArchivePreviewForm::StoredElseAsked;
    d.printQuestion = kMarkedPrint.arg(u"Aufträge"_s);
    d.deleteQuestion = kMarkedDelete.arg(u"Aufträge"_s);
    d.iniSection = u"AblgBE"_s;
    return d;
}

} // namespace

const QList<ArchiveViewDecl>& ArchiveViewDecls() {
    static const QList<ArchiveViewDecl> decls = {offers(),        orders(),      deliveryNotes(),
                                                 invoices(),      creditNotes(), incomingInvoices(),
                                                 purchaseOrders()};
    return decls;
}

const ArchiveViewDecl* FindArchiveViewDecl(const QString& opener) {
    for (const ArchiveViewDecl& d : ArchiveViewDecls())
        if (d.opener == opener)
            return &d;
    return nullptr;
}

void InstallArchiveViews() {
    SetArchiveBrowserOpener([](const QString& opener) {
        const ArchiveViewDecl* decl = FindArchiveViewDecl(opener);
        if (!decl)
            throw DbError(u"Unbekannte Datenablage: %1"_s.arg(opener));
        ShowArchiveView(*decl);
    });
}
