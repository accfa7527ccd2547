#include "core/gui/f_editurights.h"
#include "rightsguifixture.h"

#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace rightsguitest;
using Kind = MessagePresenter::Kind;

namespace {

class UserEditor : public RightsGui {
protected:
    // The editor as the logged-in user opens it, under the lock.
    std::unique_ptr<TF_EditURights> open(const QString& editorName) {
        SetCurrentUser(editorName);
        EXPECT_TRUE(LockRights());
        auto form = std::make_unique<TF_EditURights>(ProgramRights(), CurrentUser);
        form->show();
        return form;
    }
    static QStringList column(const QTableWidget* grid, int c) {
        QStringList texts;
        for (int r = 0; r < grid->rowCount(); ++r)
            texts << grid->item(r, c)->text();
        return texts;
    }
    static void clickCell(QTableWidget* grid, int row, int c) {
        grid->scrollToItem(grid->item(row, c));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(row, c)).center());
    }
    // Fills the new-user dialog and presses OK.
    static ModalSteps::Step newUser(const QString& name, const QString& password) {
        return [=](QWidget* dialog) {
            Type(dialog, "edUserName", name);
            Type(dialog, "edPassword", password);
            Click(dialog, "btnOK");
        };
    }
};

TEST_F(UserEditor, ShowsLowerRanksAndTheFirstUsersRightsAndGroups) {
    auto form = open(QStringLiteral("Buero"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Benutzerverwaltung"));
    // Designed 960 wide, wider where the grids need it to show every column.
    EXPECT_GE(form->width(), 960);
    expectTitlesFit({form->GridUsers, form->GridRights, form->GridGroups});
    for (QTableWidget* grid : {form->GridUsers, form->GridRights, form->GridGroups}) {
        int columns = 0;
        for (int c = 0; c < grid->columnCount(); ++c)
            columns += grid->columnWidth(c);
        EXPECT_GE(grid->viewport()->width(), columns) << grid->objectName().toStdString();
    }
    EXPECT_EQ(column(form->GridUsers, 0), (QStringList{"Kasse", "Lager"}));
    EXPECT_EQ(column(form->GridUsers, 1), (QStringList{"kasse12", "lager12"}));
    EXPECT_EQ(column(form->GridUsers, 2), (QStringList{"   U", "   U"}));
    EXPECT_FALSE(form->btnNewSubmaster->isVisible());
    expectRightsManual(form->btnInfo);
    expectTitlesFit({form->GridUsers, form->GridRights, form->GridGroups});
    EXPECT_FALSE(form->btnSave->isEnabled());

    EXPECT_EQ(form->GridRights->rowCount(), 80);
    EXPECT_EQ(form->GridRights->item(23, 0)->text(), QStringLiteral("Rechnungen"));
    EXPECT_EQ(form->GridRights->horizontalHeaderItem(3)->text(), QStringLiteral("ändern"));
    EXPECT_EQ(form->GridRights->item(23, 1)->text(), QStringLiteral("*")) << "Kasse may see 24";
    EXPECT_TRUE(form->GridRights->item(23, 2)->text().isEmpty());
    EXPECT_EQ(form->GridGroups->item(0, 0)->text(), QStringLiteral("Büro"));
    EXPECT_TRUE(form->GridGroups->item(0, 1)->text().isEmpty());

    auto byMaster = open(QStringLiteral("Chef"));
    EXPECT_EQ(column(byMaster->GridUsers, 0), (QStringList{"Buero", "Kasse", "Lager"}));
    EXPECT_FALSE(byMaster->btnNewSubmaster->isHidden());
}

TEST_F(UserEditor, ClickedCellsFollowTheRulesAndAreSavedOnRequest) {
    auto form = open(QStringLiteral("Buero"));
    clickCell(form->GridRights, 23, 6); // "löschen" of 24, which Buero lacks
    EXPECT_TRUE(form->GridRights->item(23, 6)->text().isEmpty());
    EXPECT_EQ(form->GridRights->item(23, 3)->text(), QStringLiteral("*"));
    EXPECT_TRUE(form->btnSave->isEnabled());

    clickCell(form->GridRights, 9, 4); // "erzeugen" of 10
    for (int c : {1, 3, 4})
        EXPECT_EQ(form->GridRights->item(9, c)->text(), QStringLiteral("*")) << c;
    clickCell(form->GridRights, 9, 1); // clearing "ansehen" clears the row
    for (int c = 1; c <= 6; ++c)
        EXPECT_TRUE(form->GridRights->item(9, c)->text().isEmpty()) << c;

    form->btnSave->click();
    EXPECT_FALSE(form->btnSave->isEnabled());
    EXPECT_EQ(saved(QStringLiteral("Kasse")).rights.at(24), rbView | rbEdit);

    clickCell(form->GridGroups, 0, 1); // joins "Büro", limited to Buero's rights
    EXPECT_EQ(form->GridGroups->item(0, 1)->text(), QStringLiteral("*"));
    EXPECT_EQ(form->GridRights->item(23, 5)->text(), QStringLiteral("*"));
    EXPECT_TRUE(form->GridRights->item(23, 6)->text().isEmpty());

    presenter.answers = {true};
    clickCell(form->GridUsers, 1, 0); // to "Lager": the change is offered
    EXPECT_EQ(
        presenter.texts(Kind::Question),
        QStringList{QStringLiteral("Möchten Sie die Änderungen für Benutzer Kasse speichern?")});
    const TUserRec kasse = saved(QStringLiteral("Kasse"));
    EXPECT_EQ(kasse.groupMask, 1u);
    EXPECT_EQ(kasse.rights.at(24), rbAllRights & ~rbDelete);
    EXPECT_TRUE(form->GridRights->item(23, 1)->text().isEmpty()) << "Lager is shown";
}

TEST_F(UserEditor, ClosingOffersAPendingChange) {
    auto form = open(QStringLiteral("Chef"));
    clickCell(form->GridRights, 0, 1);
    presenter.answers = {true};
    form->close();
    EXPECT_EQ(presenter.texts(Kind::Question).size(), 1);
    EXPECT_EQ(saved(QStringLiteral("Buero")).rights.at(1), 0) << "cleared by the click";
}

TEST_F(UserEditor, NewUsersAreCheckedAtEntry) {
    auto form = open(QStringLiteral("Buero"));
    {
        ModalSteps steps({newUser(QStringLiteral("abc"), QStringLiteral("passwort"))});
        form->btnNewUser->click();
    }
    {
        ModalSteps steps({newUser(QStringLiteral(" kasse "), QStringLiteral("passwort"))});
        form->btnNewUser->click();
    }
    {
        ModalSteps steps(
            {newUser(QStringLiteral("Neuling"), QStringLiteral("zwanzig-zeichen-lang"))});
        form->btnNewUser->click();
    }
    EXPECT_EQ(presenter.texts(Kind::Error),
              (QStringList{"Der Benutzername muss mindestens 4 Zeichen lang sein!",
                           "Der Benutzername ist bereits vergeben!",
                           "Das Passwort darf höchstens 16 Zeichen lang sein!"}));
    EXPECT_EQ(column(form->GridUsers, 0), (QStringList{"Kasse", "Lager"}));
    EXPECT_EQ(form->editing().edited().name, QStringLiteral("Kasse"))
        << "the previous record stays";

    {
        ModalSteps steps({newUser(QStringLiteral(" Neuling "), QStringLiteral(" start12 "))});
        form->btnNewUser->click();
    }
    EXPECT_EQ(column(form->GridUsers, 0), (QStringList{"Kasse", "Lager", "Neuling"}));
    EXPECT_EQ(form->GridUsers->currentRow(), 2);
    EXPECT_EQ(form->editing().edited().name, QStringLiteral("Neuling"));
    const TUserRec created = saved(QStringLiteral("Neuling"));
    EXPECT_EQ(created.password, QStringLiteral("start12"));
    EXPECT_EQ(created.kind, ukUser);
}

TEST_F(UserEditor, TheRefusalBoxSitsBelowTheDialog) {
    struct AtPresenter : MessagePresenter {
        bool show(Kind, const QString&, int x, int y) override {
            at = QPoint(x, y);
            return false;
        }
        QPoint at;
    } atPresenter;
    auto form = open(QStringLiteral("Chef"));
    MessagePresenter* previous = SetMessagePresenter(&atPresenter);
    QRect frame;
    {
        ModalSteps steps({[&](QWidget* dialog) {
            frame = dialog->frameGeometry();
            newUser(QStringLiteral("ab"), QStringLiteral("passwort"))(dialog);
        }});
        form->btnNewUser->click();
    }
    SetMessagePresenter(previous);
    EXPECT_EQ(atPresenter.at, QPoint(frame.left() + 32, frame.bottom() + 1 + 8));
}

TEST_F(UserEditor, PasswordOfTheSelectedUserAndDeletion) {
    auto form = open(QStringLiteral("Chef"));
    clickCell(form->GridUsers, 1, 0); // Kasse
    {
        ModalSteps steps({[](QWidget* dialog) {
            EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("edUserName"))->text(),
                      QStringLiteral("Kasse"));
            Type(dialog, "edPassword", QStringLiteral("anders99"));
            Click(dialog, "btnOK");
        }});
        form->btnPassword->click();
    }
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Neues Passwort wurde gespeichert.")});
    EXPECT_EQ(saved(QStringLiteral("Kasse")).password, QStringLiteral("anders99"));
    EXPECT_EQ(form->GridUsers->item(1, 1)->text(), QStringLiteral("anders99"));

    presenter.answers = {true};
    form->btnDelete->click();
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{
                  QStringLiteral("Möchten Sie den Benutzer Kasse aus der Benutzerliste löschen?")});
    EXPECT_EQ(column(form->GridUsers, 0), (QStringList{"Buero", "Lager"}));
    EXPECT_EQ(form->editing().edited().name, QStringLiteral("Buero")) << "the first row is shown";
    EXPECT_TRUE(saved(QStringLiteral("Kasse")).name.isEmpty());
}

