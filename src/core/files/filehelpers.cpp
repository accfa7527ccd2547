#include "core/files/filehelpers.h"

#include "core/files/directoryswap.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "platform/table/database.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kCopyChunk = 32768;

bool isSameOrBelow(const QString& inner, const QString& outer);

// The databases the table layer holds open in this process: a directory is
// in use when one of them lies in it or below it.
class TableLayerCheck : public OpenDatabaseCheck {
public:
    bool holdsOpenDatabase(const QString& dir) const override {
        const QString resolved = ResolvedPath(dir);
        if (resolved.isEmpty())
            return false;
        const QStringList open = table::Database::openDirectories();
        return std::any_of(open.cbegin(), open.cend(), [&resolved](const QString& openDir) {
            return isSameOrBelow(openDir, resolved);
        });
    }
};
TableLayerCheck g_tableLayerCheck;

OpenDatabaseCheck* g_openDatabaseCheck = &g_tableLayerCheck;
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

// True when the resolved path `inner` is `outer` itself or lies below it.
bool isSameOrBelow(const QString& inner, const QString& outer) {
    return inner == outer || inner.startsWith(withTrailingSlash(outer));
}

// A tree delete of such a (resolved) path would reach beyond one directory
// of the program: the file-system root, short paths, the home directory, the
// temporary directory, the program directory and anything that contains them.
bool isDangerousToDelete(const QString& resolved) {
    if (resolved.size() <= 3 || resolved.count(u'/') < 2)
        return true;
    QStringList guarded{ResolvedPath(QDir::homePath()), ResolvedPath(QDir::tempPath())};
    if (!ProgramDir.isEmpty())
        guarded.append(ResolvedPath(ProgramDir));
    for (const QString& dir : guarded)
        if (isSameOrBelow(dir, resolved))
            return true;
    return false;
}

// Whether `path`, as given, names a symbolic link itself (not a path
// through one).
bool namesLinkItself(const QString& path) {
    const QString name = path.section(u'/', -1);
    return name != u"." && name != u".." && QFileInfo(path).isSymLink();
}

// Says so when source or dest holds an open database: such a directory is
// neither copied nor replaced.
bool refusedForOpenDatabase(const QString& source, const QString& dest) {
    if (!holdsOpenDatabase(source) && !holdsOpenDatabase(dest))
        return false;
    ShowError(u"Das Verzeichnis\r"_s + source +
              u"\rwird von einer geöffneten Datenbank benutzt und kann nicht kopiert werden."_s);
    return true;
}

