#include "core/data/numberproposals.h"
#include "core/data/recordrulesfixture.h"
#include "masterdata/articlestock.h"
#include "platform/errors.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Row = QList<std::pair<QString, QVariant>>;

// Object 7 (number 700) of customer 100; the central stock holds 000001
// ("Reiniger") and 000002 ("Besen"), the object's stock already 000002.
class ArticleStock : public datatest::RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        addCustomer(1, 100);
        addObject(7, 700, 100);
        addArticle(1, 0, u"000001"_s,
                   {{u"A_Bezeich1"_s, u"Reiniger"_s},
                    {u"A_EkPreis"_s, 2.5},
                    {u"A_Preis1"_s, 4.0},
                    {u"A_Lagermenge"_s, 40.0},
                    {u"A_Lagerwert"_s, 100.0},
                    {u"A_EinMengeTotal"_s, 60.0},
                    {u"A_EinWertTotal"_s, 150.0},
                    {u"A_Vormerkung"_s, 3.0},
                    {u"A_Lagerort"_s, u"Keller"_s},
                    {u"A_Kostart"_s, 901}});
        addArticle(2, 0, u"000002"_s, {{u"A_Bezeich1"_s, u"Besen"_s}});
        addArticle(3, 7, u"000002"_s, {{u"A_Bezeich1"_s, u"Besen"_s}});
    }
    void addArticle(int id, int objId, const QString& artNo, const Row& more) {
        Row values{{u"A_ID"_s, id}, {u"A_ObjID"_s, objId}, {u"A_ArtNo"_s, artNo}};
        values.append(more);
        addRow(u"Artikel.DB"_s, values);
    }
    // The field of the stock's article; "<kein Satz>" when the stock lacks it.
    QVariant article(int objId, const QString& artNo, const QString& field) {
        auto t = open(u"Artikel.DB"_s);
        if (!t->locate({u"A_ObjID"_s, u"A_ArtNo"_s}, {objId, artNo}))
            return u"<kein Satz>"_s;
        return t->field(field).value();
    }
    int articleCount() { return open(u"Artikel.DB"_s)->recordCount(); }
};

TEST_F(ArticleStock, TheCaptionNamesTheStocksObject) {
    EXPECT_EQ(ArtikelStockCaption(0), u"Warenlager [Objekt 0]"_s);
    EXPECT_EQ(ArtikelStockCaption(700), u"Warenlager [Objekt 700]"_s);
}

TEST_F(ArticleStock, TheImportOffersOnlyCentralArticlesTheObjectLacks) {
    addArticle(4, 8, u"000003"_s, {{u"A_Bezeich1"_s, u"Eimer"_s}}); // another object's
    const QList<CentralArticleChoice> choices = CentralArticlesMissingIn(7);
    ASSERT_EQ(choices.size(), 1);
    EXPECT_EQ(choices[0].artNo, u"000001"_s);
    EXPECT_EQ(choices[0].text, u"000001    Reiniger"_s);
    EXPECT_EQ(CentralArticlesMissingIn(8).size(), 2);
}

TEST_F(ArticleStock, ImportedArticlesStartWithAnEmptyStockOfTheirObject) {
    ImportCentralArticles(7, {u"000001"_s, u"009999"_s});
    EXPECT_EQ(articleCount(), 4); // the unknown number is skipped
    EXPECT_EQ(article(7, u"000001"_s, u"A_ID"_s).toInt(), 4);
    EXPECT_EQ(article(7, u"000001"_s, u"A_Bezeich1"_s).toString(), u"Reiniger"_s);
    EXPECT_DOUBLE_EQ(article(7, u"000001"_s, u"A_EkPreis"_s).toDouble(), 2.5);
    EXPECT_EQ(article(7, u"000001"_s, u"A_Lagerort"_s).toString(), u"Keller"_s);
    EXPECT_EQ(article(7, u"000001"_s, u"A_Kostart"_s).toInt(), 901);
    for (const QString& zero : {u"A_Lagermenge"_s, u"A_Lagerwert"_s, u"A_EinMengeTotal"_s,
                                u"A_EinWertTotal"_s, u"A_Vormerkung"_s}) {
        SCOPED_TRACE(zero.toStdString());
        const QVariant v = article(7, u"000001"_s, zero);
        EXPECT_FALSE(v.isNull());
        EXPECT_DOUBLE_EQ(v.toDouble(), 0.0);
    }
    // Empty in the central article, empty in the copy.
    EXPECT_TRUE(article(7, u"000001"_s, u"A_Bestellt"_s).isNull());
    EXPECT_DOUBLE_EQ(article(0, u"000001"_s, u"A_Lagermenge"_s).toDouble(), 40.0);
}

