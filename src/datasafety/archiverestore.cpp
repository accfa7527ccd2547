#include "datasafety/archiverestore.h"

#include "core/files/filehelpers.h"
#include "core/messages/messages.h"
#include "datasafety/archivestreams.h"
#include "datasafety/backupobserver.h"
#include "datasafety/databasesnapshot.h"
#include "datasafety/restoreswap.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/filelock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

QString notThisProgramsDatabase(const QString& archivePath) {
    return u"Die Sicherungsdatei "_s + archivePath +
           u" enthält keine Datenbank dieses Programms.\rDie bisherigen Daten bleiben unverändert."_s;
}

// Whether the staged files hold a database of this program with the table.
// Opening it may leave journal files the archive did not hold: they go.
bool holdsProgramDatabase(const QString& staging, const QString& table,
                          const TheaderArray& header) {
    const QString file = table::Database::fileIn(staging);
    if (!QFileInfo::exists(file))
        return false;
    bool found = false;
    try {
        table::Database::Options options;
        options.create = false;
        found = table::Database::open(staging, options)->exists(table);
    } catch (const DbError&) {
        found = false;
    }
    QSet<QString> stored;
    for (const TheaderRec& record : header)
        stored.insert(record.fileName);
    for (const QString& name : QDir(staging).entryList(QDir::Files | QDir::Hidden))
        if (DatabaseSnapshot::isJournalFile(name) && !stored.contains(name))
            QFile::remove(QDir(staging).filePath(name));
    return found;
}

} // namespace

RestoreOptions RestoreOptionsForKind(const QString& ext) {
    if (ext.compare(u"CCB"_s, Qt::CaseInsensitive) == 0)
        return {u"Firmen.DB"_s};
    if (ext.compare(u"CCA"_s, Qt::CaseInsensitive) == 0)
        return {u"Rechkopf.DB"_s};
    return {};
}

bool ExtractArchiveFiles(const QString& targetDir, QFile& archive, const TheaderArray& header,
                         BackupObserver& observer, RestoreResult& result) {
    if (!archive.seek(qint64(header.size()) * ArchiveRecordSize)) {
        ShowError(CannotReadMessage(archive.fileName()));
        return false;
    }
    for (qsizetype i = 1; i < header.size(); ++i) {
        const TheaderRec& record = header.at(i);
        const int row = observer.addRow({record.fileName, ByteColumn(record.fileSize), {}, {}});
        const auto writeFailed = [&] {
            observer.setCell(row, 2, u"FEHLER"_s);
            result.errors = 1;
            return false;
        };
        if (RestoreFaultAt(RestoreStep::Stage, record.fileName))
            return writeFailed();
        // Unbuffered, so that the stored time is set after the last byte.
        QFile out(QDir(targetDir).filePath(record.fileName));
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            return writeFailed();
        const qint64 before = result.bytes;
        const StreamResult streamed =
            InflateStream(archive, record.packedSize, record.fileSize, out,
                          [&](qint64 done) { observer.stepProgress(before + done); });
        if (streamed == StreamResult::WriteFailed)
            return writeFailed();
        if (streamed == StreamResult::ReadFailed) {
            ShowError(CannotReadMessage(archive.fileName()));
            return false;
        }
        if (streamed != StreamResult::Done) {
            ShowError(u"Bei der Dekompression der Daten ist ein Fehler aufgetreten!"_s);
            return false;
        }
        const QDateTime written = FromDosDateTime(record.fileDate);
        if (written.isValid())
            out.setFileTime(written, QFileDevice::FileModificationTime);
        observer.setCell(row, 2, u"OK"_s);
        ++result.files;
        result.bytes += record.fileSize;
        observer.stepProgress(result.bytes);
    }
    return true;
}

bool EmptyTargetDirectory(const QString& dir) {
    const QDir directory(dir);
    for (const QString& name : directory.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString path = directory.filePath(name);
        if (!DeleteFileForced(path)) {
            ShowInfoQuiet(
                u"Die Datei "_s + path +
                u" konnte nicht gelöscht werden.\r\rDas Löschen des Datenverzeichnisses wird abgebrochen!"_s);
            return false;
        }
    }
    return true;
}

