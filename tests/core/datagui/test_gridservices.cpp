#include "core/datagui/gridservices.h"
#include "gridfixture.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"

#include <QBrush>
#include <QLineEdit>

using widgets::DataGrid;
using widgets::DataSource;
using widgets::GridColumn;

namespace {

class GridServicesTest : public GridTablesTest {
protected:
    void SetUp() override {
        GridTablesTest::SetUp();
        ResetLastSort();
        source = std::make_unique<DataSource>(*kunden);
        grid = std::make_unique<DataGrid>(*source);
        grid->setColumns({{"Nr"}, {"Name"}, {"Ort"}, {"Seit"}, {"Aktiv"}, {"Umsatz"}, {"Anzeige"}});
    }
    void TearDown() override {
        grid.reset();
        source.reset();
        GridTablesTest::TearDown();
    }

    QStringList sortedTitles() const {
        QStringList result;
        auto& model = grid->gridModel();
        for (int c = 0; c < model.columnCount(); ++c) {
            const QVariant bg = model.headerData(c, Qt::Horizontal, Qt::BackgroundRole);
            if (bg.isValid() && bg.value<QBrush>().color() == SortTitleColor())
                result.append(model.fieldAt(c));
        }
        return result;
    }

    QString cell(int row, int column) const {
        return grid->gridModel().index(row, column).data().toString();
    }

    std::unique_ptr<DataSource> source;
    std::unique_ptr<DataGrid> grid;
};

TEST_F(GridServicesTest, TitleClickSortsByTheFirstIndexBeginningWithTheColumn) {
    const struct {
        const char* clicked;
        const char* index;
        int column;
        const char* coloured;
        const char* firstName;
    } cases[] = {
        {"Name", "IName", 1, "Name", "Albers"},
        {"Ort", "IOrtName", 2, "Ort", "Conrad"},
        {"Nr", "", 0, "Nr", "Conrad"},
        {"NAME", "IName", 1, "Name", "Albers"}, // letter case does not matter
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clicked);
        kunden->setIndexName(QStringLiteral("IOrtName"));
        ResetLastSort();
        const int column = SortGridByColumn(*grid, QString::fromUtf8(c.clicked));
        EXPECT_EQ(column, c.column);
        EXPECT_EQ(kunden->indexName(), QString::fromUtf8(c.index));
        EXPECT_EQ(sortedTitles(), QStringList{QString::fromUtf8(c.coloured)});
        EXPECT_EQ(LastSortColumn(), c.column);
        EXPECT_EQ(cell(0, 1), QString::fromUtf8(c.firstName));
    }
}

TEST_F(GridServicesTest, ClickOnAColumnWithoutIndexSortsByTheFirstColumnAndUncoloursTheOld) {
    ASSERT_EQ(SortGridByColumn(*grid, QStringLiteral("Name")), 1);
    EXPECT_EQ(SortGridByColumn(*grid, QStringLiteral("Umsatz")), 0);
    EXPECT_EQ(kunden->indexName(), QString());
    EXPECT_EQ(sortedTitles(), QStringList{QStringLiteral("Nr")});
    EXPECT_EQ(GetSortFieldName(), QStringLiteral("Nr"));
    EXPECT_EQ(cell(0, 0), QStringLiteral("1"));
}

TEST_F(GridServicesTest, SortByFieldTakesTheEarliestPositionAndHonoursForce) {
    // "Name" stands at position 4 of "Ort;Name" but at 0 of "Name".
    EXPECT_EQ(SortGridByField(QStringLiteral("Name"), *grid, false), 1);
    EXPECT_EQ(kunden->indexName(), QStringLiteral("IName"));

    // The same field again without force changes nothing, with force it re-applies.
    kunden->setIndexName(QString());
    EXPECT_EQ(SortGridByField(QStringLiteral("Name"), *grid, false), 1);
    EXPECT_EQ(kunden->indexName(), QString());
    EXPECT_EQ(SortGridByField(QStringLiteral("Name"), *grid, true), 1);
    EXPECT_EQ(kunden->indexName(), QStringLiteral("IName"));

    // No index holds the field: the table keeps its index, the result stays.
    EXPECT_EQ(SortGridByField(QStringLiteral("Umsatz"), *grid, false), 1);
    EXPECT_EQ(kunden->indexName(), QStringLiteral("IName"));
    EXPECT_EQ(GetSortFieldName(), QStringLiteral("Name"));
}

