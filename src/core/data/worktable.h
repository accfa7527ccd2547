#pragma once

#include "platform/table/tabledef.h"

#include <QString>
#include <functional>

// A work table of a run of its own: created under a free "Tmppr" name in the
// database of an alias and dropped again with this object, on every way out.
// A name that another workstation takes between the proposal and the creation
// is skipped: the creation is retried under the next proposal.
class WorkTable {
public:
    using NameProposer = std::function<QString()>;
    // def's name is ignored; proposeName defaults to GetTempTableName(".db").
    WorkTable(const QString& databaseName, table::TableDef def,
              const NameProposer& proposeName = {});
    ~WorkTable();
    WorkTable(const WorkTable&) = delete;
    WorkTable& operator=(const WorkTable&) = delete;

    const QString& databaseName() const { return m_databaseName; }
    const QString& name() const { return m_name; }

private:
    QString m_databaseName;
    QString m_name;
};
