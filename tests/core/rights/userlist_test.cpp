#include "core/rights/userlist.h"
#include "core/rightsfixture.h"

#include <gtest/gtest.h>

using namespace rightstest;

namespace {

TEST(RightsArithmetic, WorksOnEveryByteOfBothRecords) {
    TUserRec a = With(With(TUserRec(), 1, 0x0F), 80, 0x81);
    const TUserRec b = With(With(TUserRec(), 1, 0x3C), 80, 0x01);

    TUserRec removed = a;
    RemoveRights(removed, b);
    EXPECT_EQ(removed.rights.at(1), 0x03);
    EXPECT_EQ(removed.rights.at(80), 0x80);

    TUserRec added = a;
    AddRights(added, b);
    EXPECT_EQ(added.rights.at(1), 0x3F);
    EXPECT_EQ(added.rights.at(80), 0x81);

    TUserRec kept = a;
    IntersectRights(kept, b);
    EXPECT_EQ(kept.rights.at(1), 0x0C);
    EXPECT_EQ(kept.rights.at(80), 0x01);
}

TEST(UserList, FindsUsersWithoutRegardToCaseButNotGroups) {
    TUserList list(Records({Group(QStringLiteral("Kasse"), 2)},
                           {User(QStringLiteral("KASSE"), QStringLiteral("Geheim1"), ukUser)}));
    QString password;
    EXPECT_TRUE(list.getUserPassword(QStringLiteral("kasse"), password));
    EXPECT_EQ(password, QStringLiteral("Geheim1"));
    EXPECT_FALSE(list.getUserPassword(QStringLiteral("Kass"), password));
    EXPECT_TRUE(password.isEmpty());

    TUserRec group;
    EXPECT_TRUE(list.getGroupRecByName(QStringLiteral("KASSE"), group));
    EXPECT_EQ(group.groupMask, 2u);
    EXPECT_FALSE(list.getGroupRecByName(QString(), group)) << "an empty slot is no group";
}

TEST(UserList, UsersHaveNoFixedCap) {
    TUserList list(Records({}, {}));
    for (int i = 0; i < 300; ++i) {
        TUserRec rec = User(QStringLiteral("Benutzer%1").arg(i), QStringLiteral("passwort"), 0);
        list.addUser(rec, ukUser);
    }
    TUserRec rec;
    ASSERT_TRUE(list.getUserRecByIndex(299, rec));
    EXPECT_EQ(rec.name, QStringLiteral("Benutzer299"));
    EXPECT_FALSE(list.getUserRecByIndex(300, rec));
    EXPECT_FALSE(list.getUserRecByIndex(-1, rec));
}

TEST(UserList, AddGroupTakesTheFirstFreeSlotUntilAllAreNamed) {
    TUserList list(
        Records({Group(QStringLiteral("Eins"), 1), Group(QStringLiteral("Drei"), 3)}, {}));
    TUserRec rec;
    rec.name = QStringLiteral("Zwei");
    ASSERT_TRUE(list.addGroup(rec));
    EXPECT_EQ(rec.groupMask, 2u);
    EXPECT_EQ(rec.marker, GroupMarker);
    for (int i = 0; i < 21; ++i) {
        TUserRec more;
        more.name = QStringLiteral("G%1").arg(i);
        ASSERT_TRUE(list.addGroup(more));
    }
    EXPECT_FALSE(list.hasFreeGroupSlot());
    TUserRec last;
    last.name = QStringLiteral("Zuviel");
    EXPECT_FALSE(list.addGroup(last));
    EXPECT_TRUE(list.getGroupRecByIndex(24, rec));
    EXPECT_EQ(rec.name, QStringLiteral("G20"));
    EXPECT_FALSE(list.getGroupRecByIndex(0, rec));
    EXPECT_FALSE(list.getGroupRecByIndex(25, rec));
}

TEST(UserList, DeletingAGroupKeepsWhatAnotherGroupOfTheMemberGives) {
    const TUserRec office = With(With(Group(QStringLiteral("Büro"), 1), 2, 0x07), 3, 0x01);
    const TUserRec billing = With(Group(QStringLiteral("Rechnung"), 5), 2, 0x03);
    TUserRec both = With(
        With(User(QStringLiteral("Anna"), QStringLiteral("passwort"), ukUser), 2, 0x07), 3, 0x01);
    both.groupMask = GroupBit(1) | GroupBit(5);
    TUserRec onlyOffice = With(
        With(User(QStringLiteral("Bert"), QStringLiteral("passwort"), ukUser), 2, 0x07), 3, 0x01);
    onlyOffice.groupMask = GroupBit(1);
    const TUserRec outsider =
        With(User(QStringLiteral("Carl"), QStringLiteral("passwort"), ukUser), 2, 0x07);
    TUserList list(Records({office, billing}, {both, onlyOffice, outsider}));

    ASSERT_TRUE(list.deleteGroup(QStringLiteral("büro")));

    TUserRec rec;
    EXPECT_TRUE(list.getGroupRecByIndex(1, rec));
    EXPECT_EQ(rec, TUserRec()) << "the slot is emptied";
    list.getUserRecByName(QStringLiteral("Anna"), rec);
    EXPECT_EQ(rec.groupMask, GroupBit(5));
    EXPECT_EQ(rec.rights.at(2), 0x03) << "kept through the other group";
    EXPECT_EQ(rec.rights.at(3), 0x00);
    list.getUserRecByName(QStringLiteral("Bert"), rec);
    EXPECT_EQ(rec.groupMask, 0u);
    EXPECT_EQ(rec.rights.at(2), 0x00);
    list.getUserRecByName(QStringLiteral("Carl"), rec);
    EXPECT_EQ(rec.rights.at(2), 0x07) << "not a member: untouched";
    EXPECT_TRUE(list.hasFreeGroupSlot());
}

TEST(UserList, DeleteUserKeepsTheOrderOfTheOthers) {
    TUserList list(Records({}, {User(QStringLiteral("Anna"), QStringLiteral("passwort"), ukUser),
                                User(QStringLiteral("Bert"), QStringLiteral("passwort"), ukUser),
                                User(QStringLiteral("Carl"), QStringLiteral("passwort"), ukUser)}));
    ASSERT_TRUE(list.deleteUser(QStringLiteral("BERT")));
    EXPECT_FALSE(list.deleteUser(QStringLiteral("Bert")));
    ASSERT_EQ(list.userCount(), 2);
    EXPECT_EQ(list.users().at(0).name, QStringLiteral("Anna"));
    EXPECT_EQ(list.users().at(1).name, QStringLiteral("Carl"));
    EXPECT_EQ(list.records().size(), 26);
}

} // namespace
