#include "dialogfixture.h"
#include "masterdata/dialogs/selectrecord.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/dbrichedit.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <climits>

using namespace Qt::StringLiterals;
using dialogtest::WhenShown;

namespace {

const LookupGrid kCustomerGrid{{{u"K_Nr"_s, u"Kd-Nr."_s, 7},
                                {u"K_Match"_s, u"Matchcode"_s, 16},
                                {u"K_Name1"_s, u"Name 1"_s, 20}},
                               0,
                               200};

// The grid cell of the row whose field holds value.
QModelIndex cellOf(const TF_DbSelect& d, const QString& field, const QVariant& value) {
    const auto& model = d.grid()->gridModel();
    const int column = model.columnOf(field);
    for (int r = 0; r < model.rowCount(); ++r) {
        const QModelIndex index = model.index(r, column);
        if (model.data(index).toString() == value.toString())
            return index;
    }
    return {};
}

QVariant currentKey(const TF_DbSelect& d, const QString& field = u"K_Nr"_s) {
    return d.lookupTable()->field(field).value();
}

class SelectRecordTest : public dialogtest::DialogDbTest {
protected:
    void SetUp() override {
        DialogDbTest::SetUp();
        addCustomer(1, 10, u"MEIER"_s, u"Meier GmbH"_s);
        addCustomer(2, 20, u"ALBERS"_s, u"Albers KG"_s);
        addCustomer(3, 30, u"BERGER"_s, u"Berger & Sohn"_s);
        createModule();
    }
    void addCustomer(int id, const QVariant& nr, const QString& match, const QString& name) {
        addRow(u"Kunden.DB"_s,
               {{u"K_ID"_s, id}, {u"K_Nr"_s, nr}, {u"K_Match"_s, match}, {u"K_Name1"_s, name}});
    }
    bool lookup(QVariant& key, QString& sort, const QString& filter = {},
                const LookupGrid& grid = kCustomerGrid) {
        return SelectRecord(grid, u"K_Nr"_s, key, 30, 40, u"Kunden auswählen"_s, u"LumoDB"_s,
                            u"Kunden.DB"_s, sort, filter);
    }
};

TEST_F(SelectRecordTest, EveryWayOutGivesItsResultAndHandsBackTheSort) {
    const struct {
        const char* name;
        QVariant start;
        std::function<void(TF_DbSelect&)> act;
        bool chosen;
        QVariant key;
        QString sort;
    } cases[] = {
        {"ok on the start row", 20, [](TF_DbSelect& d) { d.btnOK()->click(); }, true, 20,
         u"K_Nr"_s},
        {"double-click on a row", 20,
         [](TF_DbSelect& d) {
             const QModelIndex cell = cellOf(d, u"K_Nr"_s, 30);
             // The row is selected by the first click; the second one doubles it.
             d.grid()->setCurrentIndex(cell);
             Q_EMIT d.grid()->doubleClicked(cell);
         },
         true, 30, u"K_Nr"_s},
        {"Abbrechen", 20, [](TF_DbSelect& d) { d.btnCancel()->click(); }, false, 20, u"K_Nr"_s},
        {"Esc", 20, [](TF_DbSelect& d) { QTest::keyClick(d.editSearch(), Qt::Key_Escape); }, false,
         20, u"K_Nr"_s},
        {"close box", 20, [](TF_DbSelect& d) { d.close(); }, false, 20, u"K_Nr"_s},
        {"unknown start key opens on the first row", 99,
         [](TF_DbSelect& d) {
             EXPECT_EQ(currentKey(d), QVariant(10));
             d.btnOK()->click();
         },
         true, 10, u"K_Nr"_s},
        {"a title click is handed back on cancel", 20,
         [](TF_DbSelect& d) {
             Q_EMIT d.grid()->titleClicked(1, u"K_Match"_s);
             d.btnCancel()->click();
         },
         false, 20, u"K_Match"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QVariant key = c.start;
        QString sort;
        bool timerPaused = false;
        WhenShown<TF_DbSelect>([&](TF_DbSelect& d) {
            timerPaused = !DataModule1().IsTimerWorkEnabled();
            EXPECT_EQ(d.windowTitle(), u"Kunden auswählen"_s);
            c.act(d);
        });
        EXPECT_EQ(lookup(key, sort), c.chosen);
        EXPECT_EQ(key.toInt(), c.key.toInt());
        EXPECT_EQ(sort, c.sort);
        EXPECT_TRUE(timerPaused);
        EXPECT_TRUE(DataModule1().IsTimerWorkEnabled());
        EXPECT_EQ(TF_DbSelect::openLookupCount(), 0);
        EXPECT_EQ(dialogtest::LiveWindows<TF_DbSelect>(), 0);
    }
}

TEST_F(SelectRecordTest, OkWithoutAKeyIsNoChoice) {
    addCustomer(4, QVariant(), u"OHNE"_s, u"Ohne Nummer"_s);
    const struct {
        const char* name;
        QString filter;
    } cases[] = {{"empty list", u"K_Nr=999"_s}, {"row without key", u"K_Match='OHNE'"_s}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QVariant key = 20;
        QString sort;
        WhenShown<TF_DbSelect>([](TF_DbSelect& d) { d.btnOK()->click(); });
        EXPECT_FALSE(lookup(key, sort, c.filter));
        EXPECT_EQ(key, QVariant(20));
    }
}

TEST_F(SelectRecordTest, AnErrorCleansUpAndRestoresTheTimerWorkAsFound) {
    LookupGrid tooHigh = kCustomerGrid;
    tooHigh.height = INT_MAX - 10;
    const struct {
        const char* name;
        QString table;
        QString filter;
        LookupGrid grid;
    } cases[] = {
        {"size overflow after the cursor is open", u"Kunden.DB"_s, {}, tooHigh},
        {"missing table", u"Fehlt.DB"_s, {}, kCustomerGrid},
        {"bad filter", u"Kunden.DB"_s, u"K_Unbekannt=1"_s, kCustomerGrid},
    };
    for (const auto& c : cases) {
        for (const bool timerOn : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (timerOn ? " timer on" : " timer off"));
            timerOn ? DataModule1().EnableTimerWork() : DataModule1().DisableTimerWork();
            QVariant key = 20;
            QString sort = u"K_Match"_s;
            EXPECT_THROW(SelectRecord(c.grid, u"K_Nr"_s, key, 0, 0, u"X"_s, u"LumoDB"_s, c.table,
                                      sort, c.filter),
                         DbError);
            EXPECT_EQ(DataModule1().IsTimerWorkEnabled(), timerOn);
            EXPECT_EQ(TF_DbSelect::openLookupCount(), 0);
            EXPECT_EQ(dialogtest::LiveWindows<TF_DbSelect>(), 0);
            EXPECT_EQ(key, QVariant(20));
        }
    }
}

TEST_F(SelectRecordTest, TheSharedTableObjectIsNeitherMovedFilteredNorReindexed) {
    table::Table& shared = DataModule1().TabKunden();
    shared.locate({u"K_Nr"_s}, {30});
    const QString index = shared.indexName();
    const int recNo = shared.recNo();
    auto unchanged = [&] {
        EXPECT_EQ(shared.indexName(), index);
        EXPECT_EQ(shared.recNo(), recNo);
        EXPECT_FALSE(shared.isFiltered());
        EXPECT_TRUE(shared.filter().isEmpty());
    };
    QVariant key = 10;
    QString sort = u"K_Match"_s;
    WhenShown<TF_DbSelect>([&](TF_DbSelect& d) {
        EXPECT_EQ(d.lookupTable()->indexName(), u"K_IMatch"_s);
        QTest::keyClicks(d.editSearch(), u"b"_s);
        EXPECT_EQ(currentKey(d), QVariant(30)); // BERGER
        unchanged();
        d.btnOK()->click();
    });
    EXPECT_TRUE(lookup(key, sort, u"K_Nr>=20"_s));
    EXPECT_EQ(key, QVariant(30));
    unchanged();
}

TEST_F(SelectRecordTest, FormKeysJumpIntoTheSearchOrIntoTheGrid) {
    QVariant key = 10;
    QString sort = u"K_Match"_s;
    WhenShown<TF_DbSelect>([&](TF_DbSelect& d) {
        d.activateWindow();
        d.grid()->setFocus();
        QTest::keyClick(d.grid(), Qt::Key_A);
        EXPECT_EQ(d.editSearch()->text(), u"A"_s);
        EXPECT_EQ(currentKey(d), QVariant(20)); // ALBERS
        EXPECT_EQ(d.focusWidget(), d.editSearch());
        QTest::keyClick(d.editSearch(), Qt::Key_Down);
        EXPECT_EQ(d.focusWidget(), d.grid());
        EXPECT_EQ(currentKey(d), QVariant(30)); // the Down reached the grid
        d.btnOK()->click();
    });
    EXPECT_TRUE(lookup(key, sort));
    EXPECT_EQ(key, QVariant(30));
}

TEST_F(SelectRecordTest, TheGridAndTheBarsSizeTheDialog) {
    LookupGrid grid = kCustomerGrid;
    grid.width = 500;
    grid.height = 300;
    QVariant key = 10;
    QString sort;
    WhenShown<TF_DbSelect>([](TF_DbSelect& d) {
        EXPECT_EQ(d.width(), 500);
        EXPECT_EQ(d.height(), 300 + TF_DbSelect::Panel1Height + TF_DbSelect::Panel2Height);
        EXPECT_FALSE(d.panelRE()->isVisible());
        d.btnCancel()->click();
    });
    lookup(key, sort, {}, grid);
}

// A table with one indexed field of each searchable kind.
class SearchKeysTest : public dialogtest::DialogDbTest {
protected:
    void SetUp() override {
        DialogDbTest::SetUp();
        using table::FieldType;
        table::TableDef def;
        def.name = u"Proben.DB"_s;
        def.fields = {{u"P_ID"_s, FieldType::Integer, 0},
                      {u"P_Name"_s, FieldType::String, 20},
                      {u"P_Aktiv"_s, FieldType::Boolean, 0},
                      {u"P_Seit"_s, FieldType::Date, 0},
                      {u"P_Betrag"_s, FieldType::Currency, 0}};
        def.indexes = {{u"I_Name"_s, {u"P_Name"_s}, false, false, false},
                       {u"I_Aktiv"_s, {u"P_Aktiv"_s}, false, false, false},
                       {u"I_Seit"_s, {u"P_Seit"_s}, false, false, false},
                       {u"I_Betrag"_s, {u"P_Betrag"_s}, false, false, false}};
        table::aliases::database(u"LumoDB"_s)->createTable(def);
        addRow(u"Proben.DB"_s, {{u"P_ID"_s, 1}, {u"P_Name"_s, u"Erste"_s}});
    }
};

TEST_F(SearchKeysTest, TheSortColumnsTypeDecidesWhichKeysTheSearchTakes) {
    const LookupGrid grid{{{u"P_ID"_s, u"Nr"_s, 5},
                           {u"P_Name"_s, u"Name"_s, 10},
                           {u"P_Aktiv"_s, u"Aktiv"_s, 5},
                           {u"P_Seit"_s, u"Seit"_s, 10},
                           {u"P_Betrag"_s, u"Betrag"_s, 10}},
                          0,
                          150};
    const struct {
        QString sortField;
        QString typed;
        QString shown;
    } cases[] = {
        {u"P_Name"_s, u"a1J-"_s, u"a1J-"_s}, // text: every key
        {u"P_ID"_s, u"a12x"_s, u"12"_s},     // integer: digits only
        {u"P_Betrag"_s, u"7,x5"_s, u"75"_s}, // currency: digits only
        {u"P_Aktiv"_s, u"jxNa"_s, u"jN"_s},  // Boolean: J and N
        {u"P_Seit"_s, u"1.2"_s, QString()},  // date: none
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sortField.toStdString());
        QVariant key = 1;
        QString sort = c.sortField;
        WhenShown<TF_DbSelect>([&](TF_DbSelect& d) {
            EXPECT_EQ(d.grid()->gridModel().fieldAt(d.sortColumn()), c.sortField);
            QTest::keyClicks(d.editSearch(), c.typed);
            EXPECT_EQ(d.editSearch()->text(), c.shown);
            d.btnCancel()->click();
        });
        SelectRecord(grid, u"P_ID"_s, key, 0, 0, u"Proben"_s, u"LumoDB"_s, u"Proben.DB"_s, sort,
                     {});
        EXPECT_EQ(sort, c.sortField);
    }
}

