#include "commercial/bookings/costbookings.h"

#include "commercial/documents/documentservices.h"
#include "commercial/documents/vatrates.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/turnover.h"
#include "core/messages/messages.h"
#include "core/values/money.h"
#include "core/values/packeddate.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <stdexcept>
#include <tuple>
#include <vector>

using table::Table;

namespace {

const QString kLumo = QStringLiteral("LumoDB");

QString f(const char* name) {
    return QString::fromLatin1(name);
}

// Several rows of one booking land together or not at all.
table::Transaction lumoTransaction() {
    return table::Transaction(*table::aliases::database(kLumo));
}

// Opens a closed shared table object for the scope and closes it again.
class OpenedForCall {
public:
    explicit OpenedForCall(Table& t) : m_table(t), m_closeAgain(t, openOrRefresh(t)) {}
    bool isOpen() const { return m_table.isOpen(); }

private:
    // Whether the call opened the table.
    static bool openOrRefresh(Table& t) {
        if (!t.isOpen())
            return DataModule1().OpenDataTable(t);
        RefreshUnlessEditing(t);
        return false;
    }

    Table& m_table;
    OpenForCall m_closeAgain;
};

// A new row's key when the table's own new-record rule left it empty.
void ensureKey(Table& t, const QString& keyField) {
    table::Field& key = t.field(keyField);
    if (key.isNull() || key.asInteger() == 0)
        key.setValue(GetNextId(kLumo, t.tableName(), keyField));
}

// The "zero date" of the tables stands in for a missing date.
QDate bookingDate(const QDate& d) {
    return d.isValid() ? d : QDate(1899, 12, 30);
}

TPackedDate packed(const QDate& d) {
    const QDate day = bookingDate(d);
    return TPackedDate(quint16(day.year()), quint8(day.month()), quint8(day.day()));
}

QVariant kostartValue(int kostart, const QString& field) {
    auto t = OpenTempTable(kLumo, QStringLiteral("Kostart.DB"));
    return t->lookup({QStringLiteral("A_Nr")}, {kostart}, field);
}

// Counted open of the cost-sum tables: nested bookings open them once.
int g_kostSumOpenCount = 0;
bool g_kostSumOpenedD = false;
bool g_kostSumOpenedH = false;

} // namespace

void OpenKostSumTables() {
    TDataModule1& dm = DataModule1();
    if (g_kostSumOpenCount < 1) {
        g_kostSumOpenCount = 0;
        g_kostSumOpenedD = !dm.TabKostD().isOpen();
        if (g_kostSumOpenedD)
            dm.TabKostD().open();
        g_kostSumOpenedH = !dm.TabKostH().isOpen();
        try {
            if (g_kostSumOpenedH)
                dm.TabKostH().open();
        } catch (...) {
            if (g_kostSumOpenedD)
                dm.TabKostD().close();
            throw;
        }
    }
    ++g_kostSumOpenCount;
    RefreshUnlessEditing(dm.TabKostD());
    RefreshUnlessEditing(dm.TabKostH());
}

void CloseKostSumTables() {
    --g_kostSumOpenCount;
    if (g_kostSumOpenCount > 0)
        return;
    g_kostSumOpenCount = 0;
    TDataModule1& dm = DataModule1();
    // Tables a form had open before stay open for it.
    if (g_kostSumOpenedD)
        dm.TabKostD().close();
    if (g_kostSumOpenedH)
        dm.TabKostH().close();
    g_kostSumOpenedD = g_kostSumOpenedH = false;
}

