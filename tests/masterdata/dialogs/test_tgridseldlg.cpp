#include "core/gui/modaldriver.h"
#include "masterdata/dialogs/tgridseldlg.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

const QStringList kList = {
    QStringLiteral("Nr;Name                ;Ort       ;Umsatz;"),
    QStringLiteral("3;Conrad;Köln;10,00;"),
    QStringLiteral("1;albers;Bonn;200,00;"),
    QStringLiteral(""),
    QStringLiteral("2;Berger;Aachen;3,50;"),
};

TGridselDlg::Request request(int widthColumns = 4) {
    TGridselDlg::Request r;
    r.list = kList;
    r.caption = QStringLiteral("Kunde wählen");
    r.left = 10;
    r.top = 20;
    r.maxWidth = 640;
    r.maxGridHeight = 400;
    r.widthColumns = widthColumns;
    r.keyColumn = 1;
    r.startRow = 1;
    return r;
}

QStringList column(const QTableWidget& grid, int c) {
    QStringList texts;
    for (int r = 0; r < grid.rowCount(); ++r)
        texts << (grid.item(r, c) ? grid.item(r, c)->text() : QString());
    return texts;
}

TEST(GridselDlg, TitlesRowsAndSizesComeFromTheList) {
    TGridselDlg popup;
    popup.build(request());
    const QTableWidget& grid = popup.grid();
    EXPECT_EQ(popup.windowTitle(), QStringLiteral("Kunde wählen"));
    ASSERT_EQ(grid.columnCount(), 4);
    ASSERT_EQ(grid.rowCount(), 4) << "the empty line keeps its row";
    EXPECT_EQ(grid.horizontalHeaderItem(1)->text(), QStringLiteral("Name                "));
    EXPECT_EQ(column(grid, 2), QStringList({QStringLiteral("Köln"), QStringLiteral("Bonn"),
                                            QString(), QStringLiteral("Aachen")}));
    EXPECT_TRUE(grid.font().fixedPitch());
    const int unit = popup.charUnit();
    EXPECT_EQ(unit, QFontMetrics(grid.font()).horizontalAdvance(QLatin1Char('M')) + 1);
    // Column 0 keeps the default width although its title has two letters.
    EXPECT_EQ(grid.columnWidth(0), 101);
    EXPECT_EQ(grid.columnWidth(1), 20 * unit + 1);
    EXPECT_EQ(popup.width(), 24 + 101 + (20 + 10 + 6) * unit + 3);
    // The further columns do not widen the popup.
    TGridselDlg narrow;
    narrow.build(request(2));
    EXPECT_EQ(narrow.width(), 24 + 101 + 20 * unit + 1);
    // Five rows of 21 pixels and the frame are less than the grid's minimum.
    EXPECT_EQ(grid.height(), 140);
    TGridselDlg::Request longer = request();
    for (int i = 0; i < 5; ++i)
        longer.list << QStringLiteral("9;Neu;;;");
    TGridselDlg taller;
    taller.build(longer);
    EXPECT_EQ(taller.grid().height(), 10 * 21 + 2);
}

TEST(GridselDlg, WidthAndHeightAreCapped) {
    TGridselDlg popup;
    TGridselDlg::Request r = request();
    r.maxWidth = 250;
    r.list.clear();
    r.list << kList.first();
    for (int i = 0; i < 60; ++i)
        r.list << QStringLiteral("%1;Zeile;;;").arg(i);
    r.maxGridHeight = 300;
    popup.build(r);
    EXPECT_EQ(popup.width(), 250);
    EXPECT_EQ(popup.grid().height(), 300);
    // Never below the grid's minimum.
    r.maxGridHeight = 50;
    r.maxWidth = 20;
    TGridselDlg tiny;
    tiny.build(r);
    EXPECT_EQ(tiny.grid().height(), 140);
    EXPECT_EQ(tiny.width(), 180);
}

TEST(GridselDlg, APopupPastTheScreenEdgeEndsAtIt) {
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    TGridselDlg popup;
    TGridselDlg::Request r = request();
    r.left = screen.width() - 20;
    r.top = screen.height() - 30;
    popup.build(r);
    EXPECT_EQ(popup.placement(),
              QPoint(screen.width() - popup.width(), screen.height() - popup.height()));
    // A negative value keeps the designed position on that axis only.
    r.left = -1;
    r.top = 5;
    TGridselDlg designed;
    designed.build(r);
    EXPECT_EQ(designed.placement(), QPoint(574, 5));
    r.left = 7;
    r.top = -3;
    designed.build(r);
    EXPECT_EQ(designed.placement(), QPoint(7, 126));
}

