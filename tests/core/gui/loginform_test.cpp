#include "core/gui/loginform.h"
#include "core/rights/login.h"
#include "core/settings/programsettings.h"
#include "rightsguifixture.h"

#include <QLabel>
#include <gtest/gtest.h>
#include <string>

using namespace rightsguitest;
using Kind = MessagePresenter::Kind;

namespace {

class LoginForms : public RightsGui {
protected:
    void SetUp() override {
        RightsGui::SetUp();
        LoginActive = true;
    }
    void TearDown() override {
        LoginActive = false;
        RightsGui::TearDown();
    }
    // One attempt per pair of name and password, in one dialog.
    static ModalSteps::Step attempts(QList<QPair<QString, QString>> tries,
                                     QString* offered = nullptr, bool* stillOpen = nullptr) {
        return [=](QWidget* dialog) {
            if (offered)
                *offered = dialog->findChild<QLineEdit*>(QStringLiteral("edUserName"))->text();
            for (const auto& [name, password] : tries) {
                Type(dialog, "edUserName", name);
                Type(dialog, "edPassword", password);
                Click(dialog, "btnOK");
            }
            if (stillOpen)
                *stillOpen = dialog->isVisible();
            if (dialog->isVisible())
                Click(dialog, "btnCancel");
        };
    }
};

TEST_F(LoginForms, TheThirdAttemptMaySucceedAndTheNameIsOfferedNextTime) {
    bool stillOpen = false;
    {
        ModalSteps steps(
            {attempts({{"Chef", "falsch1"}, {"Niemand", "Geheim1"}}, nullptr, &stillOpen)});
        EXPECT_FALSE(RunLogin());
    }
    EXPECT_TRUE(stillOpen) << "refused attempts leave the dialog open";
    EXPECT_TRUE(presenter.boxes.isEmpty());
    {
        ModalSteps steps({attempts({{"x", "x"}, {"y", "y"}, {"kasse", "kasse12"}})});
        EXPECT_TRUE(RunLogin());
    }
    EXPECT_EQ(GetCurrentUserName(), QStringLiteral("Kasse"));
    EXPECT_TRUE(IsPlainUser());
    EXPECT_EQ(ReadLastLoggedUser(), QStringLiteral("Kasse"));

    QString offered;
    {
        ModalSteps steps({[&](QWidget* dialog) {
            offered = dialog->findChild<QLineEdit*>(QStringLiteral("edUserName"))->text();
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Domvera v2.40"));
            Click(dialog, "btnCancel");
        }});
        EXPECT_FALSE(RunLogin()) << "cancel ends the login";
    }
    EXPECT_EQ(offered, QStringLiteral("Kasse"));
}

TEST_F(LoginForms, ThreeRefusedAttemptsCloseTheDialogAndFail) {
    bool stillOpen = true;
    {
        ModalSteps steps({attempts({{"Chef", "geheim1"}, {"Chef", "Geheim1 "}, {"Chef", "GEHEIM1"}},
                                   nullptr, &stillOpen)});
        EXPECT_FALSE(RunLogin());
    }
    EXPECT_FALSE(stillOpen);
    EXPECT_TRUE(GetCurrentUserName().isEmpty());
    EXPECT_TRUE(ReadLastLoggedUser().isEmpty());
}

TEST_F(LoginForms, NoLoginRunsWhileItIsNotArmed) {
    LoginActive = false;
    EXPECT_TRUE(RunLogin());
    EXPECT_TRUE(GetCurrentUserName().isEmpty());
}

struct PasswordCase {
    const char* typed;
    const char* stored; // nullptr: unchanged
    Kind box;
    const char* message;
};

const char* const kPasswordCaseNames[] = {"TrimmedAndSaved", "SixCharacters", "TooShort", "TooLong",
                                          "NotInCodePage"};

std::string PasswordCaseName(const ::testing::TestParamInfo<PasswordCase>& info) {
    return kPasswordCaseNames[info.index];
}

void PrintTo(const PasswordCase& c, std::ostream* os) {
    *os << c.message;
}

class OwnPassword : public LoginForms, public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(OwnPassword, IsCheckedAtEntryAndStoredTrimmed) {
    const PasswordCase& c = GetParam();
    SetCurrentUser(QStringLiteral("Kasse"));
    QString title, hint;
    bool readOnly = false;
    {
        ModalSteps steps({[&](QWidget* dialog) {
            title = dialog->windowTitle();
            hint = dialog->findChild<QLabel*>(QStringLiteral("lblHint"))->text();
            readOnly = dialog->findChild<QLineEdit*>(QStringLiteral("edUserName"))->isReadOnly();
            EXPECT_TRUE(QFileInfo::exists(ProgramDir + QStringLiteral("Rights.lck")));
            Type(dialog, "edPassword", QString::fromUtf8(c.typed));
            Click(dialog, "btnOK");
            EXPECT_FALSE(dialog->isVisible()) << "one OK per dialog";
        }});
        ChangeOwnPasswordClick();
    }
    EXPECT_EQ(title, QStringLiteral("Passwort-Änderung"));
    EXPECT_EQ(hint, QStringLiteral("Geben Sie bitte das neue Passwort ein."));
    EXPECT_TRUE(readOnly);
    EXPECT_FALSE(QFileInfo::exists(ProgramDir + QStringLiteral("Rights.lck")));
    ASSERT_EQ(presenter.boxes.size(), 1);
    EXPECT_EQ(presenter.boxes.at(0).kind, c.box);
    EXPECT_EQ(presenter.boxes.at(0).text, QString::fromUtf8(c.message));
    const QString expected = QString::fromUtf8(c.stored ? c.stored : "kasse12");
    EXPECT_EQ(saved(QStringLiteral("Kasse")).password, expected);
    EXPECT_EQ(CurrentUser.password, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OwnPassword,
    ::testing::Values(
        PasswordCase{"  neues12 \t", "neues12", Kind::Info, "Neues Passwort wurde gespeichert."},
        PasswordCase{"Sechs6", "Sechs6", Kind::Info, "Neues Passwort wurde gespeichert."},
        PasswordCase{" kurz5 ", nullptr, Kind::Error,
                     "Das Passwort muss mindestens 6 Zeichen lang sein!"},
        PasswordCase{"zwanzig-zeichen-lang", nullptr, Kind::Error,
                     "Das Passwort darf höchstens 16 Zeichen lang sein!"},
        PasswordCase{"passwort→", nullptr, Kind::Error,
                     "Das Passwort enthält Zeichen, die nicht gespeichert werden können!"}),
    &PasswordCaseName);

TEST_F(LoginForms, NoPasswordChangeWhileAnotherWorkstationHoldsTheLock) {
    SetCurrentUser(QStringLiteral("Kasse"));
    writeBytes(ProgramDir + QStringLiteral("Rights.lck"), {});
    ChangeOwnPasswordClick(); // would wait for a dialog that no step closes
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Die Rechtedatei ist zur Zeit gesperrt!")});
    EXPECT_TRUE(QFileInfo::exists(ProgramDir + QStringLiteral("Rights.lck")))
        << "another workstation's lock stays";
}

} // namespace
