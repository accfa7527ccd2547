#include "datasafety/backupdialog.h"

#include "core/messages/messages.h"
#include "datasafety/archivelister.h"
#include "datasafety/archivenames.h"
#include "datasafety/archiverestore.h"
#include "datasafety/datasafety.h"
#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

int g_result = 1;
QString g_lastArchivePath;

const QString kCancel = u"&Abbrechen"_s;
const QString kClose = u"S&chließen"_s;
const QString kStart = u"&Starten"_s;
const QString kYes = u"Ja"_s;
const QString kNo = u"Nein"_s;
constexpr int kMarkColumn = 2;
constexpr int kCommentColumn = 3;

QString withExtension(const QString& name, const QString& ext) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return (dot < 0 ? name : name.left(dot)) + u'.' + ext;
}

} // namespace

int GetBackupResult() {
    return g_result;
}

void SetBackupResult(int result) {
    g_result = result;
}

QString LastArchivePath() {
    return g_lastArchivePath;
}

void SetLastArchivePath(const QString& path) {
    g_lastArchivePath = path;
}

BackupDialog::BackupDialog(const BackupDialogArgs& args, BackupDialogView& view)
    : m_args(args), m_ui(view), m_closeCaption(kCancel) {
    m_startCaption = kStart;
}

void BackupDialog::changed() {
    m_ui.stateChanged();
}

void BackupDialog::setFocus(BackupFocus focus) {
    m_focus = focus;
    changed();
}

void BackupDialog::onlyClosing() {
    m_startEnabled = false;
    m_closeCaption = kClose;
    m_pending = Pending::None;
    setFocus(BackupFocus::Close);
}

// The archive engine's reports ------------------------------------------------

void BackupDialog::setView(BackupView view) {
    m_view = view;
    m_rows.clear();
    m_current = -1;
    m_ui.rowsReset();
}

void BackupDialog::setCaption(const QString& text) {
    m_archiveLabel = text;
    changed();
}

void BackupDialog::showComment(const QString& text) {
    m_comment = text.left(CommentLength);
    changed();
}

int BackupDialog::addRow(const QStringList& cells) {
    m_rows.append(cells);
    const int row = int(m_rows.size()) - 1;
    m_ui.rowAdded(row);
    return row;
}

void BackupDialog::setCell(int row, int column, const QString& text) {
    if (row < 0 || row >= m_rows.size() || column < 0)
        return;
    QStringList& cells = m_rows[row];
    while (cells.size() <= column)
        cells.append(QString());
    cells[column] = text;
    m_ui.cellChanged(row, column);
}

void BackupDialog::startProgress(qint64 minimum, qint64 maximum) {
    m_progressVisible = true;
    m_progressMin = minimum;
    m_progressMax = maximum;
    m_progress = minimum;
    m_ui.progressChanged();
}

void BackupDialog::stepProgress(qint64 position) {
    m_progress = position;
    m_ui.progressChanged();
}

void BackupDialog::resetProgress() {
    m_progressVisible = false;
    m_progressMin = 0;
    m_progressMax = 100;
    m_progress = 0;
    m_ui.progressChanged();
}

// Opening ------------------------------------------------------------------------

void BackupDialog::open() {
    if (m_opened)
        return;
    m_opened = true;
    m_startEnabled = false;
    m_closeCaption = kCancel;
    setView(BackupView::List);
    m_comment.clear();
    m_commentEnabled = false;
    m_gridTabStop = true;
    m_archiveLabel.clear();
    resetProgress();
    changed();
    switch (m_args.mode) {
    case LocalBackup:
    case TransportBackup:
    case VaultBackup:
        prepareBackup(m_args.comment);
        break;
    case LocalRestore:
    case TransportRestore:
        if (!refuseWhileOthersConnected())
            prepareRestore();
        break;
    case DeleteBackupsMode:
        prepareDelete();
        break;
    case VaultRestore:
        if (!refuseWhileOthersConnected())
            restoreFetched();
        break;
    default:
        throw DbError(u"Die Datensicherung kennt die Betriebsart "_s +
                      QString::number(m_args.mode) + u" nicht."_s);
    }
}

