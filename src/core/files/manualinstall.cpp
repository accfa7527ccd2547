#include "core/files/manualinstall.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString StateFile = u"Handbuch/Installation.txt"_s;

struct InstalledState {
    QString version;
    QString stamp;
    QHash<QString, QByteArray> files; // relative path -> hash of what was written
};

QByteArray hashOf(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

std::optional<QByteArray> hashOfFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return std::nullopt;
    return hash.result().toHex();
}

InstalledState readState(const QString& path) {
    InstalledState state;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return state;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QStringList parts = line.split(u'\t');
        if (parts.size() == 2 && parts[0] == u"version")
            state.version = parts[1];
        else if (parts.size() == 2 && parts[0] == u"stamp")
            state.stamp = parts[1];
        else if (parts.size() == 3 && parts[0] == u"file")
            state.files.insert(parts[1], parts[2].toLatin1());
    }
    return state;
}

bool writeState(const QString& path, const InstalledState& state) {
    QString text = u"version\t%1\nstamp\t%2\n"_s.arg(state.version, state.stamp);
    QStringList names = state.files.keys();
    names.sort();
    for (const QString& name : std::as_const(names))
        text += u"file\t%1\t%2\n"_s.arg(name, QString::fromLatin1(state.files.value(name)));
    QSaveFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly) &&
           file.write(text.toUtf8()) >= 0 && file.commit();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

int CompareManualVersions(const QString& a, const QString& b) {
    const QStringList left = a.split(u'.');
    const QStringList right = b.split(u'.');
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const int l = i < left.size() ? left[i].toInt() : 0;
        const int r = i < right.size() ? right[i].toInt() : 0;
        if (l != r)
            return l < r ? -1 : 1;
    }
    return 0;
}

ManualInstallReport InstallManual(const QString& shippedDir, const QString& programDir,
                                  const QString& version) {
    ManualInstallReport report;
    QDir target(programDir);
    // The shipped files and a stamp over all of them.
    QHash<QString, QByteArray> shipped;
    QStringList names;
    for (const QString& folder : {u"Handbuch"_s, u"Help"_s}) {
        QDirIterator it(shippedDir + u'/' + folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString relative = QDir(shippedDir).relativeFilePath(path);
            shipped.insert(relative, file.readAll());
            names << relative;
        }
    }
    names.sort();
    QCryptographicHash stampHash(QCryptographicHash::Sha256);
    for (const QString& name : std::as_const(names)) {
        stampHash.addData(name.toUtf8());
        stampHash.addData(hashOf(shipped.value(name)));
    }
    const QString stamp = QString::fromLatin1(stampHash.result().toHex());

    const InstalledState old = readState(target.filePath(StateFile));
    if (!old.version.isEmpty()) {
        const int order = CompareManualVersions(version, old.version);
        // An older program started on a newer installation keeps the newer manual.
        if (order < 0 || (order == 0 && old.stamp == stamp)) {
            report.upToDate = true;
            return report;
        }
    }

    InstalledState now;
    now.version = version;
    for (const QString& name : std::as_const(names)) {
        const QString path = target.filePath(name);
        const QByteArray& bytes = shipped[name];
        if (QFileInfo::exists(path)) {
            const std::optional<QByteArray> onDisk = hashOfFile(path);
            const bool ours = onDisk && old.files.value(name) == *onDisk;
            if (!ours) {
                report.keptAsUsers << name;
                continue;
            }
            if (*onDisk == hashOf(bytes)) {
                now.files.insert(name, *onDisk);
                continue;
            }
        }
        if (writeFile(path, bytes)) {
            now.files.insert(name, hashOf(bytes));
            report.written << name;
        } else {
            report.failed << name;
        }
    }
    // Pages an earlier manual shipped: gone when unchanged, kept when edited.
    for (auto it = old.files.cbegin(); it != old.files.cend(); ++it) {
        if (shipped.contains(it.key()))
            continue;
        const QString path = target.filePath(it.key());
        if (hashOfFile(path) == it.value() && QFile::remove(path))
            report.removed << it.key();
    }
    // A failed file is tried again at the next start.
    now.stamp = report.failed.isEmpty() ? stamp : QString();
    if (!writeState(target.filePath(StateFile), now))
        report.failed << StateFile;
    return report;
}