namespace {

struct KostSumScope {
    KostSumScope() { OpenKostSumTables(); }
    ~KostSumScope() { CloseKostSumTables(); }
    KostSumScope(const KostSumScope&) = delete;
    KostSumScope& operator=(const KostSumScope&) = delete;
};

struct KostSumRow {
    int periode, jahr, monat, kostart, objektId;
};

void bookKostSumRow(Table& t, const KostSumRow& row, int objektNr, double zugang, double bestand,
                    double erloes, bool keepBestand) {
    const QStringList key{f("K_Jahr"), f("K_Monat"), f("K_Kostart"), f("K_ObjektID")};
    if (t.locate(key, {row.jahr, row.monat, row.kostart, row.objektId})) {
        t.edit();
        t.field(f("K_ObjektNr")).setValue(objektNr);
        t.field(f("K_Zugang")).setValue(FieldFloat(t, "K_Zugang") + zugang);
        if (!keepBestand)
            t.field(f("K_Bestand")).setValue(FieldFloat(t, "K_Bestand") + bestand);
        t.field(f("K_Erloes")).setValue(FieldFloat(t, "K_Erloes") + erloes);
    } else {
        t.append();
        ensureKey(t, f("K_ID"));
        t.field(f("K_Jahr")).setValue(row.jahr);
        t.field(f("K_Monat")).setValue(row.monat);
        t.field(f("K_Periode")).setValue(row.periode);
        t.field(f("K_Kostart")).setValue(row.kostart);
        t.field(f("K_ObjektID")).setValue(row.objektId);
        t.field(f("K_ObjektNr")).setValue(objektNr);
        t.field(f("K_Zugang")).setValue(zugang);
        t.field(f("K_Erloes")).setValue(erloes);
        t.field(f("K_Bestand")).setValue(keepBestand ? 0.0 : bestand);
    }
    t.post();
}

// Whether the cost type keeps the stock column of its sums unchanged.
bool keepsBestand(int kostart) {
    return IsPersonalKostart(kostart) || IsRubrik1Kostart(kostart);
}

// The twelve rows a booking touches: all time, its year and its month, each
// for all types and objects, the type and the object (KostSumH) and for the
// type and object together (KostSumD).
template <typename Fn> void forEachKostSumRow(int kostart, int objektId, const QDate& day, Fn fn) {
    const int y = day.year();
    const int m = day.month();
    const KostSumRow periods[] = {{0, 0, 0, 0, 0}, {1, y, 0, 0, 0}, {2, y, m, 0, 0}};
    const struct {
        bool detail;
        int kostart, objektId;
    } rows[] = {
        {false, -1, -1}, {false, kostart, -1}, {false, -1, objektId}, {true, kostart, objektId}};
    for (KostSumRow p : periods)
        for (const auto& row : rows) {
            p.kostart = row.kostart;
            p.objektId = row.objektId;
            fn(row.detail, p);
        }
}

bool deleteFremdLeistIfUnbilled(TDataModule1& dm, int fremdId) {
    if (fremdId == 0)
        return true;
    OpenedForCall scope(dm.TabFremdLeist());
    if (!scope.isOpen())
        return true;
    Table& t = dm.TabFremdLeist();
    if (!t.locate({f("S_ID")}, {fremdId}))
        return true;
    if (FieldInt(t, "S_Gebucht") != 0)
        return false;
    t.deleteRecord();
    return true;
}

int writeFremdLeistFromER(TDataModule1& dm, Table& line, const QString& rNr, int fremdId) {
    if (IsPersonalKostart(FieldInt(line, "S_KostArt")))
        return 0;
    OpenedForCall scope(dm.TabFremdLeist());
    if (!scope.isOpen())
        return fremdId;
    Table& t = dm.TabFremdLeist();
    CancelEditOnError(t, [&] {
        if (t.locate({f("S_ID")}, {fremdId})) {
            t.edit();
        } else {
            t.append();
            ensureKey(t, f("S_ID"));
        }
        for (int i = 1; i < t.fieldCount(); ++i) {
            table::Field& target = t.field(i);
            const table::Field* source = line.findField(target.name());
            if (source && !source->isNull())
                target.setValue(source->value());
        }
        t.field(f("R_Nr")).setValue(rNr);
        t.post();
    });
    return FieldInt(t, "S_ID");
}

Table& articleAt(TDataModule1& dm, int artikelId, bool& found) {
    Table& art = dm.TabArtLU();
    if (!art.isOpen())
        art.open();
    RefreshUnlessEditing(art);
    found = artikelId != 0 && art.locate({f("A_ID")}, {artikelId});
    return art;
}

// Writes the article's stock and the purchase price it gives.
void writeArticleStock(Table& art, double menge, double wert) {
    art.edit();
    art.field(f("A_Lagermenge")).setValue(menge);
    art.field(f("A_Lagerwert")).setValue(wert);
    if (menge != 0)
        art.field(f("A_EkPreis")).setValue(RoundCents(wert / menge));
    art.post();
}

// The object's copy books what its stock covers; q and b keep what remains
// for the central article.
void bookObjektArtikelStock(TDataModule1& dm, int artikelId, double& q, double& b) {
    bool found = false;
    Table& art = articleAt(dm, artikelId, found);
    if (!found)
        return;
    const QString artNo = FieldText(art, "A_ArtNo");
    const int objId = FieldInt(art, "A_ObjID");
    const int kostart = FieldInt(art, "A_Kostart");
    const bool keepsStock = GetFieldBoolOrDefault(art.findField(f("A_Bestandsfuehrung")), true);
    double l = FieldFloat(art, "A_Lagermenge");
    double w = FieldFloat(art, "A_Lagerwert");
    const QDate today = QDate::currentDate();
    if (q >= 0) {
        AddKostenEntry(artNo, artikelId, objId, today, q, b, kostart, false);
        l += q;
        w += b;
    } else if (l + q >= 0) {
        l += q;
        w += b;
        AddKostenEntry(artNo, artikelId, objId, today, q, b, kostart, false);
        q = 0;
        b = 0;
    } else {
        q += l;
        b += w;
        AddKostenEntry(artNo, artikelId, objId, today, -l, -w, kostart, false);
        l = 0;
        w = 0;
    }
    if (!keepsStock)
        return;
    articleAt(dm, artikelId, found);
    if (!found)
        return;
    CancelEditOnError(art, [&] { writeArticleStock(art, l, w); });
}

void bookZentralArtikelStock(TDataModule1& dm, const QString& artNo, double b, double q,
                             int kostart) {
    const int central = ArtikelIdOfObjekt(artNo, 0);
    if (central <= 0)
        return;
    AddKostenEntry(artNo, central, 0, QDate::currentDate(), q, b, kostart, false);
    bool found = false;
    Table& art = articleAt(dm, central, found);
    if (!found || !GetFieldBoolOrDefault(art.findField(f("A_Bestandsfuehrung")), true))
        return;
    CancelEditOnError(art, [&] {
        const double menge = FieldFloat(art, "A_Lagermenge") + q;
        const double wert = FieldFloat(art, "A_Lagerwert") + b;
        writeArticleStock(art, menge, wert);
    });
}

void bookERArtikelChange(TDataModule1& dm, int oldArtikelId, int artikelId, double oldMenge,
                         double menge, double oldNetto, double netto) {
    bool found = false;
    if (oldArtikelId != 0 && oldMenge != 0) {
        Table& art = articleAt(dm, oldArtikelId, found);
        if (found) {
            double q = -oldMenge;
            double b = -oldNetto;
            const QString artNo = FieldText(art, "A_ArtNo");
            const int kostart = FieldInt(art, "A_Kostart");
            if (FieldInt(art, "A_ObjID") != 0) {
                // Reversing a negative quantity adds to the object's stock in
                // full; the central article must not receive it a second time.
                const bool addsToObject = q >= 0;
                bookObjektArtikelStock(dm, oldArtikelId, q, b);
                if (addsToObject)
                    q = b = 0;
            }
            if (q != 0 || b != 0)
                bookZentralArtikelStock(dm, artNo, b, q, kostart);
        }
    }
    if (artikelId != 0 && menge != 0) {
        Table& art = articleAt(dm, artikelId, found);
        if (found) {
            double q = menge;
            double b = netto;
            const QString artNo = FieldText(art, "A_ArtNo");
            const int kostart = FieldInt(art, "A_Kostart");
            if (FieldInt(art, "A_ObjID") != 0)
                bookObjektArtikelStock(dm, artikelId, q, b);
            else
                bookZentralArtikelStock(dm, artNo, b, q, kostart);
        }
    }
}

// A_Bestellt of the article moves by delta and never goes below 0.
void changeBestellt(TDataModule1& dm, int artikelId, double delta) {
    bool found = false;
    Table& art = articleAt(dm, artikelId, found);
    if (!found)
        return;
    CancelEditOnError(art, [&] {
        const double bestellt = FieldFloat(art, "A_Bestellt") + delta;
        art.edit();
        art.field(f("A_Bestellt")).setValue(std::max(0.0, bestellt));
        art.post();
    });
}

void addToField(Table& t, const char* name, double delta) {
    t.edit();
    t.field(f(name)).setValue(FieldFloat(t, name) + delta);
    t.post();
}

void bookERBestellLieferung(TDataModule1& dm, int oldKopfId, int kopfId, int oldSatzId, int satzId,
                            int objId, int oldObjId, double menge, double oldMenge) {
    auto heads = OpenTempTable(kLumo, QStringLiteral("bestkopf.db"));
    auto lines = OpenTempTable(kLumo, QStringLiteral("bestsatz.db"));
    auto objects = OpenTempTable(kLumo, QStringLiteral("BestObj.DB"), QStringLiteral("BO_IRef"));
    auto findLine = [&](int kopf, int satz) {
        return kopf != 0 && heads->locate({f("R_ID")}, {kopf}) &&
               lines->locate({f("S_ID"), f("S_Ref")}, {satz, kopf});
    };
    if (findLine(oldKopfId, oldSatzId)) {
        addToField(*lines, "S_LieferMenge", -oldMenge);
        if (objects->locate({f("BO_Ref"), f("BO_ObjID")}, {oldSatzId, oldObjId})) {
            addToField(*objects, "BO_Liefermenge", -oldMenge);
            changeBestellt(dm, FieldInt(*objects, "BO_ArtID"), oldMenge);
        }
    }
    if (findLine(kopfId, satzId)) {
        addToField(*lines, "S_LieferMenge", menge);
        bool current = objects->locate({f("BO_Ref"), f("BO_ObjID")}, {satzId, objId});
        if (current)
            addToField(*objects, "BO_Liefermenge", menge);
        else
            current = objects->locate({f("BO_Ref")}, {satzId});
        if (current)
            changeBestellt(dm, FieldInt(*objects, "BO_ArtID"), -menge);
    }
    RefreshIfActive(dm.TabBestSatz());
    RefreshIfActive(dm.TabBestObj());
}

// The head of the current line: the shared head object when it stands on it.
QDate headDate(Table& head, int headId, const QString& headFile, QString& rNr) {
    Table* source = &head;
    std::unique_ptr<Table> temp;
    if (!head.isOpen() || GetFieldIntOrDefault(head.findField(f("R_ID")), 0) != headId) {
        temp = OpenTempTable(kLumo, headFile);
        if (!temp->locate({f("R_ID")}, {headId})) {
            rNr.clear();
            return {};
        }
        source = temp.get();
    }
    rNr = FieldText(*source, "R_Nr");
    const table::Field& d = source->field(f("R_DatumErstell"));
    return d.isNull() ? QDate() : d.asDate();
}

} // namespace

