#include "core/files/deleteguard.h"
#include "core/files/programdirs.h"
#include "core/framefixture.h"
#include "core/rights/login.h"
#include "core/rights/rights.h"
#include "core/rights/rightsstore.h"
#include "core/rightsfixture.h"
#include "core/settings/formplacement.h"
#include "core/settings/inifile.h"
#include "platform/errors.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace rightstest;
using Kind = MessagePresenter::Kind;

namespace {

class Rights : public frametest::ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        CurrentUser = TUserRec();
    }
    void TearDown() override {
        ProgramRights().unlock();
        CurrentUser = TUserRec();
        SetRightsChecker(nullptr);
        ProgramDirFixture::TearDown();
    }
    void writeRights(const QList<TUserRec>& records) {
        writeBytes(ProgramDir + QStringLiteral("Rights.dat"), EncodeRightsFile(records));
    }
    // A master, a submaster and a user of one function's rights, a group.
    void writeStandardFile() {
        TUserRec chef = User(QStringLiteral("CHEF"), QStringLiteral("Geheim1"), ukMaster);
        for (int nr = 1; nr <= 80; ++nr)
            chef.rights.set(nr, 0x3F);
        const TUserRec sub = With(
            With(User(QStringLiteral("Buero"), QStringLiteral("buero12"), ukSubmaster), 10, 0x3F),
            24, 0x1F);
        const TUserRec plain =
            With(With(User(QStringLiteral("Kasse"), QStringLiteral("kasse1 "), ukUser), 24,
                      rbView | rbPrint),
                 64, rbExport);
        writeRights(Records({Group(QStringLiteral("Alle"), 1)}, {chef, sub, plain}));
    }
};

TEST_F(Rights, AMissingFileEndsTheProgramWithItsMessage) {
    EXPECT_FALSE(LoadRights());
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Es wurde keine Rechtedatei gefunden.\rDas Programm kann "
                                         "nicht benutzt werden!")});
}

TEST_F(Rights, ADamagedFileIsReportedAndNotUsed) {
    writeBytes(ProgramDir + QStringLiteral("Rights.dat"), QByteArray(24 * 144 + 5, 'x'));
    EXPECT_FALSE(LoadRights());
    ASSERT_EQ(presenter.boxes.size(), 1);
    EXPECT_TRUE(
        presenter.boxes.at(0).text.startsWith(QStringLiteral("Die Rechtedatei ist beschädigt")));
}

