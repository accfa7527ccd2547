#include "commercial/gui/liefscheinlist.h"

#include "commercial/documents/deliverynotes.h"
#include "commercial/documents/documentlists.h"
#include "commercial/gui/doceditdecl.h"
#include "commercial/gui/doclisthead.h"
#include "commercial/gui/rgvlistform.h"
#include "commercial/gui/tf_doclist.h"
#include "commercial/gui/tf_lsedit.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/messages/messages.h"
#include "core/settings/formplacement.h"
#include "platform/table/table.h"
#include "platform/widgets/rowreader.h"
#include "printing/documentprints.h"

#include <QColor>

using namespace Qt::StringLiterals;

namespace {

TDocListButton markItem(const QString& caption, TDeliveryNoteMarks which) {
    return {
        caption, {}, {}, TDocListRight::Always, [which](TF_DocList&) { MarkDeliveryNotes(which); }};
}

} // namespace

QBrush DeliveredCellBrush(widgets::RowReader& rows, int row, const QString& field) {
    if (field != u"S_MengeGeliefert"_s || rows.value(row, u"S_PosArt"_s).toInt() != 0)
        return Qt::NoBrush;
    const double open = rows.value(row, u"S_Menge"_s).toDouble() -
                        rows.value(row, u"S_MengeGeliefert"_s).toDouble();
    return open < 0.001 ? QBrush(QColor(0xA0, 0xFF, 0xA0)) : QBrush(Qt::NoBrush);
}

QList<widgets::GridColumn> DeliveredLineColumns() {
    return {{u"S_PosNr"_s, u"Pos"_s, 6},          DocumentKindColumn(u"Art"_s, 9),
            {u"S_SrcNr"_s, u"Art./Lst-Nr"_s, 10}, {u"S_Menge"_s, u"Mge"_s, 7},
            {u"S_MengBez"_s, u"Einheit"_s, 7},    {u"S_MengeGeliefert"_s, u"Geliefert"_s, 7},
            {u"S_Kurztext"_s, u"Kurztext"_s, 26}, {u"S_EPreis"_s, u"E-Preis"_s, 9},
            {u"S_Mwst"_s, u"Mwst %"_s, 6},        {u"S_Netto"_s, u"Netto"_s, 10}};
}

bool ConfirmDeliveryNoteArchive(TF_DocList& list) {
    list.head().setMarkMode(false);
    table::Table& head = list.headTable();
    for (const int id : MarkedDocumentIds(head)) {
        if (FirstOpenRemainder(id) == 0.0 || !head.locate({u"R_ID"_s}, {id}))
            continue;
        if (AskYesNo(u"Der markierte Lieferscheine ist nicht erledigt!\rSoll dieser Lieferschein "
                     u"ausgeklammert werden?"_s))
            WriteDocumentMark(head, false);
    }
    const int count = CountMarkedDocuments(u"LumoDB"_s, head.tableName());
    if (count == 0) {
        ShowInfo(u"Es sind keine Sätze markiert!"_s);
        return false;
    }
    return AskYesNo(u"Es sind %1 Einträge markiert.\rMöchten Sie diese Datensätze in die "
                    u"Datenablage überstellen?"_s.arg(count));
}

TDocListDecl LiefscheinListDeclaration() {
    TDocListDecl d;
    d.formName = u"F_Liefschein"_s;
    d.caption = u"Lieferscheine"_s;
    d.right = 23;
    d.placementFile = kPlacementFile01;
    d.placementSection = u"Lieferschein"_s;
    d.helpPage = u"Lieferscheine.html"_s;
    d.headTable = u"TabLSKopf"_s;
    d.lineTable = u"TabLSSatz"_s;
    d.lookupTables = {u"TabPosArt"_s};
    d.headGridName = u"GridLsKopf"_s;
    widgets::GridColumn mark{u"R_Selected"_s, u"Wahl"_s, 4};
    mark.items = {u"Ja"_s, u"Nein"_s};
    mark.values = {true, false};
    d.headColumns = {{u"R_Nr"_s, u"Lieferschein-Nr."_s, 12},
                     {u"R_DatumDruck"_s, u"LS-Datum."_s, 10},
                     {u"R_Lieftermin"_s, u"Liefertermin"_s, 10},
                     {u"R_ObjektNr"_s, u"Obj-Nr."_s, 6},
                     {u"R_OMatch"_s, u"Objekt-Bezeichnung"_s, 22},
                     {u"R_KundenNr"_s, u"Kunden-Nr."_s, 6},
                     {u"R_KMatch"_s, u"Kundenname"_s, 20},
                     {u"R_Brutto"_s, u"Brutto"_s, 10},
                     mark};
    d.widenedWhileMarking = u"R_KMatch"_s;
    d.widenBy = -40;
    d.lineColumns = DeliveredLineColumns();
    d.lineCellBrush = DeliveredCellBrush;
    d.formType = 40000;
    d.print = [](int id, bool preview, const QString& layout, QWidget* parent) {
        PrintDeliveryNote(id, preview, layout, parent);
    };
    d.noun = u"Lieferscheine"_s;
    d.firstPrintDateField = u"R_DatumDruck"_s;
    d.archive = ArchiveFamily::DeliveryNotes;
    d.beforeArchive = ConfirmDeliveryNoteArchive;
    d.deleteCurrent = [](TF_DocList&) { return DeleteLieferschein(); };
    d.listTitle = u"Lieferscheine"_s;
    d.listTableName = u"LSkopf.DB"_s;
    d.openEditor = [](const QString& nr) {
        const int objektNr =
            nr.isEmpty() ? 0 : FieldInt(DataModule1().TabLSKopf(), u"R_ObjektNr"_s);
        EditLieferschein(nr, objektNr, false, 0, 0);
    };
    d.editHint = u"Gewählten Lieferschein bearbeiten"_s;
    d.newHint = u"Neuen Lieferschein schreiben"_s;
    d.extraButtons = {{u"RGV"_s, u"btnRgv"_s, u"Rechnungsvorlagen einblenden"_s,
                       TDocListRight::Always, [](TF_DocList&) { ShowRgvListForm(); }}};
    d.markMenu = {markItem(u"Alle wählen"_s, TDeliveryNoteMarks::All),
                  markItem(u"Erledigte wählen"_s, TDeliveryNoteMarks::Finished),
                  markItem(u"Offene wählen"_s, TDeliveryNoteMarks::Open),
                  markItem(u"Alle abwählen"_s, TDeliveryNoteMarks::None)};
    widgets::FieldDecl autoInvoice;
    autoInvoice.caption = u"Automatische Rechnung"_s;
    autoInvoice.field = u"R_AutoLS"_s;
    autoInvoice.kind = widgets::FieldKind::CheckBox;
    d.headFields = {autoInvoice};
    d.addressTabCaptions = {u"Zusatzadr. 1"_s, u"ZusatzAdr. 2"_s, u"ZusatzAdr. 3"_s};
    return d;
}

void ShowLiefscheinForm() {
    ShowDocumentList(LiefscheinListDeclaration());
}