struct KostSumBatch::State {
    struct Key {
        bool detail;
        KostSumRow row;
        auto tied() const {
            return std::tie(detail, row.periode, row.jahr, row.monat, row.kostart, row.objektId);
        }
        bool operator<(const Key& other) const { return tied() < other.tied(); }
    };
    struct Amounts {
        int objektNr = 0;
        double zugang = 0, bestand = 0, erloes = 0;
    };
    struct Objekt {
        int nr = 0, kunde = 0;
    };

    void collect(int objektId, int kostart, const QDate& datum, double zugang, double bestand,
                 double erloes) {
        const QDate day = bookingDate(datum);
        const bool keep = keepsBestandOf(kostart);
        const Objekt& objekt = objektOf(objektId);
        forEachKostSumRow(kostart, objektId, day, [&](bool detail, const KostSumRow& p) {
            Amounts& a = sums[Key{detail, p}];
            a.objektNr = objekt.nr;
            a.zugang += zugang;
            if (!keep)
                a.bestand += bestand;
            a.erloes += erloes;
        });
        if (objekt.kunde != 0)
            turnover[{objekt.kunde, day.year(), day.month()}] += keep ? zugang : zugang - bestand;
    }
    bool keepsBestandOf(int kostart) {
        auto it = keeps.find(kostart);
        if (it == keeps.end())
            it = keeps.emplace(kostart, keepsBestand(kostart)).first;
        return it->second;
    }
    const Objekt& objektOf(int objektId) {
        auto it = objekte.find(objektId);
        if (it == objekte.end()) {
            RefreshUnlessEditing(DataModule1().TabLUObjekt());
            it = objekte
                     .emplace(objektId,
                              Objekt{GetObjektNrById(objektId), GetObjektKundeById(objektId)})
                     .first;
        }
        return it->second;
    }
    Table& entries() {
        if (!kosten) {
            kosten = OpenTempTable(kLumo, QStringLiteral("Kosten.DB"));
            kosten->lockTable();
            nextId = GetNextId(*kosten, f("K_ID"));
        }
        return *kosten;
    }
    int nextEntryId() {
        entries();
        return nextId++;
    }

