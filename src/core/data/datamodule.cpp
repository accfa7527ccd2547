#include "core/data/datamodule.h"

#include "core/connectedsessions.h"
#include "core/data/datamoduletimer.h"
#include "core/data/dbhelpers.h"
#include "core/files/programdirs.h"
#include "core/messages/messagecatalog.h"
#include "core/messages/messages.h"
#include "core/messages/splashstatus.h"
#include "core/messages/syslog.h"
#include "dbstructure/tableschemas.h"
#include "platform/table/database.h"
#include "platform/table/session.h"
#include "platform/table/table.h"

#include <QFile>
#include <QSet>
#include <QTimer>

using table::Table;

namespace {

TDataModule1* g_instance = nullptr;

const QString kLumo = QStringLiteral("LumoDB");
const QString kAblage = QStringLiteral("AblageDB");

struct NamedTable {
    const char* name;
    const char* file;
};

constexpr NamedTable kNamed[] = {
#define DOMVERA_DM_ROW(name, file) {#name, file},
    DOMVERA_DATAMODULE_TABLES(DOMVERA_DM_ROW)
#undef DOMVERA_DM_ROW
};

// The design-time settings of the base tables, in their opening order.
struct BaseTable {
    const char* name;
    const char* index;
    const char* filter;
};

constexpr BaseTable kBaseBeforeArticles[] = {
    {"TabFDUser", "Q_I_Formtype", "Q_Protect='false'"},
    {"TabApNames", "I_ApSort", nullptr},
    {"TabWochentage", nullptr, nullptr},
    {"TabBerUnerl", nullptr, nullptr},
    {"TabBerMod", nullptr, nullptr},
    {"TabBanken", nullptr, nullptr},
    {"TabZahlbed", nullptr, nullptr},
    {"TabVE", nullptr, nullptr},
    {"TabMwst", nullptr, nullptr},
    {"TabKostart", "ANr", nullptr},
    {"TabZahlart", nullptr, nullptr},
    {"TabZahlinterv", nullptr, nullptr},
    {"TabAusfInterv", nullptr, nullptr},
    {"TabFirmen", nullptr, nullptr},
    {"TabTaetig", "I_TNr", nullptr},
};

constexpr BaseTable kBaseAfterArticles[] = {
    {"TabKunden", "K_INr", nullptr},      {"TabObjekt", "O_INr", "O_Aktiv='true'"},
    {"TabLieferant", nullptr, nullptr},   {"TabPersonal", nullptr, nullptr},
    {"TabNotdienst", "ND_I_Nr", nullptr}, {"TabKundObj", "O_IKunde", nullptr},
    {"TabLUTaetig", nullptr, nullptr},    {"TabArtLU", nullptr, nullptr},
    {"TabLUKunden", "K_IMatch", nullptr}, {"TabLUObjekt", "O_INr", nullptr},
    {"TabLUTour", "T_I_Nr", nullptr},     {"TabLUAdress", "A_INr", nullptr},
};

// The session registry as the list of connected users.
class SessionUsers : public ConnectedSessionsSource {
public:
    explicit SessionUsers(std::shared_ptr<table::Session> session)
        : m_session(std::move(session)) {}
    QList<ConnectedSession> connectedSessions() const override {
        QList<ConnectedSession> list;
        for (const table::SessionInfo& info : m_session->users())
            list.append({info.userName, info.number});
        return list;
    }

private:
    std::shared_ptr<table::Session> m_session;
};

bool hasCompanyTable(const QString& dir) {
    if (dir.isEmpty() || !QFile::exists(table::Database::fileIn(dir)))
        return false;
    table::Database::Options options;
    options.create = false;
    try {
        return table::Database::open(dir, options)->exists(QStringLiteral("Firmen.DB"));
    } catch (const DbError&) {
        return false;
    }
}

QString errorText(const std::exception& e) {
    if (const auto* db = dynamic_cast<const DbError*>(&e))
        return db->message();
    return QString::fromUtf8(e.what());
}

} // namespace

TDataModule1::TDataModule1() : m_timer1(std::make_unique<QTimer>()) {
    g_instance = this;
    m_timer1->setInterval(Timer1Interval);
    QObject::connect(m_timer1.get(), &QTimer::timeout, [this] { Timer1Timer(*this); });
    m_timer1->start();
}

TDataModule1::~TDataModule1() {
    m_timer1.reset();
    dropTables();
    if (m_sessionsSource) {
        SetConnectedSessionsSource(nullptr);
        m_sessionsSource.reset();
    }
    if (g_instance == this)
        g_instance = nullptr;
}

TDataModule1& DataModule1() {
    if (!g_instance)
        throw DbError(QStringLiteral("Das Datenmodul ist nicht erstellt."));
    return *g_instance;
}

