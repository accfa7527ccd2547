#include "commercial/bookings/linebookings.h"

#include "commercial/bookings/costbookings.h"
#include "commercial/documents/documentservices.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>

using table::Table;

namespace {

const QString kLumo = QStringLiteral("LumoDB");

QString f(const char* name) {
    return QString::fromLatin1(name);
}
// Line kinds and source documents of a line.
constexpr int kArtikelLine = 0;
constexpr int kFremdLeistLine = 2;
constexpr int kFreeLine = 4;
constexpr int kFromOrder = 2;
constexpr int kFromDeliveryNote = 4;

bool isSourceLineKind(int posTyp) {
    return posTyp == kArtikelLine || posTyp == 1 || posTyp == kFreeLine;
}

// One booking of a line lands in full or not at all: the line's post fails
// when any part fails, so nothing may stay booked for it.
table::Transaction lumoTransaction() {
    return table::Transaction(*table::aliases::database(kLumo));
}

Table& articleLookup(TDataModule1& dm) {
    Table& art = dm.TabArtLU();
    if (!art.isOpen())
        art.open();
    return art;
}

bool locateArticle(TDataModule1& dm, int id) {
    Table& art = articleLookup(dm);
    RefreshUnlessEditing(art);
    return id != 0 && art.locate({f("A_ID")}, {id});
}

// Read from the table itself: it sees objects posted meanwhile, and reads
// one row where the lookup object would read every key again.
int objektIdOfNr(TDataModule1&, int nr) {
    auto t = OpenTempTableWhere(kLumo, f("Objekte.DB"), QStringLiteral("O_Nr=%1").arg(nr));
    return t->isEmpty() ? 0 : FieldInt(*t, "O_ID");
}

// The object number of the line's head: the shared head object when it
// stands on the line's head, else the stored head.
int headObjektNr(Table& head, const QString& headFile, int headId) {
    if (head.isOpen() && head.state() != table::TableState::Inactive &&
        FieldInt(head, "R_ID") == headId)
        return FieldInt(head, "R_ObjektNr");
    auto t = OpenTempTableWhere(kLumo, headFile, QStringLiteral("R_ID=%1").arg(headId));
    return t->isEmpty() ? 0 : FieldInt(*t, "R_ObjektNr");
}

// What a line holds now and what it booked last.
struct LineState {
    double m = 0, m0 = 0;
    int t = kFreeLine, t0 = kFreeLine;
    int a = 0, a0 = 0;
    int q = 0, q0 = 0;
    int refId = 0, refId0 = 0;
};

LineState readLine(Table& line) {
    LineState s;
    s.m = FieldFloat(line, "S_Menge");
    s.m0 = FieldFloat(line, "S_OldMenge");
    s.t = FieldInt(line, "S_PosTyp", kFreeLine);
    s.t0 = FieldInt(line, "S_OldPosTyp", kFreeLine);
    s.a = FieldInt(line, "S_MatID");
    s.a0 = FieldInt(line, "S_OldMatID");
    s.q = FieldInt(line, "S_Quelle");
    s.q0 = FieldInt(line, "S_OldQuelle");
    s.refId = FieldInt(line, "S_RefID");
    s.refId0 = FieldInt(line, "S_OldRefID");
    return s;
}

// Stores what the line booked; the line goes into edit state only when a
// value changes, the caller posts it.
void rememberLine(Table& line, const LineState& s, bool withRefId) {
    QList<std::pair<QString, QVariant>> values{{f("S_OldMenge"), s.m},
                                               {f("S_OldMatID"), s.a},
                                               {f("S_OldPosTyp"), s.t},
                                               {f("S_OldQuelle"), s.q}};
    if (withRefId)
        values.append({f("S_OldRefID"), s.refId});
    // The line now refers to the article that was booked (the object's copy).
    if (s.a != FieldInt(line, "S_MatID"))
        values.append({f("S_MatID"), s.a});
    bool editing = line.isEditing();
    for (const auto& [name, value] : values) {
        table::Field& field = line.field(name);
        if (FieldEquals(field, value))
            continue;
        if (!editing)
            editing = EnsureEditOrInsert(line) || line.isEditing();
        field.setValue(value);
    }
}

bool giveBackDue(const LineState& s, bool reverse) {
    return s.a != s.a0 || reverse || (s.m != s.m0 && s.m0 != 0);
}
bool takeDue(const LineState& s, bool reverse) {
    return !reverse && (s.a != s.a0 || (s.m != s.m0 && s.m != 0));
}

// Takes the line's quantity out of the stock of the object that receives
// the goods: a central article is replaced by the object's own copy, which
// gets the goods from the central stock first (all of them, or with
// onlyShortfall what its stock lacks).
void takeFromStock(TDataModule1& dm, Table& line, LineState& s, int objId, bool onlyShortfall) {
    if (locateArticle(dm, s.a)) {
        Table& art = articleLookup(dm);
        QString artNo = FieldText(line, "S_SrcNr");
        if (artNo.isEmpty())
            artNo = FieldText(art, "A_ArtNo");
        if (FieldInt(art, "A_ObjID") != 0) {
            const double stock = FieldFloat(art, "A_Lagermenge");
            if (stock < s.m)
                TransferArtikelBestand(dm, artNo, 0, objId, s.m - stock);
        } else if (objId != 0) {
            int objArt = ArtikelIdOfObjekt(artNo, objId);
            if (objArt <= 0)
                objArt = CreateObjektArtikel(dm, s.a, objId);
            if (objArt > 0) {
                double moved = s.m;
                if (onlyShortfall) {
                    moved = locateArticle(dm, objArt)
                                ? s.m - FieldFloat(articleLookup(dm), "A_Lagermenge")
                                : 0;
                }
                if (moved > 0 || !onlyShortfall)
                    TransferArtikelBestand(dm, artNo, 0, objId, moved);
                s.a = objArt;
            }
        }
    }
    BookArtikelBestand(dm, s.a, false, -s.m);
}

// Restores the article list filter of the shared article object however
// the creation ends.
class ArtikelFilterScope {
public:
    ArtikelFilterScope(TDataModule1& dm, int objId) : m_dm(dm), m_saved(dm.ArtikelObjId()) {
        dm.FilterArtikelByObjId(objId);
    }
    ~ArtikelFilterScope() {
        Table& t = m_dm.TabArtikel();
        if (t.isEditing())
            t.cancel();
        m_dm.FilterArtikelByObjId(m_saved);
    }
    ArtikelFilterScope(const ArtikelFilterScope&) = delete;
    ArtikelFilterScope& operator=(const ArtikelFilterScope&) = delete;

private:
    TDataModule1& m_dm;
    int m_saved;
};

} // namespace