bool BackupDialog::refuseWhileOthersConnected() {
    if (m_args.userCount <= 1)
        return false;
    ShowError(
        u"Es sind noch andere Benutzer mit Ihren Datenbanken verbunden!\rZur Wiederherstellung von Daten müssen alle anderen Benutzer\rDomvera beenden!"_s);
    onlyClosing();
    return true;
}

bool BackupDialog::listArchives(bool deleteMode, bool newestFirst) {
    ListBackupArchives(QDir(m_currentDir).filePath(u"*."_s + m_args.ext), deleteMode, *this);
    if (m_rows.isEmpty()) {
        ShowInfo(u"Es wurden keine Sicherungsdateien gefunden"_s);
        onlyClosing();
        return false;
    }
    SortArchiveRows(m_rows, newestFirst);
    m_ui.rowsReset();
    return true;
}

// Backup ---------------------------------------------------------------------------

void BackupDialog::prepareBackup(const QString& comment) {
    SetLastArchivePath({});
    m_currentDir = m_args.targetPath;
    m_title = m_args.mode == TransportBackup ? u"Datensicherung [exportieren]"_s
                                             : u"Datensicherung [sichern]"_s;
    const bool second = !m_args.sourceDir2.isEmpty();
    if (!NextArchiveName(m_currentDir, m_args.prefix, m_args.ext, second ? m_args.ext2 : QString(),
                         m_archiveName, m_companionName)) {
        onlyClosing();
        return;
    }
    m_archiveLabel = QDir(m_currentDir).filePath(m_archiveName);
    if (second)
        m_archiveLabel += u" [Ablage in ."_s + m_args.ext2 + u']';
    ListBackupArchives(QDir(m_currentDir).filePath(u"*."_s + m_args.ext), false, *this);
    SortArchiveRows(m_rows, true);
    m_ui.rowsReset();
    m_current = m_rows.isEmpty() ? -1 : 0;
    m_ui.currentRowChanged(m_current);
    m_comment = comment.left(CommentLength);
    m_commentEnabled = true;
    m_gridTabStop = false;
    m_startEnabled = true;
    if (m_pending != Pending::PreRestoreBackup)
        m_pending = Pending::Backup;
    setFocus(BackupFocus::Comment);
}

void BackupDialog::runBackup() {
    m_commentEnabled = false;
    // Another workstation may have taken the prepared number meanwhile.
    const bool second = !m_args.sourceDir2.isEmpty();
    if (QFileInfo::exists(QDir(m_currentDir).filePath(m_archiveName)) ||
        (second && QFileInfo::exists(QDir(m_currentDir).filePath(m_companionName)))) {
        if (!NextArchiveName(m_currentDir, m_args.prefix, m_args.ext,
                             second ? m_args.ext2 : QString(), m_archiveName, m_companionName)) {
            SetBackupResult(2);
            return;
        }
    }
    m_archiveLabel = QDir(m_currentDir).filePath(m_archiveName);
    setView(BackupView::Writing);
    m_startCaption.clear();
    m_totals = {};
    SetBackupResult(1);
    changed();
    BackupTotals totals;
    if (WriteBackupArchive(m_args.mask, m_args.sourceDir, m_archiveName, m_comment, m_currentDir,
                           m_args.dbVersion, *this, &totals)) {
        m_totals = totals;
        SetBackupResult(0);
        SetLastArchivePath(QDir(m_currentDir).filePath(m_archiveName));
        addRow(BackupSummaryRow(m_totals));
    } else {
        SetBackupResult(2);
    }
    if (!second || GetBackupResult() == 2)
        return;
    if (!AskYesNo(u"Ablagedaten sichern?"_s))
        return;
    setView(BackupView::Writing);
    m_archiveLabel = QDir(m_currentDir).filePath(m_companionName);
    changed();
    if (WriteBackupArchive(m_args.mask, m_args.sourceDir2, m_companionName, m_comment, m_currentDir,
                           m_args.dbVersion, *this, &totals)) {
        m_totals += totals;
        SetBackupResult(0);
        addRow(BackupSummaryRow(m_totals));
    } else {
        SetBackupResult(2);
    }
}

// Restore ---------------------------------------------------------------------------