bool HasDataModule1() {
    return g_instance != nullptr;
}

void TDataModule1::DataModuleCreate() {
    // The start-up has built the client's databases; the template data of new
    // clients is never opened as a client's database.
    if (!hasCompanyTable(DataDir)) {
        ShowError(QStringLiteral("Die Datenbank des Mandanten fehlt im Verzeichnis\r") + DataDir);
        throw ProgramEndRequested{};
    }
    SetupLumoAlias(DataDir);
    OpenBaseTables();
    resetFlags();
    EnableTimerWork();
}

void TDataModule1::resetFlags() {
    m_initNewRecord = false;
    m_importRunning = false;
    m_recalcSuspended = false;
    m_bvObjInsertAllowed = false;
    m_bestObjInsertAllowed = false;
}

void TDataModule1::defineAlias(const QString& alias, const QString& dir, const QString& kindText) {
    try {
        table::aliases::define(alias, dir);
        auto db = table::aliases::database(alias);
        if (alias == kLumo && !NetDir.isEmpty() && !m_session) {
            m_session = std::make_shared<table::Session>(NetDir, m_sessionUser);
            m_sessionsSource = std::make_unique<SessionUsers>(m_session);
            SetConnectedSessionsSource(m_sessionsSource.get());
        }
        db->setSession(m_session);
    } catch (const std::exception& e) {
        ShowError(LoadMessage(65225) + kindText + alias + u'\r' + LoadMessage(65228) + dir + u'\r' +
                  LoadMessage(65229) + u'\r' + LoadMessage(65224) + errorText(e));
        throw ProgramEndRequested{};
    }
}

void TDataModule1::SetupLumoAlias(const QString& dir) {
    dropTables();
    defineAlias(kLumo, dir, LoadMessage(65226));
    SetupAblageAlias(AblageDir);
    buildTables();
}

void TDataModule1::SetupAblageAlias(const QString& dir) {
    defineAlias(kAblage, dir, LoadMessage(65227));
}

void TDataModule1::CloseDatabases() {
    DisableTimerWork();
    dropTables();
    for (const QString& alias : {kLumo, kAblage}) {
        try {
            table::aliases::close(alias);
        } catch (const table::TableError&) {
            // never defined: nothing to close
        }
    }
    if (m_sessionsSource) {
        SetConnectedSessionsSource(nullptr);
        m_sessionsSource.reset();
    }
    m_session.reset();
}

void TDataModule1::dropTables() {
    if (!m_entries.empty())
        for (const auto& teardown : m_teardowns)
            teardown();
    m_byName.clear();
    m_named.clear();
    m_entries.clear();
}

void TDataModule1::buildTables() {
    auto db = table::aliases::database(kLumo);
    QSet<QString> files;
    m_named.assign(NamedCount, nullptr);
    int index = 0;
    for (const NamedTable& n : kNamed) {
        Entry e{QString::fromLatin1(n.name), QString::fromLatin1(n.file),
                std::make_unique<Table>(db, QString::fromLatin1(n.file))};
        m_named[std::size_t(index++)] = e.table.get();
        m_byName.insert(e.name.toLower(), e.table.get());
        const QString key = dbstructure::TableLookupKey(e.file);
        if (!m_byName.contains(key))
            m_byName.insert(key, e.table.get());
        files.insert(key);
        m_entries.push_back(std::move(e));
    }
    // Every other table of the client database gets an object named by its file.
    const auto& schemas = dbstructure::TableSchemas::builtIn();
    for (const dbstructure::CreationStep& step :
         schemas.creationOrder(dbstructure::Database::Client)) {
        const QString key = dbstructure::TableLookupKey(step.table);
        if (files.contains(key))
            continue;
        files.insert(key);
        Entry e{step.table, step.table, std::make_unique<Table>(db, step.table)};
        m_byName.insert(key, e.table.get());
        m_entries.push_back(std::move(e));
    }
    TabKundObj().setMaster(&TabKunden(), {QStringLiteral("K_Nr")}, {QStringLiteral("O_Kunde")});
    TabObjTour().setReadOnly(true);
    for (const auto& setup : m_setups)
        setup(*this);
}

Table& TDataModule1::namedTable(int index) {
    if (m_named.empty())
        throw DbError(QStringLiteral("Die Tabellen des Mandanten sind geschlossen."));
    return *m_named[std::size_t(index)];
}

Table* TDataModule1::findTable(const QString& name) {
    if (Table* t = m_byName.value(name.toLower()))
        return t;
    return m_byName.value(dbstructure::TableLookupKey(name));
}

Table& TDataModule1::table(const QString& name) {
    if (Table* t = findTable(name))
        return *t;
    throw DbError(QStringLiteral("Das Datenmodul hat keine Tabelle %1.").arg(name));
}

