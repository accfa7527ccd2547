#pragma once

#include "core/rights/rightsfile.h"
#include "core/rights/userlist.h"

#include <QList>
#include <QString>

namespace rightstest {

// A user record as the editors create it.
inline TUserRec User(const QString& name, const QString& password, char kind) {
    TUserRec rec;
    rec.marker = UserMarker;
    rec.name = name;
    rec.password = password;
    rec.kind = kind;
    return rec;
}

// A group record of a slot (1..24).
inline TUserRec Group(const QString& name, int slot) {
    TUserRec rec;
    rec.marker = GroupMarker;
    rec.name = name;
    rec.groupMask = GroupBit(slot);
    return rec;
}

// Sets rights bits of one function and returns the record, for short set-ups.
inline TUserRec With(TUserRec rec, int functionNr, quint8 bits) {
    rec.rights.set(functionNr, bits);
    return rec;
}

// 24 slots (the named groups at their slots) followed by the users.
inline QList<TUserRec> Records(const QList<TUserRec>& groups, const QList<TUserRec>& users) {
    QList<TUserRec> records(GroupSlotCount);
    for (const TUserRec& group : groups)
        records[GroupSlotOf(group) - 1] = group;
    return records + users;
}

} // namespace rightstest
