#include "core/files/directoryswap.h"

#include "core/files/filehelpers.h"
#include "core/messages/messages.h"
#include "platform/table/filelock.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString kJournal = u"Austausch.dat"_s;
const QString kLock = u"Austausch.lck"_s;
const QString kPrepared = u"vorbereitet"_s;
const QString kCommitted = u"festgeschrieben"_s;

QString inParent(const QString& parent, const QString& name) {
    return QDir(parent).filePath(name);
}

// A name beside `base` that nothing uses yet, also no entry of this set.
QString freeName(const QString& parent, const QString& base, const QString& tag,
                 const QList<DirectorySwap::Entry>& taken) {
    for (int n = 0;; ++n) {
        const QString name = base + u'.' + tag + (n ? QString::number(n) : QString());
        const bool used = std::any_of(taken.cbegin(), taken.cend(), [&](const auto& e) {
            return e.staged == name || e.retired == name;
        });
        if (!used && !QFileInfo(inParent(parent, name)).exists() &&
            !QFileInfo(inParent(parent, name)).isSymLink())
            return name;
    }
}

void syncPath(const QString& path, bool directory) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_CLOEXEC | (directory ? O_DIRECTORY : 0));
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

void removeOthersAccess(const QString& path) {
    struct stat info;
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &info) == 0 && !S_ISLNK(info.st_mode) && (info.st_mode & S_IRWXO))
        ::chmod(name.constData(), info.st_mode & ~S_IRWXO & 07777);
}

bool exists(const QString& path) {
    return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
}

bool renamePath(const QString& from, const QString& to) {
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

struct Journal {
    bool committed = false;
    QList<DirectorySwap::Entry> entries;
};

std::optional<Journal> readJournal(const QString& parent) {
    QStringList lines;
    if (!ReadTextDataFile(inParent(parent, kJournal), lines) || lines.isEmpty())
        return std::nullopt;
    Journal journal;
    if (lines.first() == kCommitted)
        journal.committed = true;
    else if (lines.first() != kPrepared)
        return std::nullopt;
    for (const QString& line : lines.mid(1)) {
        const QStringList parts = line.split(u'|');
        if (parts.size() != 3 || parts.contains(QString()))
            return std::nullopt;
        journal.entries.append({parts.at(0), parts.at(1), parts.at(2)});
    }
    return journal;
}

// Swaps each committed entry that is not yet swapped; safe to run again
// after it was interrupted at any point.
bool applyJournal(const QString& parent, const QList<DirectorySwap::Entry>& entries) {
    bool ok = true;
    for (const DirectorySwap::Entry& e : entries) {
        const QString target = inParent(parent, e.target);
        const QString staged = inParent(parent, e.staged);
        const QString retired = inParent(parent, e.retired);
        if (!exists(staged))
            continue; // swapped already
        if (exists(target)) {
            // A target beside its retired copy came from elsewhere: it is
            // not ours to move or delete.
            if (exists(retired) || !renamePath(target, retired)) {
                ok = false;
                continue;
            }
        }
        if (!renamePath(staged, target))
            ok = false;
    }
    syncPath(parent, true);
    return ok;
}

void removeRetired(const QString& parent, const QList<DirectorySwap::Entry>& entries) {
    for (const DirectorySwap::Entry& e : entries)
        if (exists(inParent(parent, e.retired)))
            DeleteDirectoryTree(inParent(parent, e.retired));
}

QString swapFailureText(const QString& parent) {
    return (u"Der Austausch der Verzeichnisse in\r"_s + parent +
            u"\rkonnte nicht abgeschlossen werden (Fehlercode "_s + QString::number(errno) +
            u").\rDie Liste der Verzeichnisse steht in \""_s + kJournal + u"\"."_s);
}

} // namespace

DirectorySwap::DirectorySwap(QString parentDir) : m_parent(std::move(parentDir)) {}

DirectorySwap::~DirectorySwap() {
    if (!m_done)
        discard();
}

bool DirectorySwap::begin() {
    m_lock = std::make_unique<table::FileLock>(inParent(m_parent, kLock));
    if (m_lock->tryLockExclusive())
        return true;
    ShowError(u"Die Verzeichnisse in\r"_s + m_parent +
              u"\rwerden gerade von einem anderen Arbeitsplatz ausgetauscht.\r"
              u"Bitte versuchen Sie es später noch einmal."_s);
    m_lock.reset();
    return false;
}

