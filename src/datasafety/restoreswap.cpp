#include "datasafety/restoreswap.h"

#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "datasafety/archiverestore.h"
#include "platform/table/filelock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
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

const QString kMember = u"member"_s; // the state file of a directory restored with the first

using Group = QList<RestoreWorkPaths>;

bool writeStateFile(const QString& file, const QString& text, const QString& faultItem) {
    if (RestoreFaultAt(RestoreStep::State, faultItem))
        return false;
    QSaveFile out(file);
    const QByteArray bytes = text.toUtf8();
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit();
}

// The journal lives in the first directory's state file: the phase, then the
// other directories of the group, one a line.
bool writeState(const Group& group, const QString& state) {
    QStringList lines{state};
    for (qsizetype i = 1; i < group.size(); ++i)
        lines.append(group.at(i).target);
    return writeStateFile(group.first().state, lines.join(u'\n'), state);
}

QStringList readStateLines(const RestoreWorkPaths& paths) {
    QFile file(paths.state);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (QString& line : lines)
        line = line.trimmed();
    return lines;
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

// Removes the working directories once every target is sound again; the
// journal goes last, so a cut clean-up is simply repeated.
void cleanUp(const Group& group) {
    for (const RestoreWorkPaths& paths : group) {
        if (RestoreFaultAt(RestoreStep::Cleanup, paths.target))
            return;
        if (QFileInfo::exists(paths.retired) && EmptyTargetDirectory(paths.retired))
            QDir().rmdir(paths.retired);
        QDir(paths.staging).removeRecursively();
    }
    for (qsizetype i = 1; i < group.size(); ++i)
        QFile::remove(group.at(i).state);
    QFile::remove(group.first().state);
}

// Whether a phase may run while the state file still records `recorded`: a
// kill during it must leave what that recorded phase can carry on from.
bool safeUnder(const QString& recorded, const QString& phase) {
    return (recorded == kRetire && phase == kUndoRetire) ||
           (recorded == kPlace && phase == kUndoPlace);
}

bool allStaged(const Group& group) {
    return std::all_of(group.begin(), group.end(),
                       [](const RestoreWorkPaths& p) { return QFileInfo(p.staging).isDir(); });
}

template <class Step> bool forAll(const Group& group, Step step) {
    for (const RestoreWorkPaths& paths : group)
        if (!step(paths))
            return false;
    return true;
}

// Runs the phases from the recorded one to the end, each over every target.
SwapOutcome runFrom(const Group& group, const QString& recordedState) {
    QString recorded = recordedState;
    QString state = recordedState;
    bool forward = state == kRetire || state == kPlace;
    for (;;) {
        QString next;
        bool ok = true;
        if (state == kRetire) {
            // Without a complete staging directory there is nothing to go forward to.
            ok = allStaged(group) && forAll(group, [](const RestoreWorkPaths& p) {
                     return moveAll(RestoreStep::Retire, p.target, p.retired);
                 });
            next = ok ? kPlace : kUndoRetire;
        } else if (state == kPlace) {
            ok = forAll(group, [](const RestoreWorkPaths& p) {
                return !QFileInfo(p.staging).isDir() ||
                       moveAll(RestoreStep::Place, p.staging, p.target);
            });
            next = ok ? QString() : kUndoPlace;
        } else if (state == kUndoPlace) {
            ok = forAll(group, [](const RestoreWorkPaths& p) {
                return moveAll(RestoreStep::UndoPlace, p.target, p.staging);
            });
            next = ok ? kUndoRetire : QString();
        } else if (state == kUndoRetire) {
            ok = forAll(group, [](const RestoreWorkPaths& p) {
                return !QFileInfo(p.retired).isDir() ||
                       moveAll(RestoreStep::UndoRetire, p.retired, p.target);
            });
            next = QString();
        } else {
            return SwapOutcome::Pending; // a state file we did not write
        }
        if (!ok && next.isEmpty())
            return SwapOutcome::Pending; // an undo step failed: try again next time
        if (!ok)
            forward = false;
        if (next.isEmpty()) {
            cleanUp(group);
            return forward ? SwapOutcome::Swapped : SwapOutcome::KeptOld;
        }
        if (writeState(group, next)) {
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

// Without a state file the old files were never touched: what lies beside
// T is an abandoned staging or the rest of a finished swap.
bool removeStaleWork(const RestoreWorkPaths& paths) {
    QDir(paths.staging).removeRecursively();
    if (QFileInfo::exists(paths.retired) && !QDir(paths.retired).removeRecursively()) {
        ShowError(u"Das Verzeichnis "_s + paths.retired +
                  u" einer früheren Datenrestauration kann nicht gelöscht werden!"_s);
        return false;
    }
    return true;
}

bool refuseRunningElsewhere(const RestoreWorkPaths& paths) {
    ShowError(u"Im Verzeichnis "_s + paths.target +
              u" läuft an einem anderen Arbeitsplatz eine Datenrestauration.\r"_s +
              u"Bitte starten Sie das Programm, wenn sie beendet ist."_s);
    return false;
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

RestoreLockSet::RestoreLockSet() = default;
RestoreLockSet::~RestoreLockSet() = default;

bool RestoreLockSet::hold(const RestoreWorkPaths& paths) {
    if (m_locks.count(paths.target))
        return true;
    std::unique_ptr<table::FileLock> lock = TryLockRestoreTarget(paths);
    if (!lock)
        return false;
    m_locks.emplace(paths.target, std::move(lock));
    return true;
}

void RestoreLockSet::heldElsewhere(const RestoreWorkPaths& paths) {
    m_locks.emplace(paths.target, nullptr);
}

SwapOutcome SwapInStagedFiles(const RestoreWorkPaths& paths) {
    return SwapInStagedFiles(Group{paths});
}

SwapOutcome SwapInStagedFiles(const QList<RestoreWorkPaths>& group) {
    const auto backOut = [&group] {
        for (const RestoreWorkPaths& paths : group) {
            QDir(paths.staging).removeRecursively();
            QFile::remove(paths.state);
        }
        return SwapOutcome::KeptOld;
    };
    // The others point to the first before its journal starts the swap: a
    // kill in between leaves markers without a journal, which mean "never begun".
    for (qsizetype i = 1; i < group.size(); ++i)
        if (!writeStateFile(group.at(i).state, kMember + u'\n' + group.first().target, kMember))
            return backOut();
    if (!writeState(group, kRetire))
        return backOut();
    return runFrom(group, kRetire);
}

bool FinishInterruptedRestore(const QString& targetDir, RestoreLockSet& locks) {
    const RestoreWorkPaths paths = RestoreWorkPathsOf(targetDir);
    locks.heldElsewhere(paths);
    const QStringList lines = readStateLines(paths);
    if (lines.value(0) == kMember) {
        const RestoreWorkPaths first = RestoreWorkPathsOf(lines.value(1));
        const QStringList journal = readStateLines(first);
        if (journal.mid(1).contains(paths.target)) {
            if (!locks.hold(first))
                return refuseRunningElsewhere(first);
            return FinishInterruptedRestore(first.target, locks);
        }
        // The first's journal was never written (or the group has finished).
        QFile::remove(paths.state);
        return removeStaleWork(paths);
    }
    if (!lines.isEmpty() || QFileInfo::exists(paths.state)) {
        Group group{paths};
        for (const QString& other : lines.mid(1)) {
            const RestoreWorkPaths member = RestoreWorkPathsOf(other);
            if (!locks.hold(member))
                return refuseRunningElsewhere(member);
            group.append(member);
        }
        if (runFrom(group, lines.value(0)) == SwapOutcome::Pending) {
            QString dirs;
            for (const RestoreWorkPaths& p : group)
                dirs +=
                    (dirs.isEmpty() ? QString() : u" und "_s) + p.staging + u" und "_s + p.retired;
            ShowError(u"Eine frühere Datenrestauration im Verzeichnis "_s + paths.target +
                      u" konnte nicht abgeschlossen werden.\r"_s +
                      u"Bitte prüfen Sie die Verzeichnisse "_s + dirs + u"!"_s);
            return false;
        }
        return true;
    }
    return removeStaleWork(paths);
}

bool FinishInterruptedRestore(const QString& targetDir) {
    RestoreLockSet locks;
    return FinishInterruptedRestore(targetDir, locks);
}

bool FinishInterruptedRestoreAtStart(const QString& targetDir) {
    const RestoreWorkPaths paths = RestoreWorkPathsOf(targetDir);
    if (!exists(paths.state) && !exists(paths.staging) && !exists(paths.retired))
        return true; // no restore was at work here
    RestoreLockSet locks;
    if (!locks.hold(paths))
        return refuseRunningElsewhere(paths);
    return FinishInterruptedRestore(paths.target, locks);
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
