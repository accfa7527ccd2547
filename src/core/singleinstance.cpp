#include "core/singleinstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

using namespace Qt::StringLiterals;

namespace {

// Keeps a name usable as a file name whatever the version text or host hold.
QString fileSafe(const QString& text) {
    QString safe;
    for (const QChar c : text)
        safe += (c.isLetterOrNumber() || c == u'.' || c == u'-' || c == u'_') ? c : u'_';
    return safe;
}

} // namespace

SingleInstanceLock::SingleInstanceLock(const QString& lockDir, const QString& versionText)
    : m_fileName(QDir(lockDir).filePath(u"Domvera"_s + fileSafe(versionText) + u'-' +
                                        fileSafe(QSysInfo::machineHostName()) + u".lock"_s)) {}

SingleInstanceLock::~SingleInstanceLock() = default;

bool SingleInstanceLock::tryAcquire() {
    if (m_lock && m_lock->isLocked())
        return true;
    QDir().mkpath(QFileInfo(m_fileName).absolutePath());
    m_lock = std::make_unique<QLockFile>(m_fileName);
    // Staleness by the recorded process id only: a long run never loses
    // its lock to age.
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}

QString AlreadyRunningMessage() {
    return u"Domvera wurde bereits gestartet!"_s;
}
