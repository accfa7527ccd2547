#include "datasafety/documentarchive/archiveconnection.h"
#include "operations/timerecordarchive.h"
#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/table/values.h"
#include "timerecordfixture.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace operationstest {
namespace {

const QDate kLimit(2026, 3, 31);

// Time records posted through the service (each with its cost entry and
// monthly sums), and entries of the cost journal from other origins.
class TimeRecordArchive : public TimeRecords {
protected:
    table::Database& lumo() { return *table::aliases::database(u"LumoDB"_s); }
    table::Database& ablage() { return *table::aliases::database(u"AblageDB"_s); }
    int rows(table::Database& db, const QString& table) {
        return db
            .selectValue(u"SELECT COUNT(*) FROM %1"_s.arg(
                table::quoted(table::physicalName(db.tableDef(table).name))))
            .toInt();
    }
    int records(const char* alias = "LumoDB") {
        return rows(*table::aliases::database(QString::fromLatin1(alias)), u"Zeiterf.DB"_s);
    }
    int costEntries() { return rows(lumo(), u"Kosten.DB"_s); }
    // An entry of an incoming invoice, dated day.
    void addInvoiceCost(int id, const QDate& day) {
        addRow(u"Kosten.DB"_s, {{u"K_ID"_s, id},
                                {u"K_Betrag"_s, 50.0},
                                {u"K_ERID"_s, 3},
                                {u"K_Datum"_s, day},
                                {u"K_KostArt"_s, 501}});
    }
    TimeArchiveResult archive(const QDate& limit, const TimeArchiveProgress& progress = {}) {
        ArchiveConnection connection;
        return ArchiveZeiterf(connection, limit, progress);
    }
    // Rows written straight into the client's Zeiterf.DB, each with a cost
    // entry of its own, for runs over many records.
    void addRawRecords(int count, const QDate& day) {
        table::Transaction tx(lumo());
        const QString zeiterf =
            table::quoted(table::physicalName(lumo().tableDef(u"Zeiterf.DB"_s).name));
        const QString kosten =
            table::quoted(table::physicalName(lumo().tableDef(u"Kosten.DB"_s).name));
        auto r = lumo().connection().prepare(
            u"INSERT INTO %1(\"Z_ID\", \"Z_Datum\", \"Z_PersNr\", \"Z_ObjNr\", \"Z_Art\", "
            "\"Z_Stunden\", \"Z_KostID\") VALUES(?, ?, 7, 10, 1, 1.5, ?)"_s.arg(zeiterf));
        auto k = lumo().connection().prepare(
            u"INSERT INTO %1(\"K_ID\", \"K_Betrag\", \"K_Datum\") VALUES(?, 18.0, ?)"_s.arg(
                kosten));
        const table::FieldDef date{u"Z_Datum"_s, table::FieldType::Date};
        for (int i = 1; i <= count; ++i) {
            r->bindInt64(1, 100000 + i);
            table::bindTyped(*r, 2, date, day);
            r->bindInt64(3, 100000 + i);
            r->step();
            r->reset();
            k->bindInt64(1, 100000 + i);
            table::bindTyped(*k, 2, date, day);
            k->step();
            k->reset();
        }
        tx.commit();
    }
};

TEST(ProposedZeiterfArchiveLimitTest, TwoMonthsBackAtThatMonthsEnd) {
    const struct {
        QDate today, expected;
    } cases[] = {
        {QDate(2026, 12, 15), QDate(2026, 10, 31)},
        {QDate(2026, 1, 10), QDate(2025, 11, 30)},
        {QDate(2026, 4, 30), QDate(2026, 2, 28)},
        {QDate(2024, 4, 1), QDate(2024, 2, 29)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProposedZeiterfArchiveLimit(c.today), c.expected) << c.today.toString().toStdString();
}

TEST_F(TimeRecordArchive, MovesRecordsUpToTheLimitInDateOrderUnderNewNumbersAndOnlyTheirCosts) {
    addRow(u"Zeiterf.DB"_s, {{u"Z_ID"_s, 40}, {u"Z_Datum"_s, QDate(2025, 1, 2)}}, u"AblageDB"_s);
    post(7, QDate(2026, 3, 20), 2.0, 12.0, 1, 10, u"Fenster"_s);
    post(8, QDate(2026, 2, 5), 3.0, 10.0, 2, 11);
    post(7, QDate(2026, 4, 1), 1.0, 12.0, 1, 10); // after the limit
    addInvoiceCost(9001, QDate(2026, 1, 15));     // another origin, before the limit
    const double marchHours = sum(7, QDate(2026, 3, 1), "ZS_StdGesamt");
    const double marchCosts = monthCosts(QDate(2026, 3, 1));
    ASSERT_EQ(costEntries(), 4);
    // The surcharge factor is a field of its own: it travels by name.
    lumo().execSql(u"UPDATE \"Zeiterf\" SET \"Z_Aufschlag\" = 1.5 WHERE \"Z_PersNr\" = 8"_s);

    const TimeArchiveResult result = archive(kLimit);
    EXPECT_EQ(result.moved, 2);
    EXPECT_EQ(result.costEntriesDeleted, 2);
    EXPECT_EQ(records(), 1);
    EXPECT_EQ(costEntries(), 2); // the invoice's and the April record's

    auto a = open(u"Zeiterf.DB"_s, u"AblageDB"_s);
    a->setIndexName(u"I_DatPersObj"_s);
    a->first();
    a->next(); // past the record archived before
    EXPECT_EQ(a->field(u"Z_ID"_s).asInteger(), 41);
    EXPECT_EQ(a->field(u"Z_Datum"_s).asDateOr(QDate()), QDate(2026, 2, 5));
    EXPECT_EQ(a->field(u"Z_PersNr"_s).asInteger(), 8);
    EXPECT_DOUBLE_EQ(a->field(u"Z_Aufschlag"_s).asFloatOr(0), 1.5);
    a->next();
    EXPECT_EQ(a->field(u"Z_ID"_s).asInteger(), 42);
    EXPECT_EQ(a->field(u"Z_Text"_s).asString(), u"Fenster"_s);
    EXPECT_NE(a->field(u"Z_KostID"_s).asInteger(), 0); // kept, though its entry is gone
    // Statistics and monthly sums keep the archived months.
    EXPECT_DOUBLE_EQ(sum(7, QDate(2026, 3, 1), "ZS_StdGesamt"), marchHours);
    EXPECT_DOUBLE_EQ(monthCosts(QDate(2026, 3, 1)), marchCosts);
    EXPECT_TRUE(ArchivedZeiterfExist());

    // A second run finds nothing to move and nothing to delete.
    const TimeArchiveResult again = archive(kLimit);
    EXPECT_EQ(again.moved, 0);
    EXPECT_EQ(again.costEntriesDeleted, 0);
    EXPECT_EQ(records(), 1);
    EXPECT_EQ(costEntries(), 2);
}

TEST_F(TimeRecordArchive, ALimitBeforeTheFirstRecordMovesOnlyRecordsWithoutDate) {
    post(7, QDate(2026, 3, 20), 2.0, 12.0);
    addInvoiceCost(9001, QDate(2020, 1, 15));
    EXPECT_FALSE(ArchivedZeiterfExist());
    TimeArchiveResult result = archive(QDate(2020, 12, 31));
    EXPECT_EQ(result.moved, 0);
    EXPECT_EQ(result.costEntriesDeleted, 0);
    EXPECT_EQ(costEntries(), 2);
    EXPECT_FALSE(ArchivedZeiterfExist());

    // Records without date sort first and go with every run.
    addRow(u"Zeiterf.DB"_s, {{u"Z_ID"_s, 900}, {u"Z_PersNr"_s, 7}});
    EXPECT_EQ(archive(QDate(2020, 12, 31)).moved, 1);
    addRow(u"Zeiterf.DB"_s, {{u"Z_ID"_s, 901}, {u"Z_PersNr"_s, 8}});
    EXPECT_EQ(archive(QDate(2020, 12, 31)).moved, 1);
    EXPECT_EQ(records(), 1);
    EXPECT_EQ(records("AblageDB"), 2);
}

TEST_F(TimeRecordArchive, AMissingArchiveTableIsCreatedInTheRunAndGoneWhenItFails) {
    ablage().dropTable(u"Zeiterf.DB"_s);
    addRawRecords(1000, QDate(2026, 2, 10));
    int calls = 0;
    const auto failAt500 = [&](TimeArchivePhase phase, int count) {
        ++calls;
        if (phase == TimeArchivePhase::Records && count == 500)
            throw std::runtime_error("Testfehler");
    };
    EXPECT_THROW(archive(kLimit, failAt500), std::runtime_error);
    EXPECT_EQ(calls, 500);
    EXPECT_EQ(records(), 1000);
    EXPECT_EQ(costEntries(), 1000);
    EXPECT_FALSE(ablage().exists(u"Zeiterf.DB"_s));

    // An error in the cost phase undoes the moves as well.
    const auto failInCosts = [](TimeArchivePhase phase, int count) {
        if (phase == TimeArchivePhase::CostEntries && count == 10)
            throw std::runtime_error("Testfehler");
    };
    EXPECT_THROW(archive(kLimit, failInCosts), std::runtime_error);
    EXPECT_EQ(records(), 1000);
    EXPECT_FALSE(ablage().exists(u"Zeiterf.DB"_s));

    // The repeat run moves them all into a table in the client's layout.
    const TimeArchiveResult result = archive(kLimit);
    EXPECT_EQ(result.moved, 1000);
    EXPECT_EQ(result.costEntriesDeleted, 1000);
    EXPECT_EQ(records(), 0);
    EXPECT_EQ(costEntries(), 0);
    ASSERT_TRUE(ablage().exists(u"Zeiterf.DB"_s));
    const table::TableDef def = ablage().tableDef(u"Zeiterf.DB"_s);
    EXPECT_EQ(def.fields.size(), 15);
    EXPECT_EQ(def.indexes.size(), lumo().tableDef(u"Zeiterf.DB"_s).indexes.size());
    EXPECT_EQ(records("AblageDB"), 1000);
}

TEST_F(TimeRecordArchive, AFailingStatementLeavesBothDatabasesAsTheyWere) {
    addRawRecords(20, QDate(2026, 2, 10));
    ablage().execSql(u"CREATE TRIGGER test_fail BEFORE INSERT ON \"Zeiterf\" WHEN "
                     "NEW.\"Z_ID\" = 10 BEGIN SELECT RAISE(ABORT, 'Testfehler'); END"_s);
    EXPECT_ANY_THROW(archive(kLimit));
    EXPECT_EQ(records(), 20);
    EXPECT_EQ(records("AblageDB"), 0);
    EXPECT_EQ(costEntries(), 20);
}

} // namespace
} // namespace operationstest
