#include "dbstructure/schemareader.h"
#include "platform/errors.h"

#include <QMetaType>
#include <gtest/gtest.h>

using dbstructure::ReadCreationOrder;
using dbstructure::ReadTableSchemas;
using table::FieldType;

namespace {

QByteArray tableFile(const char* tableJson) {
    return QByteArray(R"({"tables": [)") + tableJson + "]}";
}

// The text of the error the reader raises, or an empty text when it accepts.
QString readError(const QByteArray& json) {
    try {
        ReadTableSchemas(json, QStringLiteral("test.json"));
    } catch (const DbError& e) {
        return e.message();
    }
    return {};
}

struct BadDefinition {
    const char* fault;
    const char* table;
    QStringList mustName; // the error names the table, the file and these
};

const BadDefinition kBadDefinitions[] = {
    {"unknown type word",
     R"({"name": "Kunden.DB", "fields": [["K_ID", "Integer"], ["K_Match", "Strng", 20]]})",
     {"K_Match", "Strng"}},
    {"String without size",
     R"({"name": "Kunden.DB", "fields": [["K_ID", "Integer"], ["K_Match", "String"]]})",
     {"K_Match", "Größe"}},
    {"Memo without size",
     R"({"name": "Kunden.DB", "fields": [["K_ID", "Integer"], ["K_Memo", "Memo"]]})",
     {"K_Memo"}},
    {"size on a type without one",
     R"({"name": "Kunden.DB", "fields": [["K_ID", "Integer", 4]]})",
     {"K_ID"}},
    {"String of size 0",
     R"({"name": "Kunden.DB", "fields": [["K_ID", "Integer"], ["K_X", "String", 0]]})",
     {"K_X"}},
    {"FmtMemo too large",
     R"({"name": "Kunden.DB", "fields": [["K_ID", "Integer"], ["K_X", "FmtMemo", 241]]})",
     {"K_X", "241"}},
    {"no fields", R"({"name": "Kunden.DB", "fields": []})", {}},
    {"field twice, other case",
     R"({"name": "Kunden.DB", "fields": [["K_ID", "Integer"], ["K_Nr", "Integer"], ["k_nr", "Smallint"]]})",
     {"k_nr"}},
    {"index on an unknown field",
     R"({"name": "Kunden.DB", "fields": [["K_ID", "Integer"], ["K_Plz", "String", 10]],
         "indexes": [["K_IPlzOrt", "K_Plz;K_Ort"]]})",
     {"K_IPlzOrt", "K_Ort"}},
    {"unknown index option",
     R"({"name": "Kunden.DB", "fields": [["K_ID", "Integer"], ["K_Nr", "Integer"]],
         "indexes": [["K_INr", "K_Nr", "unique,unqiue"]]})",
     {"K_INr", "unqiue"}},
    {"index name twice, other case",
     R"({"name": "Kunden.DB", "fields": [["K_ID", "Integer"], ["K_Nr", "Integer"]],
         "indexes": [["K_INr", "K_Nr"], ["K_INR", "K_ID"]]})",
     {"K_INR"}},
    {"index on five fields",
     R"({"name": "T.DB", "fields": [["A", "Integer"], ["B", "Integer"], ["C", "Integer"], ["D", "Integer"], ["E", "Integer"]],
         "indexes": [["I_All", "A;B;C;D;E"]]})",
     {"I_All"}},
    {"default row longer than the field list",
     R"({"name": "Apnames.DB", "fields": [["AP_ID", "Integer"], ["AP_Name", "String", 60]],
         "defaults": [[0, "Manueller Eintrag"], [1, "Serienbrief", 3]]})",
     {"2", "3"}},
    {"text in an Integer field",
     R"({"name": "Apnames.DB", "fields": [["AP_ID", "Integer"]], "defaults": [["1"]]})",
     {"AP_ID"}},
    {"fraction in an Integer field",
     R"({"name": "Apnames.DB", "fields": [["AP_ID", "Integer"]], "defaults": [[1.5]]})",
     {"AP_ID"}},
    {"Smallint out of range",
     R"({"name": "Apnames.DB", "fields": [["AP_ID", "Integer"], ["AP_Sort", "Smallint"]], "defaults": [[1, 32768]]})",
     {"AP_Sort", "32768"}},
    {"text longer than its String field",
     R"({"name": "Krkassen.db", "fields": [["KK_ID", "Integer"], ["KK_Match", "String", 3]], "defaults": [[1, "AOKX"]]})",
     {"KK_Match", "AOKX"}},
    {"impossible date",
     R"({"name": "MwstSatz.DB", "fields": [["M_ID", "Integer"], ["M_Von", "Date"]], "defaults": [[1, "31.02.2020"]]})",
     {"M_Von", "31.02.2020"}},
    {"date in ISO form",
     R"({"name": "MwstSatz.DB", "fields": [["M_ID", "Integer"], ["M_Von", "Date"]], "defaults": [[1, "2020-01-01"]]})",
     {"M_Von"}},
    {"number in a Boolean field",
     R"({"name": "T.DB", "fields": [["T_ID", "Integer"], ["T_On", "Boolean"]], "defaults": [[1, 1]]})",
     {"T_On"}},
    {"fill-in on an unknown field",
     R"({"name": "Objekte.DB", "fields": [["O_ID", "Integer"], ["O_Aktiv", "Boolean"]], "fillin": {"O_Aktv": true}})",
     {"O_Aktv"}},
    {"fill-in twice through a case variant",
     R"({"name": "Objekte.DB", "fields": [["O_ID", "Integer"], ["O_Aktiv", "Boolean"]],
         "fillin": {"O_Aktiv": true, "o_aktiv": false}})",
     {"O_Aktiv"}},
    {"fill-in value of the wrong type",
     R"({"name": "Objekte.DB", "fields": [["O_ID", "Integer"], ["O_Aktiv", "Boolean"]], "fillin": {"O_Aktiv": "ja"}})",
     {"O_Aktiv"}},
    {"misspelt section",
     R"({"name": "Objekte.DB", "fields": [["O_ID", "Integer"]], "fillins": {}})",
     {"fillins"}},
};

