#include "datasafety/archivewriter.h"

#include "core/messages/messages.h"
#include "datasafety/archiveformat.h"
#include "datasafety/archivestreams.h"
#include "datasafety/backupobserver.h"
#include "datasafety/databasesnapshot.h"
#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryFile>
#include <limits>
#include <memory>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kLimit = std::numeric_limits<qint32>::max();

struct SourceFile {
    QString path;
    TheaderRec record;
};

QString tooLargeText() {
    return u"größer als 2.147.483.647 Bytes"_s;
}

// The user's comment as record 0 can hold it: control characters become
// blanks, characters Windows-1252 lacks become "?".
QString storableComment(const QString& comment) {
    QString text;
    text.reserve(comment.size());
    for (const QChar c : comment) {
        if (c.category() == QChar::Other_Control)
            text += u' ';
        else if (IsStorableFileName(QString(c)))
            text += c;
        else if (!c.isLowSurrogate())
            text += u'?';
    }
    return text;
}

// The files to store, in enumeration order; empty message when all can be stored.
QString collectSources(const QString& mask, const QString& sourceDir,
                       const DatabaseSnapshot& snapshot, QList<SourceFile>& sources) {
    // "*.*" means every file, also those without an extension.
    const QString pattern = mask == u"*.*" ? u"*"_s : mask;
    const QFileInfoList entries = QDir(sourceDir).entryInfoList(
        {pattern}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    qint64 total = 0;
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name.startsWith(u'.') || name.endsWith(u".LCK") ||
            DatabaseSnapshot::isJournalFile(name))
            continue;
        if (name.size() > ArchiveNameLimit)
            return u"Der Dateiname "_s + name +
                   u" ist länger als 66 Zeichen und kann nicht gesichert werden!"_s;
        if (!IsStorableFileName(name))
            return u"Der Dateiname "_s + name +
                   u" enthält Zeichen, die eine Sicherungsdatei nicht speichern kann!"_s;
        SourceFile source;
        source.path = entry.absoluteFilePath();
        qint64 size = entry.size();
        QDateTime written = entry.lastModified();
        if (snapshot.taken() && name == DatabaseSnapshot::databaseFileName()) {
            source.path = snapshot.file();
            size = QFileInfo(source.path).size();
            written = snapshot.lastWrite();
        }
        if (size > kLimit)
            return u"Die Datei "_s + source.path + u" ist "_s + tooLargeText() +
                   u" und kann nicht gesichert werden!"_s;
        total += size;
        if (total > kLimit)
            return u"Die Dateien im Verzeichnis "_s + sourceDir + u" sind zusammen "_s +
                   tooLargeText() + u" und passen nicht in eine Sicherungsdatei!"_s;
        source.record.fileName = name;
        source.record.fileSize = qint32(size);
        source.record.fileDate = ToDosDateTime(written);
        sources.append(source);
    }
    return {};
}

bool syncToDisk(QFile& file) {
    return file.flush() && ::fsync(file.handle()) == 0;
}

} // namespace

BackupTotals& BackupTotals::operator+=(const BackupTotals& other) {
    files += other.files;
    bytes += other.bytes;
    packed += other.packed;
    return *this;
}

