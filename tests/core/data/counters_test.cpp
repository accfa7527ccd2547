#include "clientdbfixture.h"
#include "core/data/counters.h"
#include "core/data/datamodule.h"
#include "platform/table/database.h"
#include "platform/table/session.h"
#include "platform/table/table.h"

#include <QSet>
#include <limits>
#include <thread>

namespace {

using datatest::ClientDbFixture;

class Counters : public ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        company = open(QStringLiteral("Firmen.DB"));
        ASSERT_FALSE(company->isEmpty());
    }
    void setField(const QString& field, const QVariant& value) {
        company->edit();
        company->field(field).setValue(value);
        company->post();
    }
    QVariant stored(const QString& field) {
        auto t = open(QStringLiteral("Firmen.DB"));
        return t->field(field).value();
    }
    std::unique_ptr<table::Table> company;
};

TEST_F(Counters, TakeAndPutBackTable) {
    struct Case {
        int code;
        const char* field;
        QVariant before;
        int taken;
        QVariant after;
    } cases[] = {
        {2, "F_NextNrRg", QVariant(), 0, 1},                              // null counts 0
        {2, "F_NextNrRg", 1, 1, 2},          {0, "F_NextNr02", -5, 0, 1}, // negative counts 0
        {1, "F_NextNr03", 41, 41, 42},       {3, "F_NextNr06", 7, 7, 8},
        {4, "F_NextNr04", 0, 0, 1},          {6, "F_NextNr07", 99, 99, 100},
        {10, "F_NextNr05", 12, 12, 13},
    };
    for (const Case& c : cases) {
        const QString field = QString::fromLatin1(c.field);
        setField(field, c.before);
        EXPECT_EQ(TakeNextNr(*company, c.code), c.taken) << c.field;
        EXPECT_EQ(stored(field), c.after) << c.field;
        PutBackNr(*company, c.code);
        EXPECT_EQ(stored(field).toInt(), c.after.toInt() - 1) << c.field;
    }
}

TEST_F(Counters, CodeWithoutCounterChangesNothingButPosts) {
    setField(QStringLiteral("F_NextNr05"), 12);
    int posts = 0;
    company->afterPost += [&](table::Table&) { ++posts; };
    EXPECT_EQ(TakeNextNr(*company, 5), 0);
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(stored(QStringLiteral("F_NextNr05")).toInt(), 12);
    PutBackNr(*company, 5);
    EXPECT_EQ(stored(QStringLiteral("F_NextNr05")).toInt(), 12);
}

TEST_F(Counters, PutBackNeverGoesBelowZero) {
    for (const QVariant& start : {QVariant(0), QVariant(), QVariant(-3)}) {
        setField(QStringLiteral("F_NextNr06"), start);
        PutBackNr(*company, 3);
        EXPECT_EQ(stored(QStringLiteral("F_NextNr06")), start);
    }
}

TEST_F(Counters, FullCounterRaisesAndStaysUnchanged) {
    setField(QStringLiteral("F_NextNrRg"), std::numeric_limits<int>::max());
    EXPECT_THROW(TakeNextNr(*company, 2), DbError);
    EXPECT_EQ(stored(QStringLiteral("F_NextNrRg")).toInt(), std::numeric_limits<int>::max());
    EXPECT_FALSE(company->isEditing());
}

TEST_F(Counters, SeesNumbersTakenThroughAnotherCursor) {
    setField(QStringLiteral("F_NextNrRg"), 10);
    auto other = open(QStringLiteral("Firmen.DB"));
    EXPECT_EQ(TakeNextNr(*other, 2), 10);
    EXPECT_EQ(TakeNextNr(*company, 2), 11); // not the stale 10 of its own buffer
}

// Two workstations, each with its own connection and session, draw at once.
TEST_F(Counters, ConcurrentConnectionsNeverDrawTheSameNumber) {
    setField(QStringLiteral("F_NextNrRg"), 1);
    company.reset();
    constexpr int perWorker = 40;
    QList<int> drawn[2];
    QString errors[2];
    auto worker = [&](int w) {
        try {
            auto session =
                std::make_shared<table::Session>(NetDir, QStringLiteral("user%1").arg(w));
            table::Database::Options options;
            options.syncToDisk = false;
            auto db = table::Database::open(DataDir, options);
            db->setSession(session);
            table::Table firmen(db, QStringLiteral("Firmen.DB"));
            firmen.open();
            for (int i = 0; i < perWorker; ++i)
                drawn[w].append(TakeNextNr(firmen, 2));
        } catch (const DbError& e) {
            errors[w] = e.message();
        }
    };
    std::thread a(worker, 0), b(worker, 1);
    a.join();
    b.join();
    EXPECT_EQ(errors[0], QString());
    EXPECT_EQ(errors[1], QString());
    QSet<int> all;
    for (const auto& list : drawn)
        for (int n : list)
            all.insert(n);
    EXPECT_EQ(all.size(), 2 * perWorker);
    EXPECT_EQ(stored(QStringLiteral("F_NextNrRg")).toInt(), 1 + 2 * perWorker);
}

