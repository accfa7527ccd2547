#include "core/data/clientdbfixture.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/printformrows.h"
#include "core/datagui/tf_selform.h"
#include "core/files/programdirs.h"
#include "core/gui/placement.h"
#include "platform/table/database.h"
#include "platform/table/session.h"
#include "platform/table/table.h"

#include <QApplication>
#include <QTableWidget>
#include <QTimer>

namespace {

class SelFormTest : public datatest::ClientDbFixture {
protected:
    void addForm(int id, int type, const QVariant& protect, const QVariant& group) {
        addRow(QStringLiteral("QrFrmDef.DB"),
               {{QStringLiteral("QF_ID"), id},
                {QStringLiteral("Q_FormType"), type},
                {QStringLiteral("Q_Protect"), protect},
                {QStringLiteral("Q_SelectGroup"), group},
                {QStringLiteral("Q_Filename"), QStringLiteral("F%1.qrf").arg(id)},
                {QStringLiteral("Q_Comment"), QStringLiteral("Formular %1").arg(id)}});
    }
    QList<int> offered(int formType) {
        QList<int> ids;
        for (const PrintFormRow& row : PrintFormsOfGroup(formType))
            ids.append(row.id);
        return ids;
    }
};

TEST_F(SelFormTest, UserFormsOfTheWholeThousandAreOfferedByTheirTypeAndNothingIsWritten) {
    addForm(97001, 97000, false, QVariant()); // imported without a group
    addForm(97105, 97100, QVariant(), 0);     // unknown protection counts as user form
    addForm(97100, 97100, true, 0);           // system form: never offered
    addForm(97201, 97200, false, 96000);      // a wrong stored group does not matter
    addForm(96001, 96000, false, 96000);      // another thousand
    auto groups = [this] {
        QList<QVariant> stored;
        auto t = open(QStringLiteral("QrFrmDef.DB"));
        for (t->first(); !t->eof(); t->next())
            stored.append(t->value(QStringLiteral("Q_SelectGroup")));
        return stored;
    };
    const QList<QVariant> before = groups();
    EXPECT_EQ(offered(97100), (QList<int>{97001, 97105, 97201}));
    EXPECT_EQ(offered(96500), QList<int>{96001});
    EXPECT_EQ(offered(95000), QList<int>());
    EXPECT_EQ(groups(), before);
}

// The choice only reads, so a form row locked at another workstation (or the
// whole table) stands in the way of no print.
TEST_F(SelFormTest, TheChoiceWorksWhileTheTableIsWriteLockedElsewhere) {
    addForm(97001, 97000, false, QVariant()); // made by the import: no group stored
    TDataModule1 dm;
    auto db = table::Database::open(DataDir);
    db->setSession(std::make_shared<table::Session>(NetDir, QStringLiteral("andere")));
    table::Table locked(db, QStringLiteral("QrFrmDef.DB"));
    locked.open();
    locked.lockTable();
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<TF_SelForm*>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    EXPECT_EQ(ChoosePrintForm(97000, 0, 100, 100), 97001);
    locked.unlockTable();
    auto forms = open(QStringLiteral("QrFrmDef.DB"));
    ASSERT_TRUE(forms->findKey({97001}));
    EXPECT_TRUE(forms->value(QStringLiteral("Q_SelectGroup")).isNull());
}

QList<PrintFormRow> threeRows() {
    return {{97001, QStringLiteral("a.qrf"), QStringLiteral("Erste")},
            {97105, QStringLiteral("b.qrf"), QStringLiteral("Zweite")},
            {97201, QStringLiteral("c.qrf"), QStringLiteral("Dritte")}};
}

TEST(SelFormDialog, ConfirmReturnsTheSelectedRowAndCancelReturnsNothing) {
    const struct {
        QList<PrintFormRow> rows;
        int currentId;
        int selectRow; // -1: keep the preselection
        bool confirm;
        int expected;
    } cases[] = {
        {threeRows(), 97105, -1, true, 97105}, // current form preselected
        {threeRows(), 12345, -1, true, 97001}, // not offered: first row
        {threeRows(), 97105, 2, true, 97201},  // user picks another row
        {threeRows(), 97105, 2, false, 0},     // cancelled
        {{}, 0, -1, true, 0},                  // empty list: OK gives nothing
        {{}, 0, -1, false, 0},
    };
    for (const auto& c : cases) {
        TF_SelForm dialog(c.rows, c.currentId);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Druckformular-Auswahl"));
        if (c.selectRow >= 0)
            dialog.grid()->selectRow(c.selectRow);
        c.confirm ? dialog.accept() : dialog.reject();
        EXPECT_EQ(dialog.chosenId(), c.expected) << c.currentId << " " << c.selectRow;
    }
}

TEST(SelFormDialog, SortingByAColumnKeepsTheChosenIdWithItsRow) {
    TF_SelForm dialog(threeRows(), 0);
    dialog.grid()->sortByColumn(2, Qt::AscendingOrder); // Dritte, Erste, Zweite
    dialog.grid()->selectRow(0);
    dialog.accept();
    EXPECT_EQ(dialog.chosenId(), 97201);
}

} // namespace

