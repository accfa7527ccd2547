#include "core/files/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace {
bool isSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

QString nearestExistingLevel(const QString& path) {
    QString level = QDir::cleanPath(QDir(QDir::currentPath()).absoluteFilePath(path));
    while (!QFileInfo::exists(level)) {
        const QString parent = QFileInfo(level).path();
        if (parent == level)
            return {};
        level = parent;
    }
    return level;
}
} // namespace

QString AddBackslash(const QString& path) {
    if (path.isEmpty())
        return QStringLiteral("/");
    if (isSeparator(path.back()))
        return path;
    const bool storedWithBackslash = path.contains(u'\\') && !path.contains(u'/');
    return path + (storedWithBackslash ? u'\\' : u'/');
}

QString RemoveBackslash(const QString& path) {
    if (!path.isEmpty() && isSeparator(path.back()))
        return path.chopped(1);
    return path;
}

QString LocalPath(const QString& path) {
    QString local = path;
    local.replace(u'\\', u'/');
    return local;
}

bool HasDriveLetter(const QString& path) {
    return path.size() >= 2 && path.at(1) == u':' && path.at(0).isLetter() &&
           path.at(0).unicode() < 128;
}

bool DirExists(const QString& path) {
    if (path.isEmpty() || HasDriveLetter(path))
        return false;
    return QFileInfo(LocalPath(path)).isDir();
}

bool MakePath(const QString& path) {
    if (HasDriveLetter(path))
        return false;
    const QString full = LocalPath(AddBackslash(path));
    QDir root;
    for (qsizetype i = 0; i < full.size(); ++i) {
        if (full.at(i) != u'/')
            continue;
        const QString level = full.left(i + 1);
        if (level == QStringLiteral("/") || QFileInfo(level).isDir())
            continue;
        if (!root.mkdir(level))
            return false;
    }
    return true;
}

QString ShortenPath(const QString& path, int maxLen) {
    if (path.size() <= maxLen)
        return path;
    qsizetype lastSeparator = path.size() - 1;
    while (lastSeparator >= 0 && !isSeparator(path.at(lastSeparator)))
        --lastSeparator;
    const QChar separator = lastSeparator >= 0 ? path.at(lastSeparator) : QChar(u'/');
    const QString fileName = path.mid(lastSeparator + 1);
    const QString marker = QStringLiteral("..") + separator;
    const qsizetype room = maxLen - fileName.size() - 3;
    if (room <= 2)
        return marker + fileName;
    QString directory = path.left(lastSeparator + 1).left(room);
    while (directory.size() >= 4 && !isSeparator(directory.back()))
        directory.chop(1);
    return directory + marker + fileName;
}

DriveKind DriveKindOfFileSystem(const QString& fileSystemType, const QString& mountPoint) {
    const QString type = fileSystemType.toLower();
    if (type.isEmpty())
        return DriveKind::Unknown;
    if (type == u"tmpfs" || type == u"ramfs")
        return DriveKind::RamDisk;
    if (type == u"iso9660" || type == u"udf")
        return DriveKind::CdRom;
    static const QStringList kRemote = {
        QStringLiteral("nfs"),  QStringLiteral("nfs4"),       QStringLiteral("cifs"),
        QStringLiteral("smb3"), QStringLiteral("smbfs"),      QStringLiteral("sshfs"),
        QStringLiteral("9p"),   QStringLiteral("fuse.sshfs"), QStringLiteral("davfs"),
        QStringLiteral("afs"),  QStringLiteral("ncpfs")};
    if (kRemote.contains(type))
        return DriveKind::Remote;
    if (mountPoint.startsWith(QStringLiteral("/media/")) ||
        mountPoint.startsWith(QStringLiteral("/run/media/")))
        return DriveKind::Removable;
    return DriveKind::Fixed;
}

DriveKind GetDriveKind(const QString& path) {
    if (HasDriveLetter(path))
        return DriveKind::NoRootDir;
    const QString level = nearestExistingLevel(LocalPath(path));
    if (level.isEmpty())
        return DriveKind::NoRootDir;
    const QStorageInfo storage(level);
    if (!storage.isValid() || !storage.isReady())
        return DriveKind::NoRootDir;
    return DriveKindOfFileSystem(QString::fromLatin1(storage.fileSystemType()), storage.rootPath());
}

bool DriveExists(const QString& path) {
    const DriveKind kind = GetDriveKind(path);
    return kind != DriveKind::Unknown && kind != DriveKind::NoRootDir;
}
