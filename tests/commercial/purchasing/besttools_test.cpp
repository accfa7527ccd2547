#include "commercial/commercialrulesfixture.h"
#include "commercial/purchasing/besttools.h"
#include "core/data/dbhelpers.h"

#include <QDate>
#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace Qt::Literals::StringLiterals;
using table::Table;

const QString kArtikel = u"Artikel.DB"_s;
const QString kUmsatz = u"AUmsatz.DB"_s;
const QString kBvListe = u"BVliste.db"_s;
const QString kBvObj = u"BVObjekt.DB"_s;
const QString kLiefArt = u"Liefart.db"_s;

class BestTools : public commercialtest::CommercialRules {
protected:
    struct Article {
        int id = 1;
        QString artNo = u"A1"_s;
        int objId = 0;
        int modus = 0;
        double lager = 0, vormerkung = 0, bestellt = 0, soll = 0, preis1 = 0;
    };
    void addArticle(const Article& a) {
        addRow(kArtikel, {{u"A_ID"_s, a.id},
                          {u"A_ArtNo"_s, a.artNo},
                          {u"A_ObjID"_s, a.objId},
                          {u"A_BestellModus"_s, a.modus},
                          {u"A_Lagermenge"_s, a.lager},
                          {u"A_Vormerkung"_s, a.vormerkung},
                          {u"A_Bestellt"_s, a.bestellt},
                          {u"A_SollBestand"_s, a.soll},
                          {u"A_Preis1"_s, a.preis1},
                          {u"A_EkPreis"_s, 1.5},
                          {u"A_Bezeich1"_s, u"Allgemein"_s},
                          {u"A_Beschreibung"_s, u"Allgemeiner Text"_s}});
    }
    void addTurnover(int artId, int year, int month, double betrag) {
        addRow(kUmsatz, {{u"U_ID"_s, ++m_umsatzId},
                         {u"U_ArtikelID"_s, artId},
                         {u"U_Jahr"_s, year},
                         {u"U_Monat"_s, month},
                         {u"U_Betrag"_s, betrag}});
    }
    // The article row as the editor and the proposals scan it.
    std::unique_ptr<Table> articleRow(int id) {
        auto t = open(kArtikel);
        EXPECT_TRUE(t->locate({u"A_ID"_s}, {id}));
        return t;
    }
    void addProposal(int id, const QString& artNr, double vorschlag, double pack, double min,
                     double preis) {
        addRow(kBvListe, {{u"BV_ID"_s, id},
                          {u"BV_ArtNr"_s, artNr},
                          {u"BV_Vorschlag"_s, vorschlag},
                          {u"BV_VerpackMenge"_s, pack},
                          {u"BV_MinBestMenge"_s, min},
                          {u"BV_Lieferpreis"_s, preis}});
    }
    void addStockRow(const QString& artNr, int objId, double menge) {
        addRow(kBvObj, {{u"BO_ID"_s, ++m_stockId},
                        {u"BO_ArtNr"_s, artNr},
                        {u"BO_ObjID"_s, objId},
                        {u"BO_BestMenge"_s, menge}});
    }
    Table& proposalWithId(int id) {
        Table& t = shared(dm->TabBvListe());
        EXPECT_TRUE(t.locate({u"BV_ID"_s}, {id}));
        return t;
    }
    // BO_BestMenge of the article's stock rows, by object (central first).
    std::vector<double> stockMengen(const QString& artNr) {
        auto t = open(kBvObj);
        std::vector<std::pair<int, double>> rows;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            if (t->field(u"BO_ArtNr"_s).asString() == artNr)
                rows.emplace_back(t->field(u"BO_ObjID"_s).asInteger(),
                                  t->field(u"BO_BestMenge"_s).asFloat());
        std::sort(rows.begin(), rows.end());
        std::vector<double> mengen;
        for (const auto& row : rows)
            mengen.push_back(row.second);
        return mengen;
    }
    double proposalField(int id, const QString& field) {
        auto t = open(kBvListe);
        EXPECT_TRUE(t->locate({u"BV_ID"_s}, {id}));
        return t->field(field).asFloat();
    }

private:
    int m_umsatzId = 0;
    int m_stockId = 0;
};

