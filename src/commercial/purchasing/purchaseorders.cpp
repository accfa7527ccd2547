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
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QHash>
#include <QMap>
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
};

// The values of a row to append, in the table's field order.
class RowValues {
public:
    explicit RowValues(Table& t) : m_table(t), m_values(t.fieldCount()) {}
    RowValues& set(const QString& field, const QVariant& value) {
        m_values[m_table.field(field).index()] = value;
        return *this;
    }
    void append() { m_table.appendRecord(m_values); }

private:
    Table& m_table;
    QVariantList m_values;
};

struct PlannedStockRow {
    const ArticleRow* article = nullptr;
    QChar modus;
    double tagbedarf = 0.0;
    double vorschlag = 0.0;
    double menge = 0.0;
};

StockProposal proposalOf(const ArticleRow& a, int lieferTage, Table& turnover, const QDate& today) {
    StockProposal p;
    if (a.modus == 1 && lieferTage > 0) {
        p.modus = u'B';
        p.tagbedarf = CalcTagesbedarf(turnover, a.id, a.preis1, today);
        p.vorschlag = lieferTage * p.tagbedarf + a.vormerkung - a.bestellt - a.lager;
    } else {
        p.modus = u'S';
        p.vorschlag = a.soll - a.lager + a.vormerkung - a.bestellt;
    }
    p.vorschlag = std::max(0.0, p.vorschlag);
    return p;
}

