#include "tablefixture.h"

#include <QDate>

using table::Query;
using table::Table;
using table::TableError;

class QueryTest : public TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        table::TableDef orders;
        orders.name = "Auftrag.DB";
        orders.fields = {{"A_Nr", table::FieldType::Integer, 0},
                         {"A_KuNr", table::FieldType::Integer, 0},
                         {"A_Betrag", table::FieldType::Currency, 0},
                         {"A_Datum", table::FieldType::Date, 0},
                         {"A_Erledigt", table::FieldType::Boolean, 0}};
        db->createTable(orders);
        Table k(db, "Kunden");
        k.open();
        addCustomer(k, 1, "Anton");
        addCustomer(k, 2, "Berta");
        Table a(db, "Auftrag");
        a.open();
        const struct {
            int nr, kunde;
            double betrag;
            QDate datum;
            bool erledigt;
        } rows[] = {{10, 1, 100.0, {2024, 1, 5}, true},
                    {11, 1, 50.5, {2024, 2, 1}, false},
                    {12, 2, 20.0, {2024, 3, 9}, false}};
        for (const auto& r : rows) {
            a.append();
            a["A_Nr"] = r.nr;
            a["A_KuNr"] = r.kunde;
            a["A_Betrag"] = r.betrag;
            a["A_Datum"] = r.datum;
            a["A_Erledigt"] = r.erledigt;
            a.post();
        }
    }
};

TEST_F(QueryTest, DialectSelectsWithDatesBooleansAggregatesAndJoins) {
    Query q(db, "SELECT COUNT(*) AS Anzahl, MAX(A_Betrag) AS Hoechst FROM auftrag.db WHERE A_Datum "
                ">= '01.02.2024'");
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.asInteger("anzahl"), 2);
    EXPECT_DOUBLE_EQ(q.asFloat("Hoechst"), 50.5);

    q.setSql("SELECT A_Nr FROM AUFTRAG WHERE A_Erledigt = 'false' ORDER BY A_Nr");
    q.open();
    QList<int> nrs;
    for (q.first(); !q.eof(); q.next())
        nrs.append(q.asInteger("A_Nr"));
    EXPECT_EQ(nrs, (QList<int>{11, 12}));

    q.setSql("SELECT k.Name, a.A_Betrag, a.A_Datum FROM Kunden k INNER JOIN Auftrag a ON a.A_KuNr "
             "= k.Nr "
             "WHERE k.Name = 'Berta'");
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.asString("Name"), "Berta");
    EXPECT_EQ(q.value("A_Datum").toDate(), QDate(2024, 3, 9)); // typed from the field's definition
}

TEST_F(QueryTest, UpdateAndDeleteInTheDialect) {
    Query q(db, "UPDATE Auftrag SET A_Erledigt = true WHERE A_Datum < '01.03.2024'");
    EXPECT_EQ(q.execSql(), 2);
    q.setSql("DELETE FROM auftrag WHERE A_Erledigt = 'true'");
    EXPECT_EQ(q.execSql(), 2);
    Table a(db, "Auftrag");
    a.open();
    EXPECT_EQ(a.recordCount(), 1);
    EXPECT_EQ(a["A_Nr"].asInteger(), 12);
}

TEST_F(QueryTest, LiveQueryRowsCanBeEditedAndPosted) {
    Query q(db, "SELECT A_Betrag FROM Auftrag WHERE A_KuNr = 1 ORDER BY A_Betrag");
    q.setRequestLive(true);
    q.open();
    ASSERT_TRUE(q.isLive());
    EXPECT_EQ(q.fieldCount(), 1); // the key the layer added stays hidden
    q.edit();
    q.setValue("A_Betrag", 60.0);
    q.post();
    q.next();
    q.deleteRecord();
    Table a(db, "Auftrag");
    a.open();
    ASSERT_TRUE(a.findKey({11}));
    EXPECT_DOUBLE_EQ(a["A_Betrag"].asFloat(), 60.0);
    EXPECT_FALSE(a.findKey({10}));

    Query joined(db, "SELECT k.Name FROM Kunden k INNER JOIN Auftrag a ON a.A_KuNr = k.Nr");
    joined.setRequestLive(true);
    joined.open();
    EXPECT_FALSE(joined.isLive());
    EXPECT_THROW(joined.edit(), TableError);
}

TEST_F(QueryTest, FaultyStatementsRaiseGermanErrors) {
    for (const char* sql :
         {"SELECT * FROM Gibtsnicht", "SELEKT * FROM Kunden", "SELECT Nix FROM Kunden"}) {
        Query q(db, sql);
        try {
            q.open();
            ADD_FAILURE() << sql;
        } catch (const DbError& e) {
            EXPECT_FALSE(e.message().isEmpty()) << sql;
        }
    }
}
