#include "core/framefixture.h"
#include "core/rights/credentials.h"
#include "core/rights/rightsediting.h"
#include "core/rights/rightsstore.h"
#include "core/rightsfixture.h"

#include <gtest/gtest.h>

using namespace rightstest;
using Kind = MessagePresenter::Kind;

namespace {

TUserRec AllRights(TUserRec rec) {
    for (int nr = 1; nr <= 80; ++nr)
        rec.rights.set(nr, rbAllRights);
    return rec;
}

class RightsEditing : public frametest::ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        master = AllRights(User(QStringLiteral("Chef"), QStringLiteral("Geheim1"), ukMaster));
        // The submaster lacks the delete right of 24 and everything of 30.
        submaster =
            AllRights(User(QStringLiteral("Buero"), QStringLiteral("buero12"), ukSubmaster));
        submaster.rights.set(24, rbAllRights & ~rbDelete);
        submaster.rights.set(30, 0);
        submaster.rights.set(40, 0);
        const TUserRec other =
            User(QStringLiteral("Zweit"), QStringLiteral("zweit12"), ukSubmaster);
        TUserRec kasse = With(User(QStringLiteral("Kasse"), QStringLiteral("kasse12"), ukUser), 30,
                              rbView | rbPrint);
        TUserRec lager = User(QStringLiteral("Lager"), QStringLiteral("lager12"), ukUser);
        const TUserRec office = With(With(Group(QStringLiteral("Büro"), 1), 24, 0x3F), 40, 0x01);
        const TUserRec viewers = With(Group(QStringLiteral("Leser"), 3), 24, rbView);
        const TUserRec outside = With(Group(QStringLiteral("Außen"), 5), 40, 0x3F);
        writeBytes(ProgramDir + QStringLiteral("Rights.dat"),
                   EncodeRightsFile(Records({office, viewers, outside},
                                            {master, submaster, kasse, other, lager})));
        store.setDirectory(ProgramDir);
        ASSERT_TRUE(store.lock());
    }
    void TearDown() override {
        store.unlock();
        ProgramDirFixture::TearDown();
    }
    TUserRec saved(const QString& name) {
        RightsStore reader(ProgramDir);
        reader.load();
        TUserRec rec;
        reader.list().getUserRecByName(name, rec);
        return rec;
    }

    RightsStore store;
    TUserRec master;
    TUserRec submaster;
};

TEST_F(RightsEditing, EachEditorSeesOnlyLowerRanksInFileOrder) {
    const auto names = [&](const TUserRec& editor) {
        QStringList result;
        for (const TUserRec& user : UserRightsEditing(store, editor).listedUsers())
            result << user.name;
        return result;
    };
    EXPECT_EQ(names(master), (QStringList{"Buero", "Kasse", "Zweit", "Lager"}));
    EXPECT_EQ(names(submaster), (QStringList{"Kasse", "Lager"}));
    EXPECT_TRUE(names(User(QStringLiteral("x"), {}, ukUser)).isEmpty());

    UserRightsEditing bySubmaster(store, submaster);
    EXPECT_FALSE(bySubmaster.select(QStringLiteral("Zweit"))) << "same rank";
    EXPECT_FALSE(bySubmaster.select(QStringLiteral("Chef")));
    EXPECT_TRUE(bySubmaster.select(QStringLiteral("kasse")));
    EXPECT_FALSE(bySubmaster.canCreateSubmaster());
    EXPECT_TRUE(UserRightsEditing(store, master).canCreateSubmaster());
}