TEST_F(GridServicesTest, SearchMovesToTheNearestKeyOfTheCurrentIndex) {
    SortGridByColumn(*grid, QStringLiteral("Name"));
    const struct {
        const char* typed;
        const char* name;
    } cases[] = {{"be", "Berger"}, {"BERG", "Berger"}, {"bz", "Conrad"}, {"a", "Albers"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        kunden->last();
        FindKeyUpperCase(*source, QString::fromUtf8(c.typed));
        EXPECT_EQ(kunden->value(QStringLiteral("Name")).toString(), QString::fromUtf8(c.name));
        EXPECT_EQ(grid->gridModel().cursorRow(), grid->currentIndex().row());
    }

    SortGridByColumn(*grid, QStringLiteral("Nr"));
    FindKeyUpperCase(*source, QStringLiteral("2"));
    EXPECT_EQ(kunden->value(QStringLiteral("Nr")).toInt(), 2);
    FindKeyUpperCase(*source, QStringLiteral("x")); // not a number: stays
    EXPECT_EQ(kunden->value(QStringLiteral("Nr")).toInt(), 2);
}

TEST_F(GridServicesTest, SearchKeysAreFilteredByTheColumnsType) {
    const QChar none;
    const struct {
        int column;
        const char* box;
        QChar key;
        QChar expected;
        const char* boxAfter;
    } cases[] = {
        {1, "Ber", u'-', u'-', "Ber"}, // text takes every key
        {4, "", u'J', u'J', ""},       // Boolean: J, N, j, n
        {4, "", u'n', u'n', ""},       //
        {4, "", u'X', none, ""},       //
        {0, "12", u'-', none, "12"},   // numbers: digits and backspace only
        {0, "12", u'7', u'7', "12"},   //
        {0, "12", QChar(8), QChar(8), "12"},
        {0, "12a", u'3', u'3', ""},  // a box holding other characters is emptied
        {5, "1,5", u'3', u'3', ""},  // money likewise
        {3, "01.0", u'1', none, ""}, // dates: the box is emptied, no key
        {-1, "x", u'1', none, "x"},  // no sort column
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "column " << c.column << " box " << c.box);
        QLineEdit box(QString::fromUtf8(c.box));
        QChar key = c.key;
        FilterSearchKey(*grid, box, c.column, key);
        EXPECT_EQ(key, c.expected);
        EXPECT_EQ(box.text(), QString::fromUtf8(c.boxAfter));
    }
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(GridServicesTest, ACalculatedColumnIsNoSearchField) {
    QLineEdit box;
    QChar key = u'a';
    FilterSearchKey(*grid, box, 6, key);
    EXPECT_EQ(key, QChar());
    EXPECT_EQ(presenter.shown, QStringList{QStringLiteral("Dieses Feld ist kein Suchfeld!")});
}

TEST_F(GridServicesTest, SkippingAColumnMovesToItsNeighbourAndTurnsAtTheEdges) {
    const struct {
        int column;
        int key;
        const char* selected;
    } cases[] = {
        {2, Qt::Key_Left, "Name"}, {2, Qt::Key_Right, "Seit"},   {2, Qt::Key_Tab, "Seit"},
        {0, Qt::Key_Left, "Name"}, {6, Qt::Key_Right, "Umsatz"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        grid->selectField(grid->gridModel().fieldAt(c.column));
        SkipGridColumn(*grid, c.column, c.key);
        EXPECT_EQ(grid->selectedField(), QString::fromUtf8(c.selected));
    }
}

TEST_F(GridServicesTest, FieldSelectionByComponentNameAndColumnNames) {
    SelectGridField(*grid, QStringLiteral("TabKundenORT"));
    EXPECT_EQ(grid->selectedField(), QStringLiteral("Ort"));
    SelectGridField(*grid, QStringLiteral("Umsatz"));
    EXPECT_EQ(grid->selectedField(), QStringLiteral("Umsatz"));
    SelectGridField(*grid, QStringLiteral("TabKundenPLZ"));
    EXPECT_EQ(grid->selectedField(), QStringLiteral("Umsatz"));

    EXPECT_EQ(GetColumnFieldName(*grid, 1, QStringLiteral("X")), QStringLiteral("Name"));
    EXPECT_EQ(GetColumnFieldName(*grid, -1, QStringLiteral("X")), QStringLiteral("X"));
}

} // namespace
