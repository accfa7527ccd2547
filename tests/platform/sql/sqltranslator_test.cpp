#include "platform/errors.h"
#include "platform/sql/sqltranslator.h"
#include "qtprinters.h"
#include "sqlitetestdb.h"

#include <QMap>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using sqltext::SqlStatement;
using sqltext::translateSql;
using table::FieldType;

namespace {

table::TableDef tableDef(const char* name,
                         std::initializer_list<std::pair<const char*, FieldType>> fields) {
    table::TableDef def;
    def.name = QString::fromUtf8(name);
    for (const auto& [field, type] : fields)
        def.fields.append({QString::fromUtf8(field), type, type == FieldType::String ? 40 : 0});
    return def;
}

const QList<table::TableDef>& schema() {
    using T = FieldType;
    static const QList<table::TableDef> tables = {
        tableDef("TglTaet.DB", {{"A_TotID", T::Integer},
                                {"A_TourID", T::Integer},
                                {"A_ObjNr", T::Integer},
                                {"A_TaetigNr", T::Integer},
                                {"A_State", T::Smallint}}),
        tableDef("TglTour.DB", {{"A_TourID", T::Integer},
                                {"A_TourNr", T::Integer},
                                {"A_Date", T::Date},
                                {"A_Bezeichnung", T::String},
                                {"A_PersNr", T::Integer}}),
        tableDef("TglObj.DB",
                 {{"A_OID", T::Integer}, {"A_TourID", T::Integer}, {"A_ObjektNr", T::Integer}}),
        tableDef("TglFunc.DB", {{"FL_ID", T::Integer},
                                {"FL_Date", T::Date},
                                {"FL_TourNr", T::Integer},
                                {"FL_ObjNr", T::Integer},
                                {"FL_TaetigNr", T::Integer}}),
        tableDef("Objekte.DB", {{"O_ID", T::Integer},
                                {"O_Nr", T::Integer},
                                {"O_Match", T::String},
                                {"O_BerichtIntervall", T::Integer},
                                {"O_BerichtModus", T::Integer},
                                {"O_Kunde", T::Integer}}),
        tableDef("BerKopf.DB", {{"B_ID", T::Integer},
                                {"B_ObjektNr", T::Integer},
                                {"B_DruckDatum", T::Date},
                                {"B_TourFirst", T::Date},
                                {"B_TourLast", T::Date},
                                {"B_Selected", T::Boolean},
                                {"B_Positionen", T::Integer},
                                {"B_Gedruckt", T::Integer}}),
        tableDef("BerSatz.DB", {{"B_SID", T::Integer},
                                {"B_DruckTermin", T::Date},
                                {"B_ObjektNr", T::Integer},
                                {"B_TaetigNr", T::Integer},
                                {"B_WieOft", T::Integer},
                                {"B_Rueckstand", T::Integer},
                                {"B_Textmodified", T::Boolean},
                                {"B_TourDatum", T::Date}}),
        tableDef("MwstSatz.DB", {{"Mwst_Nr", T::Integer},
                                 {"Mwst_Kurz", T::String},
                                 {"Mwst_GueltigVon", T::Date},
                                 {"Mwst_GueltigBis", T::Date}}),
        tableDef("Rechkopf.DB", {{"R_ID", T::Integer},
                                 {"R_Nr", T::String},
                                 {"R_Selected", T::Boolean},
                                 {"R_Intervall", T::Integer},
                                 {"R_Brutto", T::Currency}}),
        tableDef("QrFrmDef.DB",
                 {{"QF_ID", T::Integer}, {"Q_FormType", T::Integer}, {"Q_Protect", T::Boolean}}),
    };
    return tables;
}

std::optional<table::TableDef> lookup(const QString& name) {
    for (const auto& def : schema()) {
        if (sqltext::physicalTableName(def.name).compare(name, Qt::CaseInsensitive) == 0)
            return def;
    }
    return std::nullopt;
}

QString messageOf(const QString& statement) {
    try {
        translateSql(statement, lookup);
    } catch (const DbError& error) {
        return error.message();
    }
    return QStringLiteral("<kein Fehler>");
}

// ---- the statements as the program writes them, run against SQLite

class SqlDialectTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& def : schema()) {
            QStringList columns;
            for (const auto& field : def.fields) {
                const char* type = "TEXT";
                switch (field.type) {
                case FieldType::Integer:
                case FieldType::Smallint:
                case FieldType::Boolean:
                    type = "INTEGER";
                    break;
                case FieldType::Currency:
                    type = "REAL";
                    break;
                default:
                    break;
                }
                columns << field.name + u' ' + QLatin1String(type);
            }
            db.exec(
                QStringLiteral("CREATE TABLE \"%1\" (%2)")
                    .arg(sqltext::physicalTableName(def.name), columns.join(QStringLiteral(", "))));
        }
        db.exec(QStringLiteral(
            "INSERT INTO TglTour VALUES (1, 5, '2024-02-28', 'Nord', 11), (2, 6, '2024-03-01', "
            "'Süd', 12),"
            " (3, 5, '2099-01-01', 'Zukunft', 11);"
            "INSERT INTO TglTaet VALUES (100, 1, 7, 2, 0), (101, 1, 7, 3, 1), (102, 2, 8, 1, 0), "
            "(103, 2, 99, 1, 0),"
            " (104, 3, 7, 1, 0);"
            "INSERT INTO Objekte VALUES (1, 7, 'Haus A', 2, 1, 500), (2, 8, 'Haus B', 3, 2, 501);"
            "INSERT INTO TglFunc VALUES (1, '2024-03-01', 5, 7, 2), (2, '2024-03-02', 5, 7, 2);"
            "INSERT INTO MwstSatz VALUES (1, '16 %', '1993-01-01', '2006-12-31'), (2, '19 %', "
            "'2007-01-01', '2099-12-31');"
            "INSERT INTO Rechkopf VALUES (1, 'R1', 0, 0, 10.0), (2, 'R2', 0, 3, 20.0), (3, 'x'' OR "
            "''1''=''1', 0, 0, 0);"
            "INSERT INTO QrFrmDef VALUES (10000, 10000, 1), (10001, 10000, 0);"));
    }

    QList<QVariantList> run(const QString& statement) {
        const SqlStatement st = translateSql(statement, lookup);
        return db.query(st.sql, st.params);
    }

    SqliteTestDb db;
};

