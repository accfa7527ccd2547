#include "platform/table/filelock.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace table {

FileLock::FileLock(QString fileName) : m_fileName(std::move(fileName)) {}

FileLock::~FileLock() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FileLock::open() {
    if (m_fd >= 0)
        return true;
    m_fd = ::open(QFile::encodeName(m_fileName).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0660);
    return m_fd >= 0;
}

// Locks of the open file description (not of the process), so that two holds
// in one process exclude each other like two workstations do.
bool FileLock::lock(bool exclusive, bool wait) {
    if (!open())
        return false;
    struct flock hold = {};
    hold.l_type = exclusive ? F_WRLCK : F_RDLCK;
    hold.l_whence = SEEK_SET;
    for (;;) {
        if (::fcntl(m_fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &hold) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

void FileLock::unlock() {
    if (m_fd < 0)
        return;
    struct flock hold = {};
    hold.l_type = F_UNLCK;
    hold.l_whence = SEEK_SET;
    ::fcntl(m_fd, F_OFD_SETLK, &hold);
}

} // namespace table