TEST_F(UserEditor, OpeningNeedsMoreThanAPlainUserAndAFreeLock) {
    SetCurrentUser(QStringLiteral("Kasse"));
    EditUserRightsClick();
    EXPECT_EQ(
        presenter.texts(Kind::Error),
        QStringList{QStringLiteral("Sie haben keine Berechtigung für die Benutzerverwaltung!")});

    presenter.boxes.clear();
    SetCurrentUser(QStringLiteral("Buero"));
    writeBytes(ProgramDir + QStringLiteral("Rights.lck"), {});
    EditUserRightsClick();
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Die Rechtedatei ist zur Zeit gesperrt!")});
    EXPECT_TRUE(QFileInfo::exists(ProgramDir + QStringLiteral("Rights.lck")));

    QFile::remove(ProgramDir + QStringLiteral("Rights.lck"));
    bool lockedWhileOpen = false;
    {
        ModalSteps steps({[&](QWidget* dialog) {
            lockedWhileOpen = QFileInfo::exists(ProgramDir + QStringLiteral("Rights.lck"));
            EXPECT_EQ(dialog->objectName(), QStringLiteral("F_EditURights"));
            dialog->close();
        }});
        EditUserRightsClick();
    }
    EXPECT_TRUE(lockedWhileOpen);
    EXPECT_FALSE(QFileInfo::exists(ProgramDir + QStringLiteral("Rights.lck")));
}

} // namespace
