#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace table {
class Database;
class Table;
} // namespace table

namespace dbstructure {

// A menu entry of the reorganisation with the tables it works on, in order.
struct ReorgEntry {
    QString caption;
    QStringList tables;
};
// The entries of "Indexreparatur" and of "Datenbanken verdichten".
const QList<ReorgEntry>& IndexRepairEntries();
const QList<ReorgEntry>& PackEntries();

// Index repair and packing of the tables of one client database. Both need
// the table for this workstation alone: they are refused while another
// session is connected to the database, and the table is opened exclusively
// for the work.
class DbReorganisation {
public:
    using StatusSink = std::function<void(const QString&)>;
    DbReorganisation(std::shared_ptr<table::Database> db, StatusSink status = {});

    table::Database& database() const { return *m_db; }

    // Drops every secondary index of the table and builds exactly the indexes
    // of its definition. False (after an error box) when building failed;
    // raises when the table cannot be had alone or is unknown.
    bool RebuildTableIndexes(const QString& tableName);
    // Repairs the tables in order; an error ends the run (later tables are
    // not touched) and reaches the caller.
    void RepairIndexes(const QStringList& tables);

    // Rewrites the table without the space of its deleted rows; raises when
    // it cannot be had alone or is unknown.
    void PackParadoxTable(const QString& tableName);
    // Packs the table of the client's database named like the file (its
    // directory does not count).
    void PackDbFile(const QString& fileName);
    void PackTables(const QStringList& tables);

    // Every table of the database by the name its definition gives, sorted.
    QStringList TableNames() const;

private:
    void status(const QString& text) const;
    void requireAlone(const QString& message) const;

    std::shared_ptr<table::Database> m_db;
    StatusSink m_status;
};

// What the reorganisation needs of the data module: its main database, its
// table objects, and its timer work, which must pause meanwhile.
class ReorgDataModule {
public:
    virtual ~ReorgDataModule() = default;
    virtual std::shared_ptr<table::Database> mainDatabase() = 0;
    virtual QList<table::Table*> dataSets() = 0;
    virtual bool isTimerWorkEnabled() const = 0;
    virtual void setTimerWorkEnabled(bool enabled) = 0;
};
// Installed by the data module; without one the reorganisation works on the
// database of "LumoDB" and closes no table objects.
ReorgDataModule* SetReorgDataModule(ReorgDataModule* module);
ReorgDataModule* CurrentReorgDataModule();

// The table objects of a database that were open, closed for the
// reorganisation and reopened afterwards in the same order.
class TOpenList {
public:
    // Stores and closes every open one of `dataSets` that is on `db`.
    void RememberOpenDataSets(const QList<table::Table*>& dataSets, const table::Database& db);
    // Reopens them in the stored order; one that fails stays closed. Empties
    // the list.
    void RestoreOpenDataSets();
    const QList<table::Table*>& dataSets() const { return m_list; }

private:
    QList<table::Table*> m_list;
};

// The frame of the reorganisation form's lifetime: pauses the timer work and
// closes the open tables of the data module's main database; the destructor
// reopens them and resumes the timer work as it was.
class ReorgScope {
public:
    explicit ReorgScope(ReorgDataModule* module);
    ~ReorgScope();
    ReorgScope(const ReorgScope&) = delete;
    ReorgScope& operator=(const ReorgScope&) = delete;

    std::shared_ptr<table::Database> database() const { return m_db; }

private:
    ReorgDataModule* m_module;
    std::shared_ptr<table::Database> m_db;
    TOpenList m_openList;
    bool m_timerWasEnabled = false;
};

} // namespace dbstructure
