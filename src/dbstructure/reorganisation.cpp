#include "dbstructure/reorganisation.h"

#include "core/messages/messages.h"
#include "dbstructure/tableschemas.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/session.h"
#include "platform/table/table.h"
#include "platform/table/tableerror.h"

#include <QFileInfo>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace dbstructure {
namespace {

ReorgDataModule* g_dataModule = nullptr;

bool otherSessionConnected(table::Database& db) {
    table::Session* session = db.session();
    if (!session)
        return false;
    const auto users = session->users();
    return std::any_of(users.cbegin(), users.cend(),
                       [&](const table::SessionInfo& u) { return u.number != session->number(); });
}

} // namespace

const QList<ReorgEntry>& IndexRepairEntries() {
    static const QList<ReorgEntry> entries = {
        {u"Artikeldaten"_s, {u"Artikel.DB"_s}},
        {u"Eingangsrechnungen"_s, {u"ERkopf.DB"_s, u"ERsatz.DB"_s}},
        {u"Kontroll-Berichte"_s, {u"BerKopf.db"_s, u"BerSatz.db"_s}},
        {u"Kundendaten"_s, {u"Kunden.DB"_s}},
        {u"Lieferantendaten"_s, {u"Liefrnt.DB"_s, u"Liefart.DB"_s}},
        {u"Objekte"_s, {u"Objekte.DB"_s}},
        {u"Personaldaten"_s, {u"Personal.DB"_s}},
        {u"Rechnungen"_s, {u"Rechkopf.DB"_s, u"Rechsatz.DB"_s}},
        {u"Tätigkeiten"_s, {u"Taetig.DB"_s}},
        {u"Tageslisten"_s, {u"TglTour.DB"_s, u"TglObj.DB"_s, u"TglTaet.DB"_s, u"TglFterm.DB"_s}},
        {u"Touren"_s, {u"Touren.DB"_s}},
        {u"Hilfsdatenbanken"_s,
         {u"Banken.DB"_s,   u"Krkassen.db"_s, u"TermObj.DB"_s,  u"Mwstsatz.DB"_s, u"Zahlart.DB"_s,
          u"Zahlbed.DB"_s,  u"ZahlIV.DB"_s,   u"Kostart.DB"_s,  u"AngKopf.DB"_s,  u"AngSatz.DB"_s,
          u"AuftKopf.DB"_s, u"AuftSatz.DB"_s, u"LSKopf.DB"_s,   u"LSSatz.DB"_s,   u"OPkopf.DB"_s,
          u"OPSatz.DB"_s,   u"OERkopf.DB"_s,  u"OERSatz.DB"_s,  u"IvDefH.DB"_s,   u"IvDef.DB"_s,
          u"Zeitart.DB"_s,  u"Zeiterf.DB"_s,  u"KostsumH.DB"_s, u"KostsumD.DB"_s}},
    };
    return entries;
}

const QList<ReorgEntry>& PackEntries() {
    static const QList<ReorgEntry> entries = {
        {u"Tageslistendatei"_s, {u"TglTaet.DB"_s}},
        {u"Kontrollberichtsdatei"_s, {u"BerSatz.db"_s, u"BerKopf.db"_s}},
        {u"Rechnungsdatei"_s, {u"Rechkopf.DB"_s, u"Rechsatz.db"_s}},
    };
    return entries;
}

DbReorganisation::DbReorganisation(std::shared_ptr<table::Database> db, StatusSink status)
    : m_db(std::move(db)), m_status(std::move(status)) {}

void DbReorganisation::status(const QString& text) const {
    if (m_status)
        m_status(text);
}

void DbReorganisation::requireAlone(const QString& message) const {
    // SQLite rewrites indexes and packs within the one database file that
    // every workstation shares, so another session anywhere is in the way.
    if (otherSessionConnected(*m_db))
        throw table::TableError(table::TableError::TableInUse, message);
}

