#include "core/data/lookups.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/values/conversions.h"
#include "platform/table/table.h"

#include <optional>

namespace {

const QString kDb = QStringLiteral("LumoDB");

QVariant find(table::Table& t, const char* keyField, const QVariant& key, const char* result,
              bool opened = false) {
    return LocateFieldValue(t, {QString::fromLatin1(keyField)}, {key}, QString::fromLatin1(result),
                            opened);
}

int asInt(const QVariant& v) {
    return v.isValid() ? v.toInt() : 0;
}
double asDouble(const QVariant& v) {
    return v.isValid() ? v.toDouble() : 0.0;
}
QString asText(const QVariant& v, const QString& fallback = {}) {
    return v.isValid() ? v.toString() : fallback;
}

TDataModule1& dm() {
    return DataModule1();
}

} // namespace

QVariant LocateFieldValue(table::Table& t, const QStringList& keyFields, const QVariantList& keys,
                          const QString& resultField, bool openForCall) {
    std::optional<OpenForCall> scope;
    if (openForCall)
        scope.emplace(t);
    if (!t.isOpen() || !t.locate(keyFields, keys))
        return {};
    const table::Field& f = t.field(resultField);
    return f.isNull() ? QVariant() : f.value();
}

int GetTaetigNrById(int id) {
    return asInt(find(dm().TabLUTaetig(), "T_ID", id, "T_Nr"));
}
int GetObjektIdByNr(int nr) {
    return asInt(find(dm().TabLUObjekt(), "O_Nr", nr, "O_ID"));
}
int GetObjektNrById(int id) {
    return asInt(find(dm().TabLUObjekt(), "O_ID", id, "O_Nr"));
}
QString GetObjektMatchByNr(int nr) {
    return asText(find(dm().TabLUObjekt(), "O_Nr", nr, "O_Match"));
}
int GetObjektKundeById(int id) {
    return asInt(find(dm().TabLUObjekt(), "O_ID", id, "O_Kunde"));
}
int GetObjektKundeByNr(int nr) {
    return asInt(find(dm().TabLUObjekt(), "O_Nr", nr, "O_Kunde"));
}
int LookupObjektKunde(int nr) {
    table::Table& t = dm().TabObjekt();
    if (!t.isOpen())
        return 0;
    const QVariant v = t.lookup({QStringLiteral("O_Nr")}, {nr}, QStringLiteral("O_Kunde"));
    return v.isValid() && !v.isNull() ? v.toInt() : 0;
}
int GetKundeIdByNr(int nr) {
    return asInt(find(dm().TabLUKunden(), "K_Nr", nr, "K_ID"));
}
void GetKundeKostenstellen(int nr, int& kostenstelle1, int& kostenstelle2, int& zahlart) {
    kostenstelle1 = kostenstelle2 = zahlart = 0;
    table::Table& t = dm().TabLUKunden();
    if (!t.isOpen() || !t.locate({QStringLiteral("K_Nr")}, {nr}))
        return;
    kostenstelle1 = int(GetFieldFloatOrDefault(t.findField(QStringLiteral("K_KostenStelle1")), 0));
    kostenstelle2 = int(GetFieldFloatOrDefault(t.findField(QStringLiteral("K_Kostenstelle2")), 0));
    zahlart = GetFieldIntOrDefault(t.findField(QStringLiteral("K_Zahlart")), 0);
}
bool GetKundeMahnsperre(int nr) {
    const QVariant v = find(dm().TabLUKunden(), "K_Nr", nr, "K_Mahnsperre");
    return v.isValid() && v.toBool();
}
QString GetKundeMatchByNr(int nr) {
    return asText(find(dm().TabLUKunden(), "K_Nr", nr, "K_Match"));
}
QString GetKundeBriefAnrede(int nr) {
    return asText(find(dm().TabLUKunden(), "K_Nr", nr, "K_BriefAnrede"));
}
int GetPersonalIdByNr(int nr) {
    return asInt(find(dm().TabPersonal(), "P_Nr", nr, "P_ID"));
}
QString GetZeitartLangtext(int type) {
    return asText(find(dm().TabZeitart(), "ZA_Type", type, "ZA_Langtext", true),
                  QStringLiteral("???"));
}
int GetArtikelIdByArtNo(int objId, const QString& artNo) {
    return asInt(LocateFieldValue(dm().TabArtLU(),
                                  {QStringLiteral("A_ArtNo"), QStringLiteral("A_ObjID")},
                                  {artNo, objId}, QStringLiteral("A_ID")));
}
QString GetArtikelArtNoById(int id) {
    return asText(find(dm().TabArtLU(), "A_ID", id, "A_ArtNo"));
}
double GetArtikelPreis1(int id) {
    return asDouble(find(dm().TabArtLU(), "A_ID", id, "A_Preis1"));
}
int GetArtikelObjId(int id) {
    return asInt(find(dm().TabArtLU(), "A_ID", id, "A_ObjID"));
}
int GetArtikelKostart(int id) {
    return asInt(find(dm().TabArtLU(), "A_ID", id, "A_Kostart"));
}
int GetArtikelHauptLiefId(const QString& artNo) {
    return asInt(LocateFieldValue(dm().TabArtLU(),
                                  {QStringLiteral("A_ArtNo"), QStringLiteral("A_ObjID")},
                                  {artNo, 0}, QStringLiteral("A_HauptLiefID")));
}
int GetTaetigKostart(int id) {
    return asInt(find(dm().TabTaetig(), "T_ID", id, "T_KostArt"));
}
QString GetZahlIntervText(int id) {
    return asText(find(dm().TabZahlinterv(), "ZI_ID", id, "ZI_Text"),
                  QStringLiteral("Manuelle Rechnung"));
}
QString GetIvDefComment(int defNo) {
    return asText(find(dm().TabDefYearH(), "I_DefNo", defNo, "I_Comment", true));
}
QString GetLieferantMatchById(int id) {
    return asText(find(dm().TabLieferant(), "K_ID", id, "K_Match"));
}
QString GetLieferantMatchByNr(int nr) {
    return asText(find(dm().TabLieferant(), "K_Nr", nr, "K_Match"));
}
int GetLieferantNrById(int id) {
    return asInt(find(dm().TabLieferant(), "K_ID", id, "K_Nr"));
}
int GetLieferantIdByNr(int nr) {
    return asInt(find(dm().TabLieferant(), "K_Nr", nr, "K_ID"));
}
int GetLiefArtIdByArtNo(int lieferantId, const QString& artNo) {
    return asInt(LocateFieldValue(dm().TabLiefArt(),
                                  {QStringLiteral("A_LieferantID"), QStringLiteral("A_ArtNo")},
                                  {lieferantId, artNo}, QStringLiteral("A_ID"), true));
}
QString GetLiefArtArtNo(int id) {
    return asText(find(dm().TabLiefArt(), "A_ID", id, "A_ArtNo", true));
}
QString GetLiefArtLiefArtNo(int lieferantId, const QString& artNo) {
    return asText(LocateFieldValue(dm().TabLiefArt(),
                                   {QStringLiteral("A_LieferantID"), QStringLiteral("A_ArtNo")},
                                   {lieferantId, artNo}, QStringLiteral("A_LiefArtNo"), true));
}
QString GetLSNrById(int id) {
    return asText(find(dm().TabLSKopf(), "R_ID", id, "R_Nr", true));
}
QString GetOpenLSNrById(int id) {
    table::Table& t = dm().TabLSKopf();
    OpenForCall scope(t);
    if (!t.locate({QStringLiteral("R_ID")}, {id}) ||
        GetFieldIntOrDefault(t.findField(QStringLiteral("R_Buchung")), 0) != 0)
        return {};
    return GetFieldStrOrDefault(t.findField(QStringLiteral("R_Nr")), QString());
}
double GetLSBrutto(int id) {
    return asDouble(find(dm().TabLSKopf(), "R_ID", id, "R_Brutto", true));
}
QString GetVeKurz(int id) {
    return asText(find(dm().TabVE(), "VE_ID", id, "VE_Kurz"));
}
QString GetVeLang(int id) {
    return asText(find(dm().TabVE(), "VE_ID", id, "VE_Lang"));
}
QString GetVeLangText(int id) {
    return GetVeLang(id);
}
int GetFremdLeistKostart(int id) {
    table::Table& t = dm().TabFremdLeist();
    const bool opened = !t.isOpen();
    if (opened && !dm().OpenDataTable(t))
        return 0;
    OpenForCall closeAgain(t, opened);
    return asInt(find(t, "S_ID", id, "S_KostArt"));
}
bool GetDvGroup(int id, DvGroup& group) {
    group = {};
    table::Table& t = dm().TabDvGroups();
    if (!t.isOpen())
        return false;
    const table::Bookmark before = t.bookmark();
    const bool found = t.locate({QStringLiteral("DG_ID")}, {id});
    if (found) {
        auto text = [&t](const char* name) {
            return GetFieldStrOrDefault(t.findField(QString::fromLatin1(name)), QString());
        };
        group.kind = GetFieldIntOrDefault(t.findField(QStringLiteral("DG_Type")), 0);
        group.name = text("DG_Name");
        group.mask = text("DG_Mask");
        group.prefix = text("DG_Prefix");
        group.suffix = text("DG_Suffix");
        group.defaultPath = text("DG_Defpath");
    }
    if (before.valid)
        t.gotoBookmark(before);
    return found;
}
bool KostartExists(int nr) {
    table::Table& t = dm().TabKostart();
    // A record being edited in the cost-type form is not moved.
    if (!t.isOpen() || t.isEditing())
        return IntValueExists(kDb, QStringLiteral("Kostart.DB"), QStringLiteral("A_Nr"), nr);
    if (t.locate({QStringLiteral("A_Nr")}, {nr}))
        return true;
    // The object may not show a cost type added elsewhere yet: the file decides.
    if (!IntValueExists(kDb, QStringLiteral("Kostart.DB"), QStringLiteral("A_Nr"), nr))
        return false;
    t.refresh();
    t.locate({QStringLiteral("A_Nr")}, {nr});
    return true;
}
QString GetKostartText(int nr, const QString& fallback) {
    return asText(find(dm().TabKostart(), "A_Nr", nr, "A_Text"), fallback);
}
QString GetRubrikText(int rubrikNr) {
    return asText(find(dm().TabRubrik(), "R_ID", rubrikNr, "R_Text"));
}
int GetAusfIntervWochen(int id) {
    return asInt(find(dm().TabAusfInterv(), "AI_ID", id, "AI_Wochen"));
}
bool GetZahlbed(int id, QString& text, double& skonto, int& tage, double& skonto2, int& tage2,
                int& nettoTage) {
    table::Table& t = dm().TabZahlbed();
    if (!t.isOpen() || !t.locate({QStringLiteral("Z_ID")}, {id}))
        return false;
    auto f = [&t](const char* name) { return t.findField(QString::fromLatin1(name)); };
    text = GetFieldStrOrDefault(f("Z_Text"), QString());
    skonto = GetFieldFloatOrDefault(f("Z_Skonto"), 0);
    tage = GetFieldIntOrDefault(f("Z_Tage"), 0);
    skonto2 = GetFieldFloatOrDefault(f("Z_Skonto2"), 0);
    tage2 = GetFieldIntOrDefault(f("Z_Tage2"), 0);
    nettoTage = GetFieldIntOrDefault(f("Z_NettoTage"), 0);
    return true;
}

