#include "core/data/clientdbfixture.h"
#include "core/gui/modaldriver.h"
#include "core/values/money.h"
#include "masterdata/dialogs/selectliefartikel.h"
#include "masterdata/dialogs/tgridseldlg.h"

#include <QPushButton>
#include <QTableWidget>

namespace {

class SelectLiefArtikelTest : public datatest::ClientDbFixture {
protected:
    void addArticle(int id, int supplier, const char* liefArtNo, const char* artNo,
                    const char* name, double price) {
        addRow(QStringLiteral("Liefart.DB"), {{QStringLiteral("A_ID"), id},
                                              {QStringLiteral("A_LieferantID"), supplier},
                                              {QStringLiteral("A_LiefArtNo"), liefArtNo},
                                              {QStringLiteral("A_ArtNo"), artNo},
                                              {QStringLiteral("A_Bezeich1"), name},
                                              {QStringLiteral("A_EkPreis"), price}});
    }
    void SetUp() override {
        ClientDbFixture::SetUp();
        addArticle(1, 7, "K-100", "100", "Glasreiniger 1l", 2.5);
        addArticle(2, 8, "X-1", "900", "Fremdartikel", 1.0);
        addArticle(3, 7, "K-200", "200", "Bodenpflege; 10l", 31.9);
        addArticle(4, 7, "M-300", "300", "Mikrofasertuch", 0.45);
    }
};

TEST_F(SelectLiefArtikelTest, TheListHoldsTheSuppliersArticlesInTableOrder) {
    const QStringList list = LiefArtikelList(7);
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(list[0], QStringLiteral("Lief.-Art.Nr.:F;Lager-Nr:F;Artikelbezeichnung          "
                                      "      :F;EK-Preis  :F;"));
    EXPECT_EQ(list[1], QStringLiteral("K-100;100;Glasreiniger 1l;") + FormatMoney(1, 2.5) +
                           QLatin1Char(';'));
    // The semicolon of the name would have shifted the columns.
    EXPECT_EQ(list[2], QStringLiteral("K-200;200;Bodenpflege, 10l;") + FormatMoney(1, 31.9) +
                           QLatin1Char(';'));
    EXPECT_TRUE(list[3].startsWith(QStringLiteral("M-300;300;")));
}

TEST_F(SelectLiefArtikelTest, TheStartLineIsTheFirstHoldingTheSearchText) {
    const QStringList list = LiefArtikelList(7);
    EXPECT_EQ(LiefArtikelStartLine(list, QStringLiteral("mikro")), 3);
    EXPECT_EQ(LiefArtikelStartLine(list, QStringLiteral("k-2")), 2);
    EXPECT_EQ(LiefArtikelStartLine(list, QStringLiteral("Lief.-Art")), 1)
        << "the title line is not searched";
    EXPECT_EQ(LiefArtikelStartLine(list, QStringLiteral("nirgends")), 1);
    EXPECT_EQ(LiefArtikelStartLine(list, QString()), 1);
}

TEST_F(SelectLiefArtikelTest, ThePopupOpensOnTheFoundLineAndReturnsTheStockNumber) {
    struct {
        QString caption;
        int row = -1;
        int columns = 0;
        int columnsRight = 0; // where the last column ends
        int gridWidth = 0;
    } seen;
    WhenModalShown([&seen](QWidget* modal) {
        auto* popup = qobject_cast<TGridselDlg*>(modal);
        ASSERT_NE(popup, nullptr);
        seen.caption = popup->windowTitle();
        seen.row = popup->grid().currentRow();
        seen.columns = popup->grid().columnCount();
        const QTableWidget& grid = popup->grid();
        seen.columnsRight = grid.columnViewportPosition(3) + grid.columnWidth(3);
        seen.gridWidth = grid.viewport()->width();
        popup->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    });
    QString result;
    EXPECT_EQ(SelectLiefArtikel(QStringLiteral("boden"), 7, 100, 100, 600, 300, result),
              QStringLiteral("200"));
    EXPECT_EQ(result, QStringLiteral("200"));
    EXPECT_EQ(seen.caption, QStringLiteral("Lieferanten-Artikel auswählen"));
    EXPECT_EQ(seen.row, 1);
    EXPECT_EQ(seen.columns, 4);
    // The price column is not cut off, although the caller asked for 600 pixels.
    EXPECT_LE(seen.columnsRight, seen.gridWidth);
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(SelectLiefArtikelTest, ASupplierWithoutArticlesGetsAMessageAndNoPopup) {
    QString result = QStringLiteral("alt");
    EXPECT_EQ(SelectLiefArtikel(QString(), 99, 0, 0, 600, 300, result), QString());
    EXPECT_EQ(result, QString());
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error),
              QStringList({QStringLiteral("Es wurden keine Lieferantenartikel gefunden!")}));
}

} // namespace
