#include "core/rights/rightsediting.h"

#include "core/messages/messagecatalog.h"
#include "core/messages/messages.h"
#include "core/rights/rightsstore.h"
#include "core/rights/rightstexts.h"
#include "core/values/rangeerrors.h"

namespace {

// The catalog text with its one "%s" filled by name.
QString withName(RightsText number, const QString& name) {
    QString text = LoadMessage(number);
    const qsizetype at = text.indexOf(QStringLiteral("%s"));
    if (at >= 0)
        text.replace(at, 2, name);
    return text;
}

constexpr int kViewColumn = 1;
constexpr int kEditColumn = 3;
constexpr int kCreateColumn = 4;
constexpr int kDeleteColumn = 6;

} // namespace

quint8 RightsColumnBit(int column) {
    if (column < 1 || column > RightsColumnCount)
        RaiseRangeError();
    return quint8(1u << (column - 1));
}

UserRightsEditing::UserRightsEditing(RightsStore& store, const TUserRec& editorUser)
    : m_store(store), m_editorUser(editorUser) {}

QList<TUserRec> UserRightsEditing::listedUsers() const {
    QList<TUserRec> result;
    for (const TUserRec& user : m_store.list().users())
        if (user.kind > m_editorUser.kind)
            result.append(user);
    return result;
}

void UserRightsEditing::offerSave() {
    if (m_hasEdited && m_modified && AskYesNo(withName(MsgSaveUserChanges, m_edited.name)))
        m_store.saveUserRec(m_edited);
    m_modified = false;
}

bool UserRightsEditing::select(const QString& name) {
    TUserRec rec;
    if (!m_store.list().getUserRecByName(name, rec) || rec.kind <= m_editorUser.kind)
        return false;
    m_edited = rec;
    m_hasEdited = true;
    m_modified = false;
    return true;
}

void UserRightsEditing::clear() {
    m_edited = TUserRec();
    m_hasEdited = false;
    m_modified = false;
}

bool UserRightsEditing::isRightSet(int functionNr, int column) const {
    return m_hasEdited && (m_edited.rights.at(functionNr) & RightsColumnBit(column)) != 0;
}

bool UserRightsEditing::isMember(int slot) const {
    return m_hasEdited && (m_edited.groupMask & GroupBit(slot)) != 0;
}

bool UserRightsEditing::grantLimited(int functionNr, quint8 bit) {
    m_edited.rights.set(functionNr, m_edited.rights.at(functionNr) | bit);
    IntersectRights(m_edited, m_editorUser);
    return (m_edited.rights.at(functionNr) & bit) != 0;
}

void UserRightsEditing::clickRight(int functionNr, int column) {
    if (!m_hasEdited)
        return;
    const quint8 bit = RightsColumnBit(column);
    const quint8 current = m_edited.rights.at(functionNr);
    if (current & bit) {
        const quint8 cleared =
            column == kViewColumn ? quint8(current & ~rbAllRights) : quint8(current & ~bit);
        m_edited.rights.set(functionNr, cleared);
    } else {
        grantLimited(functionNr, bit);
        if (column == kCreateColumn || column == kDeleteColumn)
            grantLimited(functionNr, RightsColumnBit(kEditColumn));
        if (column != kViewColumn)
            grantLimited(functionNr, RightsColumnBit(kViewColumn));
    }
    m_modified = true;
}

bool UserRightsEditing::clickGroup(int slot) {
    TUserRec group;
    if (!m_hasEdited || !m_store.list().getGroupRecByIndex(slot, group) || group.isEmpty())
        return false;
    const quint32 bit = GroupBit(slot);
    if (m_edited.groupMask & bit) {
        m_edited.groupMask &= ~bit;
        m_store.list().recalcUserRights(m_edited, group);
    } else {
        IntersectRights(group, m_editorUser);
        const TRightsBytes before = m_edited.rights;
        AddRights(m_edited, group);
        // Membership only when the group gives something the user lacked.
        if (!(m_edited.rights == before))
            m_edited.groupMask |= bit;
    }
    IntersectRights(m_edited, m_editorUser);
    m_store.list().putUserRec(m_edited);
    m_modified = true;
    return true;
}