TEST_F(SqlDialectTest, ReportHeadAndLineAreWrittenWithStoredDatesAndFlags) {
    run(QStringLiteral(
        "Insert into Berkopf\n(B_ID,B_ObjektNr,B_DruckDatum,B_TourFirst,B_TourLast,\n"
        "B_Selected,B_Positionen,B_Gedruckt)\nValues(1,7,\n'01.03.2024','28.02.2024','30.12.1899',"
        "\n"
        "'false',0,0)"));
    EXPECT_EQ(db.query(QStringLiteral(
                  "SELECT B_DruckDatum, B_TourFirst, B_TourLast, B_Selected FROM Berkopf")),
              (QList<QVariantList>{{QStringLiteral("2024-03-01"), QStringLiteral("2024-02-28"),
                                    QStringLiteral("1899-12-30"), 0LL}}));

    EXPECT_EQ(
        run(QStringLiteral(
            "Select B_ID from Berkopf\nWhere (B_Druckdatum='01.03.2024') AND (\nB_ObjektNr=7)")),
        (QList<QVariantList>{{1LL}}));
    EXPECT_TRUE(
        run(QStringLiteral(
                "Select B_ID from Berkopf Where (B_Druckdatum='02.03.2024') AND (B_ObjektNr=7)"))
            .isEmpty());

    const SqlStatement max =
        translateSql(QStringLiteral("Select max(B_ID)as MaxID from Berkopf"), lookup);
    ASSERT_EQ(max.columns.size(), 1);
    EXPECT_EQ(max.columns[0].name, QStringLiteral("MaxID"));
    EXPECT_EQ(max.columns[0].type, FieldType::Integer);
    EXPECT_FALSE(max.editable);
    EXPECT_EQ(db.query(max.sql, max.params), (QList<QVariantList>{{1LL}}));

    run(QStringLiteral(
        "Update Berkopf "
        "Set\nB_Positionen=1,\nB_TourFirst='27.02.2024',\nB_TourLast='01.03.2024'\nWhere B_ID=1"));
    EXPECT_EQ(
        db.query(QStringLiteral("SELECT B_Positionen, B_TourFirst, B_TourLast FROM Berkopf")),
        (QList<QVariantList>{{1LL, QStringLiteral("2024-02-27"), QStringLiteral("2024-03-01")}}));

    run(QStringLiteral(
        "Insert into BerSatz\n(B_SID,B_Drucktermin,B_ObjektNr,B_TaetigNr,B_WieOft,B_Rueckstand,"
        "B_Textmodified)\nValues(\n1,\n'01.03.2024',\n7,\n2,0,0,'false')"));
    const SqlStatement live =
        translateSql(QStringLiteral("Select * from Bersatz where B_SID=1"), lookup);
    EXPECT_TRUE(live.editable);
    EXPECT_EQ(live.table, QStringLiteral("BerSatz"));
    EXPECT_EQ(live.primaryKey, QStringLiteral("B_SID"));
    EXPECT_EQ(live.keyColumn, 0);
    EXPECT_FALSE(live.keyColumnAdded);
    ASSERT_EQ(live.columns.size(), 8);
    EXPECT_EQ(live.columns[1].type, FieldType::Date);
    EXPECT_EQ(db.query(live.sql, live.params).size(), 1);

    run(QStringLiteral(
        "Update Bersatz set B_TourDatum='29.02.2024', B_WieOft=B_WieOft+1 where B_SID=1"));
    EXPECT_TRUE(
        run(QStringLiteral("Delete from Bersatz where B_Tourdatum<='28.02.2024'")).isEmpty());
    EXPECT_EQ(db.query(QStringLiteral("SELECT COUNT(*), MAX(B_WieOft) FROM BerSatz")),
              (QList<QVariantList>{{1LL, 1LL}}));
    run(QStringLiteral("Delete from Bersatz where B_Tourdatum<='29.02.2024'"));
    EXPECT_EQ(db.query(QStringLiteral("SELECT COUNT(*) FROM BerSatz")),
              (QList<QVariantList>{{0LL}}));
}