bool WriteBackupArchive(const QString& mask, const QString& sourceDir, const QString& archiveName,
                        const QString& comment, const QString& targetDir, int dbVersion,
                        BackupObserver& observer, BackupTotals* totals) {
    if (totals)
        *totals = {};
    const QString archivePath = QDir(targetDir).filePath(archiveName);
    if (dbVersion < 0 || dbVersion > 255) {
        ShowError(u"Die Datenbankversion "_s + QString::number(dbVersion) +
                  u" kann in einer Sicherungsdatei nicht angegeben werden!"_s);
        return false;
    }
    // What a killed backup left here goes first; this one is then held
    // against the same clean-up by another workstation.
    RemoveLeftoverBackupWork(targetDir);
    const BackupWorkHold hold(targetDir);
    std::unique_ptr<DatabaseSnapshot> snapshot;
    QList<SourceFile> sources;
    try {
        snapshot = std::make_unique<DatabaseSnapshot>(sourceDir, targetDir);
    } catch (const DbError& e) {
        ShowError(e.message());
        return false;
    }
    if (const QString refusal = collectSources(mask, sourceDir, *snapshot, sources);
        !refusal.isEmpty()) {
        ShowError(refusal + u"\rDie Datensicherung wird abgebrochen!"_s);
        return false;
    }

    TheaderArray header(sources.size() + 1);
    TheaderRec& info = header[0];
    info.fileName = MakeArchiveInfo(dbVersion, storableComment(comment)).left(ArchiveNameLimit);
    info.fileDate = qint32(sources.size());
    info.dbVersion = quint8(dbVersion);
    qint64 total = 0;
    for (qsizetype i = 0; i < sources.size(); ++i) {
        header[i + 1] = sources.at(i).record;
        total += sources.at(i).record.fileSize;
    }

    observer.setView(BackupView::Writing);
    observer.startProgress(0, total);
    observer.reserveRows(int(sources.size()) + 3);

    QTemporaryFile out(QDir(targetDir).filePath(u"."_s + archiveName + u".XXXXXX"_s));
    const auto fail = [&](const QString& message) {
        ShowError(message);
        out.remove();
        return false;
    };
    if (!out.open())
        return fail(u"Datei "_s + archivePath + u" kann nicht erzeugt werden!"_s);
    const QString writeError = u"In Datei "_s + archivePath + u" kann nicht geschrieben werden!"_s;
    if (!WriteArchiveHeader(out, header))
        return fail(u"Schreibfehler in Datei "_s + archivePath + u"\r"_s + writeError +
                    u" [Header]"_s);

    for (qsizetype i = 0; i < sources.size(); ++i) {
        TheaderRec& record = header[i + 1];
        const QString& path = sources.at(i).path;
        const int row = observer.addRow({record.fileName, ByteColumn(record.fileSize), {}, {}});
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return fail(CannotOpenMessage(path));
        qint64 packed = 0;
        const qint64 before = info.fileSize;
        const StreamResult result =
            DeflateStream(in, record.fileSize, out, packed,
                          [&](qint64 done) { observer.stepProgress(before + done); });
        if (result == StreamResult::ReadFailed)
            return fail(CannotReadMessage(path));
        if (result == StreamResult::WriteFailed) {
            observer.setCell(row, 3, u"FEHLER"_s);
            return fail(writeError + u" [Data]"_s);
        }
        if (result != StreamResult::Done)
            return fail(u"Bei der Kompression der Daten ist ein Fehler aufgetreten!"_s);
        if (qint64(info.packedSize) + packed > kLimit)
            return fail(u"Die Sicherungsdatei "_s + archivePath + u" würde "_s + tooLargeText() +
                        u"!"_s);
        record.packedSize = qint32(packed);
        info.fileSize += record.fileSize;
        info.packedSize += qint32(packed);
        observer.stepProgress(info.fileSize);
        observer.setCell(row, 2, ByteColumn(packed));
        observer.setCell(row, 3, u"OK"_s);
    }

    if (!out.seek(0))
        return fail(u"Fehler bei Repositionierung in Ausgabedatei!"_s);
    if (!WriteArchiveHeader(out, header) || !syncToDisk(out))
        return fail(u"Schreibfehler in Datei "_s + archivePath + u"\r"_s + writeError +
                    u" [LeadIn]"_s);
    // Another workstation may have written an archive of this name meanwhile.
    if (QFileInfo::exists(archivePath))
        return fail(u"Die Sicherungsdatei "_s + archivePath +
                    u" ist bereits vorhanden und wird nicht überschrieben!"_s);
    // The working file is private to its creator; an archive is not.
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                       QFileDevice::ReadOther);
    if (!out.rename(archivePath))
        return fail(u"Datei "_s + archivePath + u" kann nicht erzeugt werden!"_s);
    out.setAutoRemove(false);
    if (totals)
        *totals = {int(sources.size()), info.fileSize, info.packedSize};
    return true;
}

QStringList BackupSummaryRow(const BackupTotals& totals) {
    return {u"Es wurden %1 Dateien gesichert,"_s.arg(totals.files),
            ByteColumn(totals.bytes),
            ByteColumn(totals.packed),
            {}};
}
