#include "core/clientupgrade.h"

#include "core/files/databasefile.h"
#include "core/files/directoryswap.h"
#include "core/files/filehelpers.h"
#include "core/files/filelookup.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/settings/programsettings.h"
#include "core/settings/settingsfiles.h"
#include "platform/errors.h"
#include "platform/table/copyrows.h"
#include "platform/table/database.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

DatabaseUpgrader g_upgrader;
StructureCheck g_structureCheck;
TemplateDirsCopier g_templateCopier;

QString parentOf(const QString& dir) {
    return QFileInfo(QDir::cleanPath(dir)).path();
}

void removeEmptyWorkDirs() {
    for (const QString& dir :
         QStringList{GetDataTempDir(), GetAblgTempDir(), GetDataTempDir() + u"_Sav"_s,
                     GetAblgTempDir() + u"_Sav"_s})
        QDir().rmdir(dir);
}

void reportVersionFile(const QString& text) {
    WriteLog(QString(text).replace(u'\r', u' '));
    ShowInfo(text);
}

} // namespace

DatabaseUpgrader SetDatabaseUpgrader(DatabaseUpgrader upgrader) {
    DatabaseUpgrader previous = std::move(g_upgrader);
    g_upgrader = std::move(upgrader);
    return previous;
}

bool DatabaseUpgraderInstalled() {
    return bool(g_upgrader);
}

StructureCheck SetCurrentStructureCheck(StructureCheck check) {
    StructureCheck previous = std::move(g_structureCheck);
    g_structureCheck = std::move(check);
    return previous;
}

bool ReadClientDbVersion() {
    const DbVersionFile file = ReadDbVersionFile(DataDir);
    if (file.state == DbVersionFile::Valid) {
        if (file.version > CurrentDbVersion) {
            ShowError(u"Die Datenbank in\r"_s + QDir::toNativeSeparators(DataDir) +
                      u"\rhat die Version "_s + QString::number(file.version) +
                      u"; dieses Programm kennt nur Versionen bis "_s +
                      QString::number(CurrentDbVersion) +
                      u".\rBitte verwenden Sie das neuere Programm, mit dem die Datenbank "
                      u"zuletzt bearbeitet wurde."_s);
            return false;
        }
        DbVersion = file.version;
        return true;
    }
    DbVersion = 0;
    if (InspectDatabaseFile(DataDir, false).state != DatabaseFileState::Present)
        return true; // a new client: the upgrade branch builds it
    const QString found =
        u"Die Datei \"Version.Dat\" in\r"_s + QDir::toNativeSeparators(DataDir) +
        (file.state == DbVersionFile::Missing ? u"\rfehlt."_s : u"\rist nicht lesbar."_s);
    if (g_structureCheck && g_structureCheck(DataDir, AblageDir)) {
        WriteDbVersion(CurrentDbVersion);
        DbVersion = CurrentDbVersion;
        reportVersionFile(found + u"\rDie Datenbank hat bereits die aktuelle Struktur; die Datei "
                                  u"wurde neu geschrieben."_s);
    } else {
        reportVersionFile(found + u"\rDie Datenbank wird deshalb auf die aktuelle Version "
                                  u"gebracht."_s);
    }
    return true;
}

TemplateDirsCopier SetTemplateDirsCopier(TemplateDirsCopier copier) {
    TemplateDirsCopier previous = std::move(g_templateCopier);
    g_templateCopier = std::move(copier);
    return previous;
}

QList<std::pair<QString, QString>> TemplateDirPairs(int mandant) {
    if (mandant == 0)
        return {};
    return {{GetMandantQrfdDir(0), GetMandantQrfdDir(mandant)},
            {GetMandantWordDir(0), GetMandantWordDir(mandant)},
            {GetMandantImexDir(0), GetMandantImexDir(mandant)}};
}

void CopyTemplateTables(table::Database& target) {
    table::Database::Options options;
    options.create = false;
    auto source = table::Database::open(GetMandantDataDir(0), options);
    if (source->exists(u"Kostart.DB"_s))
        table::copyRows(*source, u"Kostart.DB"_s, target, u"Kostart.DB"_s);
    if (source->exists(u"Plz.DB"_s))
        source->copyTable(u"Plz.DB"_s, target, u"Plz.DB"_s);
}

bool UpgradeClientDatabases(int mandant, const NewDatabaseFiller& fillNew) {
    if (!g_upgrader)
        return true;
    const bool newClient = InspectDatabaseFile(DataDir, false).state != DatabaseFileState::Present;
    const bool withTemplates =
        newClient || FindFileIgnoringCase(QrfdDir, u"ORM10001.QFD"_s).isEmpty();
    const QString dataTemp = GetDataTempDir();
    const QString ablgTemp = GetAblgTempDir();
    if (!g_upgrader(DataDir, dataTemp + u'/', AblageDir, ablgTemp + u'/')) {
        // Plain removal: a work directory that still holds files stays for
        // the marker-driven clean-up of the next start.
        removeEmptyWorkDirs();
        return false;
    }
    if (newClient) {
        // The new client is complete before it is swapped in, so that no
        // crash can leave a client without its template rows.
        try {
            table::Database::Options options;
            options.create = false;
            options.syncToDisk = false; // brought to disk as a whole before the swap
            auto work = table::Database::open(dataTemp, options);
            if (fillNew)
                fillNew(work);
            else if (mandant != 0)
                CopyTemplateTables(*work);
        } catch (const DbError& error) {
            ShowError(error.message());
            return false;
        }
    }
    return InstallUpgradedDirectories(withTemplates ? TemplateDirPairs(mandant)
                                                    : QList<std::pair<QString, QString>>());
}

bool InstallUpgradedDirectories(const QList<std::pair<QString, QString>>& templateDirs) {
    const QString dataTemp = GetDataTempDir();
    const QString ablgTemp = GetAblgTempDir();
    DirectorySwap swap(parentOf(DataDir));
    if (!swap.begin())
        return false;
    const QString stagedData = StageDirectoryReplacement(swap, DataDir, dataTemp, DbVersion);
    if (stagedData.isEmpty())
        return false;
    // The version travels inside the new data directory: it changes exactly
    // when both databases are in place.
    try {
        WriteDbVersion(CurrentDbVersion, stagedData);
    } catch (const DbError& error) {
        ShowError(error.message());
        return false;
    }
    if (StageDirectoryReplacement(swap, AblageDir, ablgTemp, DbVersion).isEmpty())
        return false;
    for (const auto& [source, target] : templateDirs) {
        auto copy = [&source](const QString& staged) {
            return g_templateCopier ? g_templateCopier(source, staged)
                                    : CopyDirectoryTree(source, staged);
        };
        if (QFileInfo(source).isDir() && swap.stage(target, copy).isEmpty())
            ShowError(u"Verzeichnis "_s + source + u"\rkann nicht nach "_s + target +
                      u"\rkopiert werden"_s);
    }
    if (!swap.commit())
        return false;
    DeleteDirectoryTree(dataTemp);
    DeleteDirectoryTree(ablgTemp);
    return true;
}