bool RestoreBackupArchive(const QString& targetDir, const QString& archivePath,
                          BackupObserver& observer, const RestoreOptions& options,
                          RestoreResult* resultOut) {
    RestoreResult result;
    const auto finish = [&](bool ok) {
        if (resultOut)
            *resultOut = result;
        return ok;
    };
    observer.setView(BackupView::Restoring);
    observer.setCaption(archivePath);
    const RestoreWorkPaths paths = RestoreWorkPathsOf(targetDir);
    try {
        QFile archive(archivePath);
        if (!archive.open(QIODevice::ReadOnly)) {
            ShowError(CannotOpenMessage(archivePath) +
                      u"\rDie Datenrestauration wird abgebrochen!"_s);
            return finish(false);
        }
        TheaderArray header;
        if (ReadArchiveHeader(archive, header) <= 0) {
            ShowError(NoArchiveDataMessage());
            return finish(false);
        }
        if (const QString damage = ArchiveDamage(header, archive.size(), archivePath);
            !damage.isEmpty()) {
            ShowError(damage);
            return finish(false);
        }
        if (HoldsOpenDatabase(paths.target)) {
            ShowError(u"Die Datenbank im Verzeichnis "_s + paths.target +
                      u" ist geöffnet und kann nicht wiederhergestellt werden!"_s);
            return finish(false);
        }
        // Another workstation's restore of the same directory must not be
        // taken for an interrupted one.
        QDir().mkpath(QFileInfo(paths.target).path());
        const std::unique_ptr<table::FileLock> lock = TryLockRestoreTarget(paths);
        if (!lock) {
            ShowError(u"Im Verzeichnis "_s + paths.target +
                      u" läuft bereits eine Datenrestauration."_s);
            return finish(false);
        }
        if (!FinishInterruptedRestore(paths.target))
            return finish(false);
        if (!QDir().mkpath(paths.target) || !QDir().mkpath(paths.staging)) {
            ShowError(u"Das Verzeichnis "_s + paths.staging + u" kann nicht angelegt werden!"_s);
            return finish(false);
        }

        observer.showComment(ArchiveCommentOf(header.first().fileName));
        observer.reserveRows(int(header.size()) + 2);
        observer.startProgress(0, header.first().fileSize);
        const bool extracted =
            ExtractArchiveFiles(paths.staging, archive, header, observer, result);
        archive.close();
        if (!extracted) {
            QDir(paths.staging).removeRecursively();
            if (result.errors > 0)
                ShowError(
                    u"Es sind Fehler aufgetreten!\r%1 Dateien konnten nicht restauriert werden"_s
                        .arg(result.errors));
            return finish(false);
        }
        if (RestoreFaultAt(RestoreStep::Check, paths.staging) ||
            (!options.requiredTable.isEmpty() &&
             !holdsProgramDatabase(paths.staging, options.requiredTable, header))) {
            QDir(paths.staging).removeRecursively();
            ShowError(notThisProgramsDatabase(archivePath));
            return finish(false);
        }

        switch (SwapInStagedFiles(paths)) {
        case SwapOutcome::Swapped:
            observer.addRow({u"Es wurden %1 Dateien wiederhergestellt."_s.arg(result.files),
                             ByteColumn(result.bytes),
                             {},
                             {}});
            return finish(true);
        case SwapOutcome::KeptOld:
            ShowError(u"Die wiederhergestellten Dateien konnten nicht in das Verzeichnis "_s +
                      paths.target +
                      u" übernommen werden.\rDie bisherigen Daten bleiben erhalten."_s);
            break;
        case SwapOutcome::Pending:
            ShowError(u"Die Datenrestauration im Verzeichnis "_s + paths.target +
                      u" konnte nicht abgeschlossen werden.\r"_s +
                      u"Sie wird beim nächsten Programmstart fortgesetzt."_s);
            break;
        }
        result.errors = qMax(result.errors, 1);
        return finish(false);
    } catch (const RestoreKilled&) {
        return finish(false);
    }
}
