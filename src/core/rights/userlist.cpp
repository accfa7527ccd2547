#include "core/rights/userlist.h"

#include "core/values/conversions.h"
#include "core/values/rangeerrors.h"

#include <algorithm>

namespace {

bool sameName(const QString& a, const QString& b) {
    return UpperStr(a) == UpperStr(b);
}

template <typename Op> void combineRights(TUserRec& rec, const TUserRec& source, Op op) {
    for (int nr = 1; nr <= RightsByteCount; ++nr)
        rec.rights.set(nr, quint8(op(rec.rights.at(nr), source.rights.at(nr))));
}

} // namespace

void RemoveRights(TUserRec& rec, const TUserRec& source) {
    combineRights(rec, source, [](quint8 a, quint8 b) { return a & ~b; });
}

void AddRights(TUserRec& rec, const TUserRec& source) {
    combineRights(rec, source, [](quint8 a, quint8 b) { return a | b; });
}

void IntersectRights(TUserRec& rec, const TUserRec& source) {
    combineRights(rec, source, [](quint8 a, quint8 b) { return a & b; });
}

quint32 GroupBit(int slot) {
    if (slot < 1 || slot > GroupSlotCount)
        RaiseRangeError();
    return quint32(1) << (slot - 1);
}

int GroupSlotOf(const TUserRec& group) {
    for (int slot = 1; slot <= GroupSlotCount; ++slot)
        if (group.groupMask == GroupBit(slot))
            return slot;
    return 0;
}

TUserList::TUserList(const QList<TUserRec>& records) {
    if (records.size() < GroupSlotCount)
        RaiseRangeError();
    std::copy(records.begin(), records.begin() + GroupSlotCount, m_groups.begin());
    m_users = records.mid(GroupSlotCount);
}

QList<TUserRec> TUserList::records() const {
    QList<TUserRec> result(m_groups.begin(), m_groups.end());
    result += m_users;
    return result;
}

int TUserList::findUser(const QString& name) const {
    for (int i = 0; i < m_users.size(); ++i)
        if (sameName(m_users.at(i).name, name))
            return i;
    return -1;
}

int TUserList::findGroup(const QString& name) const {
    if (name.isEmpty())
        return -1;
    for (int i = 0; i < GroupSlotCount; ++i)
        if (sameName(m_groups.at(i).name, name))
            return i;
    return -1;
}

bool TUserList::getUserPassword(const QString& name, QString& password) const {
    const int i = findUser(name);
    password = i < 0 ? QString() : m_users.at(i).password;
    return i >= 0;
}

bool TUserList::getUserRecByName(const QString& name, TUserRec& rec) const {
    const int i = findUser(name);
    if (i < 0)
        return false;
    rec = m_users.at(i);
    return true;
}

bool TUserList::getUserRecByIndex(int index, TUserRec& rec) const {
    if (index < 0 || index >= m_users.size())
        return false;
    rec = m_users.at(index);
    return true;
}

bool TUserList::putUserRec(const TUserRec& rec) {
    const int i = findUser(rec.name);
    if (i < 0)
        return false;
    m_users[i] = rec;
    return true;
}

bool TUserList::setUserPassword(const QString& name, const QString& password) {
    const int i = findUser(name);
    if (i < 0)
        return false;
    m_users[i].password = password;
    return true;
}

void TUserList::addUser(TUserRec& rec, TUserKind kind) {
    rec.marker = UserMarker;
    rec.groupMask = 0;
    rec.kind = kind;
    m_users.append(rec);
}

bool TUserList::deleteUser(const QString& name) {
    const int i = findUser(name);
    if (i < 0)
        return false;
    m_users.removeAt(i);
    return true;
}

bool TUserList::getGroupRecByIndex(int slot, TUserRec& rec) const {
    if (slot < 1 || slot > GroupSlotCount)
        return false;
    rec = m_groups.at(slot - 1);
    return true;
}

bool TUserList::getGroupRecByName(const QString& name, TUserRec& rec) const {
    const int i = findGroup(name);
    if (i < 0)
        return false;
    rec = m_groups.at(i);
    return true;
}

bool TUserList::hasFreeGroupSlot() const {
    return std::any_of(m_groups.begin(), m_groups.end(),
                       [](const TUserRec& g) { return g.isEmpty(); });
}

bool TUserList::putGroupRec(const TUserRec& rec) {
    const int i = findGroup(rec.name);
    if (i < 0)
        return false;
    m_groups[i] = rec;
    return true;
}

bool TUserList::addGroup(TUserRec& rec) {
    for (int i = 0; i < GroupSlotCount; ++i) {
        if (!m_groups.at(i).isEmpty())
            continue;
        rec.marker = GroupMarker;
        rec.kind = ukNone;
        rec.groupMask = GroupBit(i + 1);
        m_groups[i] = rec;
        return true;
    }
    return false;
}

bool TUserList::deleteGroup(const QString& name) {
    const int i = findGroup(name);
    if (i < 0)
        return false;
    const TUserRec former = m_groups.at(i);
    m_groups[i] = TUserRec();
    removeGroupFromUsers(former);
    return true;
}

void TUserList::recalcUserRights(TUserRec& user, const TUserRec& group) const {
    RemoveRights(user, group);
    for (int slot = 1; slot <= GroupSlotCount; ++slot)
        if (user.groupMask & GroupBit(slot))
            AddRights(user, m_groups.at(slot - 1));
}

void TUserList::removeGroupFromUsers(const TUserRec& group) {
    for (TUserRec& user : m_users) {
        if (!(user.groupMask & group.groupMask))
            continue;
        user.groupMask &= ~group.groupMask;
        recalcUserRights(user, group);
    }
}
