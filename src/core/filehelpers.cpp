#include "core/filehelpers.h"

#include "core/messages.h"
#include "core/programdirs.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kCopyChunk = 32768;

OpenDatabaseCheck* g_openDatabaseCheck = nullptr;
FileCopyFault g_copyFault;
// The code of the last failed file operation, shown in the messages.
int g_lastErrorCode = 0;

void processPendingMessages() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && (path.endsWith(u'/') || path.endsWith(u'\\')))
        path.chop(1);
    return path;
}

QString withTrailingSlash(const QString& path) {
    if (path.isEmpty() || path.endsWith(u'/') || path.endsWith(u'\\'))
        return path;
    return path + u'/';
}

bool isWriteProtected(const QFileInfo& info) {
    return info.exists() && !(info.permissions() & QFileDevice::WriteOwner);
}

bool clearWriteProtection(const QString& name) {
    QFile file(name);
    return file.setPermissions(file.permissions() | QFileDevice::WriteOwner |
                               QFileDevice::WriteUser);
}

bool holdsOpenDatabase(const QString& dir) {
    return g_openDatabaseCheck && g_openDatabaseCheck->holdsOpenDatabase(dir);
}

// True when `inner` is `outer` itself or lies below it.
bool isSameOrBelow(const QString& inner, const QString& outer) {
    const QString a = QDir::cleanPath(QFileInfo(inner).absoluteFilePath());
    const QString b = QDir::cleanPath(QFileInfo(outer).absoluteFilePath());
    return a == b || a.startsWith(withTrailingSlash(b));
}

// A tree delete of such a path would reach beyond one directory of the
// program: the file-system root, short paths, the home directory, the
// program directory and anything that contains it.
bool isDangerousToDelete(const QString& dir) {
    if (dir.size() <= 3)
        return true;
    const QFileInfo info(dir);
    if (info.isRelative())
        return true;
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    if (clean == u"/" || clean.count(u'/') < 2)
        return true;
    if (isSameOrBelow(QDir::homePath(), clean))
        return true;
    if (!ProgramDir.isEmpty() && isSameOrBelow(ProgramDir, clean))
        return true;
    return false;
}

bool copyTree(const QString& source, const QString& dest) {
    if (holdsOpenDatabase(source) || holdsOpenDatabase(dest)) {
        ShowError(
            u"Das Verzeichnis\r"_s + source +
            u"\rwird von einer geöffneten Datenbank benutzt und kann nicht kopiert werden."_s);
        return false;
    }
    const QDir dir(source);
    if (!dir.exists()) {
        g_lastErrorCode = ENOENT;
        ShowError(u"Verzeichnis "_s + source + u"\rist nicht vorhanden"_s);
        return false;
    }
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString target = dest + u'/' + entry.fileName();
        if (entry.isDir() && !entry.isSymLink()) {
            if (entry.fileName().startsWith(u'.'))
                continue;
            if (!EnsureDirectory(target)) {
                g_lastErrorCode = errno;
                ShowError(u"Verzeichnis "_s + target + u"\rkann nicht erstellt werden"_s);
                return false;
            }
            if (!copyTree(entry.absoluteFilePath(), target))
                return false;
        } else if (entry.isSymLink()) {
            QFile::remove(target);
            if (!QFile::link(entry.symLinkTarget(), target)) {
                g_lastErrorCode = errno;
                ShowError(u"Datei "_s + target + u"\rkann nicht kopiert werden"_s);
                return false;
            }
        } else if (!CopyFileKeepDate(entry.absoluteFilePath(), target)) {
            ShowError(u"Datei "_s + target + u"\rkann nicht kopiert werden"_s);
            return false;
        }
        processPendingMessages();
    }
    return true;
}

bool deleteTreeContent(const QString& dir) {
    const QFileInfoList entries = QDir(dir).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                          QDir::System | QDir::NoDotAndDotDot);
    bool allGone = true;
    for (const QFileInfo& entry : entries) {
        if (entry.isDir() && !entry.isSymLink()) {
            deleteTreeContent(entry.absoluteFilePath());
            if (!QDir().rmdir(entry.absoluteFilePath()))
                allGone = false;
        } else if (!DeleteFileForced(entry.absoluteFilePath())) {
            ShowError(u"Datei "_s + entry.absoluteFilePath() +
                      u"\rkann nicht gelöscht werden!\r"_s + u"Fehlercode "_s +
                      QString::number(g_lastErrorCode));
            allGone = false;
        }
        processPendingMessages();
    }
    return allGone;
}

