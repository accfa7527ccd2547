#include "commercial/bookings/umsatzstatistik.h"
#include "commercial/umsatzfixture.h"
#include "core/values/money.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace Qt::StringLiterals;

// A function: the date conversion's epoch is not set up during static initialisation.
UmStatRange february() {
    return {DateTimeOfDate(QDate(2024, 2, 1)), DateTimeOfDate(QDate(2024, 2, 29))};
}

class UmsatzStatistik : public umsatztest::UmsatzFixture {
protected:
    // The numbers of the work table's rows in R_ID order.
    QStringList rows(const UmsatzWorkTable& work) {
        auto t = open(work.name());
        QStringList numbers;
        int id = 0;
        for (t->first(); !t->eof(); t->next(), ++id) {
            EXPECT_EQ(t->field(u"R_ID"_s).asInteger(), id);
            numbers << t->field(u"R_Nr"_s).asString();
        }
        return numbers;
    }
    bool tableExists(const QString& name) {
        return table::aliases::database(u"LumoDB"_s)->exists(name);
    }
};

struct CollectCase {
    const char* what;
    UmStatKind kind;
    QSet<int> kinds;
    QStringList expected; // journal first, then invoices, credit notes, incoming invoices
};

TEST_F(UmsatzStatistik, CollectsTheKindsOfEachWindowAndItsBoxes) {
    const QList<CollectCase> cases{
        {"objects, both boxes",
         UmStatKind::Objekte,
         UmStatBoxKinds(UmStatKind::Objekte),
         {u"J1"_s, u"J2"_s, u"J4"_s, u"J6"_s, u"R1"_s, u"R2"_s, u"G1"_s}},
        {"objects, invoices only",
         UmStatKind::Objekte,
         {kSatzartAR},
         {u"J1"_s, u"J4"_s, u"J6"_s, u"R1"_s, u"R2"_s}},
        {"customers, credit notes only", UmStatKind::Kunden, {kSatzartGS}, {u"J2"_s, u"G1"_s}},
        {"customers, no box", UmStatKind::Kunden, {}, {}},
        // Journal rows of kind 3 only (not the old kind 1), every incoming
        // invoice of the range, whatever the boxes say.
        {"suppliers", UmStatKind::Lieferanten, {kSatzartAR}, {u"J3"_s, u"E1"_s}},
        {"whole firm, all boxes",
         UmStatKind::Gesamt,
         UmStatBoxKinds(UmStatKind::Gesamt),
         {u"J1"_s, u"J2"_s, u"J3"_s, u"J4"_s, u"J6"_s, u"R1"_s, u"R2"_s, u"G1"_s, u"E1"_s}},
        {"whole firm, incoming only", UmStatKind::Gesamt, {kSatzartER}, {u"J3"_s, u"E1"_s}},
    };
    const UmsatzWorkTable work;
    for (const CollectCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CollectUmsatz(work, {c.kind, february(), c.kinds}), c.expected.size());
        EXPECT_EQ(rows(work), c.expected);
    }
}

TEST_F(UmsatzStatistik, CopiesFieldsByNameAndSetsKindAndDate) {
    const UmsatzWorkTable work;
    CollectUmsatz(work, {UmStatKind::Gesamt, february(), UmStatBoxKinds(UmStatKind::Gesamt)});
    auto t = open(work.name());
    struct Seen {
        QString nr;
        int kind;
        QVariant date;
        QString match, text;
        double brutto;
        bool operator==(const Seen&) const = default;
    };
    QList<Seen> seen;
    for (t->first(); !t->eof(); t->next())
        if (QStringList{u"J2"_s, u"J6"_s, u"G1"_s, u"E1"_s}.contains(
                t->value(u"R_Nr"_s).toString()))
            seen.append({t->value(u"R_Nr"_s).toString(), t->value(u"R_Satzart"_s).toInt(),
                         t->value(u"R_DatumDruck"_s), t->value(u"R_KMatch"_s).toString(),
                         t->value(u"R_Buchtext"_s).toString(), t->value(u"R_Brutto"_s).toDouble()});
    EXPECT_EQ(seen, (QList<Seen>{
                        {u"J2"_s, 2, QDate(2024, 2, 15), u"Kunde 100"_s, u"Buchung J2"_s, 23.80},
                        {u"J6"_s, 0, QVariant(), u"Kunde 101"_s, u"Buchung J6"_s, 10.00},
                        {u"G1"_s, 2, QDate(2024, 2, 1), u"Kunde 101"_s, QString(), 11.90},
                        {u"E1"_s, 3, QDate(2024, 2, 29), u"Kunde 500"_s, QString(), 30.00},
                    }));
}

