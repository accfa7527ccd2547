#include "datasafety/restoreswap.h"

#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "datasafety/archiverestore.h"
#include "platform/table/filelock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <filesystem>

using namespace Qt::StringLiterals;

namespace {

RestoreFault g_fault;

// The phases, as the state file names them. Each phase is recorded before it
// starts, and every phase can be repeated from any point of itself.
const QString kRetire = u"retire"_s;          // T's files move to the retired directory
const QString kPlace = u"place"_s;            // the staged files move into T
const QString kUndoPlace = u"undo-place"_s;   // T's new files move back to staging
const QString kUndoRetire = u"undo-retire"_s; // the old files move back into T

QString absoluteClean(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool exists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QStringList plainFiles(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

bool writeState(const RestoreWorkPaths& paths, const QString& state) {
    if (RestoreFaultAt(RestoreStep::State, state))
        return false;
    QSaveFile file(paths.state);
    return file.open(QIODevice::WriteOnly) && file.write(state.toLatin1()) == state.size() &&
           file.commit();
}

QString readState(const RestoreWorkPaths& paths) {
    QFile file(paths.state);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).trimmed();
}

// A rename within one file system; never over an existing file, and never a
// copy (a copy could be cut off half-way).
bool moveFile(RestoreStep step, const QString& fromDir, const QString& toDir, const QString& name) {
    if (RestoreFaultAt(step, name))
        return false;
    const QString to = toDir + u'/' + name;
    if (exists(to))
        return false;
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(fromDir + u'/' + name).toStdString(),
                            QFile::encodeName(to).toStdString(), error);
    return !error;
}

bool moveAll(RestoreStep step, const QString& fromDir, const QString& toDir) {
    if (!QDir().mkpath(toDir))
        return false;
    for (const QString& name : plainFiles(fromDir))
        if (!moveFile(step, fromDir, toDir, name))
            return false;
    return true;
}

// Removes the working directories once T is sound again.
void cleanUp(const RestoreWorkPaths& paths) {
    if (RestoreFaultAt(RestoreStep::Cleanup, paths.target))
        return;
    if (QFileInfo::exists(paths.retired) && EmptyTargetDirectory(paths.retired))
        QDir().rmdir(paths.retired);
    QDir(paths.staging).removeRecursively();
    QFile::remove(paths.state);
}

// Whether a phase may run while the state file still records `recorded`: a
// kill during it must leave what that recorded phase can carry on from.
bool safeUnder(const QString& recorded, const QString& phase) {
    return (recorded == kRetire && phase == kUndoRetire) ||
           (recorded == kPlace && phase == kUndoPlace);
}

// Runs the phases from the recorded one to the end.
SwapOutcome runFrom(const RestoreWorkPaths& paths, const QString& recordedState) {
    QString recorded = recordedState;
    QString state = recordedState;
    bool forward = state == kRetire || state == kPlace;
    for (;;) {
        QString next;
        bool ok = true;
        if (state == kRetire) {
            // Without a complete staging directory there is nothing to go forward to.
            ok = QFileInfo(paths.staging).isDir() &&
                 moveAll(RestoreStep::Retire, paths.target, paths.retired);
            next = ok ? kPlace : kUndoRetire;
        } else if (state == kPlace) {
            ok = !QFileInfo(paths.staging).isDir() ||
                 moveAll(RestoreStep::Place, paths.staging, paths.target);
            next = ok ? QString() : kUndoPlace;
        } else if (state == kUndoPlace) {
            ok = moveAll(RestoreStep::UndoPlace, paths.target, paths.staging);
            next = ok ? kUndoRetire : QString();
        } else if (state == kUndoRetire) {
            ok = !QFileInfo(paths.retired).isDir() ||
                 moveAll(RestoreStep::UndoRetire, paths.retired, paths.target);
            next = QString();
        } else {
            return SwapOutcome::Pending; // a state file we did not write
        }
        if (!ok && next.isEmpty())
            return SwapOutcome::Pending; // an undo step failed: try again next time
        if (!ok)
            forward = false;
        if (next.isEmpty()) {
            cleanUp(paths);
            return forward ? SwapOutcome::Swapped : SwapOutcome::KeptOld;
        }
        if (writeState(paths, next)) {
            recorded = next;
        } else if (next == kPlace) {
            // Without the record the new files must not go in: back out.
            next = kUndoRetire;
            forward = false;
        } else if (!safeUnder(recorded, next)) {
            return SwapOutcome::Pending;
        }
        state = next;
    }
}

} // namespace

