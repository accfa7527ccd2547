#pragma once

#include "core/data/datamoduletables.h"
#include "core/data/dockinds.h"

#include <QHash>
#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace table {
class Session;
class Table;
} // namespace table

class ConnectedSessionsSource;
class QTimer;

// Raised after the user was told that a database alias cannot be set up:
// the program cannot go on and ends.
struct ProgramEndRequested : std::exception {
    const char* what() const noexcept override { return "ProgramEndRequested"; }
};

// The data module: the aliases "LumoDB" and "AblageDB" on the client's
// directories, one shared table object per table of the client database and
// the switches that modules set on it.
//
// The table objects belong to the database they were opened on, so every
// SetupLumoAlias builds a fresh set; code that attaches rules to them
// registers a setup with AddTableSetup, which runs on every new set.
class TDataModule1 {
public:
    TDataModule1();
    ~TDataModule1();
    TDataModule1(const TDataModule1&) = delete;
    TDataModule1& operator=(const TDataModule1&) = delete;

    // The module's creation: the aliases on DataDir (or TemplateDataDir when
    // the client has no company table yet), the base tables, the flags.
    void DataModuleCreate();
    // Raise ProgramEndRequested after showing why the alias failed.
    void SetupLumoAlias(const QString& dir);
    void SetupAblageAlias(const QString& dir);
    // Closes every table and both databases and leaves the session (client switch).
    void CloseDatabases();
    // The user name under which this workstation joins the session registry.
    void SetSessionUserName(const QString& name) { m_sessionUser = name; }
    table::Session* session() const { return m_session.get(); }

    bool OpenBaseTables();
    bool OpenDataTable(table::Table& t);
    void FilterArtikelByObjId(int objId);
    int ArtikelObjId() const { return m_artikelObjId; }

    // A table object by accessor name ("TabKunden") or by table file
    // ("Kunden.DB", "kunden"); raises DbError when the module has none.
    table::Table& table(const QString& name);
    table::Table* findTable(const QString& name);
    QList<table::Table*> tables() const;
    bool hasTables() const { return !m_entries.empty(); }

#define DOMVERA_DM_ACCESSOR(name, file)                                                            \
    table::Table& name() {                                                                         \
        return namedTable(Index_##name);                                                           \
    }
    DOMVERA_DATAMODULE_TABLES(DOMVERA_DM_ACCESSOR)
#undef DOMVERA_DM_ACCESSOR

    // Runs now when tables exist, and on every new set of table objects.
    void AddTableSetup(std::function<void(TDataModule1&)> setup);
    // Runs before a set of table objects is freed (client switch, closing
    // the databases, the module's end), so that what is bound to them, such
    // as the widgets of a long-lived form, goes first.
    void AddTableTeardown(std::function<void()> teardown);

    // Closes, switches and reopens an open table whose state differs, back
    // on the same record number (the first record when that is gone).
    void SetTableReadOnly(table::Table& t, bool readOnly);

    // The 15-second timer, running from the module's creation to its destruction.
    QTimer& Timer1() {
        return *m_timer1;
    }

    bool IsTimerWorkEnabled() const {
        return m_timerWorkEnabled;
    }
    void EnableTimerWork() {
        m_timerWorkEnabled = true;
    }
    void DisableTimerWork() {
        m_timerWorkEnabled = false;
    }
    void SetInitNewRecord(bool on) {
        m_initNewRecord = on;
    }
    bool IsInitNewRecord() const {
        return m_initNewRecord;
    }
    void SetImportRunning(bool on) {
        m_importRunning = on;
    }
    bool IsImportRunning() const {
        return m_importRunning;
    }
    void SetRecalcSuspended(bool on) {
        m_recalcSuspended = on;
    }
    bool IsRecalcSuspended() const {
        return m_recalcSuspended;
    }
    void SetBvObjInsertAllowed(bool on) {
        m_bvObjInsertAllowed = on;
    }
    bool IsBvObjInsertAllowed() const {
        return m_bvObjInsertAllowed;
    }
    void SetBestObjInsertAllowed(bool on) {
        m_bestObjInsertAllowed = on;
    }
    bool IsBestObjInsertAllowed() const {
        return m_bestObjInsertAllowed;
    }

    // The key of the document with head number nr in the source's database.
    bool FindDocIdByNr(TDocSource source, const QString& nr, int& id);
    // Moves TabObjekt to the object.
    bool GetObjektUseKundenAdresseKb(int objektNr);
    // Empties the table; a closed table is opened for it and closed again.
    void DeleteAllRecords(table::Table& t);

private:
    enum NamedIndex {
#define DOMVERA_DM_INDEX(name, file) Index_##name,
        DOMVERA_DATAMODULE_TABLES(DOMVERA_DM_INDEX)
#undef DOMVERA_DM_INDEX
            NamedCount
    };
    struct Entry {
        QString name; // accessor name, or the file name for unnamed ones
        QString file;
        std::unique_ptr<table::Table> table;
    };

    // Raises DbError while the tables are closed for a client switch: a
    // table object is never reached after it was freed.
    table::Table& namedTable(int index);
    void buildTables();
    void dropTables();
    void defineAlias(const QString& alias, const QString& dir, const QString& kindText);
    void resetFlags();

    std::vector<Entry> m_entries;
    std::vector<table::Table*> m_named;
    QHash<QString, table::Table*> m_byName; // lower-case accessor or file key
    std::vector<std::function<void(TDataModule1&)>> m_setups;
    std::vector<std::function<void()>> m_teardowns;
    std::shared_ptr<table::Session> m_session;
    std::unique_ptr<ConnectedSessionsSource> m_sessionsSource;
    QString m_sessionUser;
    std::unique_ptr<QTimer> m_timer1;
    int m_artikelObjId = 0;

    bool m_timerWorkEnabled = true;
    bool m_initNewRecord = false;
    bool m_importRunning = false;
    bool m_recalcSuspended = false;
    bool m_bvObjInsertAllowed = false;
    bool m_bestObjInsertAllowed = false;
};

// The program's one data module; raises DbError while none exists.
TDataModule1& DataModule1();
bool HasDataModule1();
