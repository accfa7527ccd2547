#include "core/startup.h"

#include "core/files/databasefile.h"
#include "core/files/directoryswap.h"
#include "core/files/filehelpers.h"
#include "core/files/filelookup.h"
#include "core/files/programdirs.h"
#include "core/messages/syslog.h"
#include "core/settings/cmdline.h"
#include "core/settings/formlayoutreset.h"
#include "core/settings/programsettings.h"
#include "core/settings/settingsfiles.h"
#include "platform/errors.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

#ifndef DOMVERA_VERSION_TEXT
#define DOMVERA_VERSION_TEXT "?.??"
#endif
#ifndef DOMVERA_BUILD_NUMBER
#define DOMVERA_BUILD_NUMBER "0"
#endif

namespace {

QStringList upgradeWorkDirs() {
    return {GetDataTempDir(), GetAblgTempDir(), GetDataTempDir() + u"_Sav"_s,
            GetAblgTempDir() + u"_Sav"_s};
}

} // namespace

void DenyOthersAccessToNewFiles() {
    ::umask(::umask(0) | S_IRWXO);
}

void ReadProgramVersion() {
    VersionText = u"v"_s + QString::fromLatin1(DOMVERA_VERSION_TEXT) + u'[' +
                  QString::fromLatin1(DOMVERA_BUILD_NUMBER) + u']';
}

void ReadCommandLineSwitches(const QStringList& arguments) {
    SoundsOn = !ParamSwitchPresent(u"+NS"_s, arguments);
    ServiceMode = ParamSwitchPresent(u"+SM"_s, arguments);
}

int ReadStartMandant() {
    QStringList lines;
    if (!ReadTextDataFile(ProgramDir + u"Mandant.ini"_s, lines) || lines.isEmpty())
        return MandantNr;
    bool ok = false;
    const int value = lines.first().trimmed().toInt(&ok);
    // An empty or non-numeric line must not select the demonstration client.
    if (!ok || value < 0 || value > MaxMandantNr)
        return MandantNr;
    return value;
}

void ProcessStartMarkers() {
    // A directory swap that a crash interrupted is finished or undone before
    // anything looks at the client directories.
    if (const QString failure = RecoverDirectorySwap(ProgramDir); !failure.isEmpty())
        throw DbError(failure);
    const QString upgradeMarker = WindowsDir + u"DELDEPP.DSF"_s;
    if (QFileInfo::exists(upgradeMarker))
        DeleteUpgradeTempDirs(upgradeMarker);
    if (QFileInfo::exists(WindowsDir + u"DELDEF.DSF"_s))
        DeleteFormLayoutFiles();
}

void DeleteUpgradeTempDirs(const QString& markerFile) {
    for (const QString& dir : upgradeWorkDirs())
        if (QFileInfo::exists(dir))
            DeleteDirectoryTree(dir);
    DeleteFileForced(markerFile);
}

void DeleteFormLayoutFiles() {
    // What the layout reset cleared, once more: forms that wrote their
    // placement again while closing start at their designed place.
    try {
        ClearLayoutFiles();
    } catch (const DbError& error) {
        // The start goes on with the old placements; the marker stays for
        // the next start to try again.
        WriteLog(error.message());
        return;
    }
    DeleteFileForced(WindowsDir + u"DELDEF.DSF"_s);
}

bool MarkTempDirsForDeletion() {
    return WriteTextDataFile(WindowsDir + u"DELDEPP.DSF"_s, {});
}

void BuildStartDirs() {
    BuildMandantDirs(MandantNr);
    LogFileName = ProgramDir + u"Syslog.txt"_s;
}

bool CheckDatabaseVersion() {
    NewClientLayouts = FindFileIgnoringCase(QrfdDir, u"ORM10001.QFD"_s).isEmpty();
    CheckClientDatabaseFiles();
    if (!ReadClientDbVersion())
        return false;
    if (DbVersion >= CurrentDbVersion || !DatabaseUpgraderInstalled())
        return true;
    if (!UpgradeClientDatabases(MandantNr))
        return false;
    DbUpgraded = true;
    return true;
}
