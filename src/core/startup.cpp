#include "core/startup.h"

#include "core/cmdline.h"
#include "core/filehelpers.h"
#include "core/filelookup.h"
#include "core/formlayoutreset.h"
#include "core/programdirs.h"
#include "core/programsettings.h"
#include "core/settingsfiles.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

#ifndef DOMVERA_VERSION_TEXT
#define DOMVERA_VERSION_TEXT "?.??"
#endif
#ifndef DOMVERA_BUILD_NUMBER
#define DOMVERA_BUILD_NUMBER "0"
#endif

namespace {

DatabaseUpgrader g_upgrader;
TemplateDirsCopier g_templateCopier;

QStringList upgradeWorkDirs() {
    return {GetDataTempDir(), GetAblgTempDir(), GetDataTempDir() + u"_Sav"_s,
            GetAblgTempDir() + u"_Sav"_s};
}

} // namespace

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
    // The same files the layout reset removes, so that forms that wrote their
    // placement again while closing start at their designed place.
    for (const QString& file : FormLayoutFileNames()) {
        const QString name = WindowsDir + file;
        if (QFileInfo::exists(name))
            DeleteFileForced(name);
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

DatabaseUpgrader SetDatabaseUpgrader(DatabaseUpgrader upgrader) {
    DatabaseUpgrader previous = std::move(g_upgrader);
    g_upgrader = std::move(upgrader);
    return previous;
}

TemplateDirsCopier SetTemplateDirsCopier(TemplateDirsCopier copier) {
    TemplateDirsCopier previous = std::move(g_templateCopier);
    g_templateCopier = std::move(copier);
    return previous;
}

bool CheckDatabaseVersion() {
    NewClientLayouts = FindFileIgnoringCase(QrfdDir, u"ORM10001.QFD"_s).isEmpty();
    DbVersion = ReadDbVersion();
    if (DbVersion >= CurrentDbVersion || !g_upgrader)
        return true;

    const QString dataTemp = GetDataTempDir();
    const QString ablgTemp = GetAblgTempDir();
    if (NewClientLayouts) {
        CopyMatchingFiles(TemplateDataDir, DataDir, u"Kostart.*"_s);
        CopyMatchingFiles(TemplateDataDir, DataDir, u"Plz.*"_s);
    }
    if (!g_upgrader(DataDir, dataTemp + u'/', AblageDir, ablgTemp + u'/')) {
        // Plain removal: a work directory that still holds files stays for
        // the marker-driven clean-up of the next start.
        for (const QString& dir : upgradeWorkDirs())
            QDir().rmdir(dir);
        return false;
    }
    if (!ReplaceDirectory(DataDir, dataTemp, DbVersion))
        return false;
    WriteDbVersion(CurrentDbVersion);
    if (!ReplaceDirectory(AblageDir, ablgTemp, DbVersion))
        return false;
    if (NewClientLayouts && g_templateCopier)
        g_templateCopier(MandantNr);
    DbUpgraded = true;
    return true;
}
