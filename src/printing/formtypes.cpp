#include "printing/formtypes.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array kFormTypes = std::to_array<FormTypeInfo>({
    {10000, u"Rechnungsformular", u"TQR_Rechnung", u"PrintInvoice"},
    {11000, u"Angebots-Anschreiben", u"TQRAngebot2", u"PrintOfferLetter"},
    {12000, u"Angebotsformular", u"TQRAngebot", u"PrintOffer"},
    {13000, u"Auftragsformular", u"TQR_Auftrag", u"PrintOrder"},
    {14000, u"Gutschriftenformular", u"TQR_Gutschrift1", u"PrintCreditNote"},
    {15000, u"Objektliste", u"TQRObjList01", u"PrintObjList"},
    {16000, u"Objekt-Tätigkeiten", u"TQRObjTaetig1", u"PrintObjTaetig"},
    {17000, u"Objekt-Adressen", u"TQRObjList2", u"PrintObjAdressen"},
    {18000, u"Kundenliste", u"TQRKundList01", u"PrintKundList"},
    {19000, u"Artikelliste", u"TQRArtList01", u"PrintArtList"},
    {20000, u"Mitarbeiterliste", u"TQRPersList01", u"PrintPersList"},
    {21000, u"Leistungen-Liste", u"TQRTaetigList01", u"PrintTaetigList"},
    {22000, u"Adressen", u"TQRAdress1", u"PrintAdressList"},
    {22100, u"Adressen-Journal", u"TQRAdrProto", u"PrintAdrProto"},
    {22200, u"Adressen-Protokoll", u"TQRAdrJour", u"PrintAdrJour"},
    {23000, u"Tourenliste", u"TQRTourList01", u"PrintTourList"},
    {24000, u"Touren-Objekte", u"TQRTourObj1", u"PrintTourObj"},
    {25000, u"Tagesliste", u"TQRTagList01", u"PrintTagList"},
    {26000, u"Kontrollbericht summarisch", u"TQRKbericht01", u"PrintKberichtSumm"},
    {27000, u"Kontrollbericht gezählt", u"TQRKbericht2", u"PrintKberichtGezaehlt"},
    {28000, u"Kontrollbericht komplett", u"TQRKbericht03", u"PrintKberichtKomplett"},
    {29000, u"Schlüsselliste", u"TQRSchluessel01", u"PrintSchluesselList"},
    {30000, u"Notdienste", u"TQRND01", u"PrintNotdienstList"},
    {31000, u"Terminliste (Gesamtliste)", u"TQRTermEditList00", u"PrintTermList"},
    {32000, u"Terminliste (alle Objekte eines Tages)", u"TQRTermEditList01", u"PrintTermListTag"},
    {33000, u"Terminliste (alle Termine eines Objekts)", u"TQRTermEditList02",
     u"PrintTermListObjekt"},
    {34000, u"Terminliste (ein Tag eines Objekts)", u"TQRTermEditList03",
     u"PrintTermListObjektTag"},
    {35000, u"Arbeitsschein", u"TQRTagList2", u"PrintArbeitsbericht"},
    {36000, u"Mieterliste", u"TQRMieterList1", u"PrintMieterList"},
    {37000, u"Rechnungsausgangsliste AR", u"TQR_OpProto", u"PrintRAListe"},
    {38000, u"Firmendaten", u"TQRFirma01", u"PrintFirmendaten"},
    {39000, u"Kalkulationsblatt", u"TQRKalk01", u"PrintKalkBlatt"},
    {39500, u"Kalkulation: Leistungsverzeichnis", u"TQRKalk02", u"PrintLeistVerz"},
    {40000, u"Lieferschein-Formular", u"TQR_LSchein", u"PrintDeliveryNote"},
    {41000, u"Arbeitsauftrag (Termine)", u"TQRArbeitsSchein01", u"PrintArbeitsschein"},
    {42000, u"Offene ER - Liste", u"TQR_OerListe1", u"PrintOerListe"},
    {43000, u"Offene ER - Zahlungen", u"TQR_OerListe2", u"PrintOerZahlungen"},
    {44000, u"Offene ER - Kontoauszug", u"TQR_OerListe3", u"PrintOerKonto"},
    {45000, u"Bankenliste", u"TQRBankList1", u"PrintBankList"},
    {46000, u"Krankenkassen", u"TQRKrKassList1", u"PrintKrKassList"},
    {47000, u"Umsatzstatistiken", u"TQR_UmsStat", u"PrintUmsStat"},
    {48000, u"Mengeneinheiten", u"TQRMengEHList1", u"PrintMengEhList"},
    {49000, u"Mehrwertsteuer-Sätze", u"TQRMwstList1", u"PrintMwstList"},
    {50000, u"Mahnschreiben", u"TQRMahnung", u"PrintMahnung"},
    {51000, u"Fremdleistungen", u"TQR_Fremdlst01", u"PrintFremdlst"},
    {52000, u"Zahlarten", u"TQRZahlArtList1", u"PrintZahlartList"},
    {53000, u"Zahlungsbedingungen", u"TQRZahlbedList1", u"PrintZahlbedList"},
    {54000, u"Berichtsintervalle", u"TQRZahlInterv01", u"PrintZahlIntervList"},
    {55000, u"Kostenarten", u"TQRKartList1", u"PrintKostartList"},
    {56000, u"Lieferanten-Sortiment", u"TQRLiefArt01", u"PrintLiefArt"},
    {57000, u"Eingangsrechnungen", u"TQR_ER01", u"PrintIncomingInvoice"},
    {58000, u"Kosten-Übersicht (Kostenarten)", u"TQRKostSumK1", u"PrintKostSumKostart"},
    {59000, u"Kosten-Übersicht (Objekte)", u"TQRKostSumO1", u"PrintKostSumObjekt"},
    {60000, u"Objektzeiten Monatsübersicht", u"TQRZeitSumOM", u"PrintZeitSumObjMonat"},
    {61000, u"Objektzeiten Monatsliste Detail", u"TQRZeitSumOD", u"PrintZeitSumObjDetail"},
    {62000, u"Personalzeiten Monatsübersicht", u"TQRZeitSumPM", u"PrintZeitSumPersMonat"},
    {63000, u"Personalzeiten Monatsliste Detail", u"TQRZeitSumPD", u"PrintZeitSumPersDetail"},
    {64000, u"Rechnungstermine", u"TQRRgInterv", u"PrintRgIntervList"},
    {65000, u"Arbeitszeit-Arten", u"TQRZeitart01", u"PrintZeitartList"},
    {66000, u"Offene Posten - Liste", u"TQR_OpListe01", u"PrintOpListe"},
    {67000, u"Offene Posten - Zahlungen", u"TQR_OpListe2", u"PrintOpZahlungen"},
    {68000, u"Offene Posten - Kontoauszug Kunde", u"TQR_OpListe3", u"PrintOpKontoKunde"},
    {69000, u"Offene Posten - Kontoauszug Objekt", u"TQR_OpListe4", u"PrintOpKontoObjekt"},
    {70000, u"Objekt-Notdienste", u"TQRObjNotdienst1", u"PrintObjNotdienst"},
    {71000, u"Monatsplan: Tätigkeiten", u"TQRMonTaetig", u"PrintMonTaetig"},
    {72000, u"Monatsplan: Objekte", u"TQRMonObj", u"PrintMonObj"},
    {73000, u"Monatsplan: Touren", u"TQRMonList", u"PrintMonList"},
    {74000, u"Rechnungsvorschau", u"TQRRgPlan1", u"PrintRechplan"},
    {75000, u"Objektauswahl", u"TQRKundList02", u""},
    {76000, u"Bestellformular", u"TQR_Bestell01", u"PrintBestellung"},
    {79000, u"Lieferanten", u"TQRLiefList01", u"PrintLiefList"},
    {80000, u"Serienbriefe", u"TQRAnschreib01", u"PrintSerienbrief"},
    {81000, u"Faktura-Listen", u"TQR_FaktList01", u"PrintFaktList"},
});

static_assert(std::ranges::is_sorted(kFormTypes, {}, &FormTypeInfo::type));

} // namespace

std::span<const FormTypeInfo> FormTypes() {
    return kFormTypes;
}

const FormTypeInfo* FindFormType(int formType) {
    const auto it = std::ranges::lower_bound(kFormTypes, formType, {}, &FormTypeInfo::type);
    return it != kFormTypes.end() && it->type == formType ? &*it : nullptr;
}

int FormTypeOfId(int formId) {
    return formId / 100 * 100;
}

int DefaultFormIdOfType(int formType) {
    return formType + 1;
}