    std::map<Key, Amounts> sums;
    std::map<std::tuple<int, int, int>, double> turnover; // customer, year, month
    std::map<int, bool> keeps;                            // by cost type
    std::map<int, Objekt> objekte;                        // by object id
    std::unique_ptr<Table> kosten;
    std::vector<std::unique_ptr<Table>> held; // cursors holding their table's lock
    int nextId = 0;
};

namespace {
KostSumBatch::State* g_kostSumBatch = nullptr;
} // namespace

bool IsPersonalKostart(int kostart) {
    const QVariant v = kostartValue(kostart, QStringLiteral("A_Personal"));
    return v.isValid() && !v.isNull() && v.toBool();
}

bool IsRubrik1Kostart(int kostart) {
    const QVariant v = kostartValue(kostart, QStringLiteral("A_RubrikNr"));
    return v.isValid() && !v.isNull() && v.toInt() == 1;
}

void BookKostSum(int objektId, int kostart, const QDate& datum, double zugang, double bestand,
                 double erloes) {
    if (g_kostSumBatch) {
        g_kostSumBatch->collect(objektId, kostart, datum, zugang, bestand, erloes);
        return;
    }
    TDataModule1& dm = DataModule1();
    const QDate day = bookingDate(datum);
    const bool keepBestand = keepsBestand(kostart);
    RefreshUnlessEditing(dm.TabLUObjekt());
    const int objektNr = GetObjektNrById(objektId);
    table::Transaction tx = lumoTransaction();
    {
        KostSumScope scope;
        forEachKostSumRow(kostart, objektId, day, [&](bool detail, const KostSumRow& p) {
            Table& t = detail ? dm.TabKostD() : dm.TabKostH();
            CancelEditOnError(
                t, [&] { bookKostSumRow(t, p, objektNr, zugang, bestand, erloes, keepBestand); });
        });
    }
    const int kunde = GetObjektKundeById(objektId);
    if (kunde != 0)
        AddKUmsatz(kunde, 0, keepBestand ? zugang : zugang - bestand, packed(day));
    tx.commit();
}