bool BookArtikelBestand(TDataModule1& dm, int artikelId, bool transfer, double q) {
    if (artikelId == 0 || q == 0 || !locateArticle(dm, artikelId))
        return false;
    Table& art = articleLookup(dm);
    const double price = FieldFloat(art, "A_EkPreis");
    const QString artNo = FieldText(art, "A_ArtNo");
    const int objId = FieldInt(art, "A_ObjID");
    const int kostart = FieldInt(art, "A_Kostart");
    table::Transaction tx = lumoTransaction();
    CancelEditOnError(art, [&] {
        const double einMenge = FieldFloat(art, "A_EinMengeTotal");
        const double einWert = FieldFloat(art, "A_EinWertTotal");
        const double menge = FieldFloat(art, "A_Lagermenge");
        const double wert = FieldFloat(art, "A_Lagerwert");
        const bool keepsStock = GetFieldBoolOrDefault(art.findField(f("A_Bestandsfuehrung")), true);
        art.edit();
        art.field(f("A_EinMengeTotal")).setValue(transfer ? einMenge : einMenge - q);
        art.field(f("A_EinWertTotal")).setValue(transfer ? einWert : einWert - q * price);
        art.field(f("A_Lagermenge")).setValue(keepsStock ? menge + q : menge);
        art.field(f("A_Lagerwert")).setValue(keepsStock ? wert + q * price : wert);
        art.post();
    });
    const QDate today = QDate::currentDate();
    if (transfer)
        AddKostenEntry(artNo, artikelId, objId, today, q, q * price, kostart, false);
    else
        BookKostSum(objId, kostart, today, 0, q * price, 0);
    tx.commit();
    return true;
}

