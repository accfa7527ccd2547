#include "core/datagui/gridfixture.h"
#include "core/datagui/gridservices.h"
#include "masterdata/dialogs/gridsearch.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

constexpr int kNr = 0, kName = 1, kSeit = 3, kAnzeige = 6;

// A list with its search line, both filtered by the column the list is
// sorted by; the typing into the grid passes the same filter.
class GridKeyFilter : public GridTablesTest {
protected:
    void SetUp() override {
        GridTablesTest::SetUp();
        source = std::make_unique<widgets::DataSource>(*kunden);
        auto* layout = new QVBoxLayout(&window);
        search = new QLineEdit(&window);
        grid = new widgets::DataGrid(*source, &window);
        grid->setColumns({{"Nr"}, {"Name"}, {"Ort"}, {"Seit"}, {"Aktiv"}, {"Umsatz"}, {"Anzeige"}});
        layout->addWidget(search);
        layout->addWidget(grid);
        new GridSearch(*search, *grid, [this] { return sortColumn; });
        new GridTypingFilter(*grid, *search, [this] { return sortColumn; });
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void TearDown() override {
        delete grid;
        source.reset();
        GridTablesTest::TearDown();
    }
    // The open cell editor; nullptr when none is open.
    QWidget* cellEditor() const {
        QWidget* focus = QApplication::focusWidget();
        return focus && grid->viewport()->isAncestorOf(focus) ? focus : nullptr;
    }
    // The text of the cell being edited; empty when no editor is open.
    QString editorText() const {
        QWidget* editor = cellEditor();
        if (!editor)
            return {};
        auto* line = qobject_cast<QLineEdit*>(editor);
        return line ? line->text() : u"?"_s;
    }
    // Types into the grid, standing on the name of the first row.
    void typeIntoGrid(const QString& keys) {
        grid->setFocus();
        grid->setCurrentIndex(grid->gridModel().index(0, kName));
        for (const QChar c : keys) {
            QWidget* target = cellEditor() ? cellEditor() : grid;
            QTest::keyClick(target, c.toLatin1());
        }
    }
    void closeEditor() {
        if (QWidget* editor = cellEditor())
            QTest::keyClick(editor, Qt::Key_Escape);
        if (kunden->isEditing())
            kunden->cancel();
    }

    QWidget window;
    std::unique_ptr<widgets::DataSource> source;
    widgets::DataGrid* grid = nullptr;
    QLineEdit* search = nullptr;
    int sortColumn = kNr;
};

// The cases of the search-key filter, once in the search line and once in
// the grid's cells: a number column drops letters (and empties a search
// line holding any), a date column empties the search line and takes
// nothing, a calculated column is no search field, a text column takes all.
TEST_F(GridKeyFilter, TheSortColumnDecidesWhatTheSearchLineAndTheCellsTake) {
    const QString noSearchField = u"Dieses Feld ist kein Suchfeld!"_s;
    const struct {
        const char* what;
        int sortColumn;
        QString searchBefore;
        QString typed;
        QString searchTyped;    // the search line after typing into it
        QString cellTyped;      // the cell after typing into the grid
        QString searchAfter;    // the search line after typing into the grid
        int noSearchFieldBoxes; // per typing
    } cases[] = {
        {"number", kNr, u"Al"_s, u"a7b8"_s, u"78"_s, u"78"_s, QString(), 0},
        {"number, digits kept", kNr, u"12"_s, u"3"_s, u"123"_s, u"3"_s, u"12"_s, 0},
        {"date", kSeit, u"01.0"_s, u"1a"_s, QString(), QString(), QString(), 0},
        {"calculated", kAnzeige, u"x"_s, u"ab"_s, u"x"_s, QString(), u"x"_s, 2},
        {"text", kName, u"B"_s, u"er"_s, u"Ber"_s, u"er"_s, u"B"_s, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sortColumn = c.sortColumn;
        presenter.shown.clear();
        search->setText(c.searchBefore);
        search->setFocus();
        search->end(false);
        QTest::keyClicks(search, c.typed);
        EXPECT_EQ(search->text(), c.searchTyped);
        EXPECT_EQ(presenter.shown, QStringList(c.noSearchFieldBoxes, noSearchField));

        presenter.shown.clear();
        search->setText(c.searchBefore);
        typeIntoGrid(c.typed);
        EXPECT_EQ(editorText(), c.cellTyped);
        EXPECT_EQ(search->text(), c.searchAfter);
        EXPECT_EQ(presenter.shown, QStringList(c.noSearchFieldBoxes, noSearchField));
        closeEditor();
    }
    // Keys that type nothing still move through the grid.
    sortColumn = kSeit;
    grid->setCurrentIndex(grid->gridModel().index(0, kName));
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->currentIndex().row(), 1);
}

} // namespace