TEST_F(SqlDialectTest, OpenActivitiesJoinListsPastOpenRowsWithTheirTourAndObject) {
    const QString text =
        QStringLiteral("select T.A_Date,T.A_TourNr,T.A_Bezeichnung,T.A_PersNr,\n"
                       "O.O_Match,O.O_BerichtIntervall,O.O_BerichtModus,O.O_Kunde,\n"
                       "J.* from TglTaet J\n"
                       "INNER JOIN TglTour T ON (T.A_TourID=J.A_TourID)\n"
                       "INNER JOIN Objekte O ON (J.A_ObjNr=O.O_Nr)\n"
                       "where (A_Date<'10.12.2026') AND (A_State=0)\n"
                       "order by A_Date, A_TourNr, A_ObjNr, A_TaetigNr");
    const SqlStatement st = translateSql(text, lookup);
    EXPECT_FALSE(st.editable);
    EXPECT_TRUE(st.table.isEmpty());
    EXPECT_EQ(st.params, (QVariantList{QStringLiteral("2026-12-10"), 0LL}));
    ASSERT_EQ(st.columns.size(), 13);
    EXPECT_EQ(st.columns[0].name, QStringLiteral("A_Date"));
    EXPECT_EQ(st.columns[0].type, FieldType::Date);
    EXPECT_EQ(st.columns[8].name, QStringLiteral("A_TotID"));
    QList<qlonglong> totIds;
    for (const QVariantList& row : db.query(st.sql, st.params))
        totIds << row[8].toLongLong();
    // 101 is done, 103's object is missing, 104 lies in the future.
    EXPECT_EQ(totIds, (QList<qlonglong>{100, 102}));
}

TEST_F(SqlDialectTest, CountsAndDeletesOfTheDailyListCleanUp) {
    const SqlStatement count = translateSql(
        QStringLiteral(
            "Select count(*) as RecsLeft from TglTaet where\n(A_TourID=1) AND (A_ObjNr=7)"),
        lookup);
    EXPECT_EQ(count.columns.first().name, QStringLiteral("RecsLeft"));
    EXPECT_EQ(db.query(count.sql, count.params), (QList<QVariantList>{{2LL}}));

    run(QStringLiteral("Delete from TglFunc Where\n(FL_Date='01.03.2024') AND \n(FL_TourNr=5) "
                       "AND\n(FL_ObjNr=7) AND\n"
                       "(FL_TaetigNr=2)"));
    EXPECT_EQ(db.query(QStringLiteral("SELECT FL_ID FROM TglFunc")), (QList<QVariantList>{{2LL}}));

    run(QStringLiteral("Delete from TglTaet where A_TotID=100"));
    run(QStringLiteral("Delete From TglTour Where A_TourID=3"));
    EXPECT_EQ(run(QStringLiteral("Select min(A_Date) as MinDate from TglTour")),
              (QList<QVariantList>{{QStringLiteral("2024-02-28")}}));
    EXPECT_EQ(translateSql(QStringLiteral("Select min(A_Date) as MinDate from TglTour"), lookup)
                  .columns.first()
                  .type,
              FieldType::Date);
}

