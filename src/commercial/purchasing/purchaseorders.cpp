#include "commercial/purchasing/purchaseorders.h"

#include "commercial/bookings/costbookings.h"
#include "commercial/documents/vatlookups.h"
#include "commercial/documents/vatrates.h"
#include "commercial/purchasing/besttools.h"
#include "commercial/purchasing/purchasingrules.h"
#include "core/data/counters.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/dockinds.h"
#include "core/data/docnumbers.h"
#include "core/data/lookups.h"
#include "core/data/printforms.h"
#include "core/values/datetimevalue.h"
#include "core/values/money.h"
#include "core/values/orderquantity.h"
#include "platform/errors.h"
#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/query.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

#include <QHash>
#include <QMap>
#include <QPair>
#include <QSet>
#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;
using table::Table;

namespace {

const QString kDb = u"LumoDB"_s;

table::Database& lumo() {
    return *table::aliases::database(kDb);
}

// Sets a module flag for a scope and clears it on every way out.
class FlagScope {
public:
    FlagScope(TDataModule1& dm, void (TDataModule1::*set)(bool)) : m_dm(dm), m_set(set) {
        (m_dm.*m_set)(true);
    }
    ~FlagScope() { (m_dm.*m_set)(false); }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    TDataModule1& m_dm;
    void (TDataModule1::*m_set)(bool);
};

// An article row as the proposals read it.
struct ArticleRow {
    int id = 0;
    int objId = 0;
    bool stockKept = false;
    int modus = 0;
    double lager = 0, vormerkung = 0, bestellt = 0, soll = 0, bestBestand = 0, preis1 = 0;
    int hauptLiefId = 0;
    double ekPreis = 0;
    QString bezeichnung;
};

// Appends rows to a table through one prepared statement: a run that writes
// thousands of rows of its own (no record rules apply to them) costs little
// more than the inserts. Cursors learn of the rows when the writer ends.
class RowInserter {
public:
    RowInserter(table::Database& db, const QString& tableName)
        : m_db(db), m_physical(table::physicalName(tableName)), m_def(db.tableDef(tableName)),
          m_values(m_def.fields.size()) {
        QStringList columns, marks;
        for (const table::FieldDef& f : m_def.fields) {
            columns << table::quoted(f.name);
            marks << u"?"_s;
        }
        m_insert = db.connection().prepare(u"INSERT INTO %1(%2) VALUES(%3)"_s.arg(
            table::quoted(m_physical), columns.join(u','), marks.join(u',')));
        for (qsizetype i = 0; i < m_def.fields.size(); ++i)
            m_index.insert(m_def.fields[i].name.toLower(), int(i));
    }
    ~RowInserter() {
        m_db.noteTableWritten(m_physical);
        m_db.invalidateCursors();
    }
    RowInserter(const RowInserter&) = delete;
    RowInserter& operator=(const RowInserter&) = delete;