bool DbReorganisation::RebuildTableIndexes(const QString& tableName) {
    status(u"Reindiziere Datenbank "_s + tableName);
    bool done = false;
    try {
        requireAlone(u"Die Tabelle "_s + tableName +
                     u" wird von einem anderen Benutzer verwendet."_s);
        // Exactly the definition's indexes: the program looks its indexes up
        // by these names.
        const auto indexes = TableSchemas::builtIn().get(tableName).def.indexes;
        table::Table exclusive(m_db, tableName);
        exclusive.setExclusive(true);
        exclusive.open();
        try {
            m_db->rebuildIndexes(tableName, indexes);
            done = true;
        } catch (const DbError&) {
            ShowError(u"Die Indizierung der Datenbank ist fehlgeschlagen!"_s);
        }
        exclusive.close();
    } catch (...) {
        status(u"Datenbank "_s + tableName + u" nicht reindiziert!"_s);
        throw;
    }
    status(u"Datenbank "_s + tableName + (done ? u" reindiziert!"_s : u" nicht reindiziert!"_s));
    return done;
}

void DbReorganisation::RepairIndexes(const QStringList& tables) {
    for (const QString& name : tables)
        RebuildTableIndexes(name);
}

void DbReorganisation::PackParadoxTable(const QString& tableName) {
    requireAlone(u"Sie benötigen zum Verdichten\rexklusiven Zugriff auf die Tabelle"_s);
    table::Table exclusive(m_db, tableName);
    exclusive.setExclusive(true);
    exclusive.open();
    if (!exclusive.isOpen())
        throw DbError(u"Die Tabelle muss zum Verdichten geöffnet sein!"_s);
    // Packing with the table still open exclusively keeps other workstations
    // from opening it meanwhile; the cursor is closed on every way out.
    m_db->packTable(tableName);
    exclusive.close();
    status(u"Datenbank "_s + tableName + u" wurde verdichtet!"_s);
}

void DbReorganisation::PackDbFile(const QString& fileName) {
    status(QString());
    PackParadoxTable(QFileInfo(fileName).fileName());
}

void DbReorganisation::PackTables(const QStringList& tables) {
    for (const QString& name : tables)
        PackDbFile(name);
}

QStringList DbReorganisation::TableNames() const {
    QStringList names;
    for (const QString& physical : m_db->tableNames())
        names.append(m_db->tableDef(physical).name);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

ReorgDataModule* SetReorgDataModule(ReorgDataModule* module) {
    ReorgDataModule* previous = g_dataModule;
    g_dataModule = module;
    return previous;
}

ReorgDataModule* CurrentReorgDataModule() {
    return g_dataModule;
}

void TOpenList::RememberOpenDataSets(const QList<table::Table*>& dataSets,
                                     const table::Database& db) {
    m_list.clear();
    for (table::Table* t : dataSets)
        if (t && t->isOpen() && t->database() == &db)
            m_list.append(t);
    for (table::Table* t : m_list)
        t->close();
}

void TOpenList::RestoreOpenDataSets() {
    for (table::Table* t : m_list) {
        try {
            t->open();
        } catch (const DbError&) {
            // The others are still wanted; this one stays closed.
        }
    }
    m_list.clear();
}

ReorgScope::ReorgScope(ReorgDataModule* module) : m_module(module) {
    m_db = m_module ? m_module->mainDatabase() : table::aliases::database(u"LumoDB"_s);
    if (!m_module)
        return;
    m_timerWasEnabled = m_module->isTimerWorkEnabled();
    m_module->setTimerWorkEnabled(false);
    m_openList.RememberOpenDataSets(m_module->dataSets(), *m_db);
}

ReorgScope::~ReorgScope() {
    m_openList.RestoreOpenDataSets();
    if (m_module && m_timerWasEnabled)
        m_module->setTimerWorkEnabled(true);
}

} // namespace dbstructure
