#include "commercial/documents/documentservices.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/rubrikdefaultkostart.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <algorithm>

namespace {

const QString kLumo = QStringLiteral("LumoDB");

// The order line (source kind 2) or delivery-note line of the id on a
// cursor of its own; null when there is none.
std::unique_ptr<table::Table> sourceLine(const QString& file, int lineId) {
    auto t = OpenTempTableWhere(kLumo, file, QStringLiteral("S_ID=%1").arg(lineId));
    if (t->isEmpty())
        return nullptr;
    return t;
}

} // namespace

bool LimitToUndeliveredMenge(int sourceKind, double& menge, int sourceLineId) {
    if (menge <= 0 || sourceLineId == 0)
        return false;
    auto line =
        sourceLine(sourceKind == 2 ? QStringLiteral("Auftsatz.DB") : QStringLiteral("LSsatz.DB"),
                   sourceLineId);
    if (!line)
        return false;
    const double ordered = GetFieldFloatOrDefault(line->findField(QStringLiteral("S_Menge")), 0);
    const double delivered =
        GetFieldFloatOrDefault(line->findField(QStringLiteral("S_MengeGeliefert")), 0);
    if (delivered + menge <= ordered)
        return false;
    menge = ordered - delivered;
    return true;
}

void AdjustMengeGeliefert(int lineId, double newMenge, double oldMenge) {
    if (newMenge == oldMenge || lineId == 0)
        return;
    auto line = sourceLine(QStringLiteral("LSsatz.DB"), lineId);
    if (!line)
        return;
    table::Field& delivered = line->field(QStringLiteral("S_MengeGeliefert"));
    line->edit();
    delivered.setValue(GetFieldFloatOrDefault(&delivered, 0) + newMenge - oldMenge);
    line->post();
}

bool HasObjektArtikel(const QString& artNo, int objId) {
    return ArtikelIdOfObjekt(artNo, objId) > 0;
}

int ArtikelIdOfObjekt(const QString& artNo, int objId) {
    table::Table& lookup = DataModule1().TabArtLU();
    // The lookup cursor sees rows posted through other cursors only after a refresh.
    if (lookup.isOpen() && !lookup.isEditing())
        lookup.refresh();
    return std::max(0, GetArtikelIdByArtNo(objId, artNo));
}

int DefaultErloesKonto(table::Table& lines, int account) {
    if (account != 0)
        return account;
    const int posTyp = FieldInt(lines, QStringLiteral("S_PosTyp"), 4);
    int kostart = 0;
    int rubrik = 1;
    if (posTyp == 0) {
        kostart = GetArtikelKostart(FieldInt(lines, QStringLiteral("S_MatID")));
        rubrik = 2;
    } else if (posTyp == 2) {
        kostart = GetFremdLeistKostart(FieldInt(lines, QStringLiteral("S_RefID")));
        rubrik = 3;
    } else if (posTyp != 4) {
        kostart = GetTaetigKostart(FieldInt(lines, QStringLiteral("S_MatID")));
    }
    return kostart != 0 ? kostart : GetRubrikDefaultKostart(rubrik);
}

int FindObjTaetId(int objekt, int taetigkeit) {
    std::unique_ptr<table::Table> t;
    try {
        t = OpenTempTable(kLumo, QStringLiteral("ObjTaet.db"));
    } catch (const DbError&) {
        return 0; // no activities to look at
    }
    if (!t->locate({QStringLiteral("TS_Objekt"), QStringLiteral("TS_Taetigkeit")},
                   {objekt, taetigkeit}))
        return 0;
    return FieldInt(*t, QStringLiteral("TS_ID"));
}

QString GetZahlIntervPattern(int zahlIvId) {
    auto t = OpenTempTable(kLumo, QStringLiteral("ZahlIV.DB"));
    if (!t->locate({QStringLiteral("ZI_ID")}, {zahlIvId}))
        return QString();
    return FieldText(*t, QStringLiteral("ZI_Pattern"));
}

bool SetObjektArtikelPreis(int artikelId, double price) {
    auto t = OpenTempTable(kLumo, QStringLiteral("Artikel.DB"));
    if (!t->locate({QStringLiteral("A_ID")}, {artikelId}) ||
        FieldInt(*t, QStringLiteral("A_ObjID")) == 0)
        return false;
    t->edit();
    t->field(QStringLiteral("A_Preis1")).setValue(price);
    t->post();
    if (HasDataModule1()) // the lookup cursor shows the new price
        RefreshUnlessEditing(DataModule1().TabArtLU());
    return true;
}
