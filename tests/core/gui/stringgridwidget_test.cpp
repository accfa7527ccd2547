#include "core/gui/stringgridwidget.h"
#include "platform/errors.h"

#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

QTableWidgetItem* item(const QString& text, int attached) {
    auto* it = new QTableWidgetItem(text);
    it->setData(Qt::UserRole, attached);
    return it;
}

// Title row "Nr", "Name"; data rows with the attached value of their number.
void fill(QTableWidget& table, const QStringList& numbers) {
    table.setColumnCount(2);
    table.setRowCount(int(numbers.size()));
    table.setHorizontalHeaderItem(0, new QTableWidgetItem(QStringLiteral("Nr")));
    table.setHorizontalHeaderItem(1, new QTableWidgetItem(QStringLiteral("Name")));
    for (int row = 0; row < numbers.size(); ++row) {
        table.setItem(row, 0, item(numbers[row], numbers[row].toInt()));
        table.setItem(row, 1, item(QStringLiteral("Name ") + numbers[row], 0));
    }
}

int byText(const QString& a, const QString& b) {
    return a.compare(b);
}

TEST(StringGridWidget, SortMovesWholeRowsAndKeepsTheHeader) {
    QTableWidget table;
    fill(table, {QStringLiteral("20"), QStringLiteral("3"), QStringLiteral("100")});
    SortStringGrid(&table, 0, byText); // numbers sort as text
    const QStringList expected = {QStringLiteral("100"), QStringLiteral("20"), QStringLiteral("3")};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(table.item(row, 0)->text(), expected[row]);
        EXPECT_EQ(table.item(row, 1)->text(), QStringLiteral("Name ") + expected[row]);
        EXPECT_EQ(table.item(row, 0)->data(Qt::UserRole).toInt(), expected[row].toInt());
    }
    EXPECT_EQ(table.horizontalHeaderItem(0)->text(), QStringLiteral("Nr"));
}

TEST(StringGridWidget, SortHandlesEmptyCellsAndSingleRows) {
    QTableWidget table;
    fill(table, {QStringLiteral("B"), QStringLiteral("A")});
    delete table.takeItem(0, 1); // row "B" has no name cell
    SortStringGrid(&table, 0, byText);
    EXPECT_EQ(table.item(0, 0)->text(), QStringLiteral("A"));
    EXPECT_EQ(table.item(0, 1)->text(), QStringLiteral("Name A"));
    EXPECT_EQ(table.item(1, 1), nullptr);

    QTableWidget single;
    fill(single, {QStringLiteral("B")});
    int calls = 0;
    SortStringGrid(&single, 0, [&](const QString&, const QString&) { return ++calls; });
    EXPECT_EQ(calls, 0);
    EXPECT_THROW(SortStringGrid(&table, 5, byText), DbError);
}

TEST(StringGridWidget, ClearEmptiesCellsAndTitlesAndDropsAttachedValues) {
    QTableWidget table;
    fill(table, {QStringLiteral("1"), QStringLiteral("2")});
    ClearStringGrid(&table);
    EXPECT_EQ(table.rowCount(), 2);
    for (int column = 0; column < 2; ++column) {
        EXPECT_TRUE(table.horizontalHeaderItem(column)->text().isEmpty());
        for (int row = 0; row < 2; ++row) {
            EXPECT_TRUE(table.item(row, column)->text().isEmpty());
            EXPECT_FALSE(table.item(row, column)->data(Qt::UserRole).isValid());
        }
    }
    ClearStringGrid(static_cast<QTableWidget*>(nullptr));
}

} // namespace
