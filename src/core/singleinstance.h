#pragma once

#include <QString>
#include <memory>

class QLockFile;

// Keeps a second instance of the same version from starting on this
// workstation. The lock lives in a per-workstation directory (never in the
// shared program directory), named after the product, the version text and
// the host; a lock left by a process that no longer runs is taken over.
class SingleInstanceLock {
public:
    explicit SingleInstanceLock(const QString& lockDir, const QString& versionText);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // True when this process now holds the lock.
    bool tryAcquire();
    QString fileName() const { return m_fileName; }

private:
    QString m_fileName;
    std::unique_ptr<QLockFile> m_lock;
};

// The message of a second start.
QString AlreadyRunningMessage();