bool DirectorySwap::writeJournal(bool committed) {
    QStringList lines{committed ? kCommitted : kPrepared};
    for (const Entry& e : m_entries)
        lines.append(e.target + u'|' + e.staged + u'|' + e.retired);
    return WriteTextDataFile(inParent(m_parent, kJournal), lines);
}

QString DirectorySwap::stage(const QString& target, const QStringList& sources) {
    return stage(target, [&sources](const QString& staged) {
        for (const QString& source : sources)
            if (QFileInfo(source).isDir() && !CopyDirectoryTree(source, staged))
                return false;
        return true;
    });
}

QString DirectorySwap::stage(const QString& target,
                             const std::function<bool(const QString& staged)>& fill) {
    const QString name = QFileInfo(QDir::cleanPath(target)).fileName();
    if (!m_lock || m_done ||
        ResolvedPath(QFileInfo(QDir::cleanPath(target)).path()) != ResolvedPath(m_parent)) {
        ShowError(u"Verzeichnis "_s + target + u"\rkann nicht ausgetauscht werden"_s);
        return {};
    }
    Entry entry{name, freeName(m_parent, name, u"neu"_s, m_entries),
                freeName(m_parent, name, u"alt"_s, m_entries)};
    m_entries.append(entry);
    // The journal names the staged directory before it exists, so that a
    // crash while it is filled leaves nothing unknown behind.
    const QString staged = inParent(m_parent, entry.staged);
    bool ok = writeJournal(false) && EnsureDirectory(staged);
    const QString current = inParent(m_parent, name);
    if (ok && QFileInfo(current).isDir())
        ok = CopyDirectoryTree(current, staged);
    if (ok)
        ok = fill(staged);
    if (ok)
        return staged;
    DeleteDirectoryTree(staged);
    m_entries.removeLast();
    writeJournal(false);
    return {};
}

bool DirectorySwap::commit() {
    if (!m_lock || m_done)
        return false;
    for (const Entry& e : m_entries)
        SecureAndSyncTree(inParent(m_parent, e.staged));
    syncPath(m_parent, true);
    if (!writeJournal(true)) {
        ShowError(u"Die Datei "_s + inParent(m_parent, kJournal) +
                  u"\rkann nicht geschrieben werden"_s);
        return false;
    }
    m_done = true;
    if (!applyJournal(m_parent, m_entries)) {
        // The journal stays: the next start finishes what is left.
        ShowError(swapFailureText(m_parent));
        return false;
    }
    removeRetired(m_parent, m_entries);
    DeleteFileForced(inParent(m_parent, kJournal));
    syncPath(m_parent, true);
    return true;
}

void DirectorySwap::discard() {
    if (m_lock && !m_done) {
        for (const Entry& e : m_entries)
            DeleteDirectoryTree(inParent(m_parent, e.staged));
        if (QFileInfo::exists(inParent(m_parent, kJournal)))
            DeleteFileForced(inParent(m_parent, kJournal));
    }
    m_entries.clear();
    m_done = true;
}

QString RecoverDirectorySwap(const QString& parentDir) {
    if (!QFileInfo::exists(inParent(parentDir, kJournal)))
        return {};
    table::FileLock lock(inParent(parentDir, kLock));
    if (!lock.tryLockExclusive())
        return {}; // another workstation is in the middle of its swap
    const std::optional<Journal> journal = readJournal(parentDir);
    if (!journal)
        return swapFailureText(parentDir);
    if (!journal->committed) {
        for (const DirectorySwap::Entry& e : journal->entries)
            if (exists(inParent(parentDir, e.staged)))
                DeleteDirectoryTree(inParent(parentDir, e.staged));
    } else if (!applyJournal(parentDir, journal->entries)) {
        return swapFailureText(parentDir);
    } else {
        removeRetired(parentDir, journal->entries);
    }
    DeleteFileForced(inParent(parentDir, kJournal));
    syncPath(parentDir, true);
    return {};
}

void SecureAndSyncTree(const QString& dir) {
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isSymLink())
            continue;
        removeOthersAccess(path);
        syncPath(path, info.isDir());
    }
    removeOthersAccess(dir);
    syncPath(dir, true);
}
