#pragma once

#include "core/framefixture.h"
#include "datasafety/archivenames.h"
#include "datasafety/archivewriter.h"
#include "recordingobserver.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <gtest/gtest.h>

namespace backuptest {

// A temporary program directory with helpers for source directories and archives.
class ArchiveTest : public frametest::ProgramDirFixture {
protected:
    // A directory below the test root, created when missing.
    QString dir(const QString& name) const {
        const QString path = root(name);
        QDir().mkpath(path);
        return path;
    }
    static void writeFile(const QString& dir, const QString& name, const QByteArray& bytes,
                          const QDateTime& written = {}) {
        const QString path = QDir(dir).filePath(name);
        writeBytes(path, bytes);
        if (written.isValid()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(written, QFileDevice::FileModificationTime));
        }
    }
    // The plain files of a directory with their contents.
    static QMap<QString, QByteArray> filesOf(const QString& dir) {
        QMap<QString, QByteArray> files;
        for (const QString& name :
             QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name))
            files.insert(name, readBytes(QDir(dir).filePath(name)));
        return files;
    }
    static QDateTime writtenAt(const QString& path) { return QFileInfo(path).lastModified(); }

    // Writes an archive of `source` into `target` under the day's next name.
    QString backup(const QString& source, const QString& target,
                   const QString& ext = QStringLiteral("CCL"),
                   const QString& comment = QStringLiteral("Test")) {
        QString name;
        QString companion;
        if (!NextArchiveName(target, QStringLiteral("FB"), ext, {}, name, companion))
            return {};
        RecordingObserver observer;
        if (!WriteBackupArchive(QStringLiteral("*.*"), source, name, comment, target, 240,
                                observer))
            return {};
        return QDir(target).filePath(name);
    }

    QStringList errors() const { return presenter.texts(MessagePresenter::Kind::Error); }
};

// Mixed content: text, binary, empty, incompressible and a large file.
inline QMap<QString, QByteArray> MixedFiles() {
    QByteArray noise;
    quint32 state = 12345;
    for (int i = 0; i < 300000; ++i) {
        state = state * 1103515245u + 12345u;
        noise.append(char(state >> 24));
    }
    QByteArray large;
    for (int i = 0; i < 40000; ++i)
        large += "Zeile " + QByteArray::number(i) + " des Objekts Musterstraße\r\n";
    return {{QStringLiteral("Kunden.DB"), QByteArray("Kunden\0\1\2", 9)},
            {QStringLiteral("LEER.TXT"), QByteArray()},
            {QStringLiteral("Rauschen.bin"), noise},
            {QStringLiteral("Großdatei.txt"), large},
            {QStringLiteral("ohne_endung"), "x"}};
}

} // namespace backuptest