TEST_F(ArticleStock, AnImportThatFailsCopiesNothingAndNamesTheArticle) {
    // The object's 000002 is being edited at another workstation.
    datatest::HeldElsewhere held(u"Artikel.DB"_s, u"A_ID"_s, 3);
    try {
        ImportCentralArticles(7, {u"000001"_s, u"000002"_s});
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(u"Der Artikel 000002"_s)) << e.message().toStdString();
    }
    EXPECT_EQ(article(7, u"000001"_s, u"A_ID"_s).toString(), u"<kein Satz>"_s);
    EXPECT_EQ(articleCount(), 3);
}

TEST_F(ArticleStock, TheCopyStaysInItsStockUnderTheNextFreeNumberWithoutStock) {
    addArticle(4, 7, u"000004"_s,
               {{u"A_Bezeich1"_s, u"Eimer"_s},
                {u"A_Preis1"_s, 4.0},
                {u"A_Lagermenge"_s, 40.0},
                {u"A_Lagerwert"_s, 100.0},
                {u"A_Vormerkung"_s, 3.0},
                {u"A_Lagerort"_s, u"Keller"_s},
                {u"A_Regal"_s, u"R1"_s}});
    dm->FilterArtikelByObjId(7);
    table::Table& shared = this->shared(dm->TabArtikel());
    ASSERT_TRUE(shared.locate({u"A_ArtNo"_s}, {u"000004"_s}));
    EXPECT_EQ(CopyArtikelRecord(shared), u"000003"_s);
    EXPECT_EQ(shared.field(u"A_ArtNo"_s).asString(), u"000003"_s);
    EXPECT_EQ(article(7, u"000003"_s, u"A_Bezeich1"_s).toString(), u"Eimer"_s);
    EXPECT_DOUBLE_EQ(article(7, u"000003"_s, u"A_Preis1"_s).toDouble(), 4.0);
    for (const QString& zero : {u"A_Lagermenge"_s, u"A_Lagerwert"_s, u"A_Vormerkung"_s})
        EXPECT_DOUBLE_EQ(article(7, u"000003"_s, zero).toDouble(), 0.0) << zero.toStdString();
    EXPECT_TRUE(article(7, u"000003"_s, u"A_Lagerort"_s).toString().isEmpty());
    EXPECT_TRUE(article(7, u"000003"_s, u"A_Regal"_s).toString().isEmpty());
    EXPECT_DOUBLE_EQ(article(7, u"000004"_s, u"A_Lagermenge"_s).toDouble(), 40.0);
}

TEST_F(ArticleStock, TheNumberProposalSkipsTheNumbersOfEveryStock) {
    addArticle(5, 7, u"000003"_s, {});
    addArticle(6, 0, u"4"_s, {}); // without leading zeros: does not hold 000004
    EXPECT_EQ(NextFreeArtikelNr(), u"000004"_s);
}

TEST_F(ArticleStock, DeletingTheObjectStocksAsksAndKeepsTheCentralOne) {
    addArticle(4, 8, u"000003"_s, {});
    table::Table& shared = this->shared(dm->TabArtikel());
    presenter.answers = {false};
    EXPECT_FALSE(DeleteObjectStocks(shared));
    EXPECT_EQ(articleCount(), 4);
    presenter.answers = {true};
    EXPECT_TRUE(DeleteObjectStocks(shared));
    EXPECT_EQ(articleCount(), 2);
    EXPECT_EQ(article(7, u"000002"_s, u"A_ID"_s).toString(), u"<kein Satz>"_s);
}