QList<Table*> TDataModule1::tables() const {
    QList<Table*> list;
    for (const Entry& e : m_entries)
        list.append(e.table.get());
    return list;
}

void TDataModule1::AddTableSetup(std::function<void(TDataModule1&)> setup) {
    if (!setup)
        return;
    m_setups.push_back(std::move(setup));
    if (hasTables())
        m_setups.back()(*this);
}

void TDataModule1::AddTableTeardown(std::function<void()> teardown) {
    if (teardown)
        m_teardowns.push_back(std::move(teardown));
}

bool TDataModule1::OpenDataTable(Table& t) {
    const QString status = LoadMessage(65230) + t.tableName();
    SetSplashStatusText(status);
    try {
        t.open();
        return true;
    } catch (const std::exception& e) {
        ShowError(status + LoadMessage(65223) + u'\r' + LoadMessage(65224) + errorText(e));
        WriteLog(t.tableName() + QStringLiteral(": ERROR OPEN"));
        return false;
    }
}

bool TDataModule1::OpenBaseTables() {
    auto openBase = [this](const BaseTable& b) {
        Table& t = table(QString::fromLatin1(b.name));
        try {
            if (b.index)
                t.setIndexName(QString::fromLatin1(b.index));
            if (b.filter) {
                t.setFilter(QString::fromLatin1(b.filter));
                t.setFiltered(true);
            }
        } catch (const std::exception& e) {
            // A setting the table does not support shows up as its open error.
            ShowError(LoadMessage(65230) + t.tableName() + LoadMessage(65223) + u'\r' +
                      LoadMessage(65224) + errorText(e));
            WriteLog(t.tableName() + QStringLiteral(": ERROR OPEN"));
            return false;
        }
        return OpenDataTable(t);
    };
    bool result = false;
    for (const BaseTable& b : kBaseBeforeArticles)
        result = openBase(b);
    FilterArtikelByObjId(0);
    for (const BaseTable& b : kBaseAfterArticles)
        result = openBase(b);
    return result;
}

void TDataModule1::FilterArtikelByObjId(int objId) {
    Table& t = TabArtikel();
    const QString filter = QStringLiteral("A_ObjID=") + QString::number(objId);
    try {
        t.setFilter(filter);
        t.setFiltered(true);
        m_artikelObjId = objId;
        if (t.isOpen())
            t.refresh();
        else
            t.open();
    } catch (const std::exception&) {
        ShowError(QStringLiteral("Die Filterklausel ist nicht korrekt:\r") + filter);
        try {
            t.setFiltered(false);
        } catch (const std::exception&) {
        }
        if (!t.isOpen())
            OpenDataTable(t);
    }
}

void TDataModule1::SetTableReadOnly(Table& t, bool readOnly) {
    if (!t.isOpen() || t.isReadOnly() == readOnly)
        return;
    const int recNo = t.recNo();
    t.close();
    t.setReadOnly(readOnly);
    t.open();
    try {
        if (recNo > 0 && recNo <= t.recordCount())
            t.setRecNo(recNo);
        else
            t.first();
    } catch (const table::TableError&) {
        t.first();
    }
}

bool TDataModule1::FindDocIdByNr(TDocSource source, const QString& nr, int& id) {
    Table t(table::aliases::database(GetDocSourceAlias(source)), GetDocSourceKopfTable(source));
    t.open();
    if (!t.locate({QStringLiteral("R_Nr")}, {nr}))
        return false;
    id = t.field(QStringLiteral("R_ID")).asIntegerOr(0);
    return true;
}

bool TDataModule1::GetObjektUseKundenAdresseKb(int objektNr) {
    Table& t = TabObjekt();
    if (!t.isOpen() || !t.locate({QStringLiteral("O_Nr")}, {objektNr}))
        return false;
    return t.field(QStringLiteral("O_UseKundenAdresseKb")).asBooleanOr(false);
}

void TDataModule1::DeleteAllRecords(Table& t) {
    const bool wasOpen = t.isOpen();
    if (!wasOpen)
        t.open();
    QStringList failures;
    {
        table::Transaction tx(*t.database());
        t.first();
        // Bounded: a record another workstation holds is stepped over.
        while (!t.eof() && !t.isEmpty()) {
            try {
                t.deleteRecord();
            } catch (const table::TableError& e) {
                if (e.kind() == table::TableError::RecordDeleted)
                    continue;
                failures.append(t.field(0).asString() + QStringLiteral(": ") + e.message());
                t.next();
            }
        }
        tx.commit();
    }
    if (!wasOpen)
        t.close();
    if (!failures.isEmpty())
        ShowError(t.tableName() + LoadMessage(65223) + u'\r' + LoadMessage(65224) +
                  failures.join(u'\r'));
}