TEST_F(BestTools, DailyConsumptionIsTurnoverPerDayAtTheFirstPrice) {
    addArticle({.id = 1, .preis1 = 5.0});
    addArticle({.id = 2, .artNo = u"B2"_s, .preis1 = 5.0});
    addArticle({.id = 3, .artNo = u"C3"_s, .preis1 = 0.0});
    addTurnover(1, 2025, 1, 300.0);
    addTurnover(1, 2025, 2, 150.0);
    addTurnover(1, 2024, 6, -20.0); // a negative month neither counts nor starts the period
    addTurnover(2, 2025, 3, 80.0);
    addTurnover(3, 2025, 1, 300.0);
    const QDate march15(2025, 3, 15);
    EXPECT_NEAR(CalcTagesbedarf(1, march15), 450.0 / (73 * 5.0), 1e-9);
    // Turnover only in the current month: no day has passed on its first.
    EXPECT_EQ(CalcTagesbedarf(2, QDate(2025, 3, 1)), 0.0);
    EXPECT_NEAR(CalcTagesbedarf(2, march15), 80.0 / (14 * 5.0), 1e-9);
    // Without a price the turnover cannot become a quantity.
    EXPECT_EQ(CalcTagesbedarf(3, march15), 0.0);
    // No turnover at all.
    EXPECT_EQ(CalcTagesbedarf(99, march15), 0.0);
}

TEST_F(BestTools, TheStockProposalFollowsTheOrderModeAndTheDeliveryDays) {
    addArticle({.id = 1,
                .modus = 1,
                .lager = 4,
                .vormerkung = 2,
                .bestellt = 3,
                .soll = 20,
                .preis1 = 5.0});
    addArticle({.id = 2, .artNo = u"B2"_s, .lager = 30, .soll = 20});
    addTurnover(1, 2025, 1, 300.0);
    addTurnover(1, 2025, 2, 150.0);
    const QDate march15(2025, 3, 15);
    const double consumption = 450.0 / (73 * 5.0);
    struct Case {
        int article;
        int lieferTage;
        QChar modus;
        double tagbedarf;
        double vorschlag;
    } cases[] = {
        {1, 10, u'B', consumption, 10 * consumption + 2 - 3 - 4}, // 7.33
        {1, 0, u'S', 0.0, 15.0}, // demand calculation without delivery days compares stocks
        {2, 10, u'S', 0.0, 0.0}, // above the target: nothing, never negative
    };
    for (const Case& c : cases) {
        auto row = articleRow(c.article);
        const StockProposal p = CalcObjektVorschlag(*row, c.lieferTage, march15);
        EXPECT_EQ(p.modus, c.modus) << c.article << "/" << c.lieferTage;
        EXPECT_NEAR(p.tagbedarf, c.tagbedarf, 1e-9);
        EXPECT_NEAR(p.vorschlag, c.vorschlag, 1e-9);
    }
    EXPECT_NEAR(CalcObjektVorschlag(*articleRow(1), 10, march15).vorschlag, 7.33, 0.005);
}

TEST_F(BestTools, AStockRowTakesTheArticlesFiguresAndItsProposal) {
    addArticle({.id = 7, .artNo = u"X9"_s, .objId = 12, .lager = 4, .vormerkung = 2, .soll = 20});
    auto row = articleRow(7);
    dm->SetBvObjInsertAllowed(true);
    Table& stock = shared(dm->TabBvObj());
    stock.setMaster(nullptr, {}, {});
    stock.append();
    FillStockRow(stock, *row, {u'S', 0.0, 14.0});
    stock.post();
    dm->SetBvObjInsertAllowed(false);
    auto stored = open(kBvObj);
    ASSERT_TRUE(stored->locate({u"BO_ArtID"_s}, {7}));
    EXPECT_EQ(stored->field(u"BO_ObjID"_s).asInteger(), 12);
    EXPECT_EQ(stored->field(u"BO_ArtNr"_s).asString(), u"X9"_s);
    EXPECT_EQ(stored->field(u"BO_BestModus"_s).asString(), u"S"_s);
    EXPECT_EQ(stored->field(u"BO_Vorschlag"_s).asFloat(), 14.0);
    EXPECT_EQ(stored->field(u"BO_BestMenge"_s).asFloat(), 14.0);
    EXPECT_EQ(stored->field(u"BO_Istbestand"_s).asFloat(), 4.0);
    EXPECT_EQ(stored->field(u"BO_Sollbestand"_s).asFloat(), 20.0);
    EXPECT_EQ(stored->field(u"BO_Vormerkung"_s).asFloat(), 2.0);
}