TEST(GridselDlg, TheStartRowIsSelectedAndOutOfRangeMeansTheFirst) {
    const struct {
        int start;
        int current;
    } cases[] = {{2, 1}, {4, 3}, {0, 0}, {-5, 0}, {5, 0}, {99, 0}};
    for (const auto& c : cases) {
        TGridselDlg popup;
        TGridselDlg::Request r = request();
        r.startRow = c.start;
        popup.build(r);
        EXPECT_EQ(popup.grid().currentRow(), c.current) << c.start;
    }
}

TEST(GridselDlg, TitleClicksSortAscendingThenDescendingByOrdinalText) {
    TGridselDlg popup;
    popup.build(request());
    popup.GridMouseDown(1);
    EXPECT_EQ(column(popup.grid(), 1),
              QStringList({QString(), QStringLiteral("Berger"), QStringLiteral("Conrad"),
                           QStringLiteral("albers")}))
        << "capitals sort before small letters";
    EXPECT_FALSE(popup.lastSortDescending());
    popup.GridMouseDown(1);
    EXPECT_EQ(column(popup.grid(), 1).first(), QStringLiteral("albers"));
    EXPECT_TRUE(popup.lastSortDescending());
    // Another column starts ascending; numbers sort as text.
    popup.GridMouseDown(3);
    EXPECT_EQ(column(popup.grid(), 3),
              QStringList({QString(), QStringLiteral("10,00"), QStringLiteral("200,00"),
                           QStringLiteral("3,50")}));
    EXPECT_EQ(popup.sortColumn(), 3);
    EXPECT_FALSE(popup.lastSortDescending());
}

TEST(GridselDlg, WithOneRowTheRecordedDirectionStays) {
    TGridselDlg popup;
    TGridselDlg::Request r = request();
    r.list = {kList[0], kList[1]};
    popup.build(r);
    popup.GridMouseDown(0);
    popup.GridMouseDown(0);
    // Nothing was compared, so the next click on it still counts as a repeat.
    EXPECT_FALSE(popup.lastSortDescending());
    EXPECT_EQ(popup.sortColumn(), 0);
}

TEST(GridselDlg, ASortedListShowsItsRowsByTheFirstColumn) {
    TGridselDlg popup;
    TGridselDlg::Request r = request();
    r.sorted = true;
    popup.build(r);
    EXPECT_EQ(column(popup.grid(), 0), QStringList({QString(), QStringLiteral("1"),
                                                    QStringLiteral("2"), QStringLiteral("3")}));
}

TEST(GridselDlg, OkAndDoubleClickReturnTheKeyColumnCancelReturnsNothing) {
    QString result = QStringLiteral("alt");
    WhenModalShown([](QWidget* modal) {
        auto* popup = qobject_cast<TGridselDlg*>(modal);
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->focusWidget(), &popup->grid());
        popup->grid().setCurrentCell(3, 0);
        popup->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    });
    EXPECT_EQ(SelectFromGrid(kList, QStringLiteral("Auswahl"), 0, 0, 640, 400, 4, 1, 1, 0, result),
              QStringLiteral("Berger"));
    EXPECT_EQ(result, QStringLiteral("Berger"));

    WhenModalShown([](QWidget* modal) {
        auto& grid = static_cast<TGridselDlg*>(modal)->grid();
        grid.setCurrentCell(1, 0);
        Q_EMIT grid.cellDoubleClicked(1, 0);
    });
    EXPECT_EQ(SelectFromGrid(kList, QString(), 0, 0, 640, 400, 4, 2, 1, 0, result),
              QStringLiteral("Bonn"));

    WhenModalShown(
        [](QWidget* modal) { modal->findChild<QPushButton*>(QStringLiteral("BitBtn3"))->click(); });
    EXPECT_EQ(SelectFromGrid(kList, QString(), 0, 0, 640, 400, 4, 1, 2, 0, result), QString());
    EXPECT_EQ(result, QString());

    WhenModalShown([](QWidget* modal) { modal->close(); });
    EXPECT_EQ(SelectFromGrid(kList, QString(), 0, 0, 640, 400, 4, 1, 2, 0, result), QString());
}

TEST(GridselDlg, TheEmptyRowAndAnEmptyListGiveAnEmptyResult) {
    TGridselDlg popup;
    popup.build(request());
    popup.grid().setCurrentCell(2, 0);
    popup.OKBtnClick();
    EXPECT_EQ(popup.result(), QString());

    TGridselDlg empty;
    TGridselDlg::Request r = request();
    r.list = {};
    empty.build(r);
    EXPECT_EQ(empty.grid().columnCount(), 0);
    empty.OKBtnClick();
    EXPECT_EQ(empty.result(), QString());
}

TEST(GridselDlg, ATitleLineWithoutTrailingSemicolonGivesTheSameColumns) {
    TGridselDlg with;
    TGridselDlg without;
    TGridselDlg::Request r = request();
    with.build(r);
    r.list[0].chop(1);
    without.build(r);
    ASSERT_EQ(without.grid().columnCount(), with.grid().columnCount());
    EXPECT_EQ(without.width(), with.width());
}

} // namespace
