#include "dbstructure/tableschemas.h"
#include "platform/errors.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using dbstructure::Database;
using dbstructure::TableSchemas;

namespace {

const char* kAdress =
    R"({"tables": [{"name": "Adress.DB", "fields": [["A_ID", "Integer"], ["A_Nr", "Integer"]],
                    "indexes": [["A_INr", "A_Nr", "unique"]]},
                   {"name": "Apnames.DB", "fields": [["AP_ID", "Integer"], ["AP_Name", "String", 60]],
                    "defaults": [[0, "Manueller Eintrag"]]}]})";
const char* kObjekte =
    R"({"tables": [{"name": "Objekte.DB", "fields": [["O_ID", "Integer"], ["O_Aktiv", "Boolean"]],
                    "fillin": {"O_Aktiv": true}},
                   {"name": "ZahlArt.db", "fields": [["ZA_ID", "Integer"]]}]})";
const char* kGoodOrder = R"({"client": [
        {"table": "Adress.DB", "force": "<240", "rows": "copy"},
        {"table": "ZAHLART.DB", "force": "always", "rows": "copy"},
        {"table": "Objekte.DB", "force": "<240", "rows": "copy+fillin"},
        {"table": "Apnames", "force": "<240", "rows": "defaults"}],
    "archive": [{"table": "Objekte.DB", "force": "<240", "rows": "copy"}]})";

// A definition directory in a temporary folder.
class SchemaDir : public ::testing::Test {
protected:
    void write(const QString& name, const QByteArray& json) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
    }
    QString loadError() {
        try {
            TableSchemas::fromDirectory(dir.path());
        } catch (const DbError& e) {
            return e.message();
        }
        return {};
    }
    QTemporaryDir dir;
};

TEST_F(SchemaDir, LoadsTablesAndCreationOrders) {
    write("adress.json", kAdress);
    write("objekte.json", kObjekte);
    write("order.json", kGoodOrder);
    const TableSchemas schemas = TableSchemas::fromDirectory(dir.path());
    EXPECT_TRUE(schemas.hasCreationOrder());
    EXPECT_EQ(schemas.tables().size(), 4);

    QStringList clientNames;
    for (const table::TableDef& def : schemas.creationDefs(Database::Client))
        clientNames.append(def.name);
    // The definitions' own spelling, in the order's sequence.
    EXPECT_EQ(clientNames, QStringList({"Adress.DB", "ZahlArt.db", "Objekte.DB", "Apnames.DB"}));
    const auto archive = schemas.creationDefs(Database::Archive);
    ASSERT_EQ(archive.size(), 1);
    EXPECT_EQ(archive[0].name, QStringLiteral("Objekte.DB"));
    EXPECT_EQ(schemas.creationOrder(Database::Client)[1].force, dbstructure::ForceRule::Always);
}

TEST_F(SchemaDir, FindsTablesWithoutRegardToCaseOrExtension) {
    write("objekte.json", kObjekte);
    const TableSchemas schemas = TableSchemas::fromFiles({dir.filePath("objekte.json")});
    EXPECT_FALSE(schemas.hasCreationOrder());
    for (const char* name :
         {"ZahlArt.db", "Zahlart.DB", "zahlart.db", "ZAHLART", "ZahlArt", " Zahlart.DB"}) {
        SCOPED_TRACE(name);
        const auto* schema = schemas.find(QString::fromUtf8(name));
        ASSERT_NE(schema, nullptr);
        EXPECT_EQ(schema->def.name, QStringLiteral("ZahlArt.db"));
    }
    for (const char* name : {"Zahlart.txt", "Zahl", "Zahlart.DB.DB", "Objekte.DBX", ""}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(schemas.find(QString::fromUtf8(name)), nullptr);
    }
    EXPECT_THROW(schemas.get(QStringLiteral("Fehlt.DB")), DbError);
    EXPECT_EQ(schemas.get(QStringLiteral("objekte")).fillIns.size(), 1);
}

TEST_F(SchemaDir, RejectsTheSameTableInTwoFiles) {
    write("a.json", kObjekte);
    write("b.json", R"({"tables": [{"name": "zahlart.DB", "fields": [["ZA_ID", "Integer"]]}]})");
    write("order.json", R"({"client": [], "archive": []})");
    const QString error = loadError();
    EXPECT_TRUE(error.contains(QLatin1String("zahlart.DB"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QLatin1String("ZahlArt.db"))) << error.toStdString();
}

TEST_F(SchemaDir, RequiresTheCreationOrder) {
    write("a.json", kAdress);
    EXPECT_TRUE(loadError().contains(QLatin1String("order.json")));
}

QByteArray step(const char* table, const char* rows) {
    return QByteArray(R"({"table": ")") + table + R"(", "force": "<240", "rows": ")" + rows + "\"}";
}

// The order is checked against the tables: each fault names the table.
TEST_F(SchemaDir, RejectsOrdersThatDoNotMatchTheTables) {
    write("adress.json", kAdress);
    write("objekte.json", kObjekte);
    const QByteArray adress = step("Adress.DB", "copy");
    const QByteArray apnames = step("Apnames.DB", "defaults");
    const QByteArray objekte = step("Objekte.DB", "copy+fillin");
    const QByteArray zahlart = step("ZahlArt.db", "copy");
    const struct {
        const char* fault;
        QByteArrayList client;
        QByteArrayList archive;
        const char* mustName;
    } cases[] = {
        {"listed table without definition",
         {adress, apnames, objekte, zahlart, step("Kunden.DB", "copy")},
         {},
         "Kunden.DB"},
        {"defined table not listed", {apnames, objekte, zahlart}, {}, "Adress.DB"},
        {"defaults rule on a table without default rows",
         {step("Adress.DB", "copy-else-defaults"), apnames, objekte, zahlart},
         {},
         "Adress.DB"},
        {"default rows that no rule posts",
         {adress, step("Apnames.DB", "copy"), objekte, zahlart},
         {},
         "Apnames.DB"},
        {"fill-in values that no rule uses",
         {adress, apnames, step("Objekte.DB", "copy"), zahlart},
         {},
         "Objekte.DB"},
        {"fill-in rule on a table without fill-in values",
         {adress, apnames, objekte, step("ZahlArt.db", "copy+fillin")},
         {},
         "ZahlArt.db"},
        {"archive table without definition",
         {adress, apnames, objekte, zahlart},
         {step("Rechkopf.DB", "copy")},
         "Rechkopf.DB"},
        {"archive table with default rows",
         {adress, apnames, objekte, zahlart},
         {apnames},
         "Apnames.DB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        write("order.json", "{\"client\": [" + c.client.join(',') + "], \"archive\": [" +
                                c.archive.join(',') + "]}");
        const QString error = loadError();
        EXPECT_TRUE(error.contains(QLatin1String(c.mustName))) << error.toStdString();
    }
    // The same tables with a correct order load.
    write("order.json", "{\"client\": [" +
                            QByteArrayList{adress, apnames, objekte, zahlart}.join(',') +
                            "], \"archive\": []}");
    EXPECT_EQ(loadError(), QString());
}

} // namespace
