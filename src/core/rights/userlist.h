#pragma once

#include "core/rights/rightsfile.h"

#include <QList>
#include <array>

// Rights arithmetic on the rights bytes 1..80 of two records.
void RemoveRights(TUserRec& rec, const TUserRec& source);    // clears every bit set in source
void AddRights(TUserRec& rec, const TUserRec& source);       // sets every bit set in source
void IntersectRights(TUserRec& rec, const TUserRec& source); // keeps the bits also in source

// The whole rights file in memory: the 24 group slots (an empty slot has an
// empty name) and the users in file order. Names are compared without regard
// to case; only the operations below change the list.
class TUserList {
public:
    TUserList() = default;
    // Raises a DbError when the records cannot form a list (fewer than 24).
    explicit TUserList(const QList<TUserRec>& records);
    QList<TUserRec> records() const;

    int userCount() const { return int(m_users.size()); }
    const QList<TUserRec>& users() const { return m_users; }

    // Users.
    bool getUserPassword(const QString& name, QString& password) const;
    bool getUserRecByName(const QString& name, TUserRec& rec) const;
    bool getUserRecByIndex(int index, TUserRec& rec) const;
    // Replaces the user of the same name; false when the name is unknown.
    bool putUserRec(const TUserRec& rec);
    bool setUserPassword(const QString& name, const QString& password);
    // Appends rec as a user of this kind with the marker and no groups.
    void addUser(TUserRec& rec, TUserKind kind);
    bool deleteUser(const QString& name);

    // Groups (slots 1..24).
    bool getGroupRecByIndex(int slot, TUserRec& rec) const;
    bool getGroupRecByName(const QString& name, TUserRec& rec) const;
    bool hasFreeGroupSlot() const;
    bool putGroupRec(const TUserRec& rec);
    // The first free slot receives rec; false when all 24 are named.
    bool addGroup(TUserRec& rec);
    // Empties the slot and takes the group's rights from its members.
    bool deleteGroup(const QString& name);

    // Removes Group's rights from User and adds those of every group that
    // User still belongs to.
    void recalcUserRights(TUserRec& user, const TUserRec& group) const;
    void removeGroupFromUsers(const TUserRec& group);

private:
    int findUser(const QString& name) const;
    int findGroup(const QString& name) const;

    std::array<TUserRec, GroupSlotCount> m_groups;
    QList<TUserRec> m_users;
};

// The bit of a group slot (1..24) in a group mask.
quint32 GroupBit(int slot);
// The slot (1..24) of a group record by its own bit; 0 for an empty slot.
int GroupSlotOf(const TUserRec& group);