TEST_F(RightsEditing, RightsCellsOfTheUserEditor) {
    struct Case {
        const char* what;
        bool bySubmaster;
        int nr;
        quint8 before;
        int column;
        quint8 after;
    } const cases[] = {
        {"create brings edit and view", false, 10, 0, 4, rbCreate | rbEdit | rbView},
        {"delete brings edit and view", false, 10, 0, 6, rbDelete | rbEdit | rbView},
        {"export brings view only", false, 10, 0, 5, rbExport | rbView},
        {"print brings view only", false, 10, 0, 2, rbPrint | rbView},
        {"view alone", false, 10, 0, 1, rbView},
        {"clearing view clears the row", false, 10, 0x3F, 1, 0},
        {"clearing another cell clears only it", false, 10, 0x3F, 4, 0x37},
        {"a right the editor lacks stays empty", true, 24, 0, 6, rbEdit | rbView},
        {"nothing granted without the editor's rights", true, 30, 0, 6, 0},
        {"clearing needs no right of the editor", true, 30, rbView | rbPrint, 2, rbView},
        {"function 80 has a row as well", false, 80, 0, 3, rbEdit | rbView},
    };
    for (const Case& c : cases) {
        UserRightsEditing editing(store, c.bySubmaster ? submaster : master);
        ASSERT_TRUE(editing.select(QStringLiteral("Lager")));
        TUserRec rec = editing.edited();
        rec.rights.set(c.nr, c.before);
        store.list().putUserRec(rec);
        ASSERT_TRUE(editing.select(QStringLiteral("Lager")));

        editing.clickRight(c.nr, c.column);
        EXPECT_EQ(editing.edited().rights.at(c.nr), c.after) << c.what;
        EXPECT_TRUE(editing.modified()) << c.what;
        for (int column = 1; column <= 6; ++column)
            EXPECT_EQ(editing.isRightSet(c.nr, column), (c.after & (1 << (column - 1))) != 0)
                << c.what << " column " << column;
    }
}

TEST_F(RightsEditing, AGrantTakesFromTheUserWhatTheEditorLacks) {
    UserRightsEditing editing(store, submaster);
    ASSERT_TRUE(editing.select(QStringLiteral("Kasse")));
    ASSERT_EQ(editing.edited().rights.at(30), rbView | rbPrint);
    editing.clickRight(10, 1);
    EXPECT_EQ(editing.edited().rights.at(30), 0);
    EXPECT_EQ(editing.edited().rights.at(10), rbView);
    EXPECT_EQ(saved(QStringLiteral("Kasse")).rights.at(30), rbView | rbPrint) << "not yet saved";
    ASSERT_TRUE(editing.save());
    EXPECT_FALSE(editing.modified());
    EXPECT_EQ(saved(QStringLiteral("Kasse")).rights.at(30), 0);
    EXPECT_EQ(saved(QStringLiteral("Kasse")).rights.at(10), rbView);
}

TEST_F(RightsEditing, GroupMembershipsOfTheUserEditor) {
    struct Case {
        const char* what;
        bool bySubmaster;
        quint8 before24; // the user's own rights of function 24 before the click
        quint32 maskBefore;
        int slot;
        bool member;
        quint8 after24;
        quint8 after40;
    } const cases[] = {
        {"joining adds the group's rights", false, 0, 0, 1, true, 0x3F, 0x01},
        {"limited to the editor's rights", true, 0, 0, 1, true, 0x1F, 0},
        {"a group adding nothing new leaves the user outside", false, rbView, 0, 3, false, rbView,
         0},
        {"a group of rights the editor lacks adds nothing", true, 0, 0, 5, false, 0, 0},
        {"leaving removes the group's rights", false, 0x3F, GroupBit(1), 1, false, 0, 0},
        {"leaving keeps what another group gives", false, 0x3F, GroupBit(1) | GroupBit(3), 1, false,
         rbView, 0},
    };
    for (const Case& c : cases) {
        UserRightsEditing editing(store, c.bySubmaster ? submaster : master);
        TUserRec rec = User(QStringLiteral("Lager"), QStringLiteral("lager12"), ukUser);
        rec.marker = UserMarker;
        rec.rights.set(24, c.before24);
        if (c.maskBefore & GroupBit(1))
            rec.rights.set(40, 0x01);
        rec.groupMask = c.maskBefore;
        store.list().putUserRec(rec);
        ASSERT_TRUE(editing.select(QStringLiteral("Lager")));

        ASSERT_TRUE(editing.clickGroup(c.slot)) << c.what;
        EXPECT_EQ(editing.isMember(c.slot), c.member) << c.what;
        EXPECT_EQ(editing.edited().rights.at(24), c.after24) << c.what;
        EXPECT_EQ(editing.edited().rights.at(40), c.after40) << c.what;
        TUserRec inList;
        store.list().getUserRecByName(QStringLiteral("Lager"), inList);
        EXPECT_EQ(inList, editing.edited()) << c.what << ": kept in the list at once";
        EXPECT_TRUE(editing.modified());
    }
    UserRightsEditing editing(store, master);
    ASSERT_TRUE(editing.select(QStringLiteral("Lager")));
    EXPECT_FALSE(editing.clickGroup(2)) << "an empty slot is no group";
}

