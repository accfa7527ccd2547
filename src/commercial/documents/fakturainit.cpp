#include "commercial/documents/fakturainit.h"

#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/values/conversions.h"
#include "core/values/rangeerrors.h"
#include "platform/table/table.h"

#include <cmath>
#include <limits>
#include <memory>

namespace {

const QString kLumo = QStringLiteral("LumoDB");

void set(table::Table& head, const char* name, const QVariant& value) {
    SetFieldIfPresent(head, QString::fromLatin1(name), value);
}

// A text of the record and the table field it comes from or goes to.
struct TextField {
    const char* field;
    QString TFakturaInitRec::*member;
};
using R = TFakturaInitRec;

const TextField kObjektBlock[] = {
    {"O_Match", &R::OMatch},      {"O_Name1", &R::OName1},     {"O_Name2", &R::OName2},
    {"O_Name3", &R::OName3},      {"O_Strasse", &R::OStrasse}, {"O_Plz", &R::OPlz},
    {"O_Ort", &R::OOrt},          {"O_Telefon", &R::OTelefon}, {"O_Fax", &R::OFax},
    {"O_Langbezeich", &R::OMemo},
};
const TextField kRechnungsAnschrift[] = {
    {"O_RgName1", &R::OName1},     {"O_RgName2", &R::OName2}, {"O_RgName3", &R::OName3},
    {"O_RgStrasse", &R::OStrasse}, {"O_RgPlz", &R::OPlz},     {"O_RgOrt", &R::OOrt},
};
const TextField kKundenBlock[] = {
    {"K_Match", &R::KMatch}, {"K_Name1", &R::KName1},     {"K_Name2", &R::KName2},
    {"K_Name3", &R::KName3}, {"K_Strasse", &R::KStrasse}, {"K_Plz", &R::KPlz},
    {"K_Ort", &R::KOrt},     {"K_Tel1", &R::KTel1},       {"K_Fax", &R::KFax},
};
const TextField kLieferantBlock[] = {
    {"K_Match", &R::OMatch}, {"K_Name1", &R::OName1}, {"K_Name2", &R::OName2},
    {"K_Name3", &R::OName3}, {"K_Plz", &R::OPlz},     {"K_Ort", &R::OOrt},
};
const TextField kKopfObjekt[] = {
    {"R_OMatch", &R::OMatch},     {"R_OName1", &R::OName1}, {"R_OName2", &R::OName2},
    {"R_OName3", &R::OName3},     {"R_OPlz", &R::OPlz},     {"R_OOrt", &R::OOrt},
    {"R_OStrasse", &R::OStrasse}, {"R_Memo", &R::OMemo},
};
const TextField kKopfKunde[] = {
    {"R_KMatch", &R::KMatch},     {"R_Kname1", &R::KName1}, {"R_Kname2", &R::KName2},
    {"R_Kname3", &R::KName3},     {"R_KPlz", &R::KPlz},     {"R_KOrt", &R::KOrt},
    {"R_KStrasse", &R::KStrasse},
};
const TextField kKopfObjektFromKunde[] = {
    {"R_OName1", &R::KName1},     {"R_OName2", &R::KName2}, {"R_OName3", &R::KName3},
    {"R_OStrasse", &R::KStrasse}, {"R_OPlz", &R::KPlz},     {"R_OOrt", &R::KOrt},
};

template <std::size_t N>
void readTexts(table::Table& t, TFakturaInitRec& init, const TextField (&fields)[N]) {
    for (const TextField& f : fields)
        init.*f.member = FieldText(t, QString::fromLatin1(f.field));
}

// Head tables lack a few of the fields; those are passed over.
template <std::size_t N>
void writeTexts(table::Table& head, const TFakturaInitRec& init, const TextField (&fields)[N]) {
    for (const TextField& f : fields)
        set(head, f.field, init.*f.member);
}

// The row with that number on a cursor of its own; null when there is none.
std::unique_ptr<table::Table> rowWithNr(const QString& file, const QString& nrField, int nr) {
    auto t = OpenTempTable(kLumo, file);
    if (!t->locate({nrField}, {nr}))
        return nullptr;
    return t;
}

std::unique_ptr<table::Table> objektRow(int objektNr) {
    return rowWithNr(QStringLiteral("Objekte.DB"), QStringLiteral("O_Nr"), objektNr);
}

// An accounting number stored as a float, rounded as the toolkit rounds
// (halves to even); 0 gives the fallback.
int accountOf(table::Table& t, const char* name, int fallback) {
    const double value = std::nearbyint(FieldFloat(t, QString::fromLatin1(name)));
    if (!(value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max()))
        RaiseOverflowError();
    return value == 0 ? fallback : int(value);
}

} // namespace

