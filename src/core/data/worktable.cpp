#include "core/data/worktable.h"

#include "core/data/temptablename.h"
#include "core/messages/syslog.h"
#include "platform/table/database.h"
#include "platform/table/tableerror.h"

using namespace Qt::StringLiterals;

WorkTable::WorkTable(const QString& databaseName, table::TableDef def,
                     const NameProposer& proposeName)
    : m_databaseName(databaseName) {
    const std::shared_ptr<table::Database> db = table::aliases::database(databaseName);
    // Each failed creation means the name exists now, so the next proposal
    // differs; the bound only keeps a broken proposer from looping forever.
    for (int attempt = 0;; ++attempt) {
        def.name = proposeName ? proposeName() : GetTempTableName(u".db"_s);
        try {
            db->createTable(def);
            m_name = def.name;
            return;
        } catch (const table::TableError&) {
            if (attempt >= 1000 || !db->exists(def.name))
                throw;
        }
    }
}

WorkTable::~WorkTable() {
    try {
        table::aliases::database(m_databaseName)->dropTable(m_name);
    } catch (const std::exception& e) {
        // A destructor cannot raise; the next proposal skips the name anyway.
        WriteLog(u"Arbeitstabelle %1 bleibt: "_s.arg(m_name) + QString::fromUtf8(e.what()));
    }
}