TEST_F(SearchKeysTest, BackspaceIsADigitFieldsKey) {
    const LookupGrid grid{{{u"P_ID"_s, u"Nr"_s, 5}}, 0, 150};
    QVariant key = 1;
    QString sort = u"P_ID"_s;
    WhenShown<TF_DbSelect>([](TF_DbSelect& d) {
        QTest::keyClicks(d.editSearch(), u"12"_s);
        QTest::keyClick(d.editSearch(), Qt::Key_Backspace);
        EXPECT_EQ(d.editSearch()->text(), u"1"_s);
        d.btnCancel()->click();
    });
    SelectRecord(grid, u"P_ID"_s, key, 0, 0, u"Proben"_s, u"LumoDB"_s, u"Proben.DB"_s, sort, {});
}

class PreviewTest : public dialogtest::DialogDbTest {
protected:
    void SetUp() override {
        DialogDbTest::SetUp();
        const struct {
            int id;
            const char* match;
        } rows[] = {{1, "Unterhaltsreinigung"}, {2, "Glasreinigung"}, {3, "Grünpflege"}};
        for (const auto& r : rows)
            addRow(u"Taetig.DB"_s, {{u"T_ID"_s, r.id},
                                    {u"T_Nr"_s, r.id * 10},
                                    {u"T_Match"_s, QString::fromUtf8(r.match)},
                                    {u"T_TextTour"_s, u"Tourtext %1"_s.arg(r.id)},
                                    {u"T_TextKontroll"_s, u"Kontrolle %1"_s.arg(r.id)}});
        createModule();
    }
    const LookupGrid grid{{{u"T_Nr"_s, u"Nr."_s, 6}, {u"T_Match"_s, u"Suchbegriff"_s, 20}}, 0, 200};
};

