#include "printing/documentforms.h"

#include <algorithm>
#include <array>

namespace {

using enum DocumentShow;

constexpr unsigned kVat16 = BlankOtherVat | BlankKinds35 | BlankZero | BlankVatSuppressed;
constexpr unsigned kVat8 = BlankDefaultVat | BlankKinds35 | BlankZero | BlankVatSuppressed;

constexpr DocumentColumn kInvoiceColumns[] = {
    {u"S_Pos", BlankKinds345, PosNr},
    {u"S_Menge", BlankZero | BlankKinds345},
    {u"S_Epreis", BlankZero},
    {u"S_Netto", BlankZero | BlankNetSuppressed, KindTexts, true},
    {u"S_Brutto", BlankZero | BlankGrossSuppressed},
    {u"S_MwstBetrag", BlankZero | BlankVatSuppressed},
    {u"S_MwstBetrag16", kVat16},
    {u"S_MwstBetrag8", kVat8},
    {u"PosartKz", BlankKindsAbove4, PosArtMark},
    {u"S_MwstKz", BlankKinds345},
    {u"S_MwstSatz", BlankKinds345},
    {u"S_Mgeinh", BlankKinds345},
    {u"S_ProvisID", BlankKinds345},
    {u"S_ProvisName", BlankKinds345},
    {u"S_ErfassDatum", BlankKinds345},
    {u"S_Art", BlankKinds345},
    {u"S_Kostenart", BlankKinds345},
    {u"S_ArtLeistNr", BlankKinds345},
    {u"S_Kurztext"},
};

constexpr DocumentColumn kCreditNoteColumns[] = {
    {u"S_Pos", BlankKinds345, PosNr},
    {u"S_Menge", BlankZero | BlankKinds345},
    {u"S_MwstSatz", BlankZero | BlankKinds345},
    {u"S_MwstBetrag", BlankZero | BlankKinds345},
    {u"S_Epreis", BlankZero | BlankKinds345},
    {u"S_Art", BlankKinds345},
    {u"S_ArtLeistNr", BlankKinds345},
    {u"S_MwstBetrag16", BlankOtherVat | BlankKinds345 | BlankZero},
    {u"S_MwstBetrag8", BlankDefaultVat | BlankKinds345 | BlankZero},
    {u"S_Netto", BlankZero, KindTexts, true},
    {u"S_Brutto", BlankZero, AsStored, false, false},
    {u"S_MwstKz", 0, AsStored, false, false},
    {u"S_Mgeinh", BlankKinds345},
    {u"S_Kurztext"},
};

constexpr DocumentColumn kOfferColumns[] = {
    {u"S_Pos", BlankKinds345, PosNr},
    {u"S_Menge", BlankZero | BlankKindsAbove2},
    {u"S_Mgeinh", BlankKinds345},
    {u"S_MwstKz", BlankKinds345},
    {u"S_MwstSatz", BlankKinds345},
    {u"S_Art", BlankKinds345},
    {u"S_IntervallText", BlankKinds345},
    {u"S_ArtLeistNr", BlankKinds345},
    {u"S_Epreis", BlankZero},
    {u"S_Netto", BlankZero | BlankNetSuppressed, KindTexts, true},
    {u"S_Brutto", BlankZero | BlankGrossSuppressed},
    {u"S_MwstBetrag", BlankZero | BlankVatSuppressed},
    {u"S_MwstBetrag16", kVat16},
    {u"S_MwstBetrag8", kVat8},
    {u"PosartKz", BlankKindsAbove4, PosArtMark},
    {u"S_Kurztext"},
};

// The gross column shows the kind texts like the net column but never feeds
// the carry-over: the carry-over of every form is the net of normal lines.
constexpr DocumentColumn kOrderColumns[] = {
    {u"S_Pos", BlankKinds345, PosNr},
    {u"S_Menge", BlankZero | BlankKindsAbove2},
    {u"S_Epreis", BlankZero | BlankKindsAbove2},
    {u"S_MwstSatz", BlankZero | BlankKindsAbove2},
    {u"S_Mgeinh", BlankKinds345},
    {u"S_MwstKz", BlankKinds345},
    {u"S_Posart", BlankKinds345},
    {u"S_AusfIntervall", BlankKinds345},
    {u"S_Netto", BlankZero | BlankNetSuppressed, KindTexts, true},
    {u"S_Brutto", BlankZero | BlankGrossSuppressed, KindTexts},
    {u"S_MwstBetrag", BlankZero | BlankVatSuppressed},
    {u"S_MwstBetrag16", kVat16},
    {u"S_MwstBetrag8", kVat8},
    {u"PosartKz", BlankKindsAbove4, PosArtMark},
    {u"S_Kurztext"},
};

constexpr DocumentColumn kDeliveryNoteColumns[] = {
    {u"S_Pos", BlankKinds345, PosNr, false, false},
    {u"S_Menge", BlankZero, KindTexts},
    {u"S_Epreis", BlankZero, KindTexts},
    {u"S_MwstKz", BlankZero, KindTexts},
    {u"S_MwstSatz", BlankZero, KindTexts},
    {u"S_Netto", BlankZero | BlankNetSuppressed, KindTexts, true},
    {u"S_Brutto", BlankZero | BlankGrossSuppressed, KindTexts},
    {u"S_MwstBetrag", BlankZero | BlankVatSuppressed},
    {u"S_MwstBetrag16", BlankOtherVat | BlankKinds35 | BlankVatSuppressed},
    {u"S_MwstBetrag8", BlankDefaultVat | BlankKinds35 | BlankVatSuppressed},
    {u"S_Mgeinh", BlankKinds345},
    {u"S_ProvisID", BlankKinds345},
    {u"S_ProvisName", BlankKinds345},
    {u"S_ErfassDatum", BlankKinds345},
    {u"S_Art", BlankKinds345},
    {u"S_ArtLeistNr", BlankKinds345},
    {u"PosartKz", BlankKindsAbove4, PosArtMark},
    {u"S_Kurztext"},
};

constexpr DocumentColumn kIncomingInvoiceColumns[] = {
    {u"S_Menge", BlankZero},
    {u"S_Netto", BlankZero},
    {u"S_Epreis", BlankZero},
    {u"S_Brutto", BlankZero},
    {u"S_MwstBetrag8", BlankDefaultVat},
    {u"S_MwstBetrag16", BlankOtherVat},
    {u"S_PosNr", 0, PosNr},
};

constexpr DocumentColumn kPurchaseOrderColumns[] = {
    {u"S_Menge", BlankZero},
    {u"S_Netto", BlankZero},
    {u"S_Epreis", BlankZero},
    {u"S_Brutto", BlankZero},
    {u"S_MwstBetrag8", BlankDefaultVat},
    {u"S_MwstBetrag16", BlankOtherVat},
    {u"S_MwstBetrag", BlankOtherVat},
    {u"S_PosNr", 0, PosNr},
};

constexpr DocumentTables kInvoiceTables[] = {
    {u"Rechkopf.DB", u"RechSatz.DB"},
    {u"OpKopf.DB", u"OpSatz.DB"},
    {u"Rgvkopf.DB", u"RgvSatz.DB"},
    {u"Srgkopf.db", u"Srgsatz.db"},
};
constexpr DocumentTables kOfferTables[] = {{u"Angkopf.DB", u"AngSatz.DB"}};
constexpr DocumentTables kOfferLetterTables[] = {{u"Angkopf.DB", u""}};
constexpr DocumentTables kOrderTables[] = {{u"Auftkopf.DB", u"AuftSatz.DB"}};
constexpr DocumentTables kCreditNoteTables[] = {{u"Gskopf.DB", u"GsSatz.DB"}};
constexpr DocumentTables kDeliveryNoteTables[] = {{u"LSkopf.DB", u"LSsatz.DB"}};
constexpr DocumentTables kIncomingInvoiceTables[] = {
    {u"ERKopf.DB", u"ERSatz.DB"},
    {u"OERkopf.DB", u"OERsatz.DB"},
};
constexpr DocumentTables kPurchaseOrderTables[] = {{u"Bestkopf.DB", u"BestSatz.DB"}};

DocumentForm invoice() {
    DocumentForm f;
    f.formType = 10000;
    f.source = DocumentSource::BySource;
    f.tables = kInvoiceTables;
    f.suppressFlags = true;
    f.atSigns = true;
    f.lineKinds = true;
    f.subtotalOnGross = true;
    f.fontStyle = DocumentFontStyle::ItalicBold;
    f.carryOver = true;
    f.copyMark = true;
    f.maskNumber = true;
    f.vatRates = DocumentVatRates::AtDocumentDate;
    f.paymentTermsDate = u"R_DatumDruck";
    f.columns = kInvoiceColumns;
    return f;
}

// The forms with line kinds repeat the invoice's rules but for what the
// table says.
DocumentForm likeInvoice(int formType, std::span<const DocumentTables> tables,
                         std::span<const DocumentColumn> columns) {
    DocumentForm f = invoice();
    f.formType = formType;
    f.source = DocumentSource::Fixed;
    f.tables = tables;
    f.columns = columns;
    f.subtotalOnGross = false;
    f.copyMark = false;
    f.maskNumber = false;
    return f;
}

DocumentForm offerLetter() {
    DocumentForm f;
    f.formType = 11000;
    f.tables = kOfferLetterTables;
    f.hasLines = false;
    return f;
}

DocumentForm offer() {
    return likeInvoice(12000, kOfferTables, kOfferColumns);
}

DocumentForm order() {
    DocumentForm f = likeInvoice(13000, kOrderTables, kOrderColumns);
    f.fontStyle = DocumentFontStyle::Italic;
    f.vatCaption = DocumentVatCaption::PercentTight;
    return f;
}

DocumentForm creditNote() {
    DocumentForm f = likeInvoice(14000, kCreditNoteTables, kCreditNoteColumns);
    f.suppressFlags = false;
    f.fontStyle = DocumentFontStyle::Italic;
    f.copyMark = true;
    return f;
}

DocumentForm deliveryNote() {
    DocumentForm f = likeInvoice(40000, kDeliveryNoteTables, kDeliveryNoteColumns);
    f.fontStyle = DocumentFontStyle::Italic;
    f.emptyLineBand = true;
    f.paymentTermsDate = {};
    return f;
}

// Incoming invoices and purchase orders have neither line kinds nor a carry-over.
DocumentForm plainLines(int formType, std::span<const DocumentTables> tables,
                        std::span<const DocumentColumn> columns) {
    DocumentForm f;
    f.formType = formType;
    f.tables = tables;
    f.columns = columns;
    f.emptyLineBand = true;
    f.paymentTermsDate = u"R_DatumDruck";
    return f;
}

DocumentForm incomingInvoice() {
    DocumentForm f = plainLines(57000, kIncomingInvoiceTables, kIncomingInvoiceColumns);
    f.source = DocumentSource::OpenWhenNotZero;
    f.vatCaption = DocumentVatCaption::MwstPercent;
    f.vatRates = DocumentVatRates::AtDocumentDate;
    f.paymentTermsDate = u"R_DatumEingang";
    return f;
}

DocumentForm purchaseOrder() {
    DocumentForm f = plainLines(76000, kPurchaseOrderTables, kPurchaseOrderColumns);
    f.vatCaption = DocumentVatCaption::MwstPercentDot;
    f.vatRates = DocumentVatRates::DefaultAndReduced;
    return f;
}

const std::array<DocumentForm, 8>& forms() {
    static const std::array<DocumentForm, 8> all{invoice(),         offerLetter(),  offer(),
                                                 order(),           creditNote(),   deliveryNote(),
                                                 incomingInvoice(), purchaseOrder()};
    return all;
}

} // namespace

const DocumentForm* FindDocumentForm(int formType) {
    const auto& all = forms();
    const auto it = std::ranges::find(all, formType, &DocumentForm::formType);
    return it == all.end() ? nullptr : &*it;
}

std::span<const DocumentForm> DocumentForms() {
    return forms();
}

DocumentTables DocumentTablesFor(const DocumentForm& form, int rgPrintSource) {
    switch (form.source) {
    case DocumentSource::Fixed:
        break;
    case DocumentSource::BySource:
        if (rgPrintSource >= 0 && rgPrintSource < int(form.tables.size()))
            return form.tables[size_t(rgPrintSource)];
        break;
    case DocumentSource::OpenWhenNotZero:
        return form.tables[rgPrintSource == 0 ? 0 : 1];
    }
    return form.tables.front();
}
