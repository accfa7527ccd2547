#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <utility>

namespace table {
class Database;
}

// Bringing the current client's databases to the current version: reading
// its version, building new databases in the work directories and swapping
// them in. The directory set of the client is the current one of the path
// globals (BuildMandantDirs).

// Builds the upgraded database and archive database in the work directories
// (dataDir, dataTemp, ablageDir, ablgTemp); false after a failure it has
// reported itself. Installed by the database-structure library.
using DatabaseUpgrader = std::function<bool(const QString& dataDir, const QString& dataTemp,
                                            const QString& ablageDir, const QString& ablgTemp)>;
DatabaseUpgrader SetDatabaseUpgrader(DatabaseUpgrader upgrader);
bool DatabaseUpgraderInstalled();
// Whether a data and an archive directory hold databases of the current
// structure; installed by the database-structure library.
using StructureCheck = std::function<bool(const QString& dataDir, const QString& archiveDir)>;
StructureCheck SetCurrentStructureCheck(StructureCheck check);

// DbVersion of DataDir's client from "Version.Dat". When that file is
// missing or unreadable while the client has a database, this is reported
// and the database's own structure decides: the current structure keeps it
// (the file is written again), any other goes through the upgrade (version
// 0). A client without a database gets 0 without a word. False, after a
// message, when the database is newer than this program; raises DbError when
// the file cannot be written again.
bool ReadClientDbVersion();

// Pairs (template directory, client directory) of the layouts, letters and
// import/export definitions a new client starts with; none for client 0.
QList<std::pair<QString, QString>> TemplateDirPairs(int mandant);
// Copies one template directory into a client's (staged) directory; without
// an installed copier the whole tree is copied over.
using TemplateDirsCopier = std::function<bool(const QString& source, const QString& target)>;
TemplateDirsCopier SetTemplateDirsCopier(TemplateDirsCopier copier);

// The template data's cost types and postal-code table into a new client's
// database.
void CopyTemplateTables(table::Database& target);

// Fills a new client's freshly built work database before it is swapped in.
using NewDatabaseFiller = std::function<void(const std::shared_ptr<table::Database>& work)>;

// The upgrade branch of client `mandant`, whose directories are the current
// ones: builds its databases of the current version in the work directories
// and swaps them in together with "Version.Dat" (InstallUpgradedDirectories).
// A client without a database becomes complete in the same step: its new
// database gets fillNew's rows (by default the template's cost types and
// postal codes) and it gets the template directories, as does a client
// without layouts of its own. False after a reported
// failure; the client's directories are then as they were. Without an
// installed upgrader nothing happens.
bool UpgradeClientDatabases(int mandant, const NewDatabaseFiller& fillNew = {});

// Puts DataTemp and AblgTemp in place of DataDir and AblageDir, keeping the
// old ones as "<dir>.<DbVersion>", with "Version.Dat" of the current version
// in the new data directory, and merges each template directory into its
// client directory (a failure there is reported and that copy skipped): all
// of it or nothing, also when the process dies meanwhile. False after a
// reported failure.
bool InstallUpgradedDirectories(const QList<std::pair<QString, QString>>& templateDirs = {});