TEST_F(Rights, HasRightReadsTheCurrentUsersByteForFunctionsOneTo64) {
    TUserRec user;
    user.rights.set(1, rbView);
    user.rights.set(24, rbView | rbDelete);
    user.rights.set(64, rbExport);
    user.rights.set(65, 0x3F);
    user.rights.set(80, 0x3F);
    CurrentUser = user;
    struct Case {
        int nr;
        int mask;
        bool expected;
    } const cases[] = {
        {0, 0xFF, false},
        {1, rbView, true},
        {1, rbPrint, false},
        {24, rbDelete, true},
        {24, rbEdit | rbDelete, true},
        {24, rbEdit, false},
        {64, rbExport, true},
        {64, rbView, false},
        {65, rbView, false},
        {80, rbView, false},
        {-1, 0xFF, false},
        {2, 0xFF, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HasRight(c.nr, c.mask), c.expected) << c.nr << "/" << c.mask;
    EXPECT_TRUE(HasViewRight(1));
    EXPECT_FALSE(HasPrintRight(1));
    EXPECT_FALSE(HasEditRight(24));
    EXPECT_FALSE(HasCreateRight(24));
    EXPECT_TRUE(HasDeleteRight(24));
    EXPECT_TRUE(HasExportRight(64));
}

TEST_F(Rights, ChecksShowTheirRefusalOnlyWhenTheRightIsMissing) {
    struct Case {
        bool (*check)(int);
        quint8 bit;
        const char* refusal;
    } const cases[] = {
        {&CheckViewRight, rbView, "Sie haben keine Berechtigung für diese Funktion."},
        {&CheckCreateRight, rbCreate,
         "Sie haben keine Berechtigung zum Neuanlegen von Datensätzen."},
        {&CheckExportRight, rbExport, "Sie haben keine Berechtigung zum Exportieren der Daten."},
        {&CheckDeleteRight, rbDelete, "Sie haben keine Berechtigung zum Löschen der Daten."},
    };
    for (const Case& c : cases) {
        presenter.boxes.clear();
        CurrentUser = With(TUserRec(), 7, quint8(rbAllRights & ~c.bit));
        EXPECT_FALSE(c.check(7)) << c.refusal;
        ASSERT_EQ(presenter.boxes.size(), 1) << c.refusal;
        EXPECT_EQ(presenter.boxes.at(0).kind, Kind::Info);
        EXPECT_EQ(presenter.boxes.at(0).text, QString::fromUtf8(c.refusal));

        presenter.boxes.clear();
        CurrentUser = With(TUserRec(), 7, c.bit);
        EXPECT_TRUE(c.check(7)) << c.refusal;
        EXPECT_TRUE(presenter.boxes.isEmpty()) << c.refusal;
    }
}

TEST_F(Rights, LoadingInstallsTheDeleteGuardsCheck) {
    writeStandardFile();
    SetRightsChecker(nullptr);
    ASSERT_TRUE(LoadRights());
    SetCurrentUser(QStringLiteral("kasse"));
    EXPECT_THROW(ConfirmDelete(24), Abort);
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Sie haben keine Berechtigung zum Löschen der Daten.")});
}

TEST_F(Rights, LoginComparesNamesWithoutCaseAndPasswordsExactly) {
    writeStandardFile();
    ASSERT_TRUE(LoadRights());
    struct Case {
        const char* name;
        const char* password;
        bool allowed;
    } const cases[] = {
        {"chef", "Geheim1", true},   {"ChEf", "Geheim1", true},   {"CHEF", "geheim1", false},
        {"CHEF", "Geheim1 ", false}, {" CHEF", "Geheim1", false}, {"Kasse", "kasse1 ", true},
        {"Kasse", "kasse1", false},  {"Niemand", "", false},      {"", "", false},
    };
    for (const Case& c : cases) {
        CurrentUser = TUserRec();
        EXPECT_EQ(CheckLoginUser(QString::fromUtf8(c.name), QString::fromUtf8(c.password)),
                  c.allowed)
            << c.name << "/" << c.password;
        EXPECT_EQ(GetCurrentUserName().isEmpty(), !c.allowed) << c.name;
    }
    EXPECT_TRUE(presenter.boxes.isEmpty()) << "refusals are silent";
}

TEST_F(Rights, LoginFailsAfterTheThirdRefusedAttempt) {
    writeStandardFile();
    ASSERT_TRUE(LoadRights());
    using R = LoginAttempts::Result;
    LoginAttempts failing;
    EXPECT_EQ(failing.attempt(QStringLiteral("chef"), QStringLiteral("x")), R::Refused);
    EXPECT_EQ(failing.attempt(QStringLiteral("chef"), QStringLiteral("y")), R::Refused);
    EXPECT_EQ(failing.attempt(QStringLiteral("chef"), QStringLiteral("Geheim1!")), R::Failed);
    EXPECT_EQ(failing.attempt(QStringLiteral("chef"), QStringLiteral("Geheim1")), R::Failed)
        << "no fourth attempt";
    EXPECT_TRUE(GetCurrentUserName().isEmpty());

    LoginAttempts lastChance;
    lastChance.attempt(QStringLiteral("x"), QStringLiteral("x"));
    lastChance.attempt(QStringLiteral("x"), QStringLiteral("x"));
    EXPECT_EQ(lastChance.attempt(QStringLiteral("buero"), QStringLiteral("buero12")), R::Allowed);
    EXPECT_EQ(GetCurrentUserName(), QStringLiteral("Buero"));
    EXPECT_EQ(GetCurrentUserKind(), ukSubmaster);
    EXPECT_FALSE(IsPlainUser());
    EXPECT_FALSE(IsMasterUser());
}

TEST_F(Rights, AFileWithGroupsOnlyLetsNobodyIn) {
    writeRights(Records({Group(QStringLiteral("Alle"), 1)}, {}));
    ASSERT_TRUE(LoadRights());
    EXPECT_FALSE(CheckLoginUser(QStringLiteral("Alle"), QString()));
    EXPECT_FALSE(CheckLoginUser(QString(), QString()));
}

TEST_F(Rights, TheLastUserNameIsKeptInTheFirstPlacementFile) {
    EXPECT_TRUE(ReadLastLoggedUser().isEmpty());
    WriteLastLoggedUser(QStringLiteral("Kasse"));
    IniFile ini(FormPlacementFilePath(QStringLiteral("DomveraPlan01.ini")));
    ASSERT_TRUE(ini.load());
    EXPECT_EQ(ini.readString(QStringLiteral("Login Dialog"), QStringLiteral("Last Logged User")),
              QStringLiteral("Kasse"));
    EXPECT_EQ(ReadLastLoggedUser(), QStringLiteral("Kasse"));
}

TEST_F(Rights, OwnPasswordChangeIsSavedUnderTheLockAndRefreshesTheUser) {
    writeStandardFile();
    ASSERT_TRUE(LoadRights());
    SetCurrentUser(QStringLiteral("kasse"));
    EXPECT_THROW(ChangeOwnPassword(QStringLiteral("Kasse"), QStringLiteral("neues12")), DbError)
        << "never written without the lock";

    ASSERT_TRUE(LockRights());
    EXPECT_TRUE(QFileInfo::exists(ProgramDir + QStringLiteral("Rights.lck")));
    EXPECT_TRUE(ChangeOwnPassword(QStringLiteral("kasse"), QStringLiteral("neues12")));
    EXPECT_FALSE(ChangeOwnPassword(QStringLiteral("Niemand"), QStringLiteral("neues12")));
    UnlockRights();
    EXPECT_FALSE(IsRightsLocked());
    EXPECT_EQ(CurrentUser.password, QStringLiteral("neues12"));

    ASSERT_TRUE(LoadRights());
    EXPECT_FALSE(CheckLoginUser(QStringLiteral("Kasse"), QStringLiteral("kasse1 ")));
    EXPECT_TRUE(CheckLoginUser(QStringLiteral("Kasse"), QStringLiteral("neues12")));
}

TEST_F(Rights, APasswordTooLongIsRefusedNotCut) {
    writeStandardFile();
    ASSERT_TRUE(LoadRights());
    const QByteArray before = readBytes(ProgramDir + QStringLiteral("Rights.dat"));
    ASSERT_TRUE(LockRights());
    EXPECT_FALSE(
        ChangeOwnPassword(QStringLiteral("Kasse"), QStringLiteral("zwanzig-zeichen-lang")));
    UnlockRights();
    EXPECT_EQ(readBytes(ProgramDir + QStringLiteral("Rights.dat")), before);
    EXPECT_EQ(presenter.texts(Kind::Error).size(), 1);
    ASSERT_TRUE(LoadRights());
    EXPECT_TRUE(CheckLoginUser(QStringLiteral("Kasse"), QStringLiteral("kasse1 ")));
}

TEST_F(Rights, RightNamesAndColumnCaptions) {
    EXPECT_EQ(GetRightName(1), QStringLiteral("Artikelverwaltung"));
    EXPECT_EQ(GetRightName(16), QStringLiteral("Tageslisten-Rückerfassung"));
    EXPECT_EQ(GetRightName(32), QStringLiteral("Zeiterfassung extern (Chipdrive)"));
    EXPECT_EQ(GetRightName(63), QStringLiteral("Ablage Bestellungen"));
    for (int nr : {0, 64, 65, 80, -3})
        EXPECT_TRUE(GetRightName(nr).isEmpty()) << nr;
    for (int nr = 1; nr <= 63; ++nr)
        EXPECT_FALSE(GetRightName(nr).isEmpty()) << nr;
    QStringList captions;
    for (int column = 1; column <= 6; ++column)
        captions << GetRightColumnName(column);
    EXPECT_EQ(captions,
              (QStringList{"ansehen", "drucken", "ändern", "erzeugen", "exportieren", "löschen"}));
}

TEST_F(Rights, ANewInstallationHasNeitherRightsFileNorClientData) {
    EXPECT_TRUE(IsNewInstallation());
    QDir().mkpath(GetMandantDataDir(3));
    EXPECT_FALSE(IsNewInstallation());
    QDir(GetMandantDataDir(3)).removeRecursively();
    EXPECT_TRUE(IsNewInstallation());
    writeRights(Records({}, {}));
    EXPECT_FALSE(IsNewInstallation());
}

TEST_F(Rights, TheFirstMasterHoldsEveryRightOfTheCheckedFunctions) {
    RightsStore store(ProgramDir);
    ASSERT_TRUE(store.createWithFirstMaster(QStringLiteral("Chefin"), QStringLiteral("anfang1")));
    EXPECT_FALSE(store.isLocked());
    ASSERT_TRUE(LoadRights());
    ASSERT_EQ(ProgramRights().list().userCount(), 1);
    ASSERT_TRUE(CheckLoginUser(QStringLiteral("CHEFIN"), QStringLiteral("anfang1")));
    EXPECT_TRUE(IsMasterUser());
    for (int nr = 1; nr <= 80; ++nr)
        EXPECT_EQ(CurrentUser.rights.at(nr), nr <= 64 ? 0x3F : 0x00) << nr;
    EXPECT_EQ(CurrentUser.groupMask, 0u);
    EXPECT_FALSE(store.createWithFirstMaster(QStringLiteral("Zweite"), QStringLiteral("anfang2")))
        << "an existing file is never replaced";
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Es gibt bereits eine Rechtedatei.")});
}

TEST_F(Rights, TheFirstMasterNeedsAnAcceptableNameAndPassword) {
    struct Case {
        const char* name;
        const char* password;
        const char* problem;
    } const cases[] = {
        {"abc", "anfang1", "Der Benutzername muss mindestens 4 Zeichen lang sein!"},
        {"Chef", "kurz", "Das Passwort muss mindestens 6 Zeichen lang sein!"},
        {"Chef", "siebzehn-zeichen!", "Das Passwort darf höchstens 16 Zeichen lang sein!"},
        {"Chef→", "anfang1",
         "Der Benutzername enthält Zeichen, die nicht gespeichert werden können!"},
        {"Chef", "anfang→1", "Das Passwort enthält Zeichen, die nicht gespeichert werden können!"},
    };
    for (const Case& c : cases) {
        presenter.boxes.clear();
        RightsStore store(ProgramDir);
        EXPECT_FALSE(
            store.createWithFirstMaster(QString::fromUtf8(c.name), QString::fromUtf8(c.password)));
        EXPECT_EQ(presenter.texts(Kind::Error), QStringList{QString::fromUtf8(c.problem)});
        EXPECT_FALSE(store.fileExists());
        EXPECT_FALSE(store.isLocked());
    }
}

} // namespace
