#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <map>
#include <memory>

namespace table {
class FileLock;
}

// A restore replaces the plain files of a directory in journaled steps, so
// that a failure or a kill at any moment leaves either the old files or a
// swap that the next restore (FinishInterruptedRestore) completes. Beside the
// target T lie, while a restore runs: the staging directory with the checked
// new files, the directory of retired old files, and a state file naming the
// phase in progress. Subdirectories of T are never touched.
//
// Several directories restored as one (a client's working and archive
// databases) share one journal: the state file of the first names the phase
// and the others, each other's state file names the first. Every phase runs
// over all of them, so the next start completes all or none.

struct RestoreWorkPaths {
    QString target;  // T without a trailing separator
    QString staging; // T + ".rst-neu"
    QString retired; // T + ".rst-alt"
    QString state;   // T + ".rst-stand"
    QString lock;    // T + ".rst-sperre", held while a process works on T's swap
};
RestoreWorkPaths RestoreWorkPathsOf(const QString& targetDir);

// The hold on T's restore lock; empty while another process (a workstation
// sharing the program directory) works on T.
std::unique_ptr<table::FileLock> TryLockRestoreTarget(const RestoreWorkPaths& paths);

// The restore locks this process holds for one piece of work, each target's once.
class RestoreLockSet {
public:
    RestoreLockSet();
    ~RestoreLockSet();
    RestoreLockSet(const RestoreLockSet&) = delete;
    RestoreLockSet& operator=(const RestoreLockSet&) = delete;
    // True when the set holds T's lock, taken now or before.
    bool hold(const RestoreWorkPaths& paths);
    // T's lock is held by the caller outside the set.
    void heldElsewhere(const RestoreWorkPaths& paths);

private:
    std::map<QString, std::unique_ptr<table::FileLock>> m_locks;
};

enum class SwapOutcome {
    Swapped, // T holds exactly the staged files
    KeptOld, // T holds its old files again
    Pending, // the state file records where the next restore goes on
};

// Moves the complete, checked staging directory in place of T's plain files.
SwapOutcome SwapInStagedFiles(const RestoreWorkPaths& paths);
// The same for several targets as one; the caller holds every target's lock.
SwapOutcome SwapInStagedFiles(const QList<RestoreWorkPaths>& group);

// Completes or undoes what an interrupted restore of targetDir left (with
// every directory restored together with it), and removes stale working
// directories. The caller holds T's lock; the locks of the others are taken
// into the set. True when nothing is pending; false, after a message, when
// the directory cannot be brought into a sound state.
bool FinishInterruptedRestore(const QString& targetDir, RestoreLockSet& locks);
bool FinishInterruptedRestore(const QString& targetDir);
// The same at start-up, under T's restore lock: a restore another
// workstation runs right now is left alone. True when T may be used.
bool FinishInterruptedRestoreAtStart(const QString& targetDir);
// The same for the data and filing directories of every client; false,
// after a message, when one of them must not be used.
bool FinishInterruptedClientRestores();

// For tests: a fault at each step of a restore.
enum class RestoreStep { Stage, Check, State, Retire, Place, UndoPlace, UndoRetire, Cleanup };
enum class FaultAction {
    Proceed,
    Fail, // the step fails as a full disk or a locked file would make it
    Kill, // the process stops here (RestoreKilled is raised past every clean-up)
};
using RestoreFault = std::function<FaultAction(RestoreStep step, const QString& item)>;
RestoreFault SetRestoreFault(RestoreFault fault);
struct RestoreKilled {};
// True when the installed fault makes this step fail; raises RestoreKilled on Kill.
bool RestoreFaultAt(RestoreStep step, const QString& item);