int AddKostenEntry(const QString& artNo, int artikelId, int objektId, const QDate& datum,
                   double menge, double betrag, int kostart, bool write) {
    TDataModule1& dm = DataModule1();
    table::Transaction tx = lumoTransaction();
    int id = 0;
    if (write) {
        Table* entries = g_kostSumBatch ? &g_kostSumBatch->entries() : &dm.TabKosten();
        // The batch holds its cursor open; the shared object is opened for the call.
        std::optional<OpenedForCall> scope;
        if (!g_kostSumBatch) {
            scope.emplace(dm.TabKosten());
            if (!scope->isOpen())
                return 0;
        }
        Table& t = *entries;
        CancelEditOnError(t, [&] {
            t.append();
            if (g_kostSumBatch)
                t.field(f("K_ID")).setValue(g_kostSumBatch->nextEntryId());
            ensureKey(t, f("K_ID"));
            t.field(f("K_Datum")).setValue(bookingDate(datum));
            t.field(f("K_Menge")).setValue(menge);
            t.field(f("K_Betrag")).setValue(betrag);
            t.field(f("K_ArtNo")).setValue(artNo);
            t.field(f("K_MatID")).setValue(artikelId);
            t.field(f("K_ObjID")).setValue(objektId);
            t.field(f("K_KostArt")).setValue(kostart);
            t.post();
        });
        id = FieldInt(t, "K_ID");
    }
    BookKostSum(objektId, kostart, datum, betrag, betrag, 0);
    if (artikelId != 0)
        AddAUmsatz(artikelId, 0, betrag, packed(datum));
    tx.commit();
    return id;
}

void DeleteKostenEntry(int kostenId) {
    TDataModule1& dm = DataModule1();
    std::optional<OpenedForCall> scope;
    if (!g_kostSumBatch) {
        scope.emplace(dm.TabKosten());
        if (!scope->isOpen())
            return;
    }
    Table& t = g_kostSumBatch ? g_kostSumBatch->entries() : dm.TabKosten();
    if (kostenId == 0 || !t.locate({f("K_ID")}, {kostenId}))
        return;
    const table::Field& d = t.field(f("K_Datum"));
    const QDate datum = d.isNull() ? QDate::currentDate() : d.asDate();
    const double betrag = FieldFloat(t, "K_Betrag");
    const int objektId = FieldInt(t, "K_ObjID");
    const int kostart = FieldInt(t, "K_KostArt");
    const int artikelId = FieldInt(t, "K_MatID");
    table::Transaction tx = lumoTransaction();
    t.deleteRecord();
    BookKostSum(objektId, kostart, datum, -betrag, -betrag, 0);
    if (artikelId != 0)
        AddAUmsatz(artikelId, 0, -betrag, packed(datum));
    tx.commit();
}

