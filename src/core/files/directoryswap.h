#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>

namespace table {
class FileLock;
}

// Replaces directories of one parent directory all together or not at all,
// also when the process dies at any point. Each new content is built beside
// its target first ("<target>.neu"); the journal "Austausch.dat" in the
// parent names every staged directory from the start, and once all of them
// are complete and on disk it is marked as committed. Only then are the
// targets swapped by renaming. The next start (RecoverDirectorySwap) removes
// the staged directories of an uncommitted set and completes a committed one.
class DirectorySwap {
public:
    explicit DirectorySwap(QString parentDir);
    ~DirectorySwap(); // an uncommitted set is discarded
    DirectorySwap(const DirectorySwap&) = delete;
    DirectorySwap& operator=(const DirectorySwap&) = delete;

    // Takes the swap lock of the parent directory; false (reported) while
    // another process swaps there.
    bool begin();
    // Stages the new content of `target`, a directory of the parent: its
    // current content (when it exists) with each source that exists copied
    // over it in turn. Returns the staged directory, empty after a failure
    // (reported by the copy; nothing of this target stays staged).
    QString stage(const QString& target, const QStringList& sources);
    // The same with the content after the current one filled in by `fill`
    // (given the staged directory; false after a reported failure).
    QString stage(const QString& target, const std::function<bool(const QString& staged)>& fill);
    // Brings the staged trees to disk without access for others, commits and
    // swaps. False after a reported failure; nothing is swapped then.
    bool commit();
    // Removes what was staged.
    void discard();

    struct Entry {
        QString target; // names within the parent directory
        QString staged;
        QString retired;
    };

private:
    bool writeJournal(bool committed);

    QString m_parent;
    std::unique_ptr<table::FileLock> m_lock;
    QList<Entry> m_entries;
    bool m_done = false;
};

// At start-up: finishes or undoes a swap that a crash interrupted. Empty, or
// the German text of why that failed (then nothing of the parent must be
// used before someone looked at it).
QString RecoverDirectorySwap(const QString& parentDir);

// Every file and directory below dir (dir included): access for others
// removed, contents written through to the disk.
void SecureAndSyncTree(const QString& dir);