// A free name beside `base` for a working copy of a directory.
QString freeSiblingName(const QString& base, const QString& tag) {
    for (int n = 0;; ++n) {
        const QString name = base + u'.' + tag + (n ? QString::number(n) : QString());
        if (!QFileInfo::exists(name))
            return name;
    }
}

void reportReplaceFailure(const QString& from, const QString& to) {
    ShowError(u"Verzeichnis kann nicht kopiert werden:\r"_s + from + u" -> "_s + to + u"\r"_s +
              u"Fehlercode :"_s + QString::number(g_lastErrorCode) + u"\r"_s +
              u"Programm wird beendet!"_s);
}

// Removes a working directory of our own without asking anyone.
void discardTree(const QString& dir) {
    QDir(dir).removeRecursively();
}

// Copies source over target (files of target that source lacks stay). The
// merged content is built beside target and swapped in by renaming, so that
// a failure at any point leaves target exactly as it was.
bool mergeBySwap(const QString& source, const QString& target) {
    const bool targetExists = QFileInfo::exists(target);
    const QString staging = freeSiblingName(target, u"neu"_s);
    if ((targetExists && !CopyDirectoryTree(target, staging)) ||
        !CopyDirectoryTree(source, staging)) {
        discardTree(staging);
        return false;
    }
    const QString retired = freeSiblingName(target, u"alt"_s);
    if (targetExists && !QDir().rename(target, retired)) {
        g_lastErrorCode = errno;
        discardTree(staging);
        return false;
    }
    if (!QDir().rename(staging, target)) {
        g_lastErrorCode = errno;
        if (targetExists)
            QDir().rename(retired, target);
        discardTree(staging);
        return false;
    }
    if (targetExists)
        discardTree(retired);
    return true;
}

} // namespace

bool ReadTextDataFile(const QString& name, QStringList& lines) {
    lines.clear();
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    QStringDecoder decoder("windows-1252");
    QString text = decoder.decode(bytes);
    text.replace(u"\r\n"_s, u"\n"_s);
    lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return true;
}

bool WriteTextDataFile(const QString& name, const QStringList& lines) {
    QStringEncoder encoder("windows-1252");
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += encoder.encode(line);
        bytes += "\r\n";
    }
    if (encoder.hasError())
        return false;
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

DataFileWrite WriteDataFile(const QString& name, const QByteArray& bytes) {
    if (QFileInfo::exists(name) && !ConfirmClearReadOnly(name))
        return DataFileWrite::NotOpened;
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return DataFileWrite::NotOpened;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return DataFileWrite::WriteFailed;
    }
    return file.commit() ? DataFileWrite::Written : DataFileWrite::WriteFailed;
}

bool ConfirmClearReadOnly(const QString& name) {
    const QFileInfo info(name);
    if (!isWriteProtected(info))
        return true;
    if (!AskYesNo(u"Datei "_s + name + u"\rist schreibgeschützt.\rSchreibschutz entfernen?"_s))
        return false;
    return clearWriteProtection(name);
}

bool DeleteFileForced(const QString& name) {
    const QFileInfo info(name);
    if (!info.exists() && !info.isSymLink()) {
        g_lastErrorCode = ENOENT;
        return false;
    }
    if (!info.isSymLink() && isWriteProtected(info))
        clearWriteProtection(name);
    QFile file(name);
    if (file.remove())
        return true;
    g_lastErrorCode = file.error();
    return false;
}

bool EnsureDirectory(const QString& dir) {
    if (dir.isEmpty())
        return false;
    return QDir().mkpath(dir);
}