TEST_F(RightsEditing, APendingChangeIsSavedOnlyOnYes) {
    UserRightsEditing editing(store, master);
    ASSERT_TRUE(editing.select(QStringLiteral("Lager")));
    editing.clickRight(15, 1);
    presenter.answers = {false};
    editing.offerSave();
    EXPECT_EQ(
        presenter.texts(Kind::Question),
        QStringList{QStringLiteral("Möchten Sie die Änderungen für Benutzer Lager speichern?")});
    EXPECT_EQ(saved(QStringLiteral("Lager")).rights.at(15), 0);
    EXPECT_FALSE(editing.modified());

    ASSERT_TRUE(editing.select(QStringLiteral("Lager")));
    editing.clickRight(15, 1);
    presenter.answers = {true};
    editing.offerSave();
    EXPECT_EQ(saved(QStringLiteral("Lager")).rights.at(15), rbView);

    presenter.boxes.clear();
    editing.offerSave();
    EXPECT_TRUE(presenter.boxes.isEmpty()) << "nothing pending, nothing asked";
}

TEST_F(RightsEditing, NewUsersAndSubmastersByRank) {
    UserRightsEditing bySubmaster(store, submaster);
    EXPECT_FALSE(
        bySubmaster.addUser(QStringLiteral("Neuling"), QStringLiteral("neu123"), ukSubmaster));
    ASSERT_TRUE(bySubmaster.addUser(QStringLiteral("Neuling"), QStringLiteral("neu123"), ukUser));
    EXPECT_EQ(bySubmaster.edited().name, QStringLiteral("Neuling"));
    const TUserRec created = saved(QStringLiteral("neuling"));
    EXPECT_EQ(created.kind, ukUser);
    EXPECT_EQ(created.marker, UserMarker);
    EXPECT_EQ(created.rights, TRightsBytes());
    EXPECT_EQ(created.groupMask, 0u);
    EXPECT_EQ(created.password, QStringLiteral("neu123"));

    UserRightsEditing byMaster(store, master);
    ASSERT_TRUE(byMaster.addUser(QStringLiteral("Vize"), QStringLiteral("vize123"), ukSubmaster));
    EXPECT_EQ(saved(QStringLiteral("Vize")).kind, ukSubmaster);
}

TEST_F(RightsEditing, DeletingAUserAsksFirst) {
    UserRightsEditing editing(store, master);
    ASSERT_TRUE(editing.select(QStringLiteral("Kasse")));
    presenter.answers = {false};
    EXPECT_FALSE(editing.deleteEdited());
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{
                  QStringLiteral("Möchten Sie den Benutzer Kasse aus der Benutzerliste löschen?")});
    EXPECT_EQ(saved(QStringLiteral("Kasse")).name, QStringLiteral("Kasse"));
    presenter.answers = {true};
    EXPECT_TRUE(editing.deleteEdited());
    EXPECT_FALSE(editing.hasEdited());
    EXPECT_TRUE(saved(QStringLiteral("Kasse")).name.isEmpty());
}

TEST_F(RightsEditing, RightsCellsOfTheGroupEditor) {
    struct Case {
        quint8 before;
        int column;
        quint8 after;
    } const cases[] = {
        {0, 4, rbCreate | rbEdit | rbView},
        {0, 6, rbDelete | rbEdit | rbView},
        {0, 2, rbPrint | rbView},
        {0, 1, rbView},
        {0x3F, 1, 0x3E},
        {rbCreate | rbEdit | rbView, 4, rbEdit | rbView},
    };
    for (const Case& c : cases) {
        GroupRightsEditing editing(store);
        ASSERT_TRUE(editing.select(3));
        TUserRec group = editing.edited();
        group.rights.set(12, c.before);
        store.list().putGroupRec(group);
        ASSERT_TRUE(editing.select(3));
        editing.clickRight(12, c.column);
        EXPECT_EQ(editing.edited().rights.at(12), c.after) << int(c.before) << "/" << c.column;
        EXPECT_TRUE(editing.modified());
    }
}