TEST(SchemaReader, RejectsEachFaultNamingFileTableAndItem) {
    for (const BadDefinition& bad : kBadDefinitions) {
        SCOPED_TRACE(bad.fault);
        const QString error = readError(tableFile(bad.table));
        ASSERT_FALSE(error.isEmpty());
        EXPECT_TRUE(error.contains(QLatin1String("test.json"))) << error.toStdString();
        const QString tableName = QString::fromUtf8(bad.table).section(QLatin1Char('"'), 3, 3);
        EXPECT_TRUE(error.contains(tableName)) << error.toStdString();
        for (const QString& item : bad.mustName)
            EXPECT_TRUE(error.contains(item))
                << item.toStdString() << " in " << error.toStdString();
    }
}

TEST(SchemaReader, RejectsBrokenFiles) {
    for (const char* json : {"{\"tables\": [", "[]", "{\"table\": []}", "{\"tables\": [42]}",
                             R"({"tables": [{"fields": [["A", "Integer"]]}]})"}) {
        SCOPED_TRACE(json);
        EXPECT_FALSE(readError(json).isEmpty());
    }
}

TEST(SchemaReader, ReadsFieldsIndexesAndOptions) {
    const auto schemas = ReadTableSchemas(tableFile(R"(
        {"name": "KundDV.DB",
         "fields": [["OD_ID", "Integer"], ["OD_KundID", "Integer"], ["OD_Date", "Date"],
                    ["OD_Path", "String", 160], ["OD_Comment", "FmtMemo", 240], ["OD_Bild", "Graphic", 1]],
         "indexes": [["I_ODate", "OD_KundID;od_date", "descending"], ["I_Path", "OD_Path", "unique, descending"],
                     ["I_Kund", "OD_KundID"]]})"),
                                          QStringLiteral("t.json"));
    ASSERT_EQ(schemas.size(), 1);
    const table::TableDef& def = schemas[0].def;
    EXPECT_EQ(def.name, QStringLiteral("KundDV.DB"));
    ASSERT_EQ(def.fields.size(), 6);
    EXPECT_EQ(def.fields[2].type, FieldType::Date);
    EXPECT_EQ(def.fields[3].size, 160);
    EXPECT_EQ(def.fields[4].type, FieldType::FmtMemo);
    EXPECT_EQ(def.fields[5].size, 1);
    ASSERT_EQ(def.indexes.size(), 3);
    // The field list keeps the letter case it was written in.
    EXPECT_EQ(def.indexes[0].fields, QStringList({"OD_KundID", "od_date"}));
    EXPECT_TRUE(def.indexes[0].descending);
    EXPECT_FALSE(def.indexes[0].unique);
    EXPECT_TRUE(def.indexes[1].unique && def.indexes[1].descending);
    for (const table::IndexDef& index : def.indexes)
        EXPECT_TRUE(index.caseInsensitive);
    EXPECT_FALSE(def.indexes[2].unique || def.indexes[2].descending);
    EXPECT_TRUE(schemas[0].defaultRows.isEmpty());
    EXPECT_TRUE(schemas[0].fillIns.isEmpty());
}