TEST_F(BestTools, OrderDataComeFromTheSupplierArticleOrTheGeneralArticle) {
    addArticle({.id = 1});
    addRow(kLiefArt, {{u"A_ID"_s, 1},
                      {u"A_LieferantID"_s, 50},
                      {u"A_ArtNo"_s, u"A1"_s},
                      {u"A_LiefArtNo"_s, u"L-100"_s},
                      {u"A_Bezeich1"_s, u"Beim Lieferanten"_s},
                      {u"A_Beschreibung"_s, u"Lieferantentext"_s},
                      {u"A_EkPreis"_s, 2.75},
                      {u"A_VerpackMenge"_s, 6.0},
                      {u"A_BestellmengeMin"_s, 12.0},
                      {u"A_Liefertage"_s, 10}});
    // A picker's narrowing of the shared object does not hide the supplier's articles.
    Table& shown = shared(dm->TabLiefArt());
    shown.setFilter(u"A_LieferantID=51"_s);
    shown.setFiltered(true);

    const TLiefArtBestellDaten own = GetLiefArtBestellDaten(50, u"A1"_s);
    EXPECT_EQ(own.liefArtNo, u"L-100"_s);
    EXPECT_EQ(own.bezeichnung, u"Beim Lieferanten"_s);
    EXPECT_EQ(own.ekPreis, 2.75);
    EXPECT_EQ(own.packMenge, 6.0);
    EXPECT_EQ(own.minMenge, 12.0);
    EXPECT_EQ(own.lieferTage, 10);

    const TLiefArtBestellDaten general = GetLiefArtBestellDaten(51, u"A1"_s);
    EXPECT_EQ(general.liefArtNo, QString());
    EXPECT_EQ(general.bezeichnung, u"Allgemein"_s);
    EXPECT_EQ(general.ekPreis, 1.5);
    EXPECT_EQ(general.packMenge, 1.0);
    EXPECT_EQ(general.minMenge, 0.0);
    EXPECT_EQ(general.lieferTage, 0);

    const TLiefArtBestellDaten none = GetLiefArtBestellDaten(51, u"ZZ"_s);
    EXPECT_EQ(none.bezeichnung, QString());
    EXPECT_EQ(none.ekPreis, 0.0);
    EXPECT_EQ(none.packMenge, 1.0);

    EXPECT_EQ(GetLiefArtBeschreibung(50, u"A1"_s, u"Kurz"_s), u"Lieferantentext"_s);
    EXPECT_EQ(GetLiefArtBeschreibung(51, u"A1"_s, u"Kurz"_s), u"Allgemeiner Text"_s);
    EXPECT_EQ(GetLiefArtBeschreibung(51, u"ZZ"_s, u"Kurz"_s), u"Kurz"_s);
}

TEST_F(BestTools, ASpreadTotalGoesToTheCentralStockAndADecreaseCutsTheObjects) {
    struct Case {
        double total;
        std::vector<double> mengen; // central, object 4, object 7
    } cases[] = {
        {10.0, {3.0, 4.0, 3.0}},
        {5.0, {0.0, 2.86, 2.14}},
        {8.0, {1.0, 4.0, 3.0}}, // what the rows hold already writes nothing
    };
    int id = 0;
    for (const Case& c : cases) {
        const QString artNr = u"S%1"_s.arg(++id);
        addProposal(id, artNr, 0, 1, 0, 0);
        addStockRow(artNr, 0, 1.0);
        addStockRow(artNr, 4, 4.0);
        addStockRow(artNr, 7, 3.0);
        proposalWithId(id);
        shared(dm->TabBvObj());
        DistributeBvObjMenge(*dm, c.total);
        const std::vector<double> got = stockMengen(artNr);
        ASSERT_EQ(got.size(), c.mengen.size());
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], c.mengen[i], 1e-9) << c.total << " row " << i;
    }
}

