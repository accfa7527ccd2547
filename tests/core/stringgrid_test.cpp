#include "core/stringgrid.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

namespace {

// A grid with a title row and one data row per entry of Keys: column 0 the
// key, column 1 a text derived from it, the attached value the key's length.
StringGrid makeGrid(const QStringList& keys) {
    StringGrid grid(int(keys.size()) + 1, 2);
    grid.setCellText(0, 0, QStringLiteral("Schlüssel"));
    grid.setCellText(0, 1, QStringLiteral("Text"));
    for (int i = 0; i < keys.size(); ++i) {
        grid.setCellText(i + 1, 0, keys[i]);
        grid.setCellText(i + 1, 1, QStringLiteral("zu ") + keys[i]);
        grid.setCellObject(i + 1, 0, QVariant(int(keys[i].size())));
    }
    return grid;
}

QStringList column(const StringGrid& grid, int c) {
    QStringList texts;
    for (int row = 0; row < grid.rowCount(); ++row)
        texts.append(grid.cellText(row, c));
    return texts;
}

int byText(const QString& a, const QString& b) {
    return a.compare(b);
}

TEST(StringGrid, SortMovesWholeRowsBelowTheTitle) {
    StringGrid grid = makeGrid({QStringLiteral("B"), QStringLiteral("CC"), QStringLiteral("A")});
    SortStringGrid(grid, 0, byText);
    EXPECT_EQ(column(grid, 0), (QStringList{QStringLiteral("Schlüssel"), QStringLiteral("A"),
                                            QStringLiteral("B"), QStringLiteral("CC")}));
    EXPECT_EQ(column(grid, 1), (QStringList{QStringLiteral("Text"), QStringLiteral("zu A"),
                                            QStringLiteral("zu B"), QStringLiteral("zu CC")}));
    EXPECT_EQ(grid.cellObject(3, 0).toInt(), 2);
    EXPECT_EQ(grid.cellObject(1, 0).toInt(), 1);
}

TEST(StringGrid, SortIsStableAndFollowsTheComparison) {
    StringGrid grid(5, 2);
    const char* rows[][2] = {{"2", "erste"}, {"1", "zweite"}, {"2", "dritte"}, {"1", "vierte"}};
    for (int i = 0; i < 4; ++i) {
        grid.setCellText(i + 1, 0, QString::fromUtf8(rows[i][0]));
        grid.setCellText(i + 1, 1, QString::fromUtf8(rows[i][1]));
    }
    SortStringGrid(grid, 0, [](const QString& a, const QString& b) { return b.compare(a); });
    EXPECT_EQ(column(grid, 1),
              (QStringList{QString(), QStringLiteral("erste"), QStringLiteral("dritte"),
                           QStringLiteral("zweite"), QStringLiteral("vierte")}));
}

TEST(StringGrid, SortNeedsTwoDataRows) {
    StringGrid grid = makeGrid({QStringLiteral("B")});
    int calls = 0;
    SortStringGrid(grid, 0, [&](const QString&, const QString&) { return ++calls; });
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(grid.cellText(1, 0), QStringLiteral("B"));
}

TEST(StringGrid, SortEndsWithAComparisonThatNeverCallsTextsInOrder) {
    StringGrid grid = makeGrid({QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("A")});
    SortStringGrid(grid, 0, [](const QString&, const QString&) { return 1; });
    EXPECT_EQ(grid.rowCount(), 4);
}

TEST(StringGrid, SortByAColumnOutsideTheGridRaises) {
    StringGrid grid = makeGrid({QStringLiteral("B"), QStringLiteral("A")});
    EXPECT_THROW(SortStringGrid(grid, 2, byText), DbError);
    EXPECT_THROW(grid.cellText(3, 0), DbError);
    EXPECT_THROW(grid.setCellText(0, -1, QString()), DbError);
}

TEST(StringGrid, ClearEmptiesEveryCellAndDropsAttachedValues) {
    StringGrid grid = makeGrid({QStringLiteral("B"), QStringLiteral("A")});
    ClearStringGrid(&grid);
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int c = 0; c < grid.columnCount(); ++c) {
            EXPECT_TRUE(grid.cellText(row, c).isEmpty());
            EXPECT_FALSE(grid.cellObject(row, c).isValid());
        }
    }
    EXPECT_EQ(grid.rowCount(), 3);
    ClearStringGrid(nullptr);
}

} // namespace
