#include "datasafety/backuppaths.h"

#include "core/files/filehelpers.h"
#include "core/files/paths.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "datasafety/datasafety.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

constexpr int kMaxLineLength = 255;

QString defaultPathSentence(const QString& purpose, const QString& defaultPath) {
    return u"\r\r"_s + purpose + u" wird der Standard-Sicherungspfad\r"_s + defaultPath +
           u"\rverwendet!"_s;
}

} // namespace

QString BackupPurpose() {
    return u"Zur Datensicherung"_s;
}

QString TransportPurpose() {
    return u"Zum Datenexport"_s;
}

QString SystemDrivePath() {
    return QDir::homePath() + u'/';
}

bool CheckBackupPath(const QString& path, const QString& purpose, const QString& defaultPath) {
    // A drive letter of a path stored on another system names no drive here.
    if (path.isEmpty() || HasDriveLetter(path) || !DriveExists(path)) {
        ShowError(
            u"Laufwerk "_s + path.left(1) +
            u" ist nicht vorhanden oder kann nicht\rals Sicherungslaufwerk verwendet werden!"_s +
            defaultPathSentence(purpose, defaultPath));
        return false;
    }
    // A removable medium may be changed before it is used.
    if (GetDriveKind(path) == DriveKind::Removable)
        return true;
    if (QFileInfo(path).isDir())
        return true;
    if (!AskYesNo(u"Das Verzeichnis\r"_s + path +
                  u"\rexistiert noch nicht.\r\rSoll das Verzeichnis angelegt werden?"_s))
        return false;
    if (MakePath(path))
        return true;
    ShowError(u"Das Verzeichnis\r"_s + path + u"\rkonnte nicht angelegt werden."_s +
              defaultPathSentence(purpose, defaultPath));
    return false;
}

void LoadBackupPaths() {
    if (TransportDir.isEmpty() || HasDriveLetter(TransportDir) || !DriveExists(TransportDir))
        TransportDir = SystemDrivePath();
    if (BackupDir.isEmpty() || HasDriveLetter(BackupDir) || !DriveExists(BackupDir))
        BackupDir = SystemDrivePath();
    QStringList lines;
    if (!ReadTextDataFile(PfadeFileName, lines) || lines.isEmpty())
        return;
    const QString transport = lines.at(0).left(kMaxLineLength);
    // A file of one line has no backup path: only the transport path is
    // checked then.
    if (lines.size() >= 2) {
        const QString backup = lines.at(1).left(kMaxLineLength);
        if (CheckBackupPath(backup, BackupPurpose(), BackupDir))
            BackupDir = backup;
    }
    if (CheckBackupPath(transport, TransportPurpose(), TransportDir))
        TransportDir = transport;
}

bool SaveBackupPaths() {
    return WriteTextDataFile(PfadeFileName, {TransportDir, BackupDir});
}

namespace {

BackupPathEdits withSeparators(const BackupPathEdits& edits) {
    return {AddBackslash(edits.backup.trimmed()), AddBackslash(edits.transport.trimmed())};
}

} // namespace

bool BackupPathsDiffer(const BackupPathEdits& edits) {
    const BackupPathEdits e = withSeparators(edits);
    return e.backup != BackupDir || e.transport != TransportDir;
}

void ApplyBackupPaths(const BackupPathEdits& edits) {
    const BackupPathEdits e = withSeparators(edits);
    if (CheckBackupPath(e.backup, BackupPurpose(), BackupDir))
        BackupDir = e.backup;
    if (CheckBackupPath(e.transport, TransportPurpose(), TransportDir))
        TransportDir = e.transport;
    SaveBackupPaths();
}

void CloseBackupPathForm(const BackupPathEdits& edits, bool ok) {
    if (!ok && BackupPathsDiffer(edits) && !AskYesNo(u"Möchten Sie die Änderungen speichern?"_s))
        return;
    ApplyBackupPaths(edits);
}