KostSumBatch::KostSumBatch() : m_state(std::make_unique<State>()) {
    if (g_kostSumBatch)
        throw std::logic_error("KostSumBatch: only one batch at a time");
    // The tables the batch writes are held for it: the caller's run holds
    // the database anyway, and every row written need not ask whether
    // another workstation holds its table or lock the row on its own.
    for (const char* file : {"KostSumH.db", "KostSumD.db", "KUmsatz.DB"}) {
        m_state->held.push_back(OpenTempTable(kLumo, QString::fromLatin1(file)));
        m_state->held.back()->lockTable();
    }
    g_kostSumBatch = m_state.get();
}

KostSumBatch::~KostSumBatch() {
    if (g_kostSumBatch == m_state.get())
        g_kostSumBatch = nullptr;
}

void KostSumBatch::finish() {
    if (g_kostSumBatch != m_state.get())
        return;
    // From here on the bookings below book for themselves again.
    g_kostSumBatch = nullptr;
    State& s = *m_state;
    TDataModule1& dm = DataModule1();
    table::Transaction tx = lumoTransaction();
    {
        KostSumScope scope;
        for (const auto& [key, amounts] : s.sums) {
            Table& t = key.detail ? dm.TabKostD() : dm.TabKostH();
            // The collected stock amount already leaves out the types that keep it.
            CancelEditOnError(t, [&] {
                bookKostSumRow(t, key.row, amounts.objektNr, amounts.zugang, amounts.bestand,
                               amounts.erloes, false);
            });
        }
    }
    for (const auto& [key, kosten] : s.turnover) {
        const auto& [kunde, jahr, monat] = key;
        AddKUmsatz(kunde, 0, kosten, TPackedDate(quint16(jahr), quint8(monat), 1));
    }
    tx.commit();
    s.sums.clear();
    s.turnover.clear();
}

void BookMonthUmsatz(int number, const QString& databaseName, const QString& tableName,
                     double betrag, double kosten, bool noCosts, const QDate& datum) {
    const QDate day = bookingDate(datum);
    table::Transaction tx(*table::aliases::database(databaseName));
    auto t = OpenTempTable(databaseName, tableName, QStringLiteral("U_KdJrMon"));
    const QStringList key{f("U_Kunde"), f("U_Jahr"), f("U_Monat")};
    if (!t->locate(key, {number, day.year(), day.month()})) {
        for (int month = 1; month <= 12; ++month) {
            if (t->locate(key, {number, day.year(), month}))
                continue;
            t->append();
            t->field(f("U_ID")).setValue(GetNextId(databaseName, tableName, f("U_ID")));
            t->field(f("U_Kunde")).setValue(number);
            t->field(f("U_Jahr")).setValue(day.year());
            t->field(f("U_Monat")).setValue(month);
            t->field(f("U_Betrag")).setValue(0.0);
            if (!noCosts)
                t->field(f("U_Kosten")).setValue(0.0);
            t->post();
        }
        if (!t->locate(key, {number, day.year(), day.month()}))
            return;
    }
    double amount = RoundCents(FieldFloat(*t, "U_Betrag") + betrag);
    if (std::fabs(amount) < 0.005)
        amount = 0;
    t->edit();
    t->field(f("U_Betrag")).setValue(amount);
    if (!noCosts)
        t->field(f("U_Kosten")).setValue(RoundCents(FieldFloat(*t, "U_Kosten") + kosten));
    t->post();
    tx.commit();
}

