// Checks the definitions compiled into the program as a whole: both creation
// orders and the totals over every table of the client database.
#include "dbstructure/tableschemas.h"
#include "platform/errors.h"

#include <QMap>
#include <QSet>
#include <gtest/gtest.h>

using dbstructure::CreationStep;
using dbstructure::Database;
using dbstructure::ForceRule;
using dbstructure::RowsRule;
using dbstructure::TableSchema;
using dbstructure::TableSchemas;
using table::FieldType;

namespace {

// Loading raises a DbError naming the faulty file and table; show it.
const TableSchemas* builtIn() {
    try {
        return &TableSchemas::builtIn();
    } catch (const DbError& e) {
        ADD_FAILURE() << e.message().toStdString();
        return nullptr;
    }
}

QList<const TableSchema*> clientTables() {
    QList<const TableSchema*> tables;
    for (const CreationStep& step : builtIn()->creationOrder(Database::Client))
        tables.append(&builtIn()->get(step.table));
    return tables;
}

TEST(AllSchemas, EveryFileLoads) {
    const TableSchemas* schemas = builtIn();
    ASSERT_NE(schemas, nullptr);
    EXPECT_TRUE(schemas->hasCreationOrder());
    // The client database's tables and the postal-code template table.
    EXPECT_EQ(schemas->tables().size(), 101);
}

TEST(AllSchemas, ClientOrderListsEveryTableOnce) {
    ASSERT_NE(builtIn(), nullptr);
    const auto& order = builtIn()->creationOrder(Database::Client);
    ASSERT_EQ(order.size(), 100);
    QSet<QString> seen;
    for (const CreationStep& step : order) {
        EXPECT_NE(builtIn()->find(step.table), nullptr) << step.table.toStdString();
        seen.insert(dbstructure::TableLookupKey(step.table));
    }
    EXPECT_EQ(seen.size(), 100);
    EXPECT_EQ(order.first().table, QStringLiteral("Adress.DB"));
    EXPECT_EQ(order.last().table, QStringLiteral("BestObj.DB"));

    QStringList alwaysForced;
    QMap<RowsRule, int> rules;
    for (const CreationStep& step : order) {
        if (step.force == ForceRule::Always)
            alwaysForced.append(step.table);
        ++rules[step.rows];
    }
    EXPECT_EQ(alwaysForced, QStringList({"Firmen.DB", "Kunden.DB", "TourObj.db", "TourPers.DB"}));
    const QMap<RowsRule, int> expected = {{RowsRule::Copy, 67},
                                          {RowsRule::CopyWithFillIn, 6},
                                          {RowsRule::CopyElseDefaults, 13},
                                          {RowsRule::Defaults, 13},
                                          {RowsRule::DefaultsThenUserForms, 1}};
    EXPECT_EQ(rules, expected);
    const struct {
        int position;
        const char* table;
        RowsRule rows;
    } samples[] = {{8, "Artikel.DB", RowsRule::CopyWithFillIn},
                   {16, "Banken.DB", RowsRule::CopyElseDefaults},
                   {26, "Firmen.DB", RowsRule::CopyElseDefaults},
                   {36, "Kunden.DB", RowsRule::Copy},
                   {61, "QrFrmDef.DB", RowsRule::DefaultsThenUserForms},
                   {81, "Wochtag.db", RowsRule::Defaults}};
    for (const auto& s : samples) {
        EXPECT_EQ(order[s.position - 1].table, QString::fromUtf8(s.table));
        EXPECT_EQ(order[s.position - 1].rows, s.rows) << s.table;
    }
}

TEST(AllSchemas, ArchiveOrderHoldsTheDocumentTables) {
    ASSERT_NE(builtIn(), nullptr);
    QStringList names;
    for (const table::TableDef& def : builtIn()->creationDefs(Database::Archive))
        names.append(def.name);
    EXPECT_EQ(names, QStringList({"Angkopf.DB", "AngSatz.DB", "Auftkopf.DB", "AuftSatz.DB",
                                  "BerSatz.db", "BerKopf.db", "ERKopf.DB", "ERSatz.DB", "LSkopf.DB",
                                  "LSsatz.DB", "Rechkopf.DB", "RechSatz.DB", "Gskopf.DB",
                                  "GsSatz.DB", "Bestkopf.DB", "BestSatz.DB", "Zeiterf.DB"}));
    for (const CreationStep& step : builtIn()->creationOrder(Database::Archive)) {
        EXPECT_EQ(step.force, ForceRule::BelowCurrentVersion) << step.table.toStdString();
        EXPECT_EQ(step.rows, RowsRule::Copy) << step.table.toStdString();
    }
}

TEST(AllSchemas, FieldTypeTotals) {
    ASSERT_NE(builtIn(), nullptr);
    QMap<FieldType, int> counts;
    for (const TableSchema* s : clientTables()) {
        for (const table::FieldDef& field : s->def.fields)
            ++counts[field.type];
    }
    const QMap<FieldType, int> expected = {
        {FieldType::String, 664}, {FieldType::Smallint, 272}, {FieldType::Integer, 420},
        {FieldType::Float, 139},  {FieldType::Currency, 265}, {FieldType::Boolean, 75},
        {FieldType::Date, 97},    {FieldType::Time, 8},       {FieldType::DateTime, 5},
        {FieldType::Memo, 21},    {FieldType::FmtMemo, 72},   {FieldType::Graphic, 2},
    };
    EXPECT_EQ(counts, expected);
}

TEST(AllSchemas, IndexKindTotals) {
    ASSERT_NE(builtIn(), nullptr);
    int primary = 0, plain = 0, unique = 0, descending = 0, both = 0;
    for (const TableSchema* s : clientTables()) {
        // The primary index is implied by the first field, so each table has one.
        primary += !s->def.fields.isEmpty();
        for (const table::IndexDef& index : s->def.indexes) {
            EXPECT_TRUE(index.caseInsensitive);
            EXPECT_LE(index.fields.size(), 4);
            plain += !index.unique && !index.descending;
            unique += index.unique && !index.descending;
            descending += index.descending && !index.unique;
            both += index.unique && index.descending;
        }
    }
    EXPECT_EQ(primary, 100);
    EXPECT_EQ(plain, 231);
    EXPECT_EQ(unique, 20);
    EXPECT_EQ(descending, 4);
    EXPECT_EQ(both, 0);
}

TEST(AllSchemas, DefaultRowAndFillInTables) {
    ASSERT_NE(builtIn(), nullptr);
    int withRows = 0;
    QStringList withFillIns;
    for (const TableSchema* s : clientTables()) {
        withRows += !s->defaultRows.isEmpty();
        if (!s->fillIns.isEmpty())
            withFillIns.append(s->def.name);
    }
    EXPECT_EQ(withRows, 27);
    withFillIns.sort(Qt::CaseInsensitive);
    EXPECT_EQ(withFillIns, QStringList({"Artikel.DB", "Objekte.DB", "ObjTaet.db", "ORgDef.db",
                                        "Taetig.DB", "Touren.DB"}));
    // Only Banken.DB is keyed by a text; every other key is an Integer.
    for (const TableSchema* s : clientTables()) {
        const table::FieldDef& key = s->def.fields.first();
        if (s->def.name == QLatin1String("Banken.DB"))
            EXPECT_EQ(key.type, FieldType::String);
        else
            EXPECT_EQ(key.type, FieldType::Integer) << s->def.name.toStdString();
    }
}

TEST(AllSchemas, PostalCodeTemplateTable) {
    ASSERT_NE(builtIn(), nullptr);
    const TableSchema* plz = builtIn()->find(QStringLiteral("plz.db"));
    ASSERT_NE(plz, nullptr);
    QStringList fields;
    for (const table::FieldDef& field : plz->def.fields)
        fields.append(field.name);
    for (const char* name : {"P_ID", "PLZ", "ORT", "VORWAHL"})
        EXPECT_TRUE(fields.contains(QString::fromUtf8(name))) << name;
    EXPECT_TRUE(std::any_of(plz->def.indexes.begin(), plz->def.indexes.end(),
                            [](const auto& index) { return index.name == "I_VwlPlz"; }));
    for (Database db : {Database::Client, Database::Archive}) {
        for (const CreationStep& step : builtIn()->creationOrder(db))
            EXPECT_NE(dbstructure::TableLookupKey(step.table), QStringLiteral("plz"));
    }
}

TEST(AllSchemas, NamesResolveWithoutRegardToCase) {
    ASSERT_NE(builtIn(), nullptr);
    const TableSchema& zahlart = builtIn()->get(QStringLiteral("Zahlart.DB"));
    for (const char* name : {"ZahlArt.db", "ZahlArt.DB", "zahlart", "ZAHLART.DB"})
        EXPECT_EQ(builtIn()->find(QString::fromUtf8(name)), &zahlart) << name;
    // An index may spell its field in another case than the field list does;
    // it keeps its own spelling.
    const auto& indexes = builtIn()->get(QStringLiteral("BerKopf.db")).def.indexes;
    const auto objekt = std::find_if(indexes.begin(), indexes.end(),
                                     [](const auto& index) { return index.name == "B_IObjekt"; });
    ASSERT_NE(objekt, indexes.end());
    EXPECT_EQ(objekt->fields, QStringList({"B_ObjektNr", "B_Druckdatum"}));
}

} // namespace
