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
#include <memory>
#include <vector>

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

namespace {

// One archive of a restore, checked and locked before anything is staged.
struct PreparedRestore {
    RestoreItem item;
    RestoreWorkPaths paths;
    std::unique_ptr<QFile> archive;
    TheaderArray header;
    RestoreResult result;
};

// Opens and checks the archive and its target. False after the message.
bool prepare(PreparedRestore& p, RestoreLockSet& locks) {
    const QString& archivePath = p.item.archivePath;
    p.archive = std::make_unique<QFile>(archivePath);
    if (!p.archive->open(QIODevice::ReadOnly)) {
        ShowError(CannotOpenMessage(archivePath) + u"\rDie Datenrestauration wird abgebrochen!"_s);
        return false;
    }
    const int count = ReadArchiveHeader(*p.archive, p.header);
    if (count < 0) {
        ShowError(DamagedArchiveMessage());
        return false;
    }
    if (count == 0) {
        ShowError(NoArchiveDataMessage());
        return false;
    }
    if (const QString damage = ArchiveDamage(p.header, p.archive->size(), archivePath);
        !damage.isEmpty()) {
        ShowError(damage);
        return false;
    }
    if (HoldsOpenDatabase(p.paths.target)) {
        ShowError(u"Die Datenbank im Verzeichnis "_s + p.paths.target +
                  u" ist geöffnet und kann nicht wiederhergestellt werden!"_s);
        return false;
    }
    // Another workstation's restore of the same directory must not be
    // taken for an interrupted one.
    QDir().mkpath(QFileInfo(p.paths.target).path());
    if (!locks.hold(p.paths)) {
        ShowError(u"Im Verzeichnis "_s + p.paths.target +
                  u" läuft bereits eine Datenrestauration."_s);
        return false;
    }
    if (!FinishInterruptedRestore(p.paths.target, locks))
        return false;
    if (!QDir().mkpath(p.paths.target) || !QDir().mkpath(p.paths.staging)) {
        ShowError(u"Das Verzeichnis "_s + p.paths.staging + u" kann nicht angelegt werden!"_s);
        return false;
    }
    return true;
}

// Inflates the archive into its staging directory and checks what came out.
bool stage(PreparedRestore& p, BackupObserver& observer) {
    observer.setCaption(p.item.archivePath);
    observer.showComment(ArchiveCommentOf(p.header.first().fileName));
    observer.reserveRows(int(p.header.size()) + 2);
    observer.startProgress(0, p.header.first().fileSize);
    const bool extracted =
        ExtractArchiveFiles(p.paths.staging, *p.archive, p.header, observer, p.result);
    p.archive->close();
    if (!extracted) {
        if (p.result.errors > 0)
            ShowError(
                u"Es sind Fehler aufgetreten!\r%1 Dateien konnten nicht restauriert werden"_s.arg(
                    p.result.errors));
        return false;
    }
    if (RestoreFaultAt(RestoreStep::Check, p.paths.staging) ||
        (!p.item.options.requiredTable.isEmpty() &&
         !holdsProgramDatabase(p.paths.staging, p.item.options.requiredTable, p.header))) {
        ShowError(notThisProgramsDatabase(p.item.archivePath));
        return false;
    }
    return true;
}

} // namespace

bool RestoreBackupArchives(const QList<RestoreItem>& items, BackupObserver& observer,
                           QList<RestoreResult>* resultsOut) {
    std::vector<PreparedRestore> restores(size_t(items.size()));
    const auto finish = [&](bool ok) {
        if (resultsOut) {
            resultsOut->clear();
            for (const PreparedRestore& p : restores)
                resultsOut->append(p.result);
        }
        return ok;
    };
    observer.setView(BackupView::Restoring);
    if (!items.isEmpty())
        observer.setCaption(items.first().archivePath);
    QList<RestoreWorkPaths> group;
    for (qsizetype i = 0; i < items.size(); ++i) {
        restores[size_t(i)].item = items.at(i);
        restores[size_t(i)].paths = RestoreWorkPathsOf(items.at(i).targetDir);
        group.append(restores[size_t(i)].paths);
    }
    for (qsizetype i = 0; i < group.size(); ++i)
        for (qsizetype j = 0; j < i; ++j)
            if (group.at(i).target == group.at(j).target)
                throw DbError(u"Das Verzeichnis "_s + group.at(i).target +
                              u" kann nicht zweimal in einem Zug wiederhergestellt werden."_s);
    try {
        RestoreLockSet locks;
        for (PreparedRestore& p : restores)
            if (!prepare(p, locks))
                return finish(false);
        for (PreparedRestore& p : restores) {
            if (!stage(p, observer)) {
                for (const PreparedRestore& other : restores)
                    QDir(other.paths.staging).removeRecursively();
                return finish(false);
            }
        }

        switch (SwapInStagedFiles(group)) {
        case SwapOutcome::Swapped:
            for (const PreparedRestore& p : restores)
                observer.addRow({u"Es wurden %1 Dateien wiederhergestellt."_s.arg(p.result.files),
                                 ByteColumn(p.result.bytes),
                                 {},
                                 {}});
            return finish(true);
        case SwapOutcome::KeptOld:
            ShowError(u"Die wiederhergestellten Dateien konnten nicht in das Verzeichnis "_s +
                      group.first().target +
                      u" übernommen werden.\rDie bisherigen Daten bleiben erhalten."_s);
            break;
        case SwapOutcome::Pending:
            ShowError(u"Die Datenrestauration im Verzeichnis "_s + group.first().target +
                      u" konnte nicht abgeschlossen werden.\r"_s +
                      u"Sie wird beim nächsten Programmstart fortgesetzt."_s);
            break;
        }
        for (PreparedRestore& p : restores)
            p.result.errors = qMax(p.result.errors, 1);
        return finish(false);
    } catch (const RestoreKilled&) {
        return finish(false);
    }
}

bool RestoreBackupArchive(const QString& targetDir, const QString& archivePath,
                          BackupObserver& observer, const RestoreOptions& options,
                          RestoreResult* resultOut) {
    QList<RestoreResult> results;
    const bool ok = RestoreBackupArchives({{targetDir, archivePath, options}}, observer, &results);
    if (resultOut)
        *resultOut = results.value(0);
    return ok;
}
