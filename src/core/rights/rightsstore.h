#pragma once

#include "core/rights/userlist.h"

#include <QString>

// One workstation's view of "Rights.dat" in a program directory.
//
// Every change runs under "Rights.lck": lock() creates the lock file
// exclusively (so two workstations can never both hold it) and then reloads
// the file, so that a change is made to what others saved before and never
// writes back a list read earlier. Saving without the lock is refused.
class RightsStore {
public:
    RightsStore() = default;
    explicit RightsStore(QString programDir) : m_dir(std::move(programDir)) {}
    ~RightsStore();
    RightsStore(const RightsStore&) = delete;
    RightsStore& operator=(const RightsStore&) = delete;

    void setDirectory(const QString& programDir);
    QString fileName() const;
    QString lockFileName() const;

    // Reads the file; raises a DbError with the German reason when it is
    // missing or damaged (the list then stays as it was).
    void load();
    bool fileExists() const;

    TUserList& list() { return m_list; }
    const TUserList& list() const { return m_list; }

    // Creates the lock and reloads the list; shows the reason and gives false
    // when the file is locked elsewhere, cannot be locked or cannot be read.
    bool lock();
    // Removes the lock when this store holds it; a lock of another
    // workstation stays.
    void unlock();
    bool holdsLock() const { return m_lockHeld; }
    bool isLocked() const;
    // Deletes a lock whoever left it (a stale lock, when no other
    // workstation can be working).
    void removeLockFile();

    // Writes the whole list (under the lock); shows the reason and gives
    // false when that failed.
    bool save();

    // The saving operations of the editors and the password change. Each
    // leaves the list as it was when it could not be saved.
    bool saveUserRec(const TUserRec& rec);
    bool setUserPassword(const QString& name, const QString& password);
    bool addUser(TUserRec& rec, TUserKind kind);
    bool deleteUser(const QString& name);
    bool saveGroupRec(const TUserRec& rec);
    bool addGroup(TUserRec& rec);
    bool deleteGroup(const QString& name);

    // A new installation's first file: the empty group slots and one master
    // with every right of functions 1..64. Refused (reason shown) when the
    // file exists or the name or password is not acceptable.
    bool createWithFirstMaster(const QString& name, const QString& password);

private:
    bool createLockFile();
    template <typename Change> bool change(Change&& apply);

    QString m_dir;
    TUserList m_list;
    bool m_lockHeld = false;
};

// Holds the lock of a store for one scope.
class RightsLockGuard {
public:
    explicit RightsLockGuard(RightsStore& store) : m_store(store), m_locked(store.lock()) {}
    ~RightsLockGuard() {
        if (m_locked)
            m_store.unlock();
    }
    RightsLockGuard(const RightsLockGuard&) = delete;
    RightsLockGuard& operator=(const RightsLockGuard&) = delete;
    bool locked() const { return m_locked; }

private:
    RightsStore& m_store;
    bool m_locked;
};