void BackupDialog::prepareRestore() {
    m_restoreTitle = m_args.mode == TransportRestore ? u"Datensicherung [importieren]"_s
                                                     : u"Datensicherung [wiederherstellen]"_s;
    if (AskYesNo(
            u"Diese Funktion überschreibt den aktuellen Datenbestand!\rMöchten Sie Ihre aktuellen Daten vorher sichern?"_s)) {
        // The backup is a state of this dialog: "&Starten" writes it, the
        // close button declines it, and either way the restore list follows.
        m_pending = Pending::PreRestoreBackup;
        prepareBackup(m_args.mode == TransportRestore ? u"Vor Datenimport"_s
                                                      : u"Vor Restauration"_s);
        if (m_pending == Pending::PreRestoreBackup && m_startEnabled)
            return;
    }
    listRestore();
}

void BackupDialog::listRestore() {
    m_pending = Pending::None;
    m_title = m_restoreTitle;
    m_commentEnabled = false;
    m_comment.clear();
    m_startEnabled = false;
    m_startCaption = kStart;
    resetProgress();
    prepareList(Pending::Restore);
}

void BackupDialog::prepareList(Pending pending) {
    m_currentDir = m_args.targetPath;
    m_archiveLabel = QDir(m_currentDir).filePath(u"*."_s + m_args.ext);
    changed();
    // The restore list shows the newest first, the delete list the oldest.
    const bool deleting = pending == Pending::Delete;
    if (!listArchives(deleting, !deleting))
        return;
    m_pending = pending;
    m_startEnabled = true;
    m_gridTabStop = true;
    selectRow(0);
    setFocus(BackupFocus::Grid);
}

QString BackupDialog::askForCompanion(const QString& name) const {
    if (m_args.sourceDir2.isEmpty())
        return {};
    const QString candidate = withExtension(name, m_args.ext2);
    if (QFileInfo::exists(QDir(m_currentDir).filePath(candidate)) &&
        AskYesNo(u"Ablagedaten wiederherstellen?"_s))
        return candidate;
    return {};
}

bool BackupDialog::restore(const QString& name, const QString& companion) {
    QList<RestoreItem> items;
    if (!name.isEmpty())
        items.append({m_args.sourceDir, QDir(m_currentDir).filePath(name),
                      RestoreOptionsForKind(m_args.ext)});
    if (!companion.isEmpty())
        items.append({m_args.sourceDir2, QDir(m_currentDir).filePath(companion),
                      RestoreOptionsForKind(m_args.ext2)});
    if (items.isEmpty())
        return false;
    // The databases go back to the program whatever the restore did.
    const bool release = bool(m_args.releaseDatabases);
    const auto reopen = [this, release] {
        if (release && m_args.reopenDatabases)
            m_args.reopenDatabases();
    };
    bool ok = false;
    try {
        if (release)
            m_args.releaseDatabases();
        ok = RestoreBackupArchives(items, *this);
    } catch (...) {
        SetBackupResult(2);
        reopen();
        throw;
    }
    SetBackupResult(ok ? 0 : 2);
    reopen();
    return ok;
}

void BackupDialog::runRestore() {
    if (!isArchiveRow(m_current))
        return;
    const QString name = m_rows.at(m_current).value(0);
    m_startCaption.clear();
    m_startEnabled = false;
    changed();
    const bool second = !m_args.sourceDir2.isEmpty();
    // Both questions come first: the two directories are restored as one.
    const bool working = !second || AskYesNo(u"Arbeitsdaten wiederherstellen?"_s);
    const QString companion = askForCompanion(name);
    restore(working ? name : QString(), companion);
}

void BackupDialog::restoreFetched() {
    m_title = u"Datensicherung [wiederherstellen]"_s;
    m_currentDir = m_args.targetPath;
    QString name = QFileInfo(LastArchivePath()).fileName();
    if (name.contains(u"CCA"_s))
        name = withExtension(name, m_args.ext);
    changed();
    if (!name.isEmpty() && QFileInfo::exists(QDir(m_currentDir).filePath(name))) {
        const QString companion = askForCompanion(name);
        m_running = true;
        changed();
        try {
            restore(name, companion);
        } catch (...) {
            m_running = false;
            onlyClosing();
            throw;
        }
        m_running = false;
    }
    onlyClosing();
}

// Deleting ---------------------------------------------------------------------------

void BackupDialog::prepareDelete() {
    m_title = u"Datensicherungen löschen"_s;
    prepareList(Pending::Delete);
}

