#pragma once

#include "datasafety/archivewriter.h"
#include "datasafety/backupobserver.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The backup dialog "Datensicherung" without its window: every backup,
// restore and deletion of archives runs through it. The window shows what it
// holds (captions, rows, buttons) and hands it the user's clicks and keys;
// tests drive it the same way.

// What the dialog is opened with.
struct BackupDialogArgs {
    int mode = 0; // BackupMode, or DeleteBackupsMode
    int dbVersion = 0;
    QString prefix;     // "FB"
    QString targetPath; // where the archives lie
    QString sourceDir;  // what is archived or restored
    QString sourceDir2; // the archive database for the databases, else empty
    QString comment;
    QString ext;
    QString ext2;
    QString mask; // "*.*"
    // Workstations connected to the client's databases, taken just before
    // opening; a restore needs this one to be the only one.
    int userCount = 1;
    // A restore of the client's databases releases them first (the engine
    // refuses a directory this process holds open) and opens them again after.
    std::function<void()> releaseDatabases;
    std::function<void()> reopenDatabases;
};

// Where the dialog says that something changed; the window reads the rest.
class BackupDialogView {
public:
    virtual ~BackupDialogView() = default;
    virtual void stateChanged() {} // captions, buttons, comment, label, focus
    virtual void rowsReset() {}    // another view, or the rows were emptied or reordered
    virtual void rowAdded(int) {}
    virtual void cellChanged(int /*row*/, int /*column*/) {}
    virtual void currentRowChanged(int) {}
    // The progress bar; while it moves the window repaints.
    virtual void progressChanged() {}
};

enum class BackupFocus { None, Comment, Grid, Start, Close };

class BackupDialog : private BackupObserver {
public:
    BackupDialog(const BackupDialogArgs& args, BackupDialogView& view);
    BackupDialog(const BackupDialog&) = delete;
    BackupDialog& operator=(const BackupDialog&) = delete;

    // The preparation of the mode; runs once, when the window first shows.
    void open();
    // "&Starten".
    void start();
    // The close button: true when the window is to close. During the wait of
    // a backup offered before a restore it declines that backup instead.
    bool close();
    // A mouse press on a cell (marks in the delete list) and the selection of
    // a row (its comment goes into the comment field).
    void pressCell(int row, int column);
    void selectRow(int row);
    // Keys on the grid; every key there is taken.
    void gridKey(int key, const QString& text);
    // Tab and Enter in the comment field go on to "&Starten"; true when taken.
    bool commentKey(int key);
    void setComment(const QString& text);

    const BackupDialogArgs& args() const { return m_args; }
    QString title() const { return m_title; }
    QString archiveLabel() const { return m_archiveLabel; }
    QString comment() const { return m_comment; }
    bool commentEnabled() const { return m_commentEnabled; }
    bool startEnabled() const { return m_startEnabled && !m_running; }
    QString startCaption() const { return m_startCaption; }
    QString closeCaption() const { return m_closeCaption; }
    bool closeEnabled() const { return !m_running; }
    bool running() const { return m_running; }
    // Whether the grid can be entered with the tab key.
    bool gridTabStop() const { return m_gridTabStop; }
    BackupFocus focus() const { return m_focus; }
    // Whether a backup offered before a restore waits for "&Starten".
    bool waitingForPreRestoreBackup() const { return m_pending == Pending::PreRestoreBackup; }

    BackupView view() const { return m_view; }
    const QList<QStringList>& rows() const { return m_rows; }
    int currentRow() const { return m_current; }

    bool progressVisible() const { return m_progressVisible; }
    qint64 progressMinimum() const { return m_progressMin; }
    qint64 progressMaximum() const { return m_progressMax; }
    qint64 progressPosition() const { return m_progress; }

    // The comment field takes at most this many characters.
    static constexpr int CommentLength = 63;

private:
    enum class Pending { None, Backup, PreRestoreBackup, Restore, Delete };

    // The archive engine's reports.
    void setView(BackupView view) override;
    void setCaption(const QString& text) override;
    void showComment(const QString& text) override;
    int addRow(const QStringList& cells) override;
    void setCell(int row, int column, const QString& text) override;
    void startProgress(qint64 minimum, qint64 maximum) override;
    void stepProgress(qint64 position) override;
    void resetProgress() override;

    void prepareBackup(const QString& comment);
    void runBackup();
    void prepareRestore();
    void listRestore();
    void runRestore();
    void restoreFetched();
    void prepareDelete();
    void runDelete();
    bool restore(const QString& name, const QString& companion);
    // Lists the archives of the kind; false after saying that there are none.
    bool listArchives(bool deleteMode, bool newestFirst);
    // The restore or delete list, ready for "&Starten".
    void prepareList(Pending pending);
    // The archive database's archive of the same run, when it exists and
    // the user wants it restored.
    QString askForCompanion(const QString& name) const;
    bool refuseWhileOthersConnected();
    void finishRun();
    void onlyClosing();
    bool isArchiveRow(int row) const;
    void moveRow(int step);
    void setMark(int row, const QString& mark);
    void setFocus(BackupFocus focus);
    void changed();

    BackupDialogArgs m_args;
    BackupDialogView& m_ui;
    bool m_opened = false;
    Pending m_pending = Pending::None;
    bool m_running = false;

    QString m_title;
    QString m_archiveLabel;
    QString m_comment;
    bool m_commentEnabled = false;
    bool m_startEnabled = false;
    QString m_startCaption;
    QString m_closeCaption;
    bool m_gridTabStop = true;
    BackupFocus m_focus = BackupFocus::None;

    QString m_currentDir;
    QString m_archiveName;
    QString m_companionName;
    QString m_restoreTitle;
    BackupTotals m_totals;

    BackupView m_view = BackupView::List;
    QList<QStringList> m_rows;
    int m_current = -1;

    bool m_progressVisible = false;
    qint64 m_progressMin = 0;
    qint64 m_progressMax = 100;
    qint64 m_progress = 0;
};

// The result of the last dialog run: 0 completed, 1 no run completed, 2 failed.
int GetBackupResult();
void SetBackupResult(int result);
// The full path of the last main archive written; after a vault download
// the first archive fetched.
QString LastArchivePath();
void SetLastArchivePath(const QString& path);