TEST_F(SqlDialectTest, MarksAreSetByBooleanWordsInAnyForm) {
    run(QStringLiteral("Update Rechkopf set R_Selected='true' where R_Intervall<>0"));
    EXPECT_EQ(db.query(QStringLiteral("SELECT R_ID FROM Rechkopf WHERE R_Selected = 1")),
              (QList<QVariantList>{{2LL}}));
    run(QStringLiteral("Update Rechkopf set R_Selected=TRUE where R_Intervall=0"));
    EXPECT_EQ(db.query(QStringLiteral("SELECT COUNT(*) FROM Rechkopf WHERE R_Selected = 1")),
              (QList<QVariantList>{{3LL}}));
    run(QStringLiteral("Update Rechkopf set R_Selected='False'"));
    EXPECT_EQ(db.query(QStringLiteral("SELECT COUNT(*) FROM Rechkopf WHERE R_Selected = 0")),
              (QList<QVariantList>{{3LL}}));
    EXPECT_EQ(run(QStringLiteral(
                  "Select Count(*) from QrFrmDef where QF_ID=10001 and Q_Protect='false'")),
              (QList<QVariantList>{{1LL}}));
}

TEST_F(SqlDialectTest, ValidRatesAndOtherConditions) {
    const struct {
        const char* statement;
        QList<QVariantList> rows;
    } cases[] = {
        {"select Mwst_Nr, Mwst_Kurz from MwstSatz\nwhere (Mwst_GueltigVon<='10.12.2026') AND "
         "(Mwst_GueltigBis>='10.12.2026')",
         {{2LL, QStringLiteral("19 %")}}},
        {"select Mwst_Nr from MwstSatz where '01.06.2000' between Mwst_GueltigVon and "
         "Mwst_GueltigBis",
         {}},
        {"select Mwst_Nr from MwstSatz where Mwst_GueltigVon between '01.01.2000' and '31.12.2010'",
         {{2LL}}},
        {"select Mwst_Nr from MwstSatz where Mwst_GueltigVon not in ('01.01.1993')", {{2LL}}},
        {"select R_ID from Rechkopf where R_Nr='x'' OR ''1''=''1' or R_Nr IS NULL", {{3LL}}},
        {"select R_ID from Rechkopf where not (R_Brutto > 15) order by R_ID desc", {{3LL}, {1LL}}},
        {"select R_Intervall, sum(R_Brutto) as Summe from Rechkopf group by R_Intervall having "
         "sum(R_Brutto) > 5 "
         "order by Summe",
         {{0LL, 10.0}, {3LL, 20.0}}},
        {"select R_Nr || '-' || R_ID from \"rechkopf.db\" where R_ID = 1",
         {{QStringLiteral("R1-1")}}},
        {"select distinct Q_FormType from QrFrmDef", {{10000LL}}},
        {"select Q.QF_ID from QrFrmDef Q, Rechkopf R where R.R_ID = 2 and Q.Q_Protect = true",
         {{10000LL}}},
        {"select O.O_Nr, T.A_TaetigNr from Objekte O left outer join TglTaet T on T.A_ObjNr = "
         "O.O_Nr and T.A_State = 1",
         {{7LL, 3LL}, {8LL, QVariant()}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(QString::fromUtf8(c.statement)), c.rows) << c.statement;
}

// ---- exact translation

TEST(SqlTranslatorTest, TableNamesInAnyFormNameThePhysicalTable) {
    for (const char* name :
         {"Berkopf", "berkopf", "BERKOPF.DB", "Berkopf.db", "\"Berkopf.DB\"", "\"berkopf\""}) {
        const SqlStatement st =
            translateSql(QStringLiteral("delete from %1").arg(QString::fromUtf8(name)), lookup);
        EXPECT_EQ(st.sql, QStringLiteral(R"(DELETE FROM "BerKopf")")) << name;
        EXPECT_EQ(st.table, QStringLiteral("BerKopf"));
        EXPECT_EQ(st.kind, SqlStatement::Kind::Delete);
    }
}

TEST_F(SqlDialectTest, LiteralsBecomeParametersInStorageForm) {
    const struct {
        const char* statement;
        const char* sql;
        QVariantList params;
    } cases[] = {
        {"Update Rechkopf set R_Selected='true' where R_Intervall<>0",
         R"(UPDATE "Rechkopf" SET "R_Selected" = ? WHERE "R_Intervall" <> ?)",
         {1, 0LL}},
        {"select * from MwstSatz where Mwst_GueltigVon<='1.2.2024';",
         R"(SELECT "Mwst_Nr", "Mwst_Kurz", "Mwst_GueltigVon", "Mwst_GueltigBis" FROM "MwstSatz" WHERE "Mwst_GueltigVon" <= ?)",
         {QStringLiteral("2024-02-01")}},
        {"select R_ID from Rechkopf where R_Nr = 'A''1' and R_Brutto >= -2.5 and R_Selected = "
         "false",
         R"(SELECT "R_ID" FROM "Rechkopf" WHERE "R_Nr" = ? AND "R_Brutto" >= ? AND "R_Selected" = ?)",
         {QStringLiteral("A'1"), -2.5, 0}},
        {"select R_ID - -1, -(R_ID - 2), - -R_ID, R_ID * (2 / 3), (R_ID * 2) / 3, (R_ID > 1) = "
         "true from Rechkopf",
         R"(SELECT "R_ID" - -1, - ("R_ID" - 2), - (- "R_ID"), "R_ID" * (2 / 3), "R_ID" * 2 / 3, ("R_ID" > ?) = ? FROM "Rechkopf")",
         {1LL, 1}},
        {"select R_ID from Rechkopf where not (R_ID = 1 or R_ID = 2) and (R_ID between 1 and 2 + "
         "1) is not null",
         R"(SELECT "R_ID" FROM "Rechkopf" WHERE NOT ("R_ID" = ? OR "R_ID" = ?) AND ("R_ID" BETWEEN ? AND (2 + 1)) IS NOT NULL)",
         {1LL, 2LL, 1LL}},
        {"insert into Rechkopf values (5, '5', 'true', '3', '2.50')",
         R"(INSERT INTO "Rechkopf" ("R_ID", "R_Nr", "R_Selected", "R_Intervall", "R_Brutto") VALUES (?, ?, ?, ?, ?))",
         {5LL, QStringLiteral("5"), 1, 3LL, 2.5}},
        {"select R_ID, 'Text' as T from Rechkopf order by 1",
         R"(SELECT "R_ID", ? AS "T" FROM "Rechkopf" ORDER BY 1)",
         {QStringLiteral("Text")}},
        {"update Rechkopf set R_Nr = NULL where R_Nr is not null",
         R"(UPDATE "Rechkopf" SET "R_Nr" = NULL WHERE "R_Nr" IS NOT NULL)",
         {}},
    };
    for (const auto& c : cases) {
        const SqlStatement st = translateSql(QString::fromUtf8(c.statement), lookup);
        EXPECT_EQ(st.sql, QString::fromUtf8(c.sql)) << c.statement;
        EXPECT_EQ(st.params, c.params) << c.statement;
        EXPECT_NO_THROW(db.query(st.sql, st.params)) << c.statement;
    }
}

TEST(SqlTranslatorTest, OnlyPlainSingleTableSelectsAreEditable) {
    const struct {
        const char* statement;
        bool editable;
        int keyColumn;
        bool keyAdded;
    } cases[] = {
        {"Select * from Berkopf", true, 0, false},
        {"Select B_ObjektNr, b_id from Berkopf where B_ID > 3", true, 1, false},
        {"Select B_ObjektNr from Berkopf", true, 1, true},
        {"Select B_ObjektNr as B_ID from Berkopf", true, 1, true},
        {"Select count(*) from Berkopf", false, -1, false},
        {"Select distinct B_ObjektNr from Berkopf", false, -1, false},
        {"Select B_ID + 1 from Berkopf", false, -1, false},
        {"Select B_ObjektNr from Berkopf group by B_ObjektNr", false, -1, false},
        {"Select K.* from Berkopf K inner join BerSatz S on S.B_ObjektNr = K.B_ObjektNr", false, -1,
         false},
    };
    for (const auto& c : cases) {
        const SqlStatement st = translateSql(QString::fromUtf8(c.statement), lookup);
        EXPECT_EQ(st.editable, c.editable) << c.statement;
        EXPECT_EQ(st.keyColumn, c.keyColumn) << c.statement;
        EXPECT_EQ(st.keyColumnAdded, c.keyAdded) << c.statement;
        if (c.editable) {
            EXPECT_EQ(st.primaryKey, QStringLiteral("B_ID"));
            EXPECT_EQ(st.columns.at(st.keyColumn).name, QStringLiteral("B_ID")) << c.statement;
        }
    }
    EXPECT_EQ(translateSql(QStringLiteral("Select B_ObjektNr from Berkopf"), lookup).sql,
              QStringLiteral(R"(SELECT "B_ObjektNr", "B_ID" FROM "BerKopf")"));
}

TEST(SqlTranslatorTest, WhatIsNotUnderstoodIsRefusedWithAGermanMessage) {
    const struct {
        const char* statement;
        const char* message;
    } cases[] = {
        {"Select * from Unbekannt", "Position 15: Die Tabelle \"Unbekannt\" ist nicht vorhanden."},
        {"Select X from Berkopf", "Position 8: Unbekanntes Feld \"X\"."},
        {"Select K.B_ID from Berkopf", "Position 8: Unbekannter Tabellenname oder Alias \"K\"."},
        {"Select A_TourID from TglTaet J inner join TglTour T on (T.A_TourID=J.A_TourID)",
         "Position 8: Der Feldname \"A_TourID\" ist mehrdeutig."},
        {"Select * from Berkopf where B_DruckDatum='2024-03-01'",
         "Position 42: '2024-03-01' ist kein gültiges Datum (TT.MM.JJJJ) für das Feld "
         "B_DruckDatum."},
        {"Update Berkopf set B_Selected='ja'",
         "Position 31: Der Wert 'ja' passt nicht zum Feld B_Selected."},
        {"Select upper(B_ID) from Berkopf",
         "Position 8: Die Funktion upper wird nicht unterstützt."},
        {"Select * from Berkopf where B_ID in (select B_ID from Berkopf)",
         "Position 38: Unterabfragen werden nicht unterstützt."},
        {"Select * from Berkopf where B_ID like '1%'", "Position 34: LIKE wird nicht unterstützt."},
        {"Select * from Berkopf where", "Position 28: Ausdruck erwartet."},
        {"Select * from Berkopf; Delete from Berkopf",
         "Position 24: Unerwartetes 'Delete' nach dem Ende der Anweisung."},
        {"Insert into Berkopf (B_ID, B_ObjektNr) Values (1)",
         "Position 47: Die Anzahl der Werte (1) passt nicht zur Anzahl der Felder (2)."},
        {"Insert into Berkopf (B_ID, B_Id) Values (1, 2)",
         "Position 28: Das Feld \"B_ID\" kommt zweimal vor."},
        {"Delete Berkopf", "Position 8: FROM erwartet."},
        {"Drop table Berkopf", "Position 1: SELECT, UPDATE, DELETE oder INSERT erwartet."},
        {"", "Position 1: Die Anweisung ist leer."},
        {"Select * from \"C:\\Daten\\Berkopf.db\"",
         "Position 15: Der Tabellenname \"C:\\Daten\\Berkopf.db\" wird nicht unterstützt."},
        {"Select * from 'Berkopf'", "Position 15: Tabellenname erwartet."},
        {"Select * from Berkopf where B_Nr = 'offen",
         "Position 36: Zeichenkette nicht abgeschlossen."},
        {"Select * from Berkopf where B_ID = 99999999999999999999",
         "Position 36: Die Zahl 99999999999999999999 ist zu groß für das Feld B_ID."},
        {"Select B_ID + 99999999999999999999 from Berkopf",
         "Position 15: Die Zahl 99999999999999999999 ist zu groß."},
        {"Update Berkopf set B_ID = count(*)",
         "Zusammenfassungen (COUNT, SUM ...) sind nur in SELECT erlaubt."},
        {"Select * from Berkopf right join BerSatz on B_SID = 1",
         "Position 23: Diese Verknüpfungsart wird nicht unterstützt."},
        {"Select * from Berkopf, Berkopf",
         "Position 24: Die Tabelle \"BerKopf\" kommt zweimal ohne Alias vor."},
    };
    for (const auto& c : cases) {
        const QString message = messageOf(QString::fromUtf8(c.statement));
        EXPECT_TRUE(message.endsWith(QString::fromUtf8(c.message)))
            << c.statement << "\n  got: " << message.toStdString();
        EXPECT_TRUE(message.startsWith(QStringLiteral("Fehler in der SQL-Anweisung")))
            << message.toStdString();
    }
}

// Valid statements with random pieces dropped, repeated or replaced: the translator
// either gives SQL with one parameter per placeholder or raises DbError.
TEST(SqlTranslatorTest, ArbitraryInputNeverCrashes) {
    static const char* const statements[] = {
        "select T.A_Date , O.O_Match , J.* from TglTaet J inner join TglTour T on ( T.A_TourID = "
        "J.A_TourID ) "
        "inner join Objekte O on ( J.A_ObjNr = O.O_Nr ) where ( A_Date < '10.12.2026' ) and ( "
        "A_State = 0 ) "
        "order by A_Date , A_ObjNr",
        "Insert into Berkopf ( B_ID , B_ObjektNr , B_DruckDatum , B_Selected ) Values ( 1 , 7 , "
        "'01.03.2024' , 'false' )",
        "Update Berkopf Set B_Positionen = B_Positionen + 1 , B_TourFirst = '01.03.2024' Where "
        "B_ID = 1",
        "Select count ( * ) as RecsLeft from TglTaet where ( A_TourID = 1 ) and not ( A_ObjNr in ( "
        "1 , 2 ) )",
        "Delete from \"Bersatz.db\" where B_Tourdatum <= '01.03.2024' or B_SID is null",
        "select R_Intervall , sum ( R_Brutto ) Summe from Rechkopf group by R_Intervall having sum "
        "( R_Brutto ) > 5",
    };
    static const char* const pieces[] = {
        "(",      ")",    ",",     ".",    "*",   "-", "'",    "\"", "and", "not", "null",
        "select", "from", "where", "B_ID", "'x'", "1", "true", "||", ";",   "in",  "between"};
    QRandomGenerator random(4711);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        QStringList words =
            QString::fromUtf8(statements[random.bounded(int(std::size(statements)))]).split(u' ');
        const int mutations = int(random.bounded(1, 4));
        for (int m = 0; m < mutations; ++m) {
            const int at = int(random.bounded(int(words.size())));
            switch (random.bounded(3)) {
            case 0:
                words.removeAt(at);
                break;
            case 1:
                words.insert(at, words.at(at));
                break;
            default:
                words[at] = QString::fromUtf8(pieces[random.bounded(int(std::size(pieces)))]);
            }
            if (words.isEmpty())
                break;
        }
        const QString text = words.join(u' ');
        try {
            const SqlStatement st = translateSql(text, lookup);
            ++accepted;
            ASSERT_EQ(st.sql.count(u'?'), st.params.size()) << text.toStdString();
            ASSERT_FALSE(st.sql.contains(QStringLiteral("--"))) << text.toStdString();
        } catch (const DbError& error) {
            ASSERT_FALSE(error.message().isEmpty());
        }
    }
    EXPECT_GT(accepted, 100);
    const QString deep = QStringLiteral("select * from Berkopf where ") + QString(500, u'(') +
                         QStringLiteral("B_ID=1") + QString(500, u')');
    EXPECT_TRUE(messageOf(deep).endsWith(QStringLiteral("zu tief verschachtelt.")));
    QStringList terms;
    for (int i = 0; i < 5000; ++i)
        terms << QStringLiteral("B_ID<>%1").arg(i);
    EXPECT_TRUE(messageOf(QStringLiteral("delete from Berkopf where ") +
                          terms.join(QStringLiteral(" and ")))
                    .endsWith(QStringLiteral("Der Ausdruck ist zu lang.")));
    EXPECT_EQ(translateSql(QStringLiteral("delete from Berkopf where ") +
                               terms.mid(0, 500).join(QStringLiteral(" or ")),
                           lookup)
                  .params.size(),
              500);
}

} // namespace
