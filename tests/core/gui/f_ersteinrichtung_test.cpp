#include "core/files/programdirs.h"
#include "core/gui/f_ersteinrichtung.h"
#include "core/rights/login.h"
#include "rightsguifixture.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace rightsguitest;
using Kind = MessagePresenter::Kind;

namespace {

class FirstStart : public frametest::ProgramDirFixture {
protected:
    void TearDown() override {
        qunsetenv(FirstMasterPasswordVariable);
        ProgramRights().unlock();
        CurrentUser = TUserRec();
        ProgramDirFixture::TearDown();
    }
    bool canLogIn(const QString& name, const QString& password) {
        frametest::RecordingPresenter quiet;
        MessagePresenter* previous = SetMessagePresenter(&quiet);
        const bool loaded = LoadRights();
        SetMessagePresenter(previous);
        return loaded && CheckLoginUser(name, password) && IsMasterUser();
    }
};

TEST_F(FirstStart, AScriptCreatesTheFirstMasterWithoutAWindow) {
    qputenv(FirstMasterPasswordVariable, " anfang1 ");
    EXPECT_EQ(RunFirstStart({QString::fromLatin1(FirstMasterSwitch), QStringLiteral("Chefin")}), 0);
    EXPECT_TRUE(canLogIn(QStringLiteral("chefin"), QStringLiteral("anfang1")));
    EXPECT_EQ(RunFirstStart({QString::fromLatin1(FirstMasterSwitch), QStringLiteral("Zweite")}), 1)
        << "an existing rights file stays";
    EXPECT_EQ(RunFirstStart({}), -1) << "no longer a new installation";
}

TEST_F(FirstStart, AScriptWithoutAcceptablePasswordCreatesNothing) {
    qputenv(FirstMasterPasswordVariable, "kurz");
    EXPECT_EQ(RunFirstStart({QString::fromLatin1(FirstMasterSwitch), QStringLiteral("Chefin")}), 1);
    EXPECT_FALSE(QFileInfo::exists(ProgramDir + QStringLiteral("Rights.dat")));
}

TEST_F(FirstStart, TheDialogRunsOnlyInANewInstallationAndStaysOpenUntilAccepted) {
    bool stillOpen = false;
    {
        ModalSteps steps({[&](QWidget* dialog) {
            Type(dialog, "edUserName", QStringLiteral("Chefin"));
            Type(dialog, "edPassword", QStringLiteral("anfang1"));
            Type(dialog, "edRepeat", QStringLiteral("anfang2"));
            Click(dialog, "btnOK");
            Type(dialog, "edUserName", QStringLiteral("Che"));
            Type(dialog, "edRepeat", QStringLiteral("anfang1"));
            Click(dialog, "btnOK");
            stillOpen = dialog->isVisible();
            Type(dialog, "edUserName", QStringLiteral(" Chefin "));
            Click(dialog, "btnOK");
        }});
        EXPECT_EQ(RunFirstStart({}), -1);
    }
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(presenter.texts(Kind::Error),
              (QStringList{"Die Passwörter stimmen nicht überein!",
                           "Der Benutzername muss mindestens 4 Zeichen lang sein!"}));
    EXPECT_TRUE(canLogIn(QStringLiteral("Chefin"), QStringLiteral("anfang1")));
}

TEST_F(FirstStart, CancellingTheDialogEndsTheProgram) {
    {
        ModalSteps steps({[](QWidget* dialog) { Click(dialog, "btnCancel"); }});
        EXPECT_EQ(RunFirstStart({}), 1);
    }
    EXPECT_FALSE(QFileInfo::exists(ProgramDir + QStringLiteral("Rights.dat")));
}

TEST_F(FirstStart, AnExistingInstallationWithoutRightsFileGetsNoDialog) {
    ASSERT_TRUE(QDir().mkpath(GetMandantDataDir(1)));
    EXPECT_EQ(RunFirstStart({}), -1); // no step: a dialog would wait here
    EXPECT_FALSE(LoadRights());
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Es wurde keine Rechtedatei gefunden.\rDas Programm kann "
                                         "nicht benutzt werden!")});
}

} // namespace