TEST_F(PreviewTest, TheLocateFieldChoosesStartRowAndSortAndBothPreviewsShowTheRow) {
    QVariant key = 0;
    QString sort;
    WhenShown<TF_DbSelect>([](TF_DbSelect& d) {
        EXPECT_TRUE(d.panelRE()->isVisible());
        ASSERT_NE(d.richEdit2(), nullptr);
        EXPECT_EQ(d.richEdit1()->toPlainText(), u"Tourtext 2"_s);
        EXPECT_EQ(d.richEdit2()->toPlainText(), u"Kontrolle 2"_s);
        EXPECT_EQ(d.richEdit2()->width(), TF_DbSelect::Preview2Width);
        EXPECT_EQ(d.height(), 200 + TF_DbSelect::Panel1Height + TF_DbSelect::Panel2Height);
        d.btnOK()->click();
    });
    EXPECT_TRUE(SelectRecordWithPreviewUnfiltered(grid, u"T_Nr"_s, key, u"T_Match"_s, u"gLAS"_s, 0,
                                                  0, u"Tätigkeit"_s, u"LumoDB"_s, u"Taetig.DB"_s,
                                                  sort, u"T_TextTour"_s, u"T_TextKontroll"_s));
    EXPECT_EQ(key, QVariant(20));
    EXPECT_EQ(sort, u"T_Match"_s);
}

TEST_F(PreviewTest, WithoutLocateFieldTheKeyStartsAndABlankSecondPreviewIsLeftOut) {
    QVariant key = 30;
    QString sort;
    WhenShown<TF_DbSelect>([](TF_DbSelect& d) {
        EXPECT_EQ(d.richEdit2(), nullptr);
        EXPECT_EQ(d.richEdit1()->toPlainText(), u"Tourtext 3"_s);
        d.btnOK()->click();
    });
    EXPECT_TRUE(SelectRecordWithPreview(grid, u"T_Nr"_s, key, {}, u"egal"_s, 0, 0, u"Tätigkeit"_s,
                                        u"LumoDB"_s, u"Taetig.DB"_s, sort, u"T_Nr>0"_s,
                                        u"T_TextTour"_s, u"  "_s));
    EXPECT_EQ(key, QVariant(30));
    EXPECT_EQ(sort, u"T_Nr"_s);
}

} // namespace