namespace {

TEST_F(SelFormTest, ChoiceListsTheOfferedRowsAtItsPlaceAndReturnsTheConfirmedId) {
    addForm(97001, 97000, false, QVariant()); // imported without a group
    addForm(97105, 97100, false, 0);
    addForm(97100, 97100, true, 0);
    TDataModule1 dm;
    const struct {
        bool confirm;
        bool timerWork; // the data module's timer work before the choice
        int expected;
    } cases[] = {{true, true, 97105}, {false, true, 0}, {true, false, 97105}};
    for (const auto& c : cases) {
        c.timerWork ? dm.EnableTimerWork() : dm.DisableTimerWork();
        QStringList shown;
        QPoint at;
        bool timerWorkWhileOpen = true;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<TF_SelForm*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            at = dialog->pos();
            timerWorkWhileOpen = dm.IsTimerWorkEnabled();
            for (int r = 0; r < dialog->grid()->rowCount(); ++r)
                shown << dialog->grid()->item(r, 0)->text();
            c.confirm ? dialog->accept() : dialog->reject();
        });
        EXPECT_EQ(ChoosePrintForm(97100, 97105, 140, 170), c.expected);
        EXPECT_EQ(shown, (QStringList{QStringLiteral("97001"), QStringLiteral("97105")}));
        EXPECT_EQ(at, QPoint(140, 170));
        EXPECT_FALSE(timerWorkWhileOpen);
        EXPECT_EQ(dm.IsTimerWorkEnabled(), c.timerWork) << "restored as it was";
    }
}

} // namespace

namespace {

// The field choice: the choice placed below a control (or in the middle of the
// main window), the field's id preselected, a different chosen id stored.
TEST_F(SelFormTest, FieldChoiceStoresADifferentIdAndReturnsTheCurrentOneOnCancel) {
    addForm(31001, 31000, false, QVariant());
    addForm(31105, 31100, false, 0);
    auto firmen = open(QStringLiteral("Firmen.DB"));
    firmen->first();
    EnsureEditOrInsert(*firmen);
    (*firmen)[QStringLiteral("F_PrintFormNo")] = 31001;
    firmen->post();
    table::Field& field = firmen->field(QStringLiteral("F_PrintFormNo"));

    QWidget window;
    window.setGeometry(600, 300, 200, 60);
    QWidget control(&window);
    control.setGeometry(10, 10, 100, 20);
    window.show();
    const QPoint below = control.mapToGlobal(QPoint(0, control.height()));

    const struct {
        bool withControl;
        bool withField;
        bool postAfter;
        int pickRow; // -1: cancel
        int expected;
        int stored;
        bool editing;
    } cases[] = {
        {true, true, true, 1, 31105, 31105, false},  // chosen, stored and posted
        {true, true, true, -1, 31105, 31105, false}, // cancelled: the current one
        {true, true, true, 1, 31105, 31105, false},  // the same again: nothing to store
        {false, true, false, 0, 31001, 31001, true}, // stored, left for the caller to post
        {false, false, true, -1, 0, 31001, true},    // without a field
        {false, false, true, 1, 31105, 31001, true},
    };
    QWidget main;
    main.setGeometry(100, 50, 800, 600);
    SetMainForm(&main);
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(index++);
        QPoint at;
        int preselected = 0;
        const int before = field.asInteger();
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<TF_SelForm*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            at = dialog->pos();
            preselected = dialog->grid()->item(dialog->grid()->currentRow(), 0)->text().toInt();
            if (c.pickRow < 0) {
                dialog->reject();
                return;
            }
            dialog->grid()->selectRow(c.pickRow);
            dialog->accept();
        });
        EXPECT_EQ(ChoosePrintFormForField(c.withControl ? &control : nullptr,
                                          c.withField ? &field : nullptr, 31100, c.postAfter),
                  c.expected);
        EXPECT_EQ(at, c.withControl ? QPoint(std::max(0, below.x() - 420), below.y())
                                    : QPoint(100 + 400 - 210, 50 + 150));
        if (c.withField) {
            EXPECT_EQ(preselected, before);
        }
        EXPECT_EQ(field.asInteger(), c.stored);
        EXPECT_EQ(firmen->state() != table::TableState::Browse, c.editing);
    }
    SetMainForm(nullptr);
}

} // namespace
