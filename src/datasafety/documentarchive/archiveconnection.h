#pragma once

#include "platform/table/tabledef.h"

#include <QString>
#include <memory>

namespace table {
class Database;
}

// One connection to the client's working database ("LumoDB") with its
// archive database ("AblageDB") attached as the schema "ablage", so that one
// transaction covers rows of both: a document leaves the working tables
// exactly when it arrives in the archive, also when the program is killed
// in between. SQLite commits attached files together only under the
// rollback journal, so a database kept in write-ahead mode is refused.
//
// Statements name tables through workingTable() and archiveTable(). The
// shared cursors of both aliases do not see the connection's writes on
// their own; the connection tells them when it is closed.
class ArchiveConnection {
public:
    // The directories the aliases "LumoDB" and "AblageDB" point at.
    ArchiveConnection();
    ArchiveConnection(const QString& dataDir, const QString& archiveDir);
    ~ArchiveConnection();
    ArchiveConnection(const ArchiveConnection&) = delete;
    ArchiveConnection& operator=(const ArchiveConnection&) = delete;

    table::Database& database() const { return *m_work; }

    // The quoted names for statements ("main"."Rechkopf", "ablage"."Rechkopf");
    // a table missing from its database raises DbError naming it.
    QString workingTable(const QString& name);
    QString archiveTable(const QString& name);
    table::TableDef workingDef(const QString& name);
    table::TableDef archiveDef(const QString& name);

private:
    std::shared_ptr<table::Database> m_work;
    std::shared_ptr<table::Database> m_archive; // read for definitions only
};

// The German refusal for a database file kept in write-ahead mode; empty when
// both use the rollback journal.
QString ArchiveJournalProblem(table::Database& work);