void TransferArtikelBestand(TDataModule1& dm, const QString& artNo, int fromObjId, int toObjId,
                            double q) {
    if (q == 0 || fromObjId == toObjId)
        return;
    const int source = ArtikelIdOfObjekt(artNo, fromObjId);
    const int target = ArtikelIdOfObjekt(artNo, toObjId);
    if (source <= 0 || target <= 0)
        return;
    table::Transaction tx = lumoTransaction();
    if (BookArtikelBestand(dm, source, true, -q))
        BookArtikelBestand(dm, target, true, q);
    tx.commit();
}

int CreateObjektArtikel(TDataModule1& dm, int centralId, int objId) {
    if (centralId == 0 || objId == 0)
        return 0;
    ArtikelFilterScope filter(dm, objId);
    auto central = OpenTempTable(kLumo, f("Artikel.DB"));
    if (!central->locate({f("A_ID")}, {centralId}))
        return 0;
    const QString artNo = FieldText(*central, "A_ArtNo");
    Table& list = dm.TabArtikel();
    if (list.locate({f("A_ArtNo")}, {artNo}))
        return FieldInt(list, "A_ID");
    list.append();
    list.field(f("A_ObjID")).setValue(objId);
    for (int i = 1; i < central->fieldCount(); ++i) {
        const table::Field& source = central->field(i);
        if (source.isNull() || source.name().compare(f("A_ObjID"), Qt::CaseInsensitive) == 0)
            continue;
        table::Field* target = list.findField(source.name());
        if (!target)
            break;
        // The copy keeps what it got up to the first field that is refused.
        try {
            target->setValue(source.value());
        } catch (const std::exception&) {
            break;
        }
    }
    for (const char* zero :
         {"A_Lagermenge", "A_Lagerwert", "A_IstBestand", "A_SollBestand", "A_BestellBestand",
          "A_Vormerkung", "A_EinMengeTotal", "A_EinWertTotal"})
        list.field(f(zero)).setValue(0);
    list.post();
    return FieldInt(list, "A_ID");
}

void AdjustAuftragGeliefert(int auftSatzId, double oldMenge, double newMenge) {
    if (oldMenge == newMenge || auftSatzId == 0)
        return;
    auto line = OpenTempTable(kLumo, f("Auftsatz.DB"));
    if (!line->locate({f("S_ID")}, {auftSatzId}))
        return;
    table::Field& delivered = line->field(f("S_MengeGeliefert"));
    line->edit();
    delivered.setValue(GetFieldFloatOrDefault(&delivered, 0) - oldMenge + newMenge);
    line->post();
}

void SetFremdLeistGebucht(TDataModule1& dm, int fremdLeistId, bool gebucht) {
    if (fremdLeistId == 0)
        return;
    Table& t = dm.TabFremdLeist();
    OpenForCall open(t);
    if (!open.opened())
        RefreshUnlessEditing(t);
    if (!t.locate({f("S_ID")}, {fremdLeistId}))
        return;
    const double netto = FieldFloat(t, "S_Netto");
    const int objId = FieldInt(t, "S_ObjID");
    const int kostart = FieldInt(t, "S_KostArt");
    table::Transaction tx = lumoTransaction();
    CancelEditOnError(t, [&] {
        t.edit();
        t.field(f("S_Gebucht")).setValue(gebucht ? 1 : 0);
        t.post();
    });
    BookKostSum(objId, kostart, QDate::currentDate(), 0, gebucht ? -netto : netto, 0);
    tx.commit();
}