namespace {
QString plzField(int id, const char* field) {
    auto t = OpenTempTable(kDb, QStringLiteral("PLZ.DB"));
    return asText(find(*t, "P_ID", id, field));
}
} // namespace

QString GetPlzById(int id) {
    return plzField(id, "PLZ");
}
QString GetOrtById(int id) {
    return plzField(id, "ORT");
}

int FindOpenLSOfObjekt(int objektNr, int lsTyp, QString& nr) {
    nr.clear();
    table::Table& t = dm().TabLSKopf();
    if (!t.isOpen())
        t.open();
    auto f = [&t](const char* name) { return t.findField(QString::fromLatin1(name)); };
    for (t.first(); !t.eof() && !t.isEmpty(); t.next()) {
        if (GetFieldIntOrDefault(f("R_ObjektNr"), 0) == objektNr &&
            GetFieldIntOrDefault(f("R_Buchung"), 0) == 0 &&
            GetFieldIntOrDefault(f("R_LsTyp"), 0) == lsTyp) {
            nr = GetFieldStrOrDefault(f("R_Nr"), QString());
            return GetFieldIntOrDefault(f("R_ID"), 0);
        }
    }
    return 0;
}

int FindPlzId(const QString& plzAndOrt) {
    QString ort = plzAndOrt;
    QString plz;
    CutBarField(ort, plz);
    auto t = OpenTempTable(kDb, QStringLiteral("PLZ.DB"));
    const QString plzName = QStringLiteral("PLZ"), ortName = QStringLiteral("ORT");
    if (t->locate({plzName, ortName}, {plz, ort}) || t->locate({plzName}, {plz}) ||
        t->locate({ortName}, {ort}))
        return GetFieldIntOrDefault(t->findField(QStringLiteral("P_ID")), 0);
    return 0;
}

void GetTourObjektZeiten(int tourNr, int objektNr, QVariant& von, QVariant& bis) {
    von = bis = 0;
    auto t = OpenTempTable(kDb, QStringLiteral("TourObj.db"));
    if (!t->locate({QStringLiteral("TO_Objekt"), QStringLiteral("TO_TourNr")}, {objektNr, tourNr}))
        return;
    const table::Field& v = t->field(QStringLiteral("TO_VonUhr"));
    const table::Field& b = t->field(QStringLiteral("TO_BisUhr"));
    if (!v.isNull())
        von = v.value();
    if (!b.isNull())
        bis = b.value();
}

int CountMasterRecords() {
    TDataModule1& m = dm();
    int count = 0;
    for (table::Table* t :
         {&m.TabObjekt(), &m.TabKunden(), &m.TabLieferant(), &m.TabPersonal(), &m.TabNotdienst()})
        if (t->isOpen())
            count += t->recordCount();
    return count;
}
