#include "operations/timerecordservice.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "timerecordfixture.h"

#include <QDate>
#include <QStringList>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace operationstest {
namespace {

class Batch : public TimeRecords {
protected:
    void SetUp() override {
        TimeRecords::SetUp();
        // Cost type 501 belongs to section 4 and books the stock column too.
        setField(u"Personal.DB"_s, u"P_Nr"_s, 8, u"P_Kostart1"_s, 501);
    }
    // The rows of the sums, cost sums, turnover and cost entries, amounts to
    // the cent and without the keys of the cost entries.
    QStringList booked() {
        QStringList rows;
        for (const char* file :
             {"Zeitsum.DB", "KostSumH.db", "KostSumD.db", "KUmsatz.DB", "Kosten.DB"}) {
            auto t = open(QString::fromLatin1(file));
            for (t->first(); !t->eof(); t->next()) {
                QStringList values{QString::fromLatin1(file)};
                for (int i = QByteArray(file) == "Kosten.DB" ? 1 : 0; i < t->fieldCount(); ++i) {
                    const QVariant v = t->field(i).value();
                    values << (v.typeId() == QMetaType::Double
                                   ? QString::number(v.toDouble(), 'f', 2)
                                   : v.toString());
                }
                rows << values.join(u'|');
            }
        }
        return rows;
    }
    static TimeRecordValues record(int persNr, const QDate& day, double hours, double rate,
                                   int objNr, int kostart) {
        return values(persNr, day, hours, rate, 1, objNr, u"Treppenhaus"_s, kostart);
    }
};

TEST_F(Batch, BooksTheSameSumsCostSumsAndTurnoverAsPostsOneByOne) {
    const TimeRecordValues records[] = {record(7, kMarch10, 2.5, 12.34, 10, 500),
                                        record(7, kMarch10, 1, 12.00, 11, 500),
                                        record(8, kMarch10.addDays(30), 3, 10.00, 10, 501),
                                        record(8, kMarch10.addDays(1), 0.25, 10.00, 0, 501)};
    for (const TimeRecordValues& v : records)
        cursor().append(v);
    const QStringList byPosts = booked();
    cursor().service().DeleteZeiterfRange(QDate(2026, 1, 1), QDate(2026, 12, 31));

    TimeRecordService service;
    TimeRecordBatch batch(service);
    for (const TimeRecordValues& v : records)
        batch.append(v);
    batch.commit();
    EXPECT_EQ(booked(), byPosts);
    EXPECT_EQ(watch.insideTransaction, 0);
}

TEST_F(Batch, WithoutCommitNothingStaysAndARefusalShowsNoBox) {
    post(7, kMarch10, 2, 12.00);
    const QStringList before = booked();
    TimeRecordService service;
    {
        TimeRecordBatch batch(service);
        batch.deleteRange(kMarch10, kMarch10);
        batch.append(record(8, kMarch10, 1, 10.0, 0, 501));
        EXPECT_THROW(batch.append(record(8, kMarch10, 1, 10.0, 77, 501)), DbError);
        EXPECT_THROW(batch.append(record(8, kMarch10, 1, 10.0, 0, 777)), DbError);
    }
    EXPECT_EQ(booked(), before);
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 1);
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(Batch, DeletesOneEmployeesDayAndRebuildsTheSumsItTouched) {
    post(7, kMarch10, 2, 12.00);
    post(8, kMarch10, 3, 10.00);
    TimeRecordService service;
    TimeRecordBatch batch(service);
    batch.deleteDay(7, kMarch10);
    batch.append(record(7, kMarch10, 1, 12.0, 0, 500));
    batch.commit();
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 2);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdGesamt"), 1);
    EXPECT_DOUBLE_EQ(sum(8, kMarch10, "ZS_StdGesamt"), 3);
    EXPECT_DOUBLE_EQ(monthCosts(kMarch10), 42.00);
}

TEST_F(Batch, NeedsTheCreateRightBeforeItBegins) {
    createAllowed = false;
    TimeRecordService service;
    EXPECT_THROW(TimeRecordBatch batch(service), Abort);
    EXPECT_EQ(table::aliases::database(datatest::kDb)->transactionDepth(), 0);
}

} // namespace
} // namespace operationstest