TEST(SchemaReader, ConvertsDefaultRowsByFieldType) {
    const auto schemas = ReadTableSchemas(tableFile(R"(
        {"name": "MwstSatz.DB",
         "fields": [["M_ID", "Integer"], ["M_Satz", "Float"], ["M_Preis", "Currency"], ["M_Kurz", "String", 1],
                    ["M_Aktiv", "Boolean"], ["M_Von", "Date"], ["M_Text", "FmtMemo", 1], ["M_Rest", "Smallint"]],
         "defaults": [[1, 16, 2.5, "V", true, "01.07.2020", "", null], [2, 7.5]]})"),
                                          QStringLiteral("t.json"));
    ASSERT_EQ(schemas.size(), 1);
    const auto& rows = schemas[0].defaultRows;
    ASSERT_EQ(rows.size(), 2);
    ASSERT_EQ(rows[0].size(), 8);
    EXPECT_EQ(rows[0][0].typeId(), QMetaType::Int);
    EXPECT_EQ(rows[0][1].typeId(), QMetaType::Double); // a whole number in a Float field
    EXPECT_EQ(rows[0][1].toDouble(), 16.0);
    EXPECT_EQ(rows[0][2].toDouble(), 2.5);
    EXPECT_EQ(rows[0][3], QVariant(QStringLiteral("V")));
    EXPECT_EQ(rows[0][4], QVariant(true));
    // Dates stay texts: the table layer converts them when the row is posted.
    EXPECT_EQ(rows[0][5], QVariant(QStringLiteral("01.07.2020")));
    // An empty text must stay an empty text, not turn into null on the way
    // to the table (a null QString is bound as null).
    EXPECT_FALSE(rows[0][6].isNull());
    EXPECT_FALSE(rows[0][6].toString().isNull());
    EXPECT_TRUE(rows[0][6].toString().isEmpty());
    EXPECT_TRUE(rows[0][7].isNull());
    // A shorter row gives only its own values; the rest stay null.
    ASSERT_EQ(rows[1].size(), 2);
    EXPECT_EQ(rows[1][1].toDouble(), 7.5);
}

TEST(SchemaReader, FillInsAreKeyedByFieldNumberWithoutRegardToCase) {
    const auto schemas = ReadTableSchemas(tableFile(R"(
        {"name": "ObjTaet.db",
         "fields": [["TS_ID", "Integer"], ["TS_Objekt", "Integer"], ["TS_Aktiv", "Boolean"],
                    ["TS_Menge", "Float"], ["TS_Param", "String", 40]],
         "fillin": {"ts_param": "", "TS_Aktiv": true, "TS_MENGE": 1}})"),
                                          QStringLiteral("t.json"));
    ASSERT_EQ(schemas.size(), 1);
    const auto& fillIns = schemas[0].fillIns;
    ASSERT_EQ(fillIns.size(), 3);
    EXPECT_EQ(fillIns[0].first, 3);
    EXPECT_EQ(fillIns[0].second, QVariant(true));
    EXPECT_EQ(fillIns[1].first, 4);
    EXPECT_EQ(fillIns[1].second.typeId(), QMetaType::Double);
    EXPECT_EQ(fillIns[2].first, 5);
    // An empty text is a value, not null: the field becomes an empty text.
    EXPECT_FALSE(fillIns[2].second.isNull());
    EXPECT_FALSE(fillIns[2].second.toString().isNull());
    EXPECT_TRUE(fillIns[2].second.toString().isEmpty());
}

QString orderError(const QByteArray& json) {
    try {
        ReadCreationOrder(json, QStringLiteral("order.json"));
    } catch (const DbError& e) {
        return e.message();
    }
    return {};
}

TEST(SchemaReader, ReadsCreationOrderRules) {
    const auto order = ReadCreationOrder(R"({"client": [
            {"table": "Adress.DB", "force": "<240", "rows": "copy"},
            {"table": "Artikel.DB", "force": "<240", "rows": "copy+fillin"},
            {"table": "Apnames.DB", "force": "<240", "rows": "defaults"},
            {"table": "Banken.DB", "force": "<240", "rows": "copy-else-defaults"},
            {"table": "Kunden.DB", "force": "always", "rows": "copy"},
            {"table": "QrFrmDef.DB", "force": "<240", "rows": "defaults-then-user-forms"}],
          "archive": [{"table": "Angkopf.DB", "force": "<240", "rows": "copy"}]})",
                                         QStringLiteral("order.json"));
    using dbstructure::ForceRule;
    using dbstructure::RowsRule;
    ASSERT_EQ(order.client.size(), 6);
    const RowsRule rows[] = {RowsRule::Copy,     RowsRule::CopyWithFillIn,
                             RowsRule::Defaults, RowsRule::CopyElseDefaults,
                             RowsRule::Copy,     RowsRule::DefaultsThenUserForms};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(order.client[i].rows, rows[i]) << i;
    EXPECT_EQ(order.client[4].force, ForceRule::Always);
    EXPECT_EQ(order.client[0].force, ForceRule::BelowCurrentVersion);
    ASSERT_EQ(order.archive.size(), 1);
    EXPECT_EQ(order.archive[0].table, QStringLiteral("Angkopf.DB"));
}

TEST(SchemaReader, RejectsFaultyCreationOrders) {
    const struct {
        const char* json;
        const char* mustName;
    } cases[] = {
        {R"({"client": [{"table": "Adress.DB", "force": "<230", "rows": "copy"}], "archive": []})",
         "<230"},
        {R"({"client": [{"table": "Adress.DB", "force": "<240", "rows": "copy+defaults"}], "archive": []})",
         "copy+defaults"},
        {R"({"client": [{"table": "Adress.DB", "force": "<240", "rows": "copy"},
                        {"table": "adress.db", "force": "<240", "rows": "copy"}], "archive": []})",
         "adress.db"},
        {R"({"client": [{"table": "Adress.DB", "force": "<240"}], "archive": []})", "client"},
        {R"({"client": []})", "archive"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        const QString error = orderError(c.json);
        EXPECT_TRUE(error.contains(QLatin1String(c.mustName))) << error.toStdString();
    }
}

} // namespace