TEST_F(RightsEditing, GroupsAreCreatedSavedAndDeleted) {
    GroupRightsEditing editing(store);
    EXPECT_FALSE(editing.select(2)) << "a free slot";
    EXPECT_TRUE(editing.groupNameUsed(QStringLiteral("büro")));
    ASSERT_TRUE(editing.addGroup(QStringLiteral("Technik")));
    EXPECT_EQ(editing.editedSlot(), 2);
    EXPECT_EQ(editing.slotNames().at(1), QStringLiteral("Technik"));
    editing.clickRight(8, 1);
    ASSERT_TRUE(editing.save());
    RightsStore reader(ProgramDir);
    reader.load();
    TUserRec group;
    ASSERT_TRUE(reader.list().getGroupRecByName(QStringLiteral("TECHNIK"), group));
    EXPECT_EQ(group.rights.at(8), rbView);
    EXPECT_EQ(group.groupMask, GroupBit(2));
    EXPECT_EQ(group.marker, GroupMarker);

    // A member loses the deleted group's rights.
    UserRightsEditing users(store, master);
    ASSERT_TRUE(users.select(QStringLiteral("Lager")));
    ASSERT_TRUE(users.clickGroup(1));
    ASSERT_TRUE(users.save());
    ASSERT_TRUE(editing.select(1));
    presenter.answers = {true};
    ASSERT_TRUE(editing.deleteEdited());
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{QStringLiteral("Möchten Sie die Benutzergruppe Büro löschen?")});
    const TUserRec lager = saved(QStringLiteral("Lager"));
    EXPECT_EQ(lager.groupMask, 0u);
    EXPECT_EQ(lager.rights.at(24), 0);
    EXPECT_TRUE(editing.slotNames().at(0).isEmpty());
}

TEST_F(RightsEditing, NamesAndPasswordsAtEntry) {
    struct Case {
        const char* text;
        const char* userNameProblem;
        const char* passwordProblem;
    } const cases[] = {
        {"abc", "Der Benutzername muss mindestens 4 Zeichen lang sein!",
         "Das Passwort muss mindestens 6 Zeichen lang sein!"},
        {"kasse", "Der Benutzername ist bereits vergeben!",
         "Das Passwort muss mindestens 6 Zeichen lang sein!"},
        {"Kassierer", "", ""},
        {"Müller&Söhne€", "", ""},
        {"zwanzig-zeichen-lang", "", "Das Passwort darf höchstens 16 Zeichen lang sein!"},
        {"Chef→Büro", "Der Benutzername enthält Zeichen, die nicht gespeichert werden können!",
         "Das Passwort enthält Zeichen, die nicht gespeichert werden können!"},
        {"ein-name-von-einundvierzig-zeichen-längen",
         "Der Benutzername darf höchstens 40 Zeichen lang sein!",
         "Das Passwort darf höchstens 16 Zeichen lang sein!"},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(UserNameProblem(text, store.list()), QString::fromUtf8(c.userNameProblem))
            << c.text;
        EXPECT_EQ(PasswordProblem(text), QString::fromUtf8(c.passwordProblem)) << c.text;
    }
    EXPECT_EQ(TrimmedInput(QStringLiteral(" \tpass wort \r\n")), QStringLiteral("pass wort"));
    EXPECT_EQ(GroupNameProblem(QString()),
              QStringLiteral("Die Gruppenbezeichnung darf nicht leer sein!"));
    EXPECT_EQ(GroupNameProblem(QString(41, u'g')),
              QStringLiteral("Die Gruppenbezeichnung darf höchstens 40 Zeichen lang sein!"));
    EXPECT_TRUE(GroupNameProblem(QStringLiteral("Büro & Co")).isEmpty());
}

} // namespace