TEST_F(BestTools, TheFinalPassRoundsToPacksWithTheSurplusOnTheCentralRow) {
    addProposal(1, u"A1"_s, 7.33, 6.0, 0.0, 2.0);
    addStockRow(u"A1"_s, 0, 3.33);
    addStockRow(u"A1"_s, 4, 4.0);
    addProposal(2, u"B2"_s, 0.0, 6.0, 10.0, 2.0); // nothing proposed orders nothing
    addProposal(3, u"C3"_s, 6.0, 6.0, 0.0, 1.25);
    addStockRow(u"C3"_s, 0, 6.0);
    shared(dm->TabBvListe());
    ApplyBestellMengen(*dm);
    EXPECT_EQ(proposalField(1, u"BV_Vorschlag"_s), 12.0);
    EXPECT_EQ(proposalField(1, u"BV_BestellMenge"_s), 12.0);
    EXPECT_EQ(proposalField(1, u"BV_BestellWert"_s), 24.0);
    EXPECT_EQ(stockMengen(u"A1"_s), (std::vector<double>{8.0, 4.0}));
    EXPECT_EQ(proposalField(2, u"BV_BestellMenge"_s), 0.0);
    EXPECT_EQ(proposalField(3, u"BV_BestellMenge"_s), 6.0);
    EXPECT_EQ(proposalField(3, u"BV_BestellWert"_s), 7.5);
    EXPECT_EQ(stockMengen(u"C3"_s), (std::vector<double>{6.0}));
}

TEST_F(BestTools, ChangedStockQuantitiesSetTheOrderQuantityInPacks) {
    addProposal(1, u"A1"_s, 7.0, 6.0, 0.0, 2.5);
    addStockRow(u"A1"_s, 0, 2.0);
    addStockRow(u"A1"_s, 4, 5.5);
    addProposal(2, u"B2"_s, 0.0, 1.0, 10.0, 1.0);
    addStockRow(u"B2"_s, 0, 3.0);
    for (const auto& [id, menge, wert] : {std::tuple{1, 12.0, 30.0}, std::tuple{2, 10.0, 10.0}}) {
        proposalWithId(id);
        shared(dm->TabBvObj());
        UpdateBvListeFromObjects(*dm);
        EXPECT_EQ(proposalField(id, u"BV_BestellMenge"_s), menge) << id;
        EXPECT_EQ(proposalField(id, u"BV_BestellWert"_s), wert) << id;
    }
}

TEST_F(BestTools, EachStockAddsItsFiguresToTheProposalRow) {
    addProposal(1, u"A1"_s, 0.0, 1.0, 0.0, 0.0);
    proposalWithId(1);
    AddBvListeBestand(*dm, 3.5, 2.0, 10.0);
    AddBvListeBestand(*dm, 1.5, 1.0, 4.0);
    EXPECT_EQ(proposalField(1, u"BV_Vorschlag"_s), 5.0);
    EXPECT_EQ(proposalField(1, u"BV_Bestellt"_s), 3.0);
    EXPECT_EQ(proposalField(1, u"BV_Istbestand"_s), 14.0);
}

TEST_F(BestTools, EmptyTableLeavesAClosedTableClosed) {
    addProposal(1, u"A1"_s, 0.0, 1.0, 0.0, 0.0);
    addProposal(2, u"B2"_s, 0.0, 1.0, 0.0, 0.0);
    Table& t = dm->TabBvListe();
    ASSERT_FALSE(t.isOpen());
    EmptyTable(t);
    EXPECT_FALSE(t.isOpen());
    EXPECT_EQ(open(kBvListe)->recordCount(), 0);
}

} // namespace