TEST_F(ArticleStock, DeletingTheObjectStocksIsAllOrNothing) {
    addArticle(4, 8, u"000003"_s, {});
    datatest::HeldElsewhere held(u"Artikel.DB"_s, u"A_ID"_s, 4);
    presenter.answers = {true};
    EXPECT_THROW(DeleteObjectStocks(shared(dm->TabArtikel())), std::exception);
    EXPECT_EQ(articleCount(), 4);
}

TEST_F(ArticleStock, TheVatListOffersTheRatesValidToday) {
    const QDate today = QDate::currentDate();
    auto rate = [&](int id, int nr, const QVariant& from, const QVariant& to) {
        addRow(u"MwstSatz.DB"_s, {{u"Mwst_ID"_s, 100 + id},
                                  {u"Mwst_Nr"_s, nr},
                                  {u"Mwst_Kurz"_s, u"K%1"_s.arg(nr)},
                                  {u"Mwst_GueltigVon"_s, from},
                                  {u"Mwst_GueltigBis"_s, to}});
    };
    auto t = open(u"MwstSatz.DB"_s);
    while (!t->isEmpty())
        t->deleteRecord();
    rate(1, 11, today.addYears(-1), today.addYears(1));
    rate(2, 12, today.addYears(-2), today.addDays(-1));
    rate(3, 13, today.addDays(1), today.addYears(1));
    rate(4, 14, today, today);
    rate(5, 15, today.addYears(-1), QVariant());
    const QList<std::pair<int, QString>> expected{{11, u"K11"_s}, {14, u"K14"_s}, {15, u"K15"_s}};
    EXPECT_EQ(VatRatesValidOn(today), expected);
}

TEST_F(ArticleStock, TheStockValueFollowsStockAndPriceInCents) {
    table::Table& shared = this->shared(dm->TabArtikel());
    ASSERT_TRUE(shared.locate({u"A_ArtNo"_s, u"A_ObjID"_s}, {u"000001"_s, 0}));
    shared.edit();
    shared[u"A_Lagermenge"_s] = 3.333;
    SetArtikelLagerwert(shared);
    EXPECT_TRUE(shared.isEditing());
    EXPECT_DOUBLE_EQ(FieldFloat(shared, u"A_Lagerwert"_s), 8.33);
    shared.cancel();
}

TEST_F(ArticleStock, TheMainSupplierIsTheSelectedSupplierRow) {
    addRow(u"Liefart.db"_s,
           {{u"A_ID"_s, 1}, {u"A_LieferantID"_s, 31}, {u"A_ArtNo"_s, u"000001"_s}});
    addRow(u"Liefart.db"_s,
           {{u"A_ID"_s, 2}, {u"A_LieferantID"_s, 32}, {u"A_ArtNo"_s, u"000001"_s}});
    table::Table& shared = this->shared(dm->TabArtikel());
    ASSERT_TRUE(shared.locate({u"A_ArtNo"_s, u"A_ObjID"_s}, {u"000002"_s, 0}));
    auto liefArt = open(u"Liefart.db"_s);
    liefArt->setFilter(u"A_ArtNo='000002'"_s);
    liefArt->setFiltered(true);
    EXPECT_FALSE(TakeHauptLieferant(shared, *liefArt));
    EXPECT_FALSE(shared.isEditing());

    ASSERT_TRUE(shared.locate({u"A_ArtNo"_s, u"A_ObjID"_s}, {u"000001"_s, 0}));
    liefArt->setFilter(u"A_ArtNo='000001'"_s);
    liefArt->last();
    EXPECT_TRUE(TakeHauptLieferant(shared, *liefArt));
    EXPECT_EQ(article(0, u"000001"_s, u"A_HauptLiefID"_s).toInt(), 32);
}

} // namespace
