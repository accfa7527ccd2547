#include "commercial/invoicing/invoiceediting.h"

#include "commercial/documents/documentediting.h"
#include "commercial/documents/linecopies.h"
#include "commercial/documents/linerules.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/docnumbers.h"
#include "platform/errors.h"
#include "platform/table/table.h"

using table::Table;

void AppendManualDocumentHead(
    Table& head, int printFormNo, const QDate& today,
    const std::function<std::vector<std::pair<QString, QVariant>>(Table&)>& own) {
    head.append();
    CancelEditOnError(head, [&] {
        SetFieldsIfPresent(head, {
                                     {QStringLiteral("R_Creator"), 1},
                                     {QStringLiteral("R_PlanDatum"), today},
                                     {QStringLiteral("R_DatumErstell"), today},
                                     {QStringLiteral("R_DatumDruck"), today},
                                     {QStringLiteral("R_Intervall"), 0},
                                     {QStringLiteral("R_Jahr"), today.year()},
                                     {QStringLiteral("R_Monat"), today.month()},
                                     {QStringLiteral("R_Drucke"), 0},
                                     {QStringLiteral("R_PrintFormNo"), printFormNo},
                                     {QStringLiteral("R_ObjektNr"), 0},
                                     {QStringLiteral("R_FormNr"), 0},
                                     {QStringLiteral("R_KundenNr"), 0},
                                     {QStringLiteral("R_Anzpos"), 0},
                                     {QStringLiteral("R_Buchung"), 0},
                                     {QStringLiteral("R_KFID"), 0},
                                     {QStringLiteral("R_ZahlBedID"), 0},
                                     {QStringLiteral("R_ZahlBedTage"), 0},
                                     {QStringLiteral("R_ZahlBedTage2"), 0},
                                     {QStringLiteral("R_ZahlBedNettoTage"), 0},
                                     {QStringLiteral("R_FKontoNr"), 0},
                                     {QStringLiteral("R_Netto"), 0.0},
                                     {QStringLiteral("R_Netto0"), 0.0},
                                     {QStringLiteral("R_Netto1"), 0.0},
                                     {QStringLiteral("R_Netto2"), 0.0},
                                     {QStringLiteral("R_Mwst0"), 0.0},
                                     {QStringLiteral("R_Brutto"), 0.0},
                                     {QStringLiteral("R_Mwst"), 0.0},
                                     {QStringLiteral("R_Mwst1"), 0.0},
                                     {QStringLiteral("R_Mwst2"), 0.0},
                                     {QStringLiteral("R_ZahlBedSkonto"), 0.0},
                                     {QStringLiteral("R_ZahlBedSkonto2"), 0.0},
                                     {QStringLiteral("R_Selected"), false},
                                     {QStringLiteral("R_ZeitraumTxt"), QString()},
                                     {QStringLiteral("R_KopfText"), QString()},
                                     {QStringLiteral("R_FussText"), QString()},
                                     {QStringLiteral("R_ZahlBed"), QString()},
                                     {QStringLiteral("R_OMatch"), QString()},
                                     {QStringLiteral("R_OName1"), QString()},
                                     {QStringLiteral("R_OName2"), QString()},
                                     {QStringLiteral("R_OName3"), QString()},
                                     {QStringLiteral("R_OStrasse"), QString()},
                                     {QStringLiteral("R_OPlz"), QString()},
                                     {QStringLiteral("R_OOrt"), QString()},
                                     {QStringLiteral("R_KMatch"), QString()},
                                     {QStringLiteral("R_Kname1"), QString()},
                                     {QStringLiteral("R_Kname2"), QString()},
                                     {QStringLiteral("R_Kname3"), QString()},
                                     {QStringLiteral("R_KStrasse"), QString()},
                                     {QStringLiteral("R_KPlz"), QString()},
                                     {QStringLiteral("R_KOrt"), QString()},
                                 });
        SetFieldsIfPresent(head, own(head));
        head.post();
    });
}

void AppendManualInvoiceHead(Table& head, int printFormNo, const QDate& today) {
    AppendManualDocumentHead(head, printFormNo, today, [](Table& h) {
        const int id = FieldInt(h, QStringLiteral("R_ID"));
        return std::vector<std::pair<QString, QVariant>>{
            {QStringLiteral("R_RgState"), 2},
            {QStringLiteral("R_Nr"), FormatDocNr(TDocKind::Rechnung, id, 0, 0, true)},
            {QStringLiteral("R_IVname"), ManualInvoiceIvName}};
    });
}

QString InvoiceObjektRefusal(bool newOrManual, bool hasLines) {
    if (!newOrManual)
        return ObjektFixedText;
    if (hasLines)
        return ObjektHasLinesText;
    return {};
}

bool InvoiceCustomerChangeable(bool newOrManual, bool serviceMode) {
    return newOrManual || serviceMode;
}

bool InvoiceIsBooked(Table& head) {
    return (FieldInt(head, QStringLiteral("R_Buchung")) & InvoiceBookedBit) != 0;
}

void ChangeInvoiceDate(Table& head, Table& lines, const QDate& date) {
    ChangeAllOrNothing(QStringLiteral("Das Rechnungsdatum konnte nicht geändert werden."),
                       {&head, &lines}, [&] {
                           EnsureEditOrInsert(head);
                           head[QStringLiteral("R_DatumDruck")] = date;
                           // A bit, not a sum: changing the date twice keeps the other marks.
                           head[QStringLiteral("R_Buchung")] =
                               FieldInt(head, QStringLiteral("R_Buchung")) | InvoiceDateChangedBit;
                           head[QStringLiteral("R_FaelligDatum")] =
                               date.addDays(FieldInt(head, QStringLiteral("R_ZahlBedNettoTage")));
                           head[QStringLiteral("R_Jahr")] = date.year();
                           head[QStringLiteral("R_Monat")] = date.month();
                           head.post();
                           RecalcDocumentWithVatRates(lines, head);
                           if (head.isEditing())
                               head.post();
                       });
}

int CopyIntoInvoice(TDocSource source, const QString& sourceNr, Table& head, Table& lines) {
    int sourceId = 0;
    if (!DataModule1().FindDocIdByNr(source, sourceNr, sourceId))
        return -1;
    if (head.isEditing())
        head.post();
    const int headId = FieldInt(head, QStringLiteral("R_ID"));
    int copied = 0;
    ChangeAllOrNothing(
        QStringLiteral("Die Positionen konnten nicht übernommen werden."), {&lines, &head}, [&] {
            copied = CopiedOrRaise(CopyDocumentPositions(TLineCopyTarget::Rechnung, source,
                                                         sourceId, headId, sourceNr, lines));
            if (copied == 0)
                return;
            RefreshIfActive(lines);
            FillMissingErloesKonten(lines);
            RecalcDocumentSums(lines, head);
            if (head.isEditing())
                head.post();
            if (source == TDocSource::Lieferschein)
                MarkDeliveryNoteBilled(sourceId, headId, FieldText(head, QStringLiteral("R_Nr")),
                                       head.field(QStringLiteral("R_DatumDruck")).asDate());
        });
    return copied;
}
