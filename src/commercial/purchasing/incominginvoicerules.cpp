#include "commercial/purchasing/incominginvoicerules.h"

#include "commercial/bookings/costbookings.h"
#include "commercial/documents/documentrules.h"
#include "commercial/documents/linerules.h"
#include "commercial/documents/vatrates.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/messages/messages.h"
#include "core/values/money.h"
#include "platform/errors.h"
#include "platform/table/table.h"

using table::Field;
using table::Table;

namespace {

void setField(Table& t, const char* name, const QVariant& value) {
    t.field(QLatin1String(name)).setValue(value);
}

// A typed article number fills the line from the article; an unknown
// number is refused.
void articleNumberRule(TDataModule1& dm, Table& line, Field& artNo) {
    if (dm.IsInitNewRecord())
        return;
    const QString number = artNo.asStringOr(QString());
    if (number.isEmpty()) {
        setField(line, "S_Kurztext", QString());
        setField(line, "S_Text", QString());
        setField(line, "S_LiefArtNr", QString());
        setField(line, "S_MatID", 0);
        return;
    }
    const int id = GetArtikelIdByArtNo(
        GetFieldIntOrDefault(line.findField(QStringLiteral("S_ObjID")), 0), number);
    if (id == 0) {
        ShowError(QStringLiteral("Artikelnummer nicht gefunden!"));
        throw Abort{};
    }
    // The lookup left its cursor on the article it found.
    Table& article = dm.TabArtLU();
    const int kostart = GetFieldIntOrDefault(article.findField(QStringLiteral("A_Kostart")), 0);
    const QString kurztext = FieldText(article, "A_Bezeich1");
    const QString text = FieldText(article, "A_Beschreibung");
    const int mwstKz =
        GetFieldIntOrDefault(article.findField(QStringLiteral("A_Mwst")), DefaultMwstKz);
    Table& head = dm.TabERKopf();
    const int supplierNr =
        head.isOpen() && !head.isEmpty()
            ? GetFieldIntOrDefault(head.findField(QStringLiteral("R_KundenNr")), 0)
            : 0;
    const QString liefArtNo = GetLiefArtLiefArtNo(GetLieferantIdByNr(supplierNr), number);
    setField(line, "S_LiefArtNr", liefArtNo);
    setField(line, "S_MatID", id);
    setField(line, "S_KostArt", kostart);
    setField(line, "S_Kurztext", kurztext);
    setField(line, "S_Text", text);
    setField(line, "S_MwstKz", mwstKz);
}

void shortTextRule(TDataModule1&, Table& line, Field& kurztext) {
    if (FieldText(line, "S_Text").isEmpty())
        setField(line, "S_Text", kurztext.asStringOr(QString()));
}

// A typed net amount gives the unit price, then the line is computed again.
void netAmountRule(TDataModule1& dm, Table& line, Field&) {
    static bool running = false; // the computation writes the net amount again
    if (running || dm.IsInitNewRecord())
        return;
    running = true;
    struct Clear {
        ~Clear() { running = false; }
    } clear;
    const double netto = FieldFloat(line, "S_Netto");
    const double menge = FieldFloat(line, "S_Menge");
    setField(line, "S_EPreis", menge == 0.0 ? netto : netto / menge);
    CalcDocumentLine(line, dm.TabERKopf());
}

void bruttoRule(TDataModule1&, Table& head, Field&) {
    setField(head, "R_Netto",
             RoundCents(FieldFloat(head, "R_Brutto") - FieldFloat(head, "R_Mwst")));
}

void mwstPartRule(TDataModule1&, Table& head, Field&) {
    setField(head, "R_Mwst", RoundCents(FieldFloat(head, "R_Mwst1") + FieldFloat(head, "R_Mwst2")));
    setField(head, "R_Netto",
             RoundCents(FieldFloat(head, "R_Brutto") - FieldFloat(head, "R_Mwst")));
}

void dueDateRule(TDataModule1&, Table& head, Field&) {
    UpdateFaelligDatum(head);
}

} // namespace

