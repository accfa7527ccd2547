#pragma once

#include "core/rights/rightsfile.h"

#include <QList>
#include <QString>

class RightsStore;

// Rights columns of the editors' grids: column c (1..6) is bit 1 << (c - 1).
constexpr int RightsColumnCount = 6;
quint8 RightsColumnBit(int column);

// The rules of the user administration, apart from its grids. The store must
// hold the lock while the editor is open.
class UserRightsEditing {
public:
    // editorUser: the copy of the logged-in user; every grant is limited to
    // its rights.
    UserRightsEditing(RightsStore& store, const TUserRec& editorUser);

    const TUserRec& editorUser() const { return m_editorUser; }
    bool canCreateSubmaster() const { return m_editorUser.kind == ukMaster; }
    // The users of a lower rank than the editor's user, in file order.
    QList<TUserRec> listedUsers() const;

    bool hasEdited() const { return m_hasEdited; }
    const TUserRec& edited() const { return m_edited; }
    bool modified() const { return m_modified; }

    // A pending change is offered for saving ("Möchten Sie die Änderungen für
    // Benutzer %s speichern?") and saved on "Ja"; the flag is cleared.
    void offerSave();
    // Makes the listed user the edited record (no question); false when the
    // name is not listed.
    bool select(const QString& name);
    void clear();

    bool isRightSet(int functionNr, int column) const;
    bool isMember(int slot) const;

    // A click on a rights cell: clearing "ansehen" clears the row; setting a
    // right sets "ändern" for "erzeugen" and "löschen" and "ansehen" for all
    // but itself, each only as far as the editor's user holds it.
    void clickRight(int functionNr, int column);
    // A click on the membership of a named group (false for an empty slot).
    bool clickGroup(int slot);

    bool save();
    // Creates the user (name and password already accepted) and selects it;
    // after a failure the previous edited record stays.
    bool addUser(const QString& name, const QString& password, TUserKind kind);
    bool setPassword(const QString& password);
    bool deleteEdited();

private:
    // Sets the bit and takes from the record whatever the editor lacks;
    // whether the bit survived.
    bool grantLimited(int functionNr, quint8 bit);

    RightsStore& m_store;
    TUserRec m_editorUser;
    TUserRec m_edited;
    bool m_hasEdited = false;
    bool m_modified = false;
};

// The rules of the group administration.
class GroupRightsEditing {
public:
    explicit GroupRightsEditing(RightsStore& store) : m_store(store) {}

    bool hasEdited() const { return m_hasEdited; }
    const TUserRec& edited() const { return m_edited; }
    bool modified() const { return m_modified; }
    // The names of slots 1..24 (empty for a free slot).
    QStringList slotNames() const;

    void offerSave();
    // Makes the group of the slot the edited record; false for a free slot.
    bool select(int slot);
    void clear();

    bool isRightSet(int functionNr, int column) const;
    // Setting sets "ändern" for "erzeugen" and "löschen" and "ansehen" for
    // all but itself; clearing clears only the cell. No limit by the editor.
    void clickRight(int functionNr, int column);

    bool save();
    // Name already accepted and unused; selects the new group. False when no
    // slot is free or saving failed.
    bool addGroup(const QString& name);
    bool groupNameUsed(const QString& name) const;
    bool deleteEdited();
    int editedSlot() const;

private:
    RightsStore& m_store;
    TUserRec m_edited;
    bool m_hasEdited = false;
    bool m_modified = false;
};
