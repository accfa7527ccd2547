#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/rowreader.h"
#include "widgetfixture.h"

#include <QComboBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>

using widgets::DataGrid;
using widgets::DataSource;

namespace {

constexpr int kRows = 100000;

// One table of 100,000 customers shared by the tests of the suite; names run
// backwards so the name index orders them the other way round.
class LargeGridTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        table::Database::Options o;
        o.syncToDisk = false;
        s_db = new std::shared_ptr<table::Database>(table::Database::open(s_dir->path(), o));
        (*s_db)->createTable(WidgetTest::customerDef());
        (*s_db)->execSql(
            QStringLiteral(
                "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
                "INSERT INTO Kunden(Nr, Name, Ort) SELECT x, printf('Kunde %06d', %1 + 1 - x), "
                "x % 7 FROM c")
                .arg(kRows));
    }
    static void TearDownTestSuite() {
        delete s_db;
        delete s_dir;
    }

    void SetUp() override {
        kunden = std::make_unique<table::Table>(*s_db, QStringLiteral("Kunden.DB"));
        kunden->open();
        kunden->afterScroll += [this](table::Table&) { ++scrolls; };
    }

    static QTemporaryDir* s_dir;
    static std::shared_ptr<table::Database>* s_db;
    std::unique_ptr<table::Table> kunden;
    int scrolls = 0;
};

QTemporaryDir* LargeGridTest::s_dir = nullptr;
std::shared_ptr<table::Database>* LargeGridTest::s_db = nullptr;

QString cell(DataGrid& grid, int row, const QString& field) {
    for (int c = 0; c < grid.gridModel().columnCount(); ++c)
        if (grid.gridModel().fieldAt(c) == field)
            return grid.gridModel().index(row, c).data().toString();
    return QStringLiteral("<no column %1>").arg(field);
}

} // namespace

TEST_F(LargeGridTest, ShowsEveryRowAndReadsThemWithoutMovingTheCursor) {
    DataSource ds(*kunden);
    DataGrid grid(ds);
    grid.resize(600, 400);
    grid.show();
    EXPECT_EQ(grid.gridModel().rowCount(), kRows);
    const int before = scrolls;
    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
    grid.grab();
    EXPECT_EQ(cell(grid, kRows - 1, "Nr"), QString::number(kRows));
    EXPECT_EQ(cell(grid, 50000, "Name"), QStringLiteral("Kunde 050000"));
    EXPECT_EQ(cell(grid, 0, "Name"), QStringLiteral("Kunde 100000"));
    // Reading rows for the screen neither scrolls the table nor leaves its record.
    EXPECT_EQ(scrolls, before);
    EXPECT_EQ(kunden->recNo(), 1);
    EXPECT_EQ((*kunden)["Nr"].asInteger(), 1);
}

TEST_F(LargeGridTest, SelectionAndCursorFollowEachOther) {
    DataSource ds(*kunden);
    DataGrid grid(ds);
    grid.setCurrentIndex(grid.gridModel().index(54321, 1));
    EXPECT_EQ(kunden->recNo(), 54322);
    EXPECT_EQ((*kunden)["Nr"].asInteger(), 54322);

    kunden->setRecNo(77777);
    EXPECT_EQ(grid.currentIndex().row(), 77776);
    EXPECT_EQ(grid.currentIndex().column(), 1)
        << "the column stays when the row follows the cursor";
    kunden->last();
    EXPECT_EQ(grid.currentIndex().row(), kRows - 1);
    kunden->first();
    EXPECT_EQ(grid.currentIndex().row(), 0);
}

TEST_F(LargeGridTest, TitleClickSortsThroughTheHookAndTheRowsFollowTheIndex) {
    DataSource ds(*kunden);
    DataGrid grid(ds);
    QStringList clicked;
    QObject::connect(&grid, &DataGrid::titleClicked, [&](int, const QString& field) {
        clicked.append(field);
        // What the grid services do: the index named after the field, then first().
        kunden->setIndexName(QStringLiteral("I") + field);
        kunden->first();
    });
    grid.horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(clicked, QStringList{QStringLiteral("Name")});
    EXPECT_EQ(cell(grid, 0, "Nr"), QString::number(kRows));
    EXPECT_EQ(cell(grid, kRows - 1, "Nr"), QStringLiteral("1"));
    EXPECT_EQ(grid.currentIndex().row(), 0);
    EXPECT_EQ((*kunden)["Nr"].asInteger(), kRows);
}