void BindIncomingInvoiceRules(TDataModule1& dm) {
    LineTableRules r;
    r.line = QStringLiteral("TabERSatz");
    r.head = QStringLiteral("TabERKopf");
    r.positionNumbers = false;
    r.posNrDisplay = false;
    r.posArtRule = false;
    r.recalcSumsAfterWrite = false;
    r.defaults = [](Table& line) {
        SetFieldsIfPresent(line, {
                                     {QStringLiteral("S_ObjID"), 0},
                                     {QStringLiteral("S_ArtNo"), QString()},
                                     {QStringLiteral("S_MatID"), 0},
                                     {QStringLiteral("S_EPreis"), 0},
                                     {QStringLiteral("S_Netto"), 0},
                                     {QStringLiteral("S_Brutto"), 0},
                                     {QStringLiteral("S_MwstBetrag"), 0},
                                     {QStringLiteral("S_Menge"), 1},
                                     {QStringLiteral("S_MengBez"), QString()},
                                     {QStringLiteral("S_MwstKz"), DefaultMwstKz},
                                     {QStringLiteral("S_Mwst"), CurrentDefaultVatRate()},
                                     {QStringLiteral("S_KostID"), 0},
                                     {QStringLiteral("S_FremdID"), 0},
                                     {QStringLiteral("S_KostArt"), 0},
                                     {QStringLiteral("S_Origin"), 9},
                                     {QStringLiteral("S_OldObjID"), 0},
                                     {QStringLiteral("S_OldArtNo"), QString()},
                                     {QStringLiteral("S_OldMatID"), 0},
                                     {QStringLiteral("S_OldMenge"), 0},
                                     {QStringLiteral("S_OldNetto"), 0},
                                     {QStringLiteral("S_OldMwstKz"), DefaultMwstKz},
                                 });
    };
    r.fieldChecks = {{QStringLiteral("S_ArtNo"), articleNumberRule}};
    r.fieldRules = {{QStringLiteral("S_Kurztext"), shortTextRule},
                    {QStringLiteral("S_Netto"), netAmountRule},
                    {QStringLiteral("S_OldNetto"), netAmountRule}};
    r.booking = BookERSatzKosten;
    BindCommonLineRules(dm, r);

    HeadTableRules h;
    h.head = r.head;
    h.line = r.line;
    h.initNewRecord = true;
    h.fieldRules = {{QStringLiteral("R_DatumDruck"), dueDateRule},
                    {QStringLiteral("R_ZahlBedNettoTage"), dueDateRule},
                    {QStringLiteral("R_Brutto"), bruttoRule},
                    {QStringLiteral("R_Mwst1"), mwstPartRule},
                    {QStringLiteral("R_Mwst2"), mwstPartRule}};
    h.afterScroll = [](Table&) {
        if (const auto& show = DocumentFormHooksRegistry().ShowERRecordCount)
            show();
    };
    BindDocumentHeadRules(dm, h);
}

void BindFremdLeistRules(TDataModule1& dm) {
    Table& t = dm.TabFremdLeist();
    TDataModule1* module = &dm;
    t.onNewRecord += [module](Table& line) {
        module->SetInitNewRecord(true);
        struct Clear {
            TDataModule1* dm;
            ~Clear() { dm->SetInitNewRecord(false); }
        } clear{module};
        setField(line, "S_ID", GetNextId(line, QStringLiteral("S_ID")));
        SetFieldsIfPresent(line, {
                                     {QStringLiteral("S_ObjID"), 0},
                                     {QStringLiteral("S_EPreis"), 0},
                                     {QStringLiteral("S_MwstKz"), DefaultMwstKz},
                                     {QStringLiteral("S_Mwst"), CurrentDefaultVatRate()},
                                     {QStringLiteral("S_MwstBetrag"), 0},
                                     {QStringLiteral("S_Menge"), 1},
                                     {QStringLiteral("S_Netto"), 0},
                                     {QStringLiteral("S_Brutto"), 0},
                                     {QStringLiteral("S_KostArt"), 0},
                                     {QStringLiteral("S_Origin"), 13},
                                     {QStringLiteral("S_Gebucht"), 0},
                                     {QStringLiteral("S_LiefArtNr"), QString()},
                                     {QStringLiteral("R_Nr"), QString()},
                                     {QStringLiteral("S_Kurztext"), QString()},
                                     {QStringLiteral("S_Text"), QString()},
                                 });
    };
    t.beforeDelete += [](Table& service) {
        if (GetFieldIntOrDefault(service.findField(QStringLiteral("S_Gebucht")), 0) == 0 &&
            !AskYesNo(QString::fromUtf8(FremdLeistDeleteQuestion)))
            throw Abort{};
    };
}
