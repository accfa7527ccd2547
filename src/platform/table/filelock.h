#pragma once

#include <QString>

namespace table {

// An advisory lock on a file that the system drops when its holder ends,
// however it ends (also kill -9). Shared holds coexist; an exclusive hold
// excludes every other hold, also another one of this process.
class FileLock {
public:
    explicit FileLock(QString fileName); // the file is created when missing
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    const QString& fileName() const { return m_fileName; }
    // False when the file cannot be opened or another holder is in the way.
    bool tryLockShared() { return lock(false, false); }
    bool tryLockExclusive() { return lock(true, false); }
    // Waits for the other holders; false only when the file cannot be used.
    bool lockShared() { return lock(false, true); }
    bool lockExclusive() { return lock(true, true); }
    void unlock();

private:
    bool open();
    bool lock(bool exclusive, bool wait);

    QString m_fileName;
    int m_fd = -1;
};

} // namespace table