TEST_F(LargeGridTest, AFilterShrinksTheGridAndClosingEmptiesIt) {
    DataSource ds(*kunden);
    DataGrid grid(ds);
    kunden->setFilter(QStringLiteral("Ort = 3"));
    kunden->setFiltered(true);
    const int expected = (kRows + 4) / 7;
    EXPECT_EQ(grid.gridModel().rowCount(), expected);
    EXPECT_EQ(cell(grid, 0, "Nr"), QStringLiteral("3"));
    EXPECT_EQ(cell(grid, 1, "Nr"), QStringLiteral("10"));
    kunden->close();
    EXPECT_EQ(grid.gridModel().rowCount(), 0);
    EXPECT_FALSE(grid.currentIndex().isValid());
}

TEST_F(WidgetTest, DetailGridShowsTheRowsOfTheMasterRecordThroughItsSetup) {
    const QStringList master{QStringLiteral("ONr")}, detail{QStringLiteral("Ort")};
    addCustomer(4, QStringLiteral("Dorn"), 2);
    kunden->setMaster(orte.get(), master, detail);
    DataSource dsOrte(*orte);
    DataSource ds(*kunden);
    ds.rows().setSetup([&](table::Table& reader) { reader.setMaster(orte.get(), master, detail); });
    DataGrid grid(ds);
    orte->first();
    ASSERT_EQ(grid.gridModel().rowCount(), 1);
    EXPECT_EQ(cell(grid, 0, "Name"), QStringLiteral("Albers"));
    orte->next();
    ASSERT_EQ(grid.gridModel().rowCount(), 2);
    EXPECT_EQ(cell(grid, 0, "Name"), QStringLiteral("Berger"));
    EXPECT_EQ(cell(grid, 1, "Name"), QStringLiteral("Dorn"));
    grid.setCurrentIndex(grid.gridModel().index(1, 0));
    EXPECT_EQ((*kunden)["Nr"].asInteger(), 4);
}

TEST_F(WidgetTest, GridOffersTitleColoursAndColumnChoiceToItsServices) {
    DataSource ds(*kunden);
    DataGrid grid(ds);
    auto& model = grid.gridModel();
    grid.setColumns({{"Name", "Kunde", 20}, {"Ort", {}, 0}});
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Kunde"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Ort"));
    const QColor lilac(0xD2, 0xCD, 0xE0);
    model.setTitleBrush(1, lilac);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::BackgroundRole).value<QBrush>().color(),
              lilac);
    EXPECT_FALSE(model.headerData(0, Qt::Horizontal, Qt::BackgroundRole).isValid());
    model.setTitleBrush(1, QBrush());
    EXPECT_FALSE(model.headerData(1, Qt::Horizontal, Qt::BackgroundRole).isValid());

    kunden->setRecNo(2);
    EXPECT_TRUE(grid.selectField("ort"));
    EXPECT_EQ(grid.selectedField(), QStringLiteral("Ort"));
    EXPECT_EQ(grid.currentIndex().row(), 1) << "choosing a column keeps the row";
    EXPECT_FALSE(grid.selectField("Umsatz"));
    EXPECT_EQ(grid.selectedField(), QStringLiteral("Ort"));
}

TEST_F(WidgetTest, DisabledControlsHearNothingUntilEnabledAgain) {
    DataSource ds(*kunden);
    DataGrid grid(ds);
    int heard = 0;
    QObject::connect(&ds, &DataSource::recordChanged, [&] { ++heard; });
    {
        widgets::ControlsDisabled quiet(ds);
        {
            widgets::ControlsDisabled nested(ds);
            for (kunden->first(); !kunden->eof(); kunden->next()) {
                kunden->edit();
                (*kunden)["Anzahl"] = 5;
                kunden->post();
            }
        }
        EXPECT_TRUE(ds.controlsDisabled());
        EXPECT_EQ(heard, 0);
        kunden->setRecNo(2);
    }
    EXPECT_EQ(heard, 1) << "one update when the last guard ends";
    EXPECT_EQ(grid.currentIndex().row(), 1);
    EXPECT_EQ(grid.gridModel().index(2, grid.gridModel().columnOf("Anzahl")).data().toString(),
              QStringLiteral("5"));
}