void BackupDialog::runDelete() {
    m_startCaption.clear();
    m_startEnabled = false;
    changed();
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).value(kMarkColumn) != kYes)
            continue;
        const QString name = m_rows.at(row).value(0);
        const QString path = QDir(m_currentDir).filePath(name);
        // A write-protected archive is kept, as the user protected it.
        const bool deleted = QFileInfo(path).isWritable() && QFile::remove(path);
        setCell(row, kMarkColumn, deleted ? u" gelöscht."_s : u"FEHLER"_s);
        if (!m_args.ext2.isEmpty()) {
            const QString companion = QDir(m_currentDir).filePath(withExtension(name, m_args.ext2));
            if (QFileInfo(companion).isWritable())
                QFile::remove(companion);
        }
        m_ui.progressChanged();
    }
}

// Buttons, clicks and keys ----------------------------------------------------------

void BackupDialog::start() {
    if (!startEnabled())
        return;
    const Pending pending = m_pending;
    m_running = true;
    m_startEnabled = false;
    changed();
    try {
        switch (pending) {
        case Pending::Backup:
            runBackup();
            break;
        case Pending::PreRestoreBackup:
            runBackup();
            m_running = false;
            listRestore();
            return;
        case Pending::Restore:
            runRestore();
            break;
        case Pending::Delete:
            runDelete();
            break;
        case Pending::None:
            break;
        }
    } catch (...) {
        m_running = false;
        if (GetBackupResult() == 1 && pending != Pending::Delete)
            SetBackupResult(2);
        finishRun();
        throw;
    }
    m_running = false;
    finishRun();
}

void BackupDialog::finishRun() {
    m_pending = Pending::None;
    m_startCaption.clear();
    onlyClosing();
}

bool BackupDialog::close() {
    if (m_running)
        return false;
    if (m_pending == Pending::PreRestoreBackup) {
        listRestore();
        return false;
    }
    return true;
}

bool BackupDialog::isArchiveRow(int row) const {
    return (m_view == BackupView::List || m_view == BackupView::Delete) && row >= 0 &&
           row < m_rows.size();
}

void BackupDialog::selectRow(int row) {
    if (row < 0 || row >= m_rows.size())
        return;
    m_current = row;
    m_ui.currentRowChanged(row);
    if (isArchiveRow(row)) {
        m_comment = m_rows.at(row).value(kCommentColumn).left(CommentLength);
        changed();
    }
}

void BackupDialog::setMark(int row, const QString& mark) {
    setCell(row, kMarkColumn, mark);
}

void BackupDialog::pressCell(int row, int column) {
    if (m_running || m_pending != Pending::Delete || m_view != BackupView::Delete ||
        column != kMarkColumn || !isArchiveRow(row))
        return;
    setMark(row, m_rows.at(row).value(kMarkColumn) == kYes ? kNo : kYes);
}

void BackupDialog::moveRow(int step) {
    const int row = m_current + step;
    if (row >= 0 && row < m_rows.size())
        selectRow(row);
}

void BackupDialog::gridKey(int key, const QString& text) {
    if (m_running || !isArchiveRow(m_current))
        return;
    const bool deleting = m_pending == Pending::Delete;
    // The transport import is chosen like the restore: with the keys too.
    const bool restoring = m_pending == Pending::Restore;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if ((deleting || restoring) && key == Qt::Key_Up) {
        moveRow(-1);
        return;
    }
    if ((deleting || restoring) && key == Qt::Key_Down) {
        moveRow(1);
        return;
    }
    if (deleting) {
        const QString mark = m_rows.at(m_current).value(kMarkColumn);
        if (enter || key == Qt::Key_Space) {
            setMark(m_current, mark == kYes ? kNo : kYes);
            moveRow(1);
        } else if (text == u"J" || text == u"j") {
            setMark(m_current, kYes);
            moveRow(1);
        } else if (text == u"N" || text == u"n") {
            setMark(m_current, kNo);
            moveRow(1);
        }
        return;
    }
    if (restoring && (key == Qt::Key_Tab || enter))
        setFocus(BackupFocus::Start);
}

bool BackupDialog::commentKey(int key) {
    if (key == Qt::Key_Tab || key == Qt::Key_Return || key == Qt::Key_Enter) {
        setFocus(BackupFocus::Start);
        return true;
    }
    return false;
}

void BackupDialog::setComment(const QString& text) {
    m_comment = text.left(CommentLength);
}
