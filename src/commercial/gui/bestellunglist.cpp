#include "commercial/gui/bestellunglist.h"

#include "commercial/gui/tf_bestedit.h"
#include "commercial/gui/tf_bestvor.h"
#include "commercial/gui/tf_doclist.h"
#include "commercial/purchasing/purchaseorders.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "platform/table/table.h"
#include "platform/widgets/rowreader.h"
#include "printing/documentprints.h"

#include <QColor>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRight = 57;
const QColor kPrinted(124, 118, 252);
const QColor kDelivered(160, 255, 160);

} // namespace

TDocListDecl BestellungListDeclaration() {
    TDocListDecl d;
    d.formName = u"TF_Bestellung"_s;
    d.caption = u"Bestellungen"_s;
    d.right = kRight;
    d.placementFile = kPlacementFile02;
    d.placementSection = u"Bestellung"_s;
    d.helpPage = u"bestellwesen.html"_s;
    d.headTable = u"TabBestKopf"_s;
    d.lineTable = u"TabBestSatz"_s;
    d.headGridName = u"GridBestKopf"_s;
    widgets::GridColumn mark{u"R_Selected"_s, u"Wahl"_s, 4};
    mark.items = {u"Ja"_s, u"Nein"_s};
    mark.values = {true, false};
    d.headColumns = {
        {u"R_Nr"_s, u"Bestellung Nr."_s, 12}, {u"R_DatumErstell"_s, u"Bestell-Datum"_s, 10},
        {u"R_LiefNr"_s, u"Lief-Nr."_s, 7},    {u"R_LMatch"_s, u"Lieferant"_s, 22},
        {u"R_LStrasse"_s, u"Straße"_s, 20},   {u"R_LOrt"_s, u"Ort"_s, 18},
        {u"R_Brutto"_s, u"Brutto"_s, 10},     mark};
    d.widenedWhileMarking = u"R_LOrt"_s;
    d.widenBy = -40;
    d.headRowBrush = [](widgets::RowReader& rows, int row) -> QBrush {
        return rows.value(row, u"R_RgState"_s).toInt() > 0 ? QBrush(kPrinted) : QBrush(Qt::NoBrush);
    };
    d.lineColumns = {{u"S_ArtNr"_s, u"Art-Nr."_s, 9},      {u"S_LArtNr"_s, u"Bestell-Nr."_s, 10},
                     {u"S_Menge"_s, u"Mge"_s, 7},          {u"S_LieferMenge"_s, u"Geliefert"_s, 7},
                     {u"S_Kurztext"_s, u"Kurztext"_s, 26}, {u"S_EPreis"_s, u"E.-Preis"_s, 9},
                     {u"S_Mwst"_s, u"Mwst"_s, 6},          {u"S_Brutto"_s, u"Brutto"_s, 10}};
    d.lineCellBrush = [](widgets::RowReader& rows, int row, const QString& field) -> QBrush {
        if (field.compare(u"S_LieferMenge"_s, Qt::CaseInsensitive) == 0 &&
            rows.value(row, u"S_Menge"_s).toDouble() -
                    rows.value(row, u"S_LieferMenge"_s).toDouble() <
                0.001)
            return kDelivered;
        return Qt::NoBrush;
    };
    d.extraPages = false;
    d.formType = 76000;
    d.print = [](int id, bool preview, const QString& layout, QWidget* parent) {
        PrintBestellung(id, preview, layout, parent);
    };
    d.noun = u"Bestellung(en)"_s;
    d.archive = ArchiveFamily::PurchaseOrders;
    d.beforePrintOne = [](table::Table&) { DateOpenOrderForPrint(DataModule1()); };
    d.afterPrinted = [](table::Table&) { PlaceOrderOnFirstPrint(DataModule1()); };
    d.beforeDelete = [](table::Table&) { ReleaseIfPrinted(DataModule1()); };
    d.beforeArchiveMove = [] { PrepareOrdersForArchive(DataModule1()); };
    d.afterArchive = [] { FinishOrdersArchive(DataModule1()); };
    d.editRefusal = [](table::Table& head) {
        return FieldInt(head, u"R_RgState"_s) == 1
                   ? u"Gedruckte Bestellungen sind nicht mehr veränderbar!"_s
                   : QString();
    };
    d.openEditor = [](const QString& nr) { ShowBestEditForm(nr); };
    d.editHint = u"Gewählte Bestellung bearbeiten"_s;
    d.newHint = u"Neue Bestellung schreiben"_s;
    d.extraButtons = {{u"Vorschlagsl."_s, u"btnVorschlag"_s, u"Bestellvorschläge bearbeiten"_s,
                       TDocListRight::Edit, [](TF_DocList&) {
                           if (CheckViewRight(kRight))
                               ShowBestVorForm();
                       }}};
    return d;
}

void ShowBestellungForm() {
    ShowDocumentList(BestellungListDeclaration());
}