TEST_F(UmsatzStatistik, RowsWithoutDateLieInEveryRange) {
    const UmsatzWorkTable work;
    const UmStatRange longAgo{DateTimeOfDate(QDate(1999, 1, 1)),
                              DateTimeOfDate(QDate(1999, 1, 31))};
    CollectUmsatz(work, {UmStatKind::Objekte, longAgo, UmStatBoxKinds(UmStatKind::Objekte)});
    EXPECT_EQ(rows(work), (QStringList{u"J6"_s, u"R2"_s}));
    EXPECT_FALSE(longAgo.isEmpty());
    EXPECT_TRUE((UmStatRange{longAgo.to, longAgo.from}).isEmpty());
}

struct SumCase {
    const char* what;
    UmStatKind kind;
    std::optional<int> key;
    double sum;
};

TEST_F(UmsatzStatistik, SumsTheListedRowsWithTheWindowsSigns) {
    const QList<SumCase> cases{
        {"object 10: invoices less the credit note", UmStatKind::Objekte, 10,
         119.00 - 23.80 + 59.50},
        {"an inactive object's rows are collected", UmStatKind::Objekte, 11, 100.00},
        {"customer 101", UmStatKind::Kunden, 101, 100.00 + 10.00 + 5.00 - 11.90},
        {"no master row", UmStatKind::Kunden, std::nullopt, 0},
        {"supplier 500 adds incoming invoices", UmStatKind::Lieferanten, 500, 50.00 + 30.00},
        {"whole firm: credit notes and incoming invoices lower it", UmStatKind::Gesamt,
         std::nullopt, 119.00 - 23.80 - 50.00 + 100.00 + 10.00 + 59.50 + 5.00 - 11.90 - 30.00},
    };
    const UmsatzWorkTable work;
    for (const SumCase& c : cases) {
        SCOPED_TRACE(c.what);
        CollectUmsatz(work, {c.kind, february(), UmStatBoxKinds(c.kind)});
        EXPECT_DOUBLE_EQ(UmsatzSumme(work, c.kind, c.key), RoundCents(c.sum));
    }
    // Both boxes unticked: an empty list sums to 0.
    CollectUmsatz(work, {UmStatKind::Objekte, february(), {}});
    EXPECT_EQ(UmsatzSumme(work, UmStatKind::Objekte, 10), 0.0);
    EXPECT_EQ(UmsatzSummeText(-3.5).size(), 16);
    EXPECT_EQ(UmsatzSummeText(-3.5).trimmed(), FormatMoney(0, -3.5));
}

TEST_F(UmsatzStatistik, WorkTableTakesTheNextNameWhenOneWasTakenMeanwhile) {
    QString taken;
    {
        const UmsatzWorkTable first;
        taken = first.name();
        EXPECT_EQ(taken, u"Tmppr000"_s);
        // A second window never shares it.
        const UmsatzWorkTable second;
        EXPECT_EQ(second.name(), u"Tmppr001"_s);
        // Another workstation took the proposed name between proposal and creation.
        QStringList proposals{taken, u"Tmppr002"_s};
        const UmsatzWorkTable third(u"LumoDB"_s, [&] { return proposals.takeFirst(); });
        EXPECT_EQ(third.name(), u"Tmppr002"_s);
        EXPECT_TRUE(tableExists(u"Tmppr002"_s));
    }
    for (const QString& name : {u"Tmppr000"_s, u"Tmppr001"_s, u"Tmppr002"_s})
        EXPECT_FALSE(tableExists(name)) << name.toStdString();
}

TEST_F(UmsatzStatistik, AFailedCollectionKeepsTheRowsAndTheTableGoesAfterwards) {
    QString name;
    {
        const UmsatzWorkTable work;
        name = work.name();
        CollectUmsatz(work, {UmStatKind::Objekte, february(), UmStatBoxKinds(UmStatKind::Objekte)});
        table::aliases::database(u"LumoDB"_s)->dropTable(u"Gskopf.DB"_s);
        EXPECT_THROW(CollectUmsatz(work, {UmStatKind::Objekte, february(),
                                          UmStatBoxKinds(UmStatKind::Objekte)}),
                     DbError);
        EXPECT_EQ(rows(work).size(), 7);
    }
    EXPECT_FALSE(tableExists(name));
}

struct MonthCase {
    QDate today, from, to;
};

TEST(UmStatMonthRange, FirstAndLastDayOfTodaysMonth) {
    const QList<MonthCase> cases{
        {QDate(2024, 2, 10), QDate(2024, 2, 1), QDate(2024, 2, 29)},
        {QDate(2023, 2, 28), QDate(2023, 2, 1), QDate(2023, 2, 28)},
        {QDate(2000, 2, 1), QDate(2000, 2, 1), QDate(2000, 2, 29)},
        {QDate(2100, 2, 15), QDate(2100, 2, 1), QDate(2100, 2, 28)},
        {QDate(2024, 12, 31), QDate(2024, 12, 1), QDate(2024, 12, 31)},
    };
    for (const MonthCase& c : cases) {
        const UmStatRange r = UmStatMonthRange(c.today);
        EXPECT_EQ(DateOfDateTime(r.from), c.from);
        EXPECT_EQ(DateOfDateTime(r.to), c.to);
    }
}

} // namespace