bool copyTree(const QString& source, const QString& dest) {
    if (refusedForOpenDatabase(source, dest))
        return false;
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

void reportReplaceFailure(const QString& from, const QString& to) {
    ShowError(u"Verzeichnis kann nicht kopiert werden:\r"_s + from + u" -> "_s + to + u"\r"_s +
              u"Fehlercode :"_s + QString::number(g_lastErrorCode) + u"\r"_s +
              u"Programm wird beendet!"_s);
}

// A work copy that is the directory itself or lies inside it (or the other
// way round), however spelled, cannot replace it.
bool replaceable(const QString& target, const QString& work) {
    const QString realTarget = ResolvedPath(target);
    const QString realWork = ResolvedPath(work);
    if (isSameOrBelow(realWork, realTarget) || isSameOrBelow(realTarget, realWork)) {
        reportReplaceFailure(work, target);
        return false;
    }
    return !refusedForOpenDatabase(target, work);
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

DataFileWrite WriteDataFile(const QString& name, const QByteArray& bytes, FileAccess access) {
    if (QFileInfo::exists(name) && !ConfirmClearReadOnly(name))
        return DataFileWrite::NotOpened;
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return DataFileWrite::NotOpened;
    // Set on the new file before it replaces the old one, so that the
    // content is never readable by others, also not when the old file was.
    constexpr QFileDevice::Permissions others =
        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    if (access == FileAccess::NoOthers && !file.setPermissions(file.permissions() & ~others)) {
        file.cancelWriting();
        return DataFileWrite::NotOpened;
    }
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
    // Opening the target would empty a source that is the same file.
    if (ResolvedPath(source) == ResolvedPath(dest)) {
        g_lastErrorCode = EINVAL;
        return false;
    }
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
    const QString realFrom = from.isEmpty() ? QString() : ResolvedPath(from);
    const QString realTo = to.isEmpty() ? QString() : ResolvedPath(to);
    if (realFrom.isEmpty() || realTo.isEmpty() || realFrom == u"/" || realTo == u"/") {
        ShowError(u"Verzeichnis "_s + from + u" -> "_s + to + u"\rkann nicht kopiert werden"_s);
        return false;
    }
    // Compared after resolving links, so that no spelling of the target
    // lets the copy run into its own source.
    if (isSameOrBelow(realTo, realFrom)) {
        ShowError(u"Verzeichnis "_s + from + u"\rkann nicht in sich selbst kopiert werden"_s);
        return false;
    }
    if (refusedForOpenDatabase(from, to))
        return false;
    if (!EnsureDirectory(to)) {
        g_lastErrorCode = errno;
        ShowError(u"Verzeichnis "_s + to + u"\rkann nicht erstellt werden"_s);
        return false;
    }
    return copyTree(from, to);
}

bool DeleteDirectoryTree(const QString& dir) {
    const QString path = withoutTrailingSlash(dir);
    if (path.isEmpty() || QFileInfo(path).isRelative())
        return false;
    // A link named as such goes alone; its target is never touched. With a
    // trailing separator the path names the directory the link leads to.
    if (path == dir && namesLinkItself(path))
        return QFile::remove(path);
    // Every check on the path with its links resolved, before anything is
    // deleted, and the deletion works on that path.
    const QString real = ResolvedPath(path);
    if (isDangerousToDelete(real) || !QFileInfo(real).isDir())
        return false;
    deleteTreeContent(real);
    return QDir().rmdir(real);
}

int CopyMatchingFiles(const QString& sourceDir, const QString& destDir, const QString& mask) {
    const QString to = withTrailingSlash(destDir);
    if (ResolvedPath(sourceDir) == ResolvedPath(destDir)) {
        ShowError(u"Verzeichnis "_s + sourceDir + u"\rkann nicht in sich selbst kopiert werden"_s);
        return 0;
    }
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

QString StageDirectoryReplacement(DirectorySwap& swap, const QString& dir, const QString& workCopy,
                                  int oldVersion) {
    const QString target = withoutTrailingSlash(dir);
    const QString work = withoutTrailingSlash(workCopy);
    const QString saved = target + u'.' + QStringLiteral("%1").arg(oldVersion, 3, 10, QChar(u'0'));
    if (!replaceable(target, work))
        return {};
    if (swap.stage(saved, {target}).isEmpty()) {
        reportReplaceFailure(target, saved);
        return {};
    }
    const QString staged = swap.stage(target, {work});
    if (staged.isEmpty())
        reportReplaceFailure(work, target);
    return staged;
}

bool ReplaceDirectory(const QString& dir, const QString& workCopy, int oldVersion) {
    if (!replaceable(withoutTrailingSlash(dir), withoutTrailingSlash(workCopy)))
        return false;
    DirectorySwap swap(QFileInfo(withoutTrailingSlash(dir)).path());
    if (!swap.begin() || StageDirectoryReplacement(swap, dir, workCopy, oldVersion).isEmpty() ||
        !swap.commit())
        return false;
    DeleteDirectoryTree(workCopy);
    return true;
}

int LastFileErrorCode() {
    return g_lastErrorCode;
}

QString ResolvedPath(const QString& path) {
    if (path.isEmpty())
        return {};
    // Not QFileInfo::absoluteFilePath: it folds "link/.." by spelling.
    const QString absolute = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + u'/' + path;
    QString current = u"/"_s;
    bool existing = true;
    for (const QString& part : absolute.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u".")
            continue;
        if (part == u"..") {
            // The parent of a resolved directory, not of the spelling.
            current = current == u"/" ? current : QFileInfo(current).path();
            continue;
        }
        const QString next =
            current == u"/" ? QString(u"/"_s + part) : QString(current + u'/' + part);
        if (existing && (QFileInfo::exists(next) || QFileInfo(next).isSymLink())) {
            const QString real = QFileInfo(next).canonicalFilePath();
            current = real.isEmpty() ? next : real; // a dangling link stays as spelled
        } else {
            existing = false;
            current = next;
        }
    }
    return current;
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