bool InitFakturaObjektAdresse(int objektNr, TFakturaInitRec& init) {
    auto o = objektRow(objektNr);
    if (!o)
        return false;
    readTexts(*o, init, kObjektBlock);
    return true;
}

void InitFakturaObjektBlock(int objektNr, TFakturaInitRec& init) {
    auto o = objektRow(objektNr);
    if (!o)
        return;
    readTexts(*o, init, kObjektBlock);
    InitFakturaZahlbed(FieldInt(*o, QStringLiteral("O_RgZahlbed1")), init);
}

bool InitFakturaZahlbed(int zahlbedId, TFakturaInitRec& init) {
    TFakturaInitRec found = init;
    if (!GetZahlbed(zahlbedId, found.ZahlBed, found.Skonto, found.Tage, found.Skonto2, found.Tage2,
                    found.NettoTage))
        return false;
    found.ZahlBedID = zahlbedId;
    init = found;
    return true;
}

void InitFakturaKunde(int kundenNr, TFakturaInitRec& init) {
    auto k = rowWithNr(QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr"), kundenNr);
    if (!k)
        return;
    init.KundenNr = kundenNr;
    readTexts(*k, init, kKundenBlock);
    init.FibuKonto = accountOf(*k, "K_FibuKonto", kundenNr);
    if (init.ZahlBedID == 0)
        InitFakturaZahlbed(FieldInt(*k, QStringLiteral("K_RechBed")), init);
}

void InitFakturaObjekt(int objektNr, TFakturaInitRec& init) {
    InitFakturaObjektBlock(objektNr, init);
    init.KundenNr = GetObjektKundeByNr(objektNr);
    if (init.KundenNr != 0)
        InitFakturaKunde(init.KundenNr, init);
}

void InitFakturaObjektRg(int objektNr, TFakturaInitRec& init) {
    auto o = objektRow(objektNr);
    if (!o)
        return;
    readTexts(*o, init, kRechnungsAnschrift);
}

void InitFakturaLieferant(int lieferantNr, TFakturaInitRec& init) {
    auto l = rowWithNr(QStringLiteral("Liefrnt.db"), QStringLiteral("K_Nr"), lieferantNr);
    if (!l)
        return;
    init.KundenNr = lieferantNr;
    readTexts(*l, init, kLieferantBlock);
    init.FibuKonto = accountOf(*l, "K_Fibukonto", lieferantNr);
    InitFakturaZahlbed(FieldInt(*l, QStringLiteral("K_Rechbed")), init);
}

void FillKopfObjekt(table::Table& head, const TFakturaInitRec& init) {
    EnsureEditOrInsert(head);
    writeTexts(head, init, kKopfObjekt);
}

void FillKopfZahlbed(table::Table& head, const TFakturaInitRec& init, bool withAccount) {
    EnsureEditOrInsert(head);
    set(head, "R_ZahlBedID", init.ZahlBedID);
    set(head, "R_ZahlBed", init.ZahlBed);
    set(head, "R_ZahlBedSkonto", init.Skonto);
    set(head, "R_ZahlBedTage", init.Tage);
    set(head, "R_ZahlBedSkonto2", init.Skonto2);
    set(head, "R_ZahlBedTage2", init.Tage2);
    set(head, "R_ZahlBedNettoTage", init.NettoTage);
    if (withAccount)
        set(head, "R_FKontoNr", init.FibuKonto);
}

void FillKopfKunde(table::Table& head, const TFakturaInitRec& init) {
    EnsureEditOrInsert(head);
    set(head, "R_KundenNr", init.KundenNr);
    writeTexts(head, init, kKopfKunde);
}

void FillKopfObjektFromKunde(table::Table& head, const TFakturaInitRec& init) {
    EnsureEditOrInsert(head);
    writeTexts(head, init, kKopfObjektFromKunde);
}

void FillKopfAdrRefs(table::Table& head, const TFakturaInitRec& init) {
    EnsureEditOrInsert(head);
    static const char* const kAnr[] = {"R_AnrID0", "R_AnrID1", "R_AnrID2"};
    static const char* const kZweck[] = {"R_AdrZweck0", "R_AdrZweck1", "R_AdrZweck2"};
    for (std::size_t i = 0; i < 3; ++i) {
        set(head, kAnr[i], init.AnrID[i]);
        set(head, kZweck[i], init.AdrZweck[i]);
    }
}

QString NextRgvNr(int objektNr) {
    const QString prefix = QStringLiteral("RV") + QString::number(objektNr) + QLatin1Char('_');
    for (int counter = 1;; ++counter) {
        const QString nr = prefix + IntToStrZero(counter, 2);
        if (!StrValueExists(kLumo, QStringLiteral("Rgvkopf.db"), QStringLiteral("R_Nr"), nr))
            return nr;
    }
}