void BookERSatzKosten(TDataModule1& dm, bool deleting) {
    Table& line = dm.TabERSatz();
    QString rNr;
    const QDate d = bookingDate(
        headDate(dm.TabERKopf(), FieldInt(line, "S_Ref"), QStringLiteral("ERkopf.DB"), rNr));
    const int objId = FieldInt(line, "S_ObjID");
    const double menge = FieldFloat(line, "S_Menge");
    const double netto = FieldFloat(line, "S_Netto");
    const int kostart = FieldInt(line, "S_KostArt");
    const QString oldArtNo = FieldText(line, "S_OldArtNo");
    const QString artNo = FieldText(line, "S_ArtNo");
    const int oldFremdId = FieldInt(line, "S_OldFremdID");
    int fremdId = FieldInt(line, "S_FremdID");
    int kostId = FieldInt(line, "S_KostID");

    table::Transaction tx = lumoTransaction();
    if (oldArtNo.isEmpty() || oldFremdId != 0) {
        if ((oldFremdId != fremdId || deleting) && !deleteFremdLeistIfUnbilled(dm, oldFremdId)) {
            ShowError(QStringLiteral("Dieser Datensatz wurde bereits in Rechnung gestellt und\r"
                                     "kann daher nicht verändert werden!"));
            throw Abort{};
        }
        DeleteKostenEntry(kostId);
        kostId = 0;
    }
    if (artNo.isEmpty() && !deleting) {
        if (objId != 0)
            fremdId = writeFremdLeistFromER(dm, line, rNr, oldFremdId);
        kostId = AddKostenEntry(QString(), 0, objId, d, menge, netto, kostart, true);
    }

    const int matId = deleting ? 0 : FieldInt(line, "S_MatID");
    const int oldMatId = FieldInt(line, "S_OldMatID");
    const int oldObjId = FieldInt(line, "S_OldObjID");
    const double oldMenge = FieldFloat(line, "S_OldMenge");
    const double oldNetto = FieldFloat(line, "S_OldNetto");
    const int kopfId = FieldInt(line, "S_BestKopfID");
    const int oldKopfId = FieldInt(line, "S_OldBestKopfID");
    const int satzId = FieldInt(line, "S_BestSatzID");
    const int oldSatzId = FieldInt(line, "S_OldBestSatzID");
    if (oldMatId != matId || oldObjId != objId || oldMenge != menge || oldNetto != netto) {
        OpenedForCall kosten(dm.TabKosten());
        if (kosten.isOpen()) {
            bookERArtikelChange(dm, oldMatId, matId, oldMenge, menge, oldNetto, netto);
            if ((kopfId != 0 || oldKopfId != 0) && (satzId != 0 || oldSatzId != 0))
                bookERBestellLieferung(dm, oldKopfId, kopfId, oldSatzId, satzId, objId, oldObjId,
                                       deleting ? 0.0 : menge, oldMenge);
        }
    }

    if (!deleting) {
        const table::Field& mwstKz = line.field(f("S_MwstKz"));
        EnsureEditOrInsert(line);
        line.field(f("S_KostID")).setValue(kostId);
        line.field(f("S_FremdID")).setValue(fremdId);
        line.field(f("S_OldObjID")).setValue(objId);
        line.field(f("S_OldMatID")).setValue(matId);
        line.field(f("S_OldFremdID")).setValue(fremdId);
        line.field(f("S_OldMenge")).setValue(menge);
        line.field(f("S_OldBestKopfID")).setValue(kopfId);
        line.field(f("S_OldBestSatzID")).setValue(satzId);
        line.field(f("S_OldNetto")).setValue(netto);
        line.field(f("S_OldArtNo")).setValue(artNo);
        line.field(f("S_OldMwstKz")).setValue(mwstKz.isNull() ? DefaultMwstKz : mwstKz.asInteger());
    }
    tx.commit();
}

void ReleaseOpenOrderQuantities(TDataModule1& dm, bool add) {
    Table& head = dm.TabBestKopf();
    if (!head.isOpen() || head.isEmpty())
        return;
    const int kopfId = FieldInt(head, "R_ID");
    auto lines = OpenTempTable(kLumo, QStringLiteral("bestsatz.db"), QStringLiteral("S_IRef"));
    auto objects = OpenTempTable(kLumo, QStringLiteral("BestObj.DB"), QStringLiteral("BO_IRef"));
    lines->setRange({kopfId}, {kopfId});
    if (lines->isEmpty())
        return;
    // The order's quantities go back (or are taken) in full or not at all.
    table::Transaction tx = lumoTransaction();
    for (lines->first(); !lines->eof(); lines->next()) {
        const int satzId = FieldInt(*lines, "S_ID");
        objects->setRange({satzId}, {satzId});
        for (objects->first(); !objects->eof() && !objects->isEmpty(); objects->next()) {
            const double open =
                FieldFloat(*objects, "BO_BestMenge") - FieldFloat(*objects, "BO_Liefermenge");
            if (open != 0)
                changeBestellt(dm, FieldInt(*objects, "BO_ArtID"), add ? open : -open);
        }
    }
    tx.commit();
}