bool CopyFileKeepDate(const QString& source, const QString& dest) {
    if (g_copyFault && g_copyFault(source, dest)) {
        g_lastErrorCode = EIO;
        return false;
    }
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        g_lastErrorCode = in.error();
        return false;
    }
    const QDateTime modified = in.fileTime(QFileDevice::FileModificationTime);
    const QFileInfo destInfo(dest);
    if (isWriteProtected(destInfo))
        clearWriteProtection(dest);
    if (!EnsureDirectory(destInfo.absolutePath())) {
        g_lastErrorCode = errno;
        return false;
    }
    QFile out(dest);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        g_lastErrorCode = out.error();
        return false;
    }
    QByteArray buffer(kCopyChunk, Qt::Uninitialized);
    qint64 remaining = in.size();
    while (remaining > 0) {
        const qint64 got = in.read(buffer.data(), qMin(remaining, kCopyChunk));
        if (got <= 0 || out.write(buffer.constData(), got) != got) {
            g_lastErrorCode = in.error() != QFileDevice::NoError ? in.error() : out.error();
            return false;
        }
        remaining -= got;
    }
    if (!out.flush()) {
        g_lastErrorCode = out.error();
        return false;
    }
    return out.setFileTime(modified, QFileDevice::FileModificationTime);
}

bool CopyDirectoryTree(const QString& source, const QString& dest) {
    const QString from = withoutTrailingSlash(source);
    const QString to = withoutTrailingSlash(dest);
    if (from.isEmpty() || to.isEmpty() ||
        QDir::cleanPath(QFileInfo(from).absoluteFilePath()) == u"/" ||
        QDir::cleanPath(QFileInfo(to).absoluteFilePath()) == u"/") {
        ShowError(u"Verzeichnis "_s + from + u" -> "_s + to + u"\rkann nicht kopiert werden"_s);
        return false;
    }
    if (isSameOrBelow(to, from)) {
        ShowError(u"Verzeichnis "_s + from + u"\rkann nicht in sich selbst kopiert werden"_s);
        return false;
    }
    if (!EnsureDirectory(to)) {
        g_lastErrorCode = errno;
        ShowError(u"Verzeichnis "_s + to + u"\rkann nicht erstellt werden"_s);
        return false;
    }
    return copyTree(from, to);
}

bool DeleteDirectoryTree(const QString& dir) {
    const QString path = withoutTrailingSlash(dir);
    if (isDangerousToDelete(path))
        return false;
    const QFileInfo info(path);
    if (info.isSymLink())
        return QFile::remove(path);
    if (!info.isDir())
        return false;
    deleteTreeContent(path);
    return QDir().rmdir(path);
}

int CopyMatchingFiles(const QString& sourceDir, const QString& destDir, const QString& mask) {
    const QString to = withTrailingSlash(destDir);
    if (!EnsureDirectory(to)) {
        ShowError(u"Verzeichnis "_s + to + u" kann nicht erstellt werden"_s);
        return 0;
    }
    const QFileInfoList files = QDir(sourceDir).entryInfoList(
        {mask}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    int copied = 0;
    for (const QFileInfo& file : files) {
        if (!CopyFileKeepDate(file.absoluteFilePath(), to + file.fileName())) {
            ShowError(u"Datei "_s + file.fileName() + u"\rkann nicht kopiert werden"_s);
            return 0;
        }
        ++copied;
    }
    return copied;
}

int CountMatchingFiles(const QString& dir, const QString& mask) {
    return int(QDir(withTrailingSlash(dir))
                   .entryList({mask}, QDir::Files | QDir::Hidden | QDir::System)
                   .size());
}

bool ReplaceDirectory(const QString& dir, const QString& workCopy, int oldVersion) {
    const QString target = withoutTrailingSlash(dir);
    const QString work = withoutTrailingSlash(workCopy);
    const QString saved = target + u'.' + QStringLiteral("%1").arg(oldVersion, 3, 10, QChar(u'0'));

    if (!mergeBySwap(target, saved)) {
        reportReplaceFailure(target, saved);
        return false;
    }
    if (!mergeBySwap(work, target)) {
        reportReplaceFailure(work, target);
        return false;
    }
    DeleteDirectoryTree(work);
    return true;
}

OpenDatabaseCheck* SetOpenDatabaseCheck(OpenDatabaseCheck* check) {
    OpenDatabaseCheck* previous = g_openDatabaseCheck;
    g_openDatabaseCheck = check;
    return previous;
}

bool HoldsOpenDatabase(const QString& dir) {
    return holdsOpenDatabase(dir);
}

FileCopyFault SetFileCopyFault(FileCopyFault fault) {
    FileCopyFault previous = std::move(g_copyFault);
    g_copyFault = std::move(fault);
    return previous;
}