void BookRechSatz(TDataModule1& dm, bool reverse) {
    Table& line = dm.TabRechSatz();
    LineState s = readLine(line);
    const int objId =
        objektIdOfNr(dm, headObjektNr(dm.TabRechKopf(), f("Rechkopf.DB"), FieldInt(line, "S_Ref")));
    table::Transaction tx = lumoTransaction();
    if (s.t0 == kArtikelLine && s.q0 != kFromDeliveryNote && giveBackDue(s, reverse))
        BookArtikelBestand(dm, s.a0, false, s.m0);
    if (s.t == kArtikelLine && s.q != kFromDeliveryNote && takeDue(s, reverse))
        takeFromStock(dm, line, s, objId, false);
    if (s.refId0 != 0) {
        if (isSourceLineKind(s.t0)) {
            if (s.q0 == kFromOrder)
                AdjustAuftragGeliefert(s.refId0, s.m0, 0);
            else if (s.q0 == kFromDeliveryNote)
                AdjustMengeGeliefert(s.refId0, 0, s.m0);
        } else if (s.t0 == kFremdLeistLine) {
            if (s.q0 == kFromDeliveryNote)
                AdjustMengeGeliefert(s.refId0, 0, s.m0);
            else
                SetFremdLeistGebucht(dm, s.refId0, false);
        }
    }
    if (s.refId != 0 && !reverse) {
        if (isSourceLineKind(s.t)) {
            if (s.q == kFromOrder)
                AdjustAuftragGeliefert(s.refId, 0, s.m);
            else if (s.q == kFromDeliveryNote)
                AdjustMengeGeliefert(s.refId, s.m, 0);
        } else if (s.t == kFremdLeistLine) {
            if (s.q == kFromDeliveryNote)
                AdjustMengeGeliefert(s.refId, s.m, 0);
            else
                SetFremdLeistGebucht(dm, s.refId, true);
        }
    }
    if (!reverse)
        rememberLine(line, s, true);
    tx.commit();
}

void BookLSSatz(TDataModule1& dm, bool reverse) {
    Table& line = dm.TabLSSatz();
    LineState s = readLine(line);
    // A deleted line gives back only what has not been invoiced yet.
    if (reverse && s.t0 == kArtikelLine)
        s.m0 -= FieldFloat(line, "S_MengeGeliefert");
    const int objId =
        objektIdOfNr(dm, headObjektNr(dm.TabLSKopf(), f("LSkopf.DB"), FieldInt(line, "S_Ref")));
    table::Transaction tx = lumoTransaction();
    if (s.t0 == kArtikelLine && giveBackDue(s, reverse))
        BookArtikelBestand(dm, s.a0, false, s.m0);
    if (s.t == kArtikelLine && takeDue(s, reverse))
        takeFromStock(dm, line, s, objId, true);
    if (s.refId0 != 0) {
        if (isSourceLineKind(s.t0) && s.q0 == kFromOrder)
            AdjustAuftragGeliefert(s.refId0, s.m0, 0);
        else if (s.t0 == kFremdLeistLine)
            SetFremdLeistGebucht(dm, s.refId0, false);
    }
    if (s.refId != 0 && !reverse) {
        if (isSourceLineKind(s.t) && s.q == kFromOrder)
            AdjustAuftragGeliefert(s.refId, 0, s.m);
        else if (s.t == kFremdLeistLine)
            SetFremdLeistGebucht(dm, s.refId, true);
    }
    if (!reverse)
        rememberLine(line, s, true);
    tx.commit();
}

void BookGsSatz(TDataModule1& dm, bool reverse) {
    Table& line = dm.TabGsSatz();
    LineState s = readLine(line);
    table::Transaction tx = lumoTransaction();
    if (s.t0 == kArtikelLine && giveBackDue(s, reverse))
        BookArtikelBestand(dm, s.a0, false, -s.m0);
    if (s.t == kArtikelLine && takeDue(s, reverse))
        BookArtikelBestand(dm, s.a, false, s.m);
    if (!reverse)
        rememberLine(line, s, false);
    tx.commit();
}