// The company form of another workstation holds the record in edit: numbers
// are still drawn at once, and its later post keeps them unless the user set
// the counter in the form.
TEST_F(Counters, DrawingDoesNotWaitForTheCompanyFormsEdit) {
    setField(QStringLiteral("F_NextNrRg"), 10);
    setField(QStringLiteral("F_NextNr02"), 5);
    company.reset();
    auto sessionA = std::make_shared<table::Session>(NetDir, QStringLiteral("anna"));
    auto sessionB = std::make_shared<table::Session>(NetDir, QStringLiteral("bernd"));
    table::Database::Options options;
    options.syncToDisk = false;
    auto dbA = table::Database::open(DataDir, options);
    auto dbB = table::Database::open(DataDir, options);
    dbA->setSession(sessionA);
    dbB->setSession(sessionB);
    table::Table form(dbB, QStringLiteral("Firmen.DB"));
    form.open();
    form.edit();
    form.field(QStringLiteral("F_NextNr02")).setValue(100); // the user's own setting

    table::Table firmen(dbA, QStringLiteral("Firmen.DB"));
    firmen.open();
    EXPECT_EQ(TakeNextNr(firmen, 2), 10);
    EXPECT_EQ(TakeNextNr(firmen, 2), 11);
    EXPECT_EQ(firmen.field(QStringLiteral("F_NextNrRg")).asIntegerOr(0), 12); // shown at once

    form.post();
    EXPECT_EQ(stored(QStringLiteral("F_NextNrRg")).toInt(), 12);
    EXPECT_EQ(stored(QStringLiteral("F_NextNr02")).toInt(), 100);
    EXPECT_EQ(TakeNextNr(firmen, 2), 12);
}

// A database another workstation keeps busy is tried again, then a German
// message says so; nothing is drawn.
TEST_F(Counters, BusyDatabaseIsRetriedBeforeAGermanMessage) {
    setField(QStringLiteral("F_NextNrRg"), 50);
    table::Database::Options options;
    options.busyTimeoutMs = 20;
    auto db = table::Database::open(DataDir, options);
    table::Table firmen(db, QStringLiteral("Firmen.DB"));
    firmen.open();
    auto holderDb = table::Database::open(DataDir, options);
    {
        table::Transaction holding(*holderDb);
        try {
            TakeNextNr(firmen, 2);
            ADD_FAILURE() << "drawn while the database was busy";
        } catch (const DbError& e) {
            EXPECT_TRUE(
                e.message().startsWith(QStringLiteral("Die Nummer konnte nicht vergeben werden")))
                << e.message().toStdString();
        }
    }
    EXPECT_EQ(stored(QStringLiteral("F_NextNrRg")).toInt(), 50);
    EXPECT_EQ(TakeNextNr(firmen, 2), 50);
}

TEST_F(Counters, MinimumNumbersAndAddressProposal) {
    TDataModule1 dm;
    dm.DataModuleCreate();
    table::Table& firmen = dm.TabFirmen();
    auto set = [&](const char* field, const QVariant& v) {
        firmen.edit();
        firmen.field(QString::fromLatin1(field)).setValue(v);
        firmen.post();
    };
    struct Case {
        int (*getter)();
        const char* field;
    } cases[] = {
        {GetMinNrKunden, "F_MinNrKunden"},       {GetMinNrArtikel, "F_MinNrArtikel"},
        {GetMinNrTaetig, "F_MinNrTaetig"},       {GetMinNrPersonal, "F_MinNrPersonal"},
        {GetMinNrObjekt, "F_MinNrObjekt"},       {GetMinNrTour, "F_MinNrTour"},
        {GetMinNrKostart, "F_MinNrKostart"},     {GetMinNrLieferant, "F_MinNrProjekt"},
        {GetMinNrNotdienst, "F_MinNrNotdienst"}, {GetMinNrAdress, "F_MinNrAdress"},
    };
    for (const Case& c : cases) {
        set(c.field, QVariant());
        EXPECT_EQ(c.getter(), 1) << c.field;
        set(c.field, 0);
        EXPECT_EQ(c.getter(), 0) << c.field;
        set(c.field, 250);
        EXPECT_EQ(c.getter(), 250) << c.field;
    }
    set("F_MinNrAdress", 1000);
    addRow(QStringLiteral("Adress.DB"),
           {{QStringLiteral("A_ID"), 1}, {QStringLiteral("A_Nr"), 1000}});
    addRow(QStringLiteral("Adress.DB"),
           {{QStringLiteral("A_ID"), 2}, {QStringLiteral("A_Nr"), 1001}});
    addRow(QStringLiteral("Adress.DB"),
           {{QStringLiteral("A_ID"), 3}, {QStringLiteral("A_Nr"), 1003}});
    EXPECT_EQ(ProposeAdressNr(), 1002);

    // The wrappers draw from the data module's company record.
    set("F_NextNrRg", QVariant());
    EXPECT_EQ(TakeRechnungNr(), 0);
    EXPECT_EQ(TakeRechnungNr(), 1);
    PutBackRechnungNr();
    EXPECT_EQ(TakeRechnungNr(), 1);
    set("F_NextNr05", 4);
    EXPECT_EQ(TakeEingangsrechnungNr(), 4);
    set("F_NextNr07", 17);
    PutBackBestellungNr();
    EXPECT_EQ(firmen.field(QStringLiteral("F_NextNr07")).asInteger(), 16);
}

} // namespace