TEST_F(WidgetTest, GridShowsCalculatedFieldsAndOwnTextsOfEveryRow) {
    kunden->close();
    kunden->addCalculatedField(QStringLiteral("Anzeige"), table::FieldType::String, 40);
    kunden->onCalcFields += [](table::Table& t) {
        t["Anzeige"] = t["Name"].asString() + QStringLiteral(" (") + t["Ort"].asString() + ')';
    };
    (*kunden)["Aktiv"].onGetText = [](const table::Field& f) {
        return f.isNull()      ? QStringLiteral("?")
               : f.asBoolean() ? QStringLiteral("ja")
                               : QStringLiteral("nein");
    };
    kunden->open();
    DataSource ds(*kunden);
    DataGrid grid(ds);
    grid.setColumns({{"Anzeige", {}, 0}, {"Name", {}, 0}});
    EXPECT_EQ(cell(grid, 1, "Anzeige"), QStringLiteral("Berger (2)"));
    EXPECT_EQ(cell(grid, 2, "Anzeige"), QStringLiteral("Conrad (3)"));
    EXPECT_FALSE(grid.gridModel().flags(grid.gridModel().index(0, 0)) & Qt::ItemIsEditable)
        << "a calculated field is not edited";
    EXPECT_EQ(ds.rows().text(0, "Aktiv"), QStringLiteral("?")) << "the table's own display text";

    ASSERT_TRUE(grid.gridModel().setData(grid.gridModel().index(1, 1), QStringLiteral("Brandt")));
    EXPECT_EQ(cell(grid, 1, "Anzeige"), QStringLiteral("Brandt (2)"))
        << "the edited row shows its buffer";
}

TEST_F(WidgetTest, GridCheckBoxCellWritesABooleanField) {
    DataSource ds(*kunden);
    DataGrid grid(ds);
    auto& model = grid.gridModel();
    const QModelIndex aktiv = model.index(2, model.columnOf("Aktiv"));
    ASSERT_TRUE(model.flags(aktiv) & Qt::ItemIsUserCheckable);
    EXPECT_EQ(aktiv.data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    ASSERT_TRUE(model.setData(aktiv, Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(aktiv.data(Qt::CheckStateRole).toInt(), Qt::Checked);
    kunden->post();
    EXPECT_TRUE(storedValue(3, "Aktiv").toBool());
}

TEST_F(WidgetTest, AChoiceColumnShowsTextsAndWritesTheChosenValue) {
    DataSource ds(*kunden);
    DataGrid grid(ds);
    grid.setColumns({{"Name", {}, 0}, {"Ort", "Ort", 0, false, {"Köln", "Bonn"}, {1, 2}}});
    auto& model = grid.gridModel();
    EXPECT_EQ(cell(grid, 0, "Ort"), QStringLiteral("Köln"));
    EXPECT_EQ(cell(grid, 1, "Ort"), QStringLiteral("Bonn"));
    EXPECT_EQ(cell(grid, 2, "Ort"), QStringLiteral("3")) << "a value without a text shows as it is";
    const QModelIndex ort = model.index(2, 1);
    EXPECT_EQ(ort.data(Qt::EditRole).toInt(), 3) << "the list edits the stored value";

    // The drop-down list writes the value of the chosen text.
    grid.setCurrentIndex(ort);
    grid.edit(ort);
    auto* box = grid.findChild<QComboBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->count(), 2);
    box->setCurrentIndex(1);
    Q_EMIT box->activated(1);
    EXPECT_EQ((*kunden)["Ort"].asInteger(), 2);
    EXPECT_EQ(cell(grid, 2, "Ort"), QStringLiteral("Bonn"));
    kunden->post();
    EXPECT_EQ(storedValue(3, "Ort").toInt(), 2);
    EXPECT_TRUE(errors.isEmpty());
}
