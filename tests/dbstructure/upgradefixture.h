#pragma once

// Old client databases built through the table layer, as an older program
// version left them: fewer fields, renamed fields, an auto-increment key.
#include "core/framefixture.h"
#include "core/messages/syslog.h"
#include "core/settings/programsettings.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QVariant>
#include <memory>

namespace upgradetest {

using table::FieldType;

inline std::shared_ptr<table::Database> openDb(const QString& dir) {
    table::Database::Options options;
    options.syncToDisk = false;
    return table::Database::open(dir, options);
}

struct OldTable {
    QString name;
    QList<table::FieldDef> fields;
    QList<QVariantList> rows; // values in field order; null: QVariant()
    QList<table::IndexDef> indexes = {};
};

inline void createOldTable(table::Database& db, const OldTable& old) {
    table::TableDef def;
    def.name = old.name;
    def.fields = old.fields;
    def.indexes = old.indexes;
    db.createTable(def);
    table::Table t(std::shared_ptr<table::Database>(std::shared_ptr<void>(), &db), old.name);
    t.open();
    for (const QVariantList& row : old.rows) {
        t.append();
        for (int i = 0; i < row.size(); ++i)
            if (!row[i].isNull() && old.fields[i].type != FieldType::AutoInc)
                t.field(i).setValue(row[i]);
        t.post();
    }
}

// Rows of a table as maps from field name to value, in primary-key order.
inline QList<QVariantMap> readRows(table::Database& db, const QString& name) {
    table::Table t(std::shared_ptr<table::Database>(std::shared_ptr<void>(), &db), name);
    t.open();
    QList<QVariantMap> rows;
    for (t.first(); !t.eof(); t.next()) {
        QVariantMap row;
        for (int i = 0; i < t.fieldCount(); ++i)
            row.insert(t.field(i).name(), t.field(i).value());
        rows.append(row);
    }
    return rows;
}

// A program directory with a client's data and archive directories and the
// work directories of an upgrade; DbVersion is restored afterwards.
class UpgradeFixture : public frametest::ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        m_savedVersion = DbVersion;
        m_savedLog = LogFileName;
        DbVersion = 230;
        LogFileName = ProgramDir + QStringLiteral("Syslog.txt");
        LogEnabled = true;
        dataDir = ProgramDir + QStringLiteral("Data0001/");
        archiveDir = ProgramDir + QStringLiteral("Ablg0001/");
        dataTemp = ProgramDir + QStringLiteral("DataTemp");
        ablgTemp = ProgramDir + QStringLiteral("AblgTemp");
        QDir().mkpath(dataDir);
        QDir().mkpath(archiveDir);
    }
    void TearDown() override {
        DbVersion = m_savedVersion;
        LogFileName = m_savedLog;
        ProgramDirFixture::TearDown();
    }

    QString dataDir, archiveDir, dataTemp, ablgTemp;

    QString logText() const { return QString::fromLatin1(readBytes(LogFileName)); }

private:
    int m_savedVersion = 0;
    QString m_savedLog;
};

} // namespace upgradetest