bool UserRightsEditing::save() {
    if (!m_hasEdited)
        return false;
    m_modified = false;
    return m_store.saveUserRec(m_edited);
}

bool UserRightsEditing::addUser(const QString& name, const QString& password, TUserKind kind) {
    if (kind == ukSubmaster && !canCreateSubmaster())
        return false;
    if (kind <= m_editorUser.kind)
        return false;
    TUserRec rec;
    rec.name = name;
    rec.password = password;
    if (!m_store.addUser(rec, kind))
        return false;
    return select(name);
}

bool UserRightsEditing::setPassword(const QString& password) {
    if (!m_hasEdited || !m_store.setUserPassword(m_edited.name, password))
        return false;
    m_edited.password = password;
    return true;
}

bool UserRightsEditing::deleteEdited() {
    if (!m_hasEdited || !AskYesNo(withName(MsgDeleteUser, m_edited.name)))
        return false;
    const bool deleted = m_store.deleteUser(m_edited.name);
    clear();
    return deleted;
}

QStringList GroupRightsEditing::slotNames() const {
    QStringList names;
    TUserRec group;
    for (int slot = 1; slot <= GroupSlotCount; ++slot) {
        m_store.list().getGroupRecByIndex(slot, group);
        names.append(group.name);
    }
    return names;
}

void GroupRightsEditing::offerSave() {
    if (m_hasEdited && m_modified && AskYesNo(withName(MsgSaveGroupChanges, m_edited.name)))
        m_store.saveGroupRec(m_edited);
    m_modified = false;
}

bool GroupRightsEditing::select(int slot) {
    TUserRec group;
    if (!m_store.list().getGroupRecByIndex(slot, group) || group.isEmpty()) {
        clear();
        return false;
    }
    m_edited = group;
    m_hasEdited = true;
    m_modified = false;
    return true;
}

void GroupRightsEditing::clear() {
    m_edited = TUserRec();
    m_hasEdited = false;
    m_modified = false;
}

bool GroupRightsEditing::isRightSet(int functionNr, int column) const {
    return m_hasEdited && (m_edited.rights.at(functionNr) & RightsColumnBit(column)) != 0;
}

void GroupRightsEditing::clickRight(int functionNr, int column) {
    if (!m_hasEdited)
        return;
    const quint8 bit = RightsColumnBit(column);
    quint8 bits = m_edited.rights.at(functionNr);
    if (bits & bit) {
        bits &= quint8(~bit);
    } else {
        bits |= bit;
        if (column == kCreateColumn || column == kDeleteColumn)
            bits |= RightsColumnBit(kEditColumn);
        bits |= RightsColumnBit(kViewColumn);
    }
    m_edited.rights.set(functionNr, bits);
    m_modified = true;
}

bool GroupRightsEditing::save() {
    if (!m_hasEdited)
        return false;
    m_modified = false;
    return m_store.saveGroupRec(m_edited);
}

bool GroupRightsEditing::groupNameUsed(const QString& name) const {
    TUserRec group;
    return m_store.list().getGroupRecByName(name, group);
}

bool GroupRightsEditing::addGroup(const QString& name) {
    TUserRec rec;
    rec.name = name;
    if (!m_store.addGroup(rec))
        return false;
    return select(GroupSlotOf(rec));
}

int GroupRightsEditing::editedSlot() const {
    return m_hasEdited ? GroupSlotOf(m_edited) : 0;
}

bool GroupRightsEditing::deleteEdited() {
    if (!m_hasEdited || !AskYesNo(withName(MsgDeleteGroup, m_edited.name)))
        return false;
    const bool deleted = m_store.deleteGroup(m_edited.name);
    clear();
    return deleted;
}