    // The column of a field, looked up once before a run.
    int column(const QString& field) const {
        const auto it = m_index.constFind(field.toLower());
        if (it == m_index.constEnd())
            throw DbError(u"Das Feld %1 fehlt in %2."_s.arg(field, m_def.name));
        return *it;
    }
    RowInserter& set(int column, const QVariant& value) {
        m_values[column] = value;
        return *this;
    }
    void append() {
        table::Statement& s = *m_insert;
        for (qsizetype i = 0; i < m_def.fields.size(); ++i) {
            if (m_values[i].isValid())
                table::bindTyped(s, int(i) + 1, m_def.fields[i],
                                 table::toTyped(m_def.fields[i], m_values[i]));
            else
                s.bindNull(int(i) + 1);
            m_values[i] = QVariant();
        }
        s.step();
        s.reset();
    }

private:
    table::Database& m_db;
    QString m_physical;
    table::TableDef m_def;
    QVariantList m_values;
    QHash<QString, int> m_index;
    std::unique_ptr<table::Statement> m_insert;
};

StockFigures figuresOf(const ArticleRow& a) {
    return {a.modus, a.soll, a.lager, a.vormerkung, a.bestellt};
}

struct PlannedStockRow {
    const ArticleRow* article = nullptr;
    QChar modus;
    double tagbedarf = 0.0;
    double vorschlag = 0.0;
    double menge = 0.0;
};

StockProposal proposalOf(const ArticleRow& a, int lieferTage, Table& turnover, const QDate& today) {
    return ProposeForStock(figuresOf(a), lieferTage,
                           [&] { return CalcTagesbedarf(turnover, a.id, a.preis1, today); });
}

// Reads a whole selection at once; the run's lookups come from memory, so
// that its cost grows with the articles alone.
std::unique_ptr<table::Query> select(const QString& sql) {
    auto q = std::make_unique<table::Query>(table::aliases::database(kDb), sql);
    q->open();
    return q;
}

QMap<QString, std::vector<ArticleRow>> readArticlesByNumber() {
    // Read cell by cell: the run reads every article row, so the reading must
    // cost little next to the writing.
    table::Database& db = lumo();
    const QString tableName = u"Artikel.DB"_s;
    const table::TableDef def = db.tableDef(tableName);
    const QStringList names = {
        u"A_ID"_s,           u"A_ArtNo"_s,          u"A_ObjID"_s,      u"A_Bestandsfuehrung"_s,
        u"A_BestellModus"_s, u"A_Lagermenge"_s,     u"A_Vormerkung"_s, u"A_Bestellt"_s,
        u"A_SollBestand"_s,  u"A_BestellBestand"_s, u"A_Preis1"_s,     u"A_HauptLiefID"_s,
        u"A_EkPreis"_s,      u"A_Bezeich1"_s};
    std::vector<table::FieldDef> fields;
    QStringList columns;
    for (const QString& name : names) {
        const auto it = std::find_if(def.fields.begin(), def.fields.end(), [&](const auto& f) {
            return f.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (it == def.fields.end())
            throw DbError(u"Das Feld %1 fehlt in %2."_s.arg(name, tableName));
        fields.push_back(*it);
        columns << table::quoted(it->name);
    }
    auto stmt = db.connection().prepare(u"SELECT %1 FROM %2"_s.arg(
        columns.join(u','), table::quoted(table::physicalName(tableName))));
    auto value = [&](int c) { return table::readTyped(*stmt, c, fields[size_t(c)].type); };
    QMap<QString, std::vector<ArticleRow>> byNumber;
    while (stmt->step()) {
        ArticleRow a;
        a.id = int(stmt->int64(0));
        a.objId = int(stmt->int64(2));
        a.stockKept = value(3).toBool();
        a.modus = int(stmt->int64(4));
        a.lager = value(5).toDouble();
        a.vormerkung = value(6).toDouble();
        a.bestellt = value(7).toDouble();
        a.soll = value(8).toDouble();
        a.bestBestand = value(9).toDouble();
        a.preis1 = value(10).toDouble();
        a.hauptLiefId = int(stmt->int64(11));
        a.ekPreis = value(12).toDouble();
        a.bezeichnung = stmt->text(13);
        byNumber[stmt->text(1)].push_back(a);
    }
    return byNumber;
}

// The positive turnover of every article: its sum and the earliest month.
struct Turnover {
    double sum = 0.0;
    QDate start;
};
QHash<int, Turnover> readTurnover() {
    QHash<int, Turnover> byArticle;
    auto q = select(u"SELECT U_ArtikelID, SUM(U_Betrag), MIN(U_Jahr * 100 + U_Monat) "
                    u"FROM AUmsatz WHERE U_Betrag > 0 GROUP BY U_ArtikelID"_s);
    for (q->first(); !q->eof(); q->next()) {
        Turnover& t = byArticle[q->value(0).toInt()];
        t.sum = q->value(1).toDouble();
        const int first = q->value(2).toInt();
        t.start = QDate(first / 100, first % 100, 1);
    }
    return byArticle;
}

double tagesbedarfOf(const QHash<int, Turnover>& turnover, const ArticleRow& a,
                     const QDate& today) {
    const auto it = turnover.constFind(a.id);
    if (it == turnover.constEnd() || RoundCents(it->sum) <= 0.0)
        return 0.0;
    const QDate start = it->start.isValid() && it->start < today ? it->start : today;
    const qint64 days = start.daysTo(today);
    if (days <= 0 || a.preis1 <= 0.0)
        return 0.0;
    return it->sum / (double(days) * a.preis1);
}

struct SupplierArticle {
    int id = 0;
    TLiefArtBestellDaten daten;
};
QHash<QPair<int, QString>, SupplierArticle> readSupplierArticles() {
    QHash<QPair<int, QString>, SupplierArticle> all;
    auto q = select(u"SELECT A_ID, A_LieferantID, A_ArtNo, A_LiefArtNo, A_Bezeich1, A_EkPreis, "
                    u"A_VerpackMenge, A_BestellmengeMin, A_Liefertage FROM Liefart"_s);
    for (q->first(); !q->eof(); q->next()) {
        const QPair<int, QString> key(q->value(1).toInt(), q->value(2).toString());
        if (all.contains(key))
            continue; // the first, as a search would find it
        SupplierArticle s;
        s.id = q->value(0).toInt();
        s.daten.liefArtNo = q->value(3).toString();
        s.daten.bezeichnung = q->value(4).toString();
        s.daten.ekPreis = q->value(5).toDouble();
        s.daten.packMenge = q->value(6).toDouble();
        s.daten.minMenge = q->value(7).toDouble();
        s.daten.lieferTage = q->value(8).toInt();
        all.insert(key, s);
    }
    return all;
}

QHash<int, int> readSupplierNumbers() {
    QHash<int, int> numbers;
    auto q = select(u"SELECT K_ID, K_Nr FROM Liefrnt"_s);
    for (q->first(); !q->eof(); q->next())
        numbers.insert(q->value(0).toInt(), q->value(1).toInt());
    return numbers;
}

StockProposal proposalOf(const ArticleRow& a, int lieferTage, const QHash<int, Turnover>& turnover,
                         const QDate& today) {
    return ProposeForStock(figuresOf(a), lieferTage,
                           [&] { return tagesbedarfOf(turnover, a, today); });
}

void editCurrent(Table& t) {
    if (!t.isEditing())
        t.edit();
}

} // namespace

ProposalRunResult CreateOrderProposals(TDataModule1& dm, const QDate& today,
                                       const std::function<void()>& progress) {
    ProposalRunResult result;
    const auto byNumber = readArticlesByNumber();
    const QHash<int, Turnover> turnover = readTurnover();
    const auto supplierArticles = readSupplierArticles();
    const QHash<int, int> supplierNumbers = readSupplierNumbers();
    // The shared objects show the old list until the new one is committed.
    Table& shared = dm.TabBvListe();
    if (shared.isOpen() && shared.isEditing())
        shared.post();
    {
        table::Transaction tx(lumo());
        lumo().emptyTable(u"BVObjekt.DB"_s);
        lumo().emptyTable(u"BVliste.db"_s);
        RowInserter bv(lumo(), u"BVliste.db"_s);
        RowInserter bo(lumo(), u"BVObjekt.DB"_s);
        const int cBV_ID = bv.column(u"BV_ID"_s);
        const int cBV_ArtNr = bv.column(u"BV_ArtNr"_s);
        const int cBV_ArtID = bv.column(u"BV_ArtID"_s);
        const int cBV_LiefNr = bv.column(u"BV_LiefNr"_s);
        const int cBV_LiefArtNr = bv.column(u"BV_LiefArtNr"_s);
        const int cBV_LiefArtID = bv.column(u"BV_LiefArtID"_s);
        const int cBV_LiefArtBezeich = bv.column(u"BV_LiefArtBezeich"_s);
        const int cBV_Liefertage = bv.column(u"BV_Liefertage"_s);
        const int cBV_Lieferpreis = bv.column(u"BV_Lieferpreis"_s);
        const int cBV_VerpackMenge = bv.column(u"BV_VerpackMenge"_s);
        const int cBV_MinBestMenge = bv.column(u"BV_MinBestMenge"_s);
        const int cBV_Istbestand = bv.column(u"BV_Istbestand"_s);
        const int cBV_Bestellt = bv.column(u"BV_Bestellt"_s);
        const int cBV_Vorschlag = bv.column(u"BV_Vorschlag"_s);
        const int cBV_BestellMenge = bv.column(u"BV_BestellMenge"_s);
        const int cBV_BestellWert = bv.column(u"BV_BestellWert"_s);
        const int cBV_BestellNr = bv.column(u"BV_BestellNr"_s);
        const int cBV_Selected = bv.column(u"BV_Selected"_s);
        const int cBO_ID = bo.column(u"BO_ID"_s);
        const int cBO_ArtNr = bo.column(u"BO_ArtNr"_s);
        const int cBO_ArtID = bo.column(u"BO_ArtID"_s);
        const int cBO_ObjID = bo.column(u"BO_ObjID"_s);
        const int cBO_Istbestand = bo.column(u"BO_Istbestand"_s);
        const int cBO_BestBestand = bo.column(u"BO_BestBestand"_s);
        const int cBO_Sollbestand = bo.column(u"BO_Sollbestand"_s);
        const int cBO_Vormerkung = bo.column(u"BO_Vormerkung"_s);
        const int cBO_Tagbedarf = bo.column(u"BO_Tagbedarf"_s);
        const int cBO_Vorschlag = bo.column(u"BO_Vorschlag"_s);
        const int cBO_BestMenge = bo.column(u"BO_BestMenge"_s);
        const int cBO_BestModus = bo.column(u"BO_BestModus"_s);
        int bvId = 0;
        int boId = 0;
        for (auto it = byNumber.cbegin(); it != byNumber.cend(); ++it) {
            const std::vector<ArticleRow>& rows = it.value();
            const auto general = std::find_if(rows.begin(), rows.end(), [](const ArticleRow& a) {
                return a.objId == 0 && a.stockKept;
            });
            if (general == rows.end())
                continue;
            if (progress)
                progress();
            const QString& artNo = it.key();
            const int liefId = general->hauptLiefId;
            const int liefNr = supplierNumbers.value(liefId, 0);
            const auto own = supplierArticles.constFind({liefId, artNo});
            TLiefArtBestellDaten daten;
            if (own != supplierArticles.constEnd()) {
                daten = own->daten;
            } else {
                daten.ekPreis = general->ekPreis;
                daten.bezeichnung = general->bezeichnung;
            }

            std::vector<PlannedStockRow> planned;
            QSet<int> taken;
            const ArticleRow* central = nullptr;
            bool centralAdded = false;
            double sum = 0.0, istbestand = 0.0, bestellt = 0.0;
            auto add = [&](const ArticleRow& a, const StockProposal& p) {
                if (taken.contains(a.id)) {
                    result.duplicates.append(artNo);
                    return;
                }
                taken.insert(a.id);
                planned.push_back({&a, p.modus, p.tagbedarf, p.vorschlag, p.vorschlag});
                sum += p.vorschlag;
                istbestand += a.lager;
                bestellt += a.bestellt;
                if (a.objId == 0)
                    centralAdded = true;
            };
            for (const ArticleRow& a : rows) {
                if (a.objId == 0)
                    central = &a;
                const StockProposal p = proposalOf(a, daten.lieferTage, turnover, today);
                if (p.vorschlag > 0.0)
                    add(a, p);
            }
            if (planned.empty())
                continue;
            if (sum > 0.0 && !centralAdded && central)
                add(*central, StockProposal{u'S', 0.0, 0.0});

            // The final pass: packs and minimum, the surplus on the central row.
            const double menge = CalcBestellMenge(daten.minMenge, daten.packMenge, sum);
            if (menge != sum) {
                std::vector<StockQuantity> quantities;
                for (const PlannedStockRow& row : planned)
                    quantities.push_back({row.article->objId == 0, row.menge});
                const std::vector<double> spread = SpreadStockQuantities(quantities, menge);
                for (size_t i = 0; i < spread.size(); ++i)
                    planned[i].menge = spread[i];
            }

            bv.set(cBV_ID, ++bvId)
                .set(cBV_ArtNr, artNo)
                .set(cBV_ArtID, planned.front().article->id)
                .set(cBV_LiefNr, liefNr)
                .set(cBV_LiefArtNr, daten.liefArtNo)
                .set(cBV_LiefArtID, own != supplierArticles.constEnd() ? own->id : 0)
                .set(cBV_LiefArtBezeich, daten.bezeichnung)
                .set(cBV_Liefertage, daten.lieferTage)
                .set(cBV_Lieferpreis, daten.ekPreis)
                .set(cBV_VerpackMenge, daten.packMenge)
                .set(cBV_MinBestMenge, daten.minMenge)
                .set(cBV_Istbestand, istbestand)
                .set(cBV_Bestellt, bestellt)
                .set(cBV_Vorschlag, menge)
                .set(cBV_BestellMenge, menge)
                .set(cBV_BestellWert, RoundCents(daten.ekPreis * menge))
                .set(cBV_BestellNr, QString())
                .set(cBV_Selected, false);
            bv.append();
            ++result.proposals;
            for (const PlannedStockRow& row : planned) {
                const ArticleRow& a = *row.article;
                bo.set(cBO_ID, ++boId)
                    .set(cBO_ArtNr, artNo)
                    .set(cBO_ArtID, a.id)
                    .set(cBO_ObjID, a.objId)
                    .set(cBO_Istbestand, a.lager)
                    .set(cBO_BestBestand, a.bestBestand)
                    .set(cBO_Sollbestand, a.soll)
                    .set(cBO_Vormerkung, a.vormerkung)
                    .set(cBO_Tagbedarf, row.tagbedarf)
                    .set(cBO_Vorschlag, row.vorschlag)
                    .set(cBO_BestMenge, row.menge)
                    .set(cBO_BestModus, QString(row.modus));
                bo.append();
                ++result.stockRows;
            }
        }
        tx.commit();
    }
    RefreshIfActive(shared);
    RefreshIfActive(dm.TabBvObj());
    return result;
}

void CreateBestellungHead(TDataModule1& dm, int liefNr, int printForm, const QDate& today) {
    Table& head = dm.TabBestKopf();
    const int year = today.year();
    const int month = today.month();
    const int nr = NextFreeDocNr(TDocKind::Bestellung, year, month);
    try {
        head.append();
        head.field(u"R_Nr"_s).setValue(FormatDocNr(TDocKind::Bestellung, nr, year, month, false));
        head.field(u"R_Creator"_s).setValue(0);
        head.field(u"R_RgState"_s).setValue(0);
        head.field(u"R_Jahr"_s).setValue(year);
        head.field(u"R_Monat"_s).setValue(month);
        head.field(u"R_DatumErstell"_s).setValue(today);
        head.field(u"R_DatumDruck"_s).setValue(today);
        head.field(u"R_Drucke"_s).setValue(0);
        head.field(u"R_PrintFormNo"_s).setValue(printForm);
        head.field(u"R_Selected"_s).setValue(false);
        head.field(u"R_KFID"_s).setValue(0);
        head.field(u"R_KopfText"_s).setValue(QString());
        head.field(u"R_FussText"_s).setValue(QString());
        head.field(u"R_Anzpos"_s).setValue(0);
        for (const char* f : {"R_Netto", "R_Brutto", "R_Mwst", "R_Mwst1", "R_Mwst2"})
            head.field(QString::fromLatin1(f)).setValue(0.0);
        for (const char* f :
             {"R_LMatch", "R_Lname1", "R_Lname2", "R_Lname3", "R_LStrasse", "R_LPlz", "R_LOrt"})
            head.field(QString::fromLatin1(f)).setValue(QString());
        head.field(u"R_LiefNr"_s).setValue(liefNr);
        head.field(u"R_FKontoNr"_s).setValue(0);
        if (liefNr != 0) {
            auto suppliers = OpenTempTable(kDb, u"Liefrnt.db"_s);
            if (suppliers->locate({u"K_Nr"_s}, {liefNr})) {
                const QList<std::pair<const char*, const char*>> address = {
                    {"R_LMatch", "K_Match"},    {"R_Lname1", "K_Name1"}, {"R_Lname2", "K_Name2"},
                    {"R_Lname3", "K_Name3"},    {"R_LPlz", "K_Plz"},     {"R_LOrt", "K_Ort"},
                    {"R_LStrasse", "K_Strasse"}};
                for (const auto& [to, from] : address)
                    head.field(QString::fromLatin1(to))
                        .setValue(FieldText(*suppliers, QString::fromLatin1(from)));
                // The head keeps the firm's customer number at the supplier as a
                // number; a text that is none stays out rather than failing the order.
                bool numeric = false;
                const int eigene =
                    FieldText(*suppliers, u"K_EigeneKdNr"_s).trimmed().toInt(&numeric);
                if (numeric)
                    head.field(u"R_EigeneKdNr"_s).setValue(eigene);
                const int fibu = int(std::lround(FieldFloat(*suppliers, u"K_Fibukonto"_s)));
                head.field(u"R_FKontoNr"_s).setValue(fibu != 0 ? fibu : liefNr);
            }
        }
        head.post();
    } catch (...) {
        if (head.isEditing())
            head.cancel();
        PutBackBestellungNr();
        throw;
    }
}

OrderFromProposalsResult OrderProposalsOfSupplier(TDataModule1& dm, int liefNr,
                                                  const QDate& today) {
    OrderFromProposalsResult result;
    Table& head = dm.TabBestKopf();
    Table& lines = dm.TabBestSatz();
    Table& orderStock = dm.TabBestObj();
    OpenForCall openHead(head);
    OpenForCall openLines(lines);
    OpenForCall openStock(orderStock);
    const int liefId = liefNr ? GetLieferantIdByNr(liefNr) : 0;
    CreateBestellungHead(dm, liefNr, FirstUserPrintForm(76000), today);
    const int kopfId = FieldInt(head, u"R_ID"_s);
    result.orderNr = FieldText(head, u"R_Nr"_s);

    Table& proposals = dm.TabBvListe();
    Table& proposalStock = dm.TabBvObj();
    OpenForCall openProposals(proposals);
    auto articles = OpenTempTable(kDb, u"Artikel.DB"_s);
    const double defaultRate = GetVatRateAt(DefaultMwstKz, DateTimeOfDate(today));
    proposals.first();
    while (!proposals.eof() && !proposals.isEmpty()) {
        if (FieldInt(proposals, u"BV_LiefNr"_s) != liefNr) {
            proposals.next();
            continue;
        }
        const QString artNr = FieldText(proposals, u"BV_ArtNr"_s);
        const table::Bookmark before = proposals.bookmark();
        try {
            table::Transaction tx(lumo());
            const int artId = FieldInt(proposals, u"BV_ArtID"_s);
            QString unit;
            int mwstKz = DefaultMwstKz;
            int kostart = 0;
            if (articles->locate({u"A_ID"_s}, {artId})) {
                unit = GetVeLangText(FieldInt(*articles, u"A_VerpackEinheit"_s));
                mwstKz = FieldInt(*articles, u"A_Mwst"_s);
                kostart = FieldInt(*articles, u"A_Kostart"_s);
            }
            const QString kurztext = LocateFieldValue(dm.TabArtLU(), {u"A_ArtNo"_s, u"A_ObjID"_s},
                                                      {artNr, 0}, u"A_Bezeich1"_s, true)
                                         .toString();
            const double rate =
                mwstKz == DefaultMwstKz ? defaultRate : GetVatRateAt(mwstKz, DateTimeOfDate(today));
            lines.append();
            lines.field(u"S_Ref"_s).setValue(kopfId);
            lines.field(u"S_ArtNr"_s).setValue(artNr);
            lines.field(u"S_MatID"_s).setValue(artId);
            lines.field(u"S_LArtNr"_s).setValue(FieldText(proposals, u"BV_LiefArtNr"_s));
            lines.field(u"S_LArtID"_s).setValue(FieldInt(proposals, u"BV_LiefArtID"_s));
            lines.field(u"S_MengBez"_s).setValue(unit);
            lines.field(u"S_MwstKz"_s).setValue(mwstKz);
            lines.field(u"S_Mwst"_s).setValue(rate);
            lines.field(u"S_KostenKonto"_s).setValue(kostart);
            lines.field(u"S_LieferMenge"_s).setValue(0.0);
            lines.field(u"S_Kurztext"_s).setValue(kurztext);
            lines.field(u"S_Text"_s).setValue(GetLiefArtBeschreibung(liefId, artNr, kurztext));
            lines.field(u"S_EPreis"_s).setValue(FieldFloat(proposals, u"BV_Lieferpreis"_s));
            lines.field(u"S_Menge"_s).setValue(FieldFloat(proposals, u"BV_BestellMenge"_s));
            lines.post();
            const int satzId = FieldInt(lines, u"S_ID"_s);
            {
                FlagScope allowed(dm, &TDataModule1::SetBestObjInsertAllowed);
                OpenForCall openProposalStock(proposalStock);
                for (proposalStock.first(); !proposalStock.eof() && !proposalStock.isEmpty();
                     proposalStock.next()) {
                    orderStock.append();
                    orderStock.field(u"BO_Ref"_s).setValue(satzId);
                    for (const char* f :
                         {"BO_ArtNr", "BO_ArtID", "BO_ObjID", "BO_Istbestand", "BO_BestBestand",
                          "BO_Sollbestand", "BO_Vormerkung", "BO_Tagbedarf", "BO_Vorschlag",
                          "BO_BestMenge", "BO_BestModus"}) {
                        const QString name = QString::fromLatin1(f);
                        orderStock.field(name).setValue(proposalStock.field(name).value());
                    }
                    orderStock.field(u"BO_Liefermenge"_s).setValue(0.0);
                    orderStock.field(u"BO_Selected"_s).setValue(false);
                    orderStock.post();
                }
                openProposalStock.close();
            }
            proposals.deleteRecord();
            tx.commit();
            ++result.lines;
        } catch (const Abort&) {
            throw;
        } catch (const std::exception& e) {
            const auto* db = dynamic_cast<const DbError*>(&e);
            const QString error = db ? db->message() : QString::fromUtf8(e.what());
            for (Table* t : {&lines, &orderStock, &proposals})
                if (t->isOpen() && t->isEditing())
                    t->cancel();
            result.failed.append(artNr + u": "_s + error);
            proposals.refresh();
            if (proposals.bookmarkValid(before))
                proposals.gotoBookmark(before);
            proposals.next();
            continue;
        }
        // The deletion moved the cursor on to the next row already.
    }
    openProposals.close();
    head.refresh();
    if (head.locate({u"R_ID"_s}, {kopfId}) && result.lines == 0) {
        head.deleteRecord();
        PutBackBestellungNr();
        result.orderNr.clear();
    }
    openStock.close();
    openLines.close();
    openHead.close();
    return result;
}

void DateOpenOrderForPrint(TDataModule1& dm, const QDate& today) {
    Table& head = dm.TabBestKopf();
    if (FieldInt(head, u"R_RgState"_s) != 0)
        return;
    CancelEditOnError(head, [&] {
        editCurrent(head);
        head.field(u"R_DatumDruck"_s).setValue(today);
        head.post();
    });
}

void PlaceOrderOnFirstPrint(TDataModule1& dm) {
    Table& head = dm.TabBestKopf();
    if (FieldInt(head, u"R_RgState"_s) != 0)
        return;
    CancelEditOnError(head, [&] {
        editCurrent(head);
        head.field(u"R_RgState"_s).setValue(1);
        head.post();
    });
    ReleaseOpenOrderQuantities(dm, true);
}

void MarkOrderPrinted(TDataModule1& dm) {
    Table& head = dm.TabBestKopf();
    if (head.isEditing())
        head.post();
    table::Transaction tx(lumo());
    CancelEditOnError(head, [&] {
        head.edit();
        head.field(u"R_Drucke"_s).setValue(FieldInt(head, u"R_Drucke"_s) + 1);
        head.field(u"R_Selected"_s).setValue(false);
        head.post();
    });
    PlaceOrderOnFirstPrint(dm);
    tx.commit();
}

void ReleaseIfPrinted(TDataModule1& dm) {
    if (FieldInt(dm.TabBestKopf(), u"R_RgState"_s) == 1)
        ReleaseOpenOrderQuantities(dm, false);
}

void DeletePurchaseOrder(TDataModule1& dm) {
    table::Transaction tx(lumo());
    ReleaseIfPrinted(dm);
    dm.TabBestKopf().deleteRecord();
    tx.commit();
}

int PrepareOrdersForArchive(TDataModule1& dm) {
    Table& head = dm.TabBestKopf();
    if (head.isOpen() && head.isEditing())
        head.post();
    struct Marked {
        int id;
        bool printed;
    };
    std::vector<Marked> marked;
    {
        auto heads = OpenTempTableWhere(kDb, u"bestkopf.db"_s, u"R_Selected=True"_s);
        for (heads->first(); !heads->eof() && !heads->isEmpty(); heads->next())
            if (heads->field(u"R_Selected"_s).asBooleanOr(false))
                marked.push_back(
                    {FieldInt(*heads, u"R_ID"_s), FieldInt(*heads, u"R_RgState"_s) == 1});
    }
    auto heads = OpenTempTable(kDb, u"bestkopf.db"_s);
    auto lines = OpenTempTable(kDb, u"bestsatz.db"_s, u"S_IRef"_s);
    int printed = 0;
    {
        table::Transaction tx(lumo());
        for (const Marked& m : marked) {
            if (!m.printed) {
                if (heads->locate({u"R_ID"_s}, {m.id})) {
                    heads->edit();
                    heads->field(u"R_Selected"_s).setValue(false);
                    heads->post();
                }
                continue;
            }
            ++printed;
            lines->setRange({m.id}, {m.id});
            for (lines->first(); !lines->eof() && !lines->isEmpty(); lines->next())
                SetFieldInRecords(kDb, u"BestObj.DB"_s, u"BO_Selected"_s,
                                  u"BO_Ref=%1"_s.arg(FieldInt(*lines, u"S_ID"_s)), true);
        }
        tx.commit();
    }
    RefreshIfActive(head);
    return printed;
}

void FinishOrdersArchive(TDataModule1& dm) {
    struct MarkedRow {
        int id, ref, artId;
        double open;
    };
    std::vector<MarkedRow> rows;
    {
        auto marked = OpenTempTableWhere(kDb, u"BestObj.DB"_s, u"BO_Selected=True"_s);
        for (marked->first(); !marked->eof() && !marked->isEmpty(); marked->next())
            if (marked->field(u"BO_Selected"_s).asBooleanOr(false))
                rows.push_back({FieldInt(*marked, u"BO_ID"_s), FieldInt(*marked, u"BO_Ref"_s),
                                FieldInt(*marked, u"BO_ArtID"_s),
                                FieldFloat(*marked, u"BO_BestMenge"_s) -
                                    FieldFloat(*marked, u"BO_Liefermenge"_s)});
    }
    std::vector<int> stillMarked;
    {
        auto heads = OpenTempTableWhere(kDb, u"bestkopf.db"_s, u"R_Selected=True"_s);
        for (heads->first(); !heads->eof() && !heads->isEmpty(); heads->next())
            if (heads->field(u"R_Selected"_s).asBooleanOr(false))
                stillMarked.push_back(FieldInt(*heads, u"R_ID"_s));
    }
    auto stock = OpenTempTable(kDb, u"BestObj.DB"_s);
    auto lines = OpenTempTable(kDb, u"bestsatz.db"_s);
    auto articles = OpenTempTable(kDb, u"Artikel.DB"_s);
    auto heads = OpenTempTable(kDb, u"bestkopf.db"_s);
    {
        table::Transaction tx(lumo());
        for (const MarkedRow& row : rows) {
            if (!stock->locate({u"BO_ID"_s}, {row.id}))
                continue;
            if (lines->locate({u"S_ID"_s}, {row.ref})) {
                // The order stayed: its stock rows are as before.
                stock->edit();
                stock->field(u"BO_Selected"_s).setValue(false);
                stock->post();
                continue;
            }
            if (row.open != 0.0 && articles->locate({u"A_ID"_s}, {row.artId})) {
                articles->edit();
                articles->field(u"A_Bestellt"_s)
                    .setValue(std::max(0.0, FieldFloat(*articles, u"A_Bestellt"_s) - row.open));
                articles->post();
            }
            stock->deleteRecord();
        }
        for (const int id : stillMarked)
            if (heads->locate({u"R_ID"_s}, {id})) {
                heads->edit();
                heads->field(u"R_Selected"_s).setValue(false);
                heads->post();
            }
        tx.commit();
    }
    RefreshIfActive(dm.TabBestKopf());
    RefreshIfActive(dm.TabBestSatz());
    RefreshIfActive(dm.TabBestObj());
    RefreshIfActive(dm.TabArtLU());
}

bool SetBestLineArticle(TDataModule1& dm, int artikelId, int liefId) {
    auto articles = OpenTempTable(kDb, u"Artikel.DB"_s);
    if (!articles->locate({u"A_ID"_s}, {artikelId}))
        return false;
    Table& a = *articles;
    Table& line = dm.TabBestSatz();
    const QString artNo = FieldText(a, u"A_ArtNo"_s);
    CancelEditOnError(line, [&] {
        EnsureEditOrInsert(line);
        const QString bezeich = FieldText(a, u"A_Bezeich1"_s);
        const QString beschreibung = FieldText(a, u"A_Beschreibung"_s);
        line.field(u"S_ArtNr"_s).setValue(artNo);
        line.field(u"S_MatID"_s).setValue(artikelId);
        line.field(u"S_LArtNr"_s).setValue(QString());
        line.field(u"S_LArtID"_s).setValue(0);
        line.field(u"S_KostenKonto"_s).setValue(FieldInt(a, u"A_Kostart"_s));
        line.field(u"S_Kurztext"_s).setValue(bezeich);
        line.field(u"S_Text"_s).setValue(beschreibung.isEmpty() ? bezeich : beschreibung);
        line.field(u"S_MengBez"_s).setValue(GetVeLangText(FieldInt(a, u"A_VerpackEinheit"_s)));
        line.field(u"S_EPreis"_s).setValue(FieldFloat(a, u"A_Preis1"_s));
        if (liefId != 0) {
            auto own = OpenTempTable(kDb, u"Liefart.db"_s);
            if (own->locate({u"A_LieferantID"_s, u"A_ArtNo"_s}, {liefId, artNo})) {
                if (const QString t = FieldText(*own, u"A_Bezeich1"_s); !t.isEmpty())
                    line.field(u"S_Kurztext"_s).setValue(t);
                if (const QString t = FieldText(*own, u"A_Beschreibung"_s); !t.isEmpty())
                    line.field(u"S_Text"_s).setValue(t);
                line.field(u"S_LArtNr"_s).setValue(FieldText(*own, u"A_LiefArtNo"_s));
                line.field(u"S_LArtID"_s).setValue(FieldInt(*own, u"A_ID"_s));
                if (const double ek = FieldFloat(*own, u"A_EkPreis"_s); ek != 0.0)
                    line.field(u"S_EPreis"_s).setValue(ek);
            }
        }
        line.post();
    });
    return true;
}

void SpreadBestLineOverStocks(TDataModule1& dm, int liefId, const QDate& today) {
    Table& line = dm.TabBestSatz();
    if (line.isEditing())
        line.post();
    const QString artNo = FieldText(line, u"S_ArtNr"_s);
    const int satzId = FieldInt(line, u"S_ID"_s);
    Table& stock = dm.TabBestObj();
    OpenForCall openStock(stock);
    const int lieferTage = GetLiefArtBestellDaten(liefId, artNo).lieferTage;
    auto articles = OpenTempTable(kDb, u"Artikel.DB"_s, u"A_IArtNo"_s);
    articles->setRange({artNo}, {artNo});
    auto turnover = OpenTurnoverByArticle();
    {
        table::Transaction tx(lumo());
        stock.refresh();
        for (stock.first(); !stock.eof() && !stock.isEmpty();)
            stock.deleteRecord();
        double sum = 0.0;
        bool inserted = false;
        FlagScope allowed(dm, &TDataModule1::SetBestObjInsertAllowed);
        for (articles->first(); !articles->eof() && !articles->isEmpty(); articles->next()) {
            // The index ignores case; the stocks are those of exactly this number.
            if (FieldText(*articles, u"A_ArtNo"_s) != artNo)
                continue;
            const bool central = FieldInt(*articles, u"A_ObjID"_s) == 0;
            ArticleRow a;
            a.id = FieldInt(*articles, u"A_ID"_s);
            a.modus = FieldInt(*articles, u"A_BestellModus"_s);
            a.lager = FieldFloat(*articles, u"A_Lagermenge"_s);
            a.vormerkung = FieldFloat(*articles, u"A_Vormerkung"_s);
            a.bestellt = FieldFloat(*articles, u"A_Bestellt"_s);
            a.soll = FieldFloat(*articles, u"A_SollBestand"_s);
            a.preis1 = FieldFloat(*articles, u"A_Preis1"_s);
            const StockProposal p = proposalOf(a, lieferTage, *turnover, today);
            if (!central && p.vorschlag <= 0.0)
                continue;
            stock.append();
            stock.field(u"BO_Ref"_s).setValue(satzId);
            FillStockRow(stock, *articles, p);
            stock.field(u"BO_Liefermenge"_s).setValue(0.0);
            stock.field(u"BO_Selected"_s).setValue(false);
            stock.post();
            sum = RoundCents(sum + p.vorschlag);
            inserted = true;
        }
        if (inserted && sum != FieldFloat(line, u"S_Oldmenge"_s)) {
            line.edit();
            // The quantity is the stock rows' sum already: nothing to spread.
            line.field(u"S_Oldmenge"_s).setValue(sum);
            line.field(u"S_Menge"_s).setValue(sum);
            line.post();
        }
        tx.commit();
    }
    stock.refresh();
    openStock.close();
}

void SumStockRowsIntoLine(TDataModule1& dm) {
    Table& stock = dm.TabBestObj();
    Table& line = dm.TabBestSatz();
    if (!stock.isOpen() || line.isEmpty())
        return;
    if (stock.isEditing())
        stock.post();
    if (stock.isEmpty())
        return;
    double sum = 0.0;
    const table::Bookmark mark = stock.bookmark();
    for (stock.first(); !stock.eof(); stock.next())
        sum = RoundCents(sum + FieldFloat(stock, u"BO_BestMenge"_s));
    if (stock.bookmarkValid(mark))
        stock.gotoBookmark(mark);
    if (sum == FieldFloat(line, u"S_Oldmenge"_s))
        return;
    CancelEditOnError(line, [&] {
        EnsureEditOrInsert(line);
        line.field(u"S_Oldmenge"_s).setValue(sum);
        line.field(u"S_Menge"_s).setValue(sum);
        line.post();
    });
}

table::TableDef SelectableObjectsDef() {
    using table::FieldType;
    table::TableDef def;
    def.fields = {{u"O_ID"_s, FieldType::Integer},         {u"O_Nr"_s, FieldType::Integer},
                  {u"O_Match"_s, FieldType::String, 40},   {u"O_Name1"_s, FieldType::String, 40},
                  {u"O_Name2"_s, FieldType::String, 40},   {u"O_Name3"_s, FieldType::String, 40},
                  {u"O_Strasse"_s, FieldType::String, 40}, {u"O_Plz"_s, FieldType::String, 6},
                  {u"O_Ort"_s, FieldType::String, 30},     {u"O_Telefon"_s, FieldType::String, 22},
                  {u"O_Kunde"_s, FieldType::Integer},      {u"O_Aktiv"_s, FieldType::Boolean}};
    def.indexes = {{u"O_INr"_s, {u"O_Nr"_s}, true, true},
                   {u"O_IMatch"_s, {u"O_Match"_s}},
                   {u"O_IName1"_s, {u"O_Name1"_s}},
                   {u"O_IStrasse"_s, {u"O_Strasse"_s}},
                   {u"O_IPlzOrt"_s, {u"O_Plz"_s, u"O_Ort"_s}},
                   {u"O_IOrt"_s, {u"O_Ort"_s}},
                   {u"O_IKunde"_s, {u"O_Kunde"_s, u"O_Nr"_s}}};
    return def;
}

int FillSelectableObjects(TDataModule1& dm, const QString& workTable) {
    Table& line = dm.TabBestSatz();
    const QString artNo = FieldText(line, u"S_ArtNr"_s);
    QSet<int> taken;
    auto stock = OpenTempTable(kDb, u"BestObj.DB"_s, u"BO_IRef"_s);
    const int satzId = FieldInt(line, u"S_ID"_s);
    stock->setRange({satzId}, {satzId});
    for (stock->first(); !stock->eof() && !stock->isEmpty(); stock->next())
        taken.insert(FieldInt(*stock, u"BO_ObjID"_s));
    auto articles = OpenTempTable(kDb, u"Artikel.DB"_s, u"A_IArtNo"_s);
    articles->setRange({artNo}, {artNo});
    auto objects = OpenTempTable(kDb, u"Objekte.DB"_s);
    auto work = OpenTempTable(kDb, workTable);
    int count = 0;
    for (articles->first(); !articles->eof() && !articles->isEmpty(); articles->next()) {
        const int objId = FieldInt(*articles, u"A_ObjID"_s);
        if (objId == 0 || FieldText(*articles, u"A_ArtNo"_s) != artNo || taken.contains(objId) ||
            !objects->locate({u"O_ID"_s}, {objId}))
            continue;
        taken.insert(objId);
        work->append();
        for (int i = 0; i < work->fieldCount(); ++i) {
            table::Field& to = work->field(i);
            table::Field* from = objects->findField(to.name());
            if (!from || from->isNull())
                continue;
            // The work table's texts are as long as the picker shows them.
            if (to.type() == table::FieldType::String && to.size() > 0)
                to.setValue(from->asString().left(to.size()));
            else
                to.setValue(from->value());
        }
        work->post();
        ++count;
    }
    return count;
}

void AddManualStockRow(TDataModule1& dm, int objektNr) {
    Table& line = dm.TabBestSatz();
    const QString artNo = FieldText(line, u"S_ArtNr"_s);
    const int objId = GetObjektIdByNr(objektNr);
    const int artId = GetArtikelIdByArtNo(objId, artNo);
    Table& stock = dm.TabBestObj();
    OpenForCall openStock(stock);
    FlagScope allowed(dm, &TDataModule1::SetBestObjInsertAllowed);
    CancelEditOnError(stock, [&] {
        stock.append();
        stock.field(u"BO_Ref"_s).setValue(FieldInt(line, u"S_ID"_s));
        stock.field(u"BO_ObjID"_s).setValue(objId);
        stock.field(u"BO_ArtNr"_s).setValue(artNo);
        stock.field(u"BO_ArtID"_s).setValue(artId);
        stock.field(u"BO_BestModus"_s).setValue(u"M"_s);
        for (const char* f : {"BO_Tagbedarf", "BO_Vorschlag", "BO_BestMenge", "BO_Liefermenge"})
            stock.field(QString::fromLatin1(f)).setValue(0.0);
        stock.field(u"BO_Selected"_s).setValue(false);
        auto articles = OpenTempTable(kDb, u"Artikel.DB"_s);
        if (artId != 0 && articles->locate({u"A_ID"_s}, {artId})) {
            stock.field(u"BO_Istbestand"_s).setValue(FieldFloat(*articles, u"A_Lagermenge"_s));
            stock.field(u"BO_BestBestand"_s).setValue(FieldFloat(*articles, u"A_BestellBestand"_s));
            stock.field(u"BO_Sollbestand"_s).setValue(FieldFloat(*articles, u"A_SollBestand"_s));
            stock.field(u"BO_Vormerkung"_s).setValue(FieldFloat(*articles, u"A_Vormerkung"_s));
        }
        stock.post();
    });
}
