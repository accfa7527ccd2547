#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The grid views of the backup dialog; the engine names the view it fills.
enum class BackupView {
    List,      // existing archives and the restore list
    Writing,   // the files of an archive being written
    Restoring, // the files of an archive being restored
    Delete,    // every archive, with its mark and version
};

struct BackupColumn {
    QString heading;
    int width = 0; // pixels; RestWidth takes what the others leave
};
constexpr int RestWidth = -1;
QList<BackupColumn> BackupViewColumns(BackupView view);

// Where the archive engine reports: the dialog shows it, tests record it. Every
// call has a default that ignores it, so the engine also runs without a window.
class BackupObserver {
public:
    virtual ~BackupObserver() = default;
    virtual void setView(BackupView) {}
    virtual void setCaption(const QString&) {}
    virtual void showComment(const QString&) {}
    virtual void reserveRows(int) {}
    // Appends a row and gives its index.
    virtual int addRow(const QStringList&) { return -1; }
    virtual void setCell(int /*row*/, int /*column*/, const QString&) {}
    // The progress bar: shown with a range, moved (the window repaints here),
    // hidden again.
    virtual void startProgress(qint64 /*minimum*/, qint64 /*maximum*/) {}
    virtual void stepProgress(qint64 /*position*/) {}
    virtual void resetProgress() {}
};

// Numbers as the grid shows them: right-aligned in 12 characters (the
// version in 8).
QString ByteColumn(qint64 value);
QString VersionColumn(int version);
