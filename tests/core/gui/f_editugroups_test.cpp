#include "core/gui/f_editugroups.h"
#include "rightsguifixture.h"

#include <QInputDialog>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace rightsguitest;
using Kind = MessagePresenter::Kind;

namespace {

class GroupEditor : public RightsGui {
protected:
    std::unique_ptr<TF_EditUGroups> open() {
        SetCurrentUser(QStringLiteral("Chef"));
        EXPECT_TRUE(LockRights());
        auto form = std::make_unique<TF_EditUGroups>(ProgramRights());
        form->show();
        return form;
    }
    static void clickCell(QTableWidget* grid, int row, int c) {
        grid->scrollToItem(grid->item(row, c));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(row, c)).center());
    }
    static ModalSteps::Step name(const QString& text) {
        return [=](QWidget* dialog) {
            auto* input = qobject_cast<QInputDialog*>(dialog);
            ASSERT_NE(input, nullptr);
            EXPECT_EQ(input->windowTitle(), QStringLiteral("Gruppenbezeichnung eingeben"));
            EXPECT_EQ(input->labelText(), QStringLiteral("Neue Gruppe:"));
            input->setTextValue(text);
            input->accept();
        };
    }
    static ModalSteps::Step cancel() {
        return [](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); };
    }
    TUserRec savedGroup(const QString& groupName) {
        RightsStore reader(ProgramDir);
        reader.load();
        TUserRec rec;
        reader.list().getGroupRecByName(groupName, rec);
        return rec;
    }
};

// "Gruppenbezeichnung" and every rights column, "erzeugen" among them, are
// read in full without scrolling sideways.
TEST_F(GroupEditor, EveryColumnIsShownUncut) {
    auto form = open();
    QApplication::processEvents();
    for (QTableWidget* grid : {form->GridGroups, form->GridRights}) {
        SCOPED_TRACE(grid->objectName().toStdString());
        const int last = grid->columnCount() - 1;
        EXPECT_LE(grid->columnViewportPosition(last) + grid->columnWidth(last),
                  grid->viewport()->width());
        EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
    }
    EXPECT_EQ(form->GridRights->horizontalHeaderItem(4)->text(), QStringLiteral("erzeugen"));
    EXPECT_LE(form->frameGeometry().width(), 1366);
}

TEST_F(GroupEditor, CellsSetWithTheirImpliedRightsAndClearAlone) {
    auto form = open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Gruppenrechte-Verwaltung"));
    EXPECT_EQ(form->GridGroups->item(0, 0)->text(), QStringLiteral("Büro"));
    expectRightsManual(form->btnInfo);
    expectTitlesFit({form->GridGroups, form->GridRights});
    EXPECT_EQ(form->GridRights->item(23, 6)->text(), QStringLiteral("*"));

    clickCell(form->GridRights, 23, 1); // clearing "ansehen" clears only that cell
    EXPECT_TRUE(form->GridRights->item(23, 1)->text().isEmpty());
    EXPECT_EQ(form->GridRights->item(23, 6)->text(), QStringLiteral("*"));
    clickCell(form->GridRights, 4, 6); // "löschen" of 5 brings "ändern" and "ansehen"
    for (int c = 1; c <= 6; ++c)
        EXPECT_EQ(form->GridRights->item(4, c)->text().isEmpty(), !(c == 1 || c == 3 || c == 6))
            << c;
    form->btnSave->click();
    EXPECT_EQ(savedGroup(QStringLiteral("Büro")).rights.at(5), rbDelete | rbEdit | rbView);
    EXPECT_EQ(savedGroup(QStringLiteral("Büro")).rights.at(24), rbAllRights & ~rbView);
    EXPECT_EQ(saved(QStringLiteral("Kasse")).rights.at(24), rbView) << "members are not recomputed";
}

TEST_F(GroupEditor, NewGroupsAskUntilANameIsFree) {
    auto form = open();
    {
        ModalSteps steps({name(QStringLiteral("büro")), name(QStringLiteral("   ")),
                          name(QStringLiteral(" Technik "))});
        form->btnNewGroup->click();
    }
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Die Gruppenbezeichnung darf nicht leer sein!")});
    EXPECT_EQ(form->GridGroups->item(1, 0)->text(), QStringLiteral("Technik"));
    EXPECT_EQ(form->GridGroups->currentRow(), 1);
    EXPECT_EQ(savedGroup(QStringLiteral("technik")).groupMask, GroupBit(2));

    {
        ModalSteps steps({cancel()});
        form->btnNewGroup->click();
    }
    EXPECT_TRUE(form->GridGroups->item(2, 0)->text().isEmpty());
}

TEST_F(GroupEditor, NoNewGroupWhenAllSlotsAreUsed) {
    ASSERT_TRUE(LockRights());
    for (int i = 2; i <= 24; ++i) {
        TUserRec group;
        group.name = QStringLiteral("Gruppe %1").arg(i);
        ASSERT_TRUE(ProgramRights().addGroup(group));
    }
    auto form = open();
    form->btnNewGroup->click(); // no input box may open
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Sie können keine weiteren Benutzergruppen anlegen!")});
}

TEST_F(GroupEditor, DeletingAGroupTakesItsRightsFromTheMembers) {
    ASSERT_TRUE(LockRights());
    TUserRec kasse;
    ProgramRights().list().getUserRecByName(QStringLiteral("Kasse"), kasse);
    kasse.groupMask = GroupBit(1);
    kasse.rights.set(24, rbAllRights);
    ASSERT_TRUE(ProgramRights().saveUserRec(kasse));

    auto form = open();
    presenter.answers = {true};
    form->btnDelete->click();
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{QStringLiteral("Möchten Sie die Benutzergruppe Büro löschen?")});
    EXPECT_TRUE(form->GridGroups->item(0, 0)->text().isEmpty());
    const TUserRec after = saved(QStringLiteral("Kasse"));
    EXPECT_EQ(after.groupMask, 0u);
    EXPECT_EQ(after.rights.at(24), 0);
}

TEST_F(GroupEditor, OnlyAMasterOpensIt) {
    for (const char* name : {"Buero", "Kasse"}) {
        presenter.boxes.clear();
        SetCurrentUser(QString::fromLatin1(name));
        EditGroupRightsClick();
        EXPECT_EQ(presenter.texts(Kind::Error),
                  QStringList{
                      QStringLiteral("Sie haben keine Berechtigung, Gruppenrechte zu bearbeiten!")})
            << name;
    }
    SetCurrentUser(QStringLiteral("Chef"));
    {
        ModalSteps steps({[](QWidget* dialog) {
            EXPECT_EQ(dialog->objectName(), QStringLiteral("F_EditUGroups"));
            dialog->close();
        }});
        EditGroupRightsClick();
    }
    EXPECT_FALSE(QFileInfo::exists(ProgramDir + QStringLiteral("Rights.lck")));
}

} // namespace
