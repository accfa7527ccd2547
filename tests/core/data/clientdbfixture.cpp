#include "clientdbfixture.h"

#include "core/files/programdirs.h"
#include "dbstructure/tablecreator.h"
#include "dbstructure/tableschemas.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDir>
#include <QFile>

namespace datatest {

namespace {

void buildDatabase(const QString& dir, dbstructure::Database which) {
    const auto& schemas = dbstructure::TableSchemas::builtIn();
    table::Database::Options options;
    options.syncToDisk = false;
    auto db = table::Database::open(dir, options);
    for (const dbstructure::CreationStep& step : schemas.creationOrder(which)) {
        dbstructure::CreateTable(*db, step.table, false, schemas);
        if (step.rows != dbstructure::RowsRule::Copy &&
            step.rows != dbstructure::RowsRule::CopyWithFillIn)
            dbstructure::FillDefaults(*db, step.table, schemas);
    }
}

// The pair of new databases, built once per test program.
const QString& templateRoot() {
    static QTemporaryDir dir;
    static const bool built = [] {
        QDir().mkpath(dir.filePath(QStringLiteral("data")));
        QDir().mkpath(dir.filePath(QStringLiteral("ablage")));
        buildDatabase(dir.filePath(QStringLiteral("data")), dbstructure::Database::Client);
        buildDatabase(dir.filePath(QStringLiteral("ablage")), dbstructure::Database::Archive);
        return true;
    }();
    Q_UNUSED(built);
    static const QString root = dir.path();
    return root;
}

void copyDatabase(const QString& from, const QString& to) {
    QDir().mkpath(to);
    ASSERT_TRUE(QFile::copy(table::Database::fileIn(from), table::Database::fileIn(to)));
}

} // namespace

void ClientDbFixture::SetUp() {
    ASSERT_TRUE(m_root.isValid());
    const QString tpl = templateRoot();
    m_saved[0] = DataDir;
    m_saved[1] = AblageDir;
    m_saved[2] = NetDir;
    m_saved[3] = TemplateDataDir;
    m_saved[4] = LogFileName;
    DataDir = path(QStringLiteral("Data0001/"));
    AblageDir = path(QStringLiteral("Ablg0001/"));
    NetDir = path(QStringLiteral("Netdir/"));
    TemplateDataDir = path(QStringLiteral("Data0000/"));
    LogFileName = path(QStringLiteral("Syslog.txt"));
    QDir().mkpath(NetDir);
    QDir().mkpath(TemplateDataDir);
    copyDatabase(tpl + QStringLiteral("/data"), DataDir);
    copyDatabase(tpl + QStringLiteral("/ablage"), AblageDir);
    table::aliases::define(QStringLiteral("LumoDB"), DataDir);
    table::aliases::define(QStringLiteral("AblageDB"), AblageDir);
    m_previousPresenter = SetMessagePresenter(&presenter);
}

void ClientDbFixture::TearDown() {
    SetMessagePresenter(m_previousPresenter);
    table::aliases::remove(QStringLiteral("LumoDB"));
    table::aliases::remove(QStringLiteral("AblageDB"));
    DataDir = m_saved[0];
    AblageDir = m_saved[1];
    NetDir = m_saved[2];
    TemplateDataDir = m_saved[3];
    LogFileName = m_saved[4];
}

std::unique_ptr<table::Table> ClientDbFixture::open(const QString& tableName,
                                                    const QString& alias) {
    auto t = std::make_unique<table::Table>(table::aliases::database(alias), tableName);
    t->open();
    return t;
}

void ClientDbFixture::addRow(const QString& tableName,
                             const QList<std::pair<QString, QVariant>>& values,
                             const QString& alias) {
    auto t = open(tableName, alias);
    t->append();
    for (const auto& [field, value] : values)
        t->field(field).setValue(value);
    t->post();
}

QString ClientDbFixture::logText() const {
    QFile f(LogFileName);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll());
}

} // namespace datatest