RestoreWorkPaths RestoreWorkPathsOf(const QString& targetDir) {
    const QString target = absoluteClean(targetDir);
    return {target, target + u".rst-neu"_s, target + u".rst-alt"_s, target + u".rst-stand"_s,
            target + u".rst-sperre"_s};
}

std::unique_ptr<table::FileLock> TryLockRestoreTarget(const RestoreWorkPaths& paths) {
    auto lock = std::make_unique<table::FileLock>(paths.lock);
    if (!lock->tryLockExclusive())
        return nullptr;
    return lock;
}

SwapOutcome SwapInStagedFiles(const RestoreWorkPaths& paths) {
    if (!writeState(paths, kRetire)) {
        QDir(paths.staging).removeRecursively();
        QFile::remove(paths.state);
        return SwapOutcome::KeptOld;
    }
    return runFrom(paths, kRetire);
}

bool FinishInterruptedRestore(const QString& targetDir) {
    const RestoreWorkPaths paths = RestoreWorkPathsOf(targetDir);
    if (QFileInfo::exists(paths.state)) {
        if (runFrom(paths, readState(paths)) == SwapOutcome::Pending) {
            ShowError(u"Eine frühere Datenrestauration im Verzeichnis "_s + paths.target +
                      u" konnte nicht abgeschlossen werden.\r"_s +
                      u"Bitte prüfen Sie die Verzeichnisse "_s + paths.staging + u" und "_s +
                      paths.retired + u"!"_s);
            return false;
        }
        return true;
    }
    // Without a state file the old files were never touched: what lies
    // beside T is an abandoned staging or the rest of a finished swap.
    QDir(paths.staging).removeRecursively();
    if (QFileInfo::exists(paths.retired) && !QDir(paths.retired).removeRecursively()) {
        ShowError(u"Das Verzeichnis "_s + paths.retired +
                  u" einer früheren Datenrestauration kann nicht gelöscht werden!"_s);
        return false;
    }
    return true;
}

bool FinishInterruptedRestoreAtStart(const QString& targetDir) {
    const RestoreWorkPaths paths = RestoreWorkPathsOf(targetDir);
    if (!exists(paths.state) && !exists(paths.staging) && !exists(paths.retired))
        return true; // no restore was at work here
    const std::unique_ptr<table::FileLock> lock = TryLockRestoreTarget(paths);
    if (!lock) {
        ShowError(u"Im Verzeichnis "_s + paths.target +
                  u" läuft an einem anderen Arbeitsplatz eine Datenrestauration.\r"_s +
                  u"Bitte starten Sie das Programm, wenn sie beendet ist."_s);
        return false;
    }
    return FinishInterruptedRestore(paths.target);
}

bool FinishInterruptedClientRestores() {
    bool sound = true;
    for (int mandant = 0; mandant <= MaxMandantNr; ++mandant)
        for (const QString& dir : {GetMandantDataDir(mandant), GetMandantAblgDir(mandant)})
            sound = FinishInterruptedRestoreAtStart(dir) && sound;
    return sound;
}

RestoreFault SetRestoreFault(RestoreFault fault) {
    RestoreFault previous = std::move(g_fault);
    g_fault = std::move(fault);
    return previous;
}

bool RestoreFaultAt(RestoreStep step, const QString& item) {
    if (!g_fault)
        return false;
    switch (g_fault(step, item)) {
    case FaultAction::Proceed:
        return false;
    case FaultAction::Fail:
        return true;
    case FaultAction::Kill:
        throw RestoreKilled{};
    }
    return false;
}
