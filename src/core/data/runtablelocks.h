#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace table {
class Table;
}

// Write locks a data run holds on tables it writes many records of, each
// through a cursor of its own: while the run lasts, every record it edits
// there is covered by the table's lock instead of being entered in and
// removed from the shared lock registry one by one. A table that another
// workstation holds or edits in is left out: the run then locks its records
// there one by one and meets that workstation's locks as before. A table
// this session write-locks already keeps the lock of its holder.
class RunTableLocks {
public:
    RunTableLocks(const QString& databaseName, const QStringList& tableNames);
    ~RunTableLocks();
    RunTableLocks(const RunTableLocks&) = delete;
    RunTableLocks& operator=(const RunTableLocks&) = delete;

private:
    std::vector<std::unique_ptr<table::Table>> m_held; // closing a cursor drops its lock
};