QMap<QString, std::vector<ArticleRow>> readArticlesByNumber() {
    QMap<QString, std::vector<ArticleRow>> byNumber;
    auto articles = OpenTempTable(kDb, u"Artikel.DB"_s);
    Table& t = *articles;
    table::Field& id = t.field(u"A_ID"_s);
    table::Field& artNo = t.field(u"A_ArtNo"_s);
    table::Field& objId = t.field(u"A_ObjID"_s);
    table::Field& stockKept = t.field(u"A_Bestandsfuehrung"_s);
    table::Field& modus = t.field(u"A_BestellModus"_s);
    table::Field& lager = t.field(u"A_Lagermenge"_s);
    table::Field& vormerkung = t.field(u"A_Vormerkung"_s);
    table::Field& bestellt = t.field(u"A_Bestellt"_s);
    table::Field& soll = t.field(u"A_SollBestand"_s);
    table::Field& bestBestand = t.field(u"A_BestellBestand"_s);
    table::Field& preis1 = t.field(u"A_Preis1"_s);
    table::Field& haupt = t.field(u"A_HauptLiefID"_s);
    for (t.first(); !t.eof() && !t.isEmpty(); t.next()) {
        ArticleRow a;
        a.id = GetFieldIntOrDefault(&id, 0);
        a.objId = GetFieldIntOrDefault(&objId, 0);
        a.stockKept = GetFieldBoolOrDefault(&stockKept, false);
        a.modus = GetFieldIntOrDefault(&modus, 0);
        a.lager = GetFieldFloatOrDefault(&lager, 0);
        a.vormerkung = GetFieldFloatOrDefault(&vormerkung, 0);
        a.bestellt = GetFieldFloatOrDefault(&bestellt, 0);
        a.soll = GetFieldFloatOrDefault(&soll, 0);
        a.bestBestand = GetFieldFloatOrDefault(&bestBestand, 0);
        a.preis1 = GetFieldFloatOrDefault(&preis1, 0);
        a.hauptLiefId = GetFieldIntOrDefault(&haupt, 0);
        byNumber[GetFieldStrOrDefault(&artNo, QString())].push_back(a);
    }
    return byNumber;
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
    auto turnover = OpenTurnoverByArticle();
    auto proposals = OpenTempTable(kDb, u"BVliste.db"_s);
    auto stockRows = OpenTempTable(kDb, u"BVObjekt.DB"_s);
    // The shared objects show the old list until the new one is committed.
    Table& shared = dm.TabBvListe();
    if (shared.isOpen() && shared.isEditing())
        shared.post();
    {
        table::Transaction tx(lumo());
        lumo().emptyTable(u"BVObjekt.DB"_s);
        lumo().emptyTable(u"BVliste.db"_s);
        proposals->refresh();
        stockRows->refresh();
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
            const int liefNr = liefId ? GetLieferantNrById(liefId) : 0;
            const TLiefArtBestellDaten daten = GetLiefArtBestellDaten(liefId, artNo);

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
                const StockProposal p = proposalOf(a, daten.lieferTage, *turnover, today);
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

            RowValues bv(*proposals);
            bv.set(u"BV_ID"_s, ++bvId)
                .set(u"BV_ArtNr"_s, artNo)
                .set(u"BV_ArtID"_s, planned.front().article->id)
                .set(u"BV_LiefNr"_s, liefNr)
                .set(u"BV_LiefArtNr"_s, daten.liefArtNo)
                .set(u"BV_LiefArtID"_s, liefId ? GetLiefArtIdByArtNo(liefId, artNo) : 0)
                .set(u"BV_LiefArtBezeich"_s, daten.bezeichnung)
                .set(u"BV_Liefertage"_s, daten.lieferTage)
                .set(u"BV_Lieferpreis"_s, daten.ekPreis)
                .set(u"BV_VerpackMenge"_s, daten.packMenge)
                .set(u"BV_MinBestMenge"_s, daten.minMenge)
                .set(u"BV_Istbestand"_s, istbestand)
                .set(u"BV_Bestellt"_s, bestellt)
                .set(u"BV_Vorschlag"_s, menge)
                .set(u"BV_BestellMenge"_s, menge)
                .set(u"BV_BestellWert"_s, RoundCents(daten.ekPreis * menge))
                .set(u"BV_BestellNr"_s, QString())
                .set(u"BV_Selected"_s, false);
            bv.append();
            ++result.proposals;
            for (const PlannedStockRow& row : planned) {
                const ArticleRow& a = *row.article;
                RowValues bo(*stockRows);
                bo.set(u"BO_ID"_s, ++boId)
                    .set(u"BO_ArtNr"_s, artNo)
                    .set(u"BO_ArtID"_s, a.id)
                    .set(u"BO_ObjID"_s, a.objId)
                    .set(u"BO_Istbestand"_s, a.lager)
                    .set(u"BO_BestBestand"_s, a.bestBestand)
                    .set(u"BO_Sollbestand"_s, a.soll)
                    .set(u"BO_Vormerkung"_s, a.vormerkung)
                    .set(u"BO_Tagbedarf"_s, row.tagbedarf)
                    .set(u"BO_Vorschlag"_s, row.vorschlag)
                    .set(u"BO_BestMenge"_s, row.menge)
                    .set(u"BO_BestModus"_s, QString(row.modus));
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

void MarkOrderPrinted(TDataModule1& dm) {
    Table& head = dm.TabBestKopf();
    if (head.isEditing())
        head.post();
    table::Transaction tx(lumo());
    const bool first = FieldInt(head, u"R_RgState"_s) == 0;
    CancelEditOnError(head, [&] {
        head.edit();
        head.field(u"R_Drucke"_s).setValue(FieldInt(head, u"R_Drucke"_s) + 1);
        head.field(u"R_Selected"_s).setValue(false);
        if (first)
            head.field(u"R_RgState"_s).setValue(1);
        head.post();
    });
    if (first)
        ReleaseOpenOrderQuantities(dm, true);
    tx.commit();
}

void DeletePurchaseOrder(TDataModule1& dm) {
    Table& head = dm.TabBestKopf();
    table::Transaction tx(lumo());
    if (FieldInt(head, u"R_RgState"_s) == 1)
        ReleaseOpenOrderQuantities(dm, false);
    head.deleteRecord();
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
            if (table::Field* from = objects->findField(to.name()); from && !from->isNull())
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
