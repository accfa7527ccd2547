#include "commercial/documents/vatlookups.h"
#include "core/data/moduledbfixture.h"
#include "platform/table/table.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TDateTime D(int y, int m, int d) {
    return DateTimeOfDate(QDate(y, m, d));
}

// The shared rate table with overlapping and open periods:
// 1: code 0, always; 2: code 1 16 % to 2006; 3: code 1 15 % in 2006 (overlaps 2);
// 4: code 2 7 % from 2000, open end; 5: code 1 19 % open start 2007 on.
class VatLookups : public datatest::ModuleDbFixture {
protected:
    void SetUp() override {
        ModuleDbFixture::SetUp();
        auto rates = open(u"MwstSatz.DB"_s);
        while (!rates->isEmpty()) {
            rates->first();
            rates->deleteRecord();
        }
        rates.reset();
        struct Row {
            int id, code;
            double rate;
            QDate from, to;
            const char* kurz;
        } rows[] = {
            {1, 0, 0.0, QDate(2000, 1, 1), QDate(2100, 12, 31), "frei"},
            {2, 1, 16.0, QDate(2000, 1, 1), QDate(2006, 12, 31), "voll 16"},
            {3, 1, 15.0, QDate(2006, 1, 1), QDate(2006, 12, 31), "voll 15"},
            {4, 2, 7.0, QDate(2000, 1, 1), QDate(), "halb"},
            {5, 1, 19.0, QDate(), QDate(), "voll 19"},
        };
        for (const Row& r : rows) {
            QList<std::pair<QString, QVariant>> values = {
                {u"Mwst_ID"_s, r.id},
                {u"Mwst_Nr"_s, r.code},
                {u"Mwst_Satz"_s, r.rate},
                {u"Mwst_Kurz"_s, QString::fromLatin1(r.kurz)},
                {u"Mwst_Lang"_s, u"Satz %1"_s.arg(r.id)}};
            if (r.from.isValid())
                values.append({u"Mwst_GueltigVon"_s, r.from});
            if (r.to.isValid())
                values.append({u"Mwst_GueltigBis"_s, r.to});
            addRow(u"MwstSatz.DB"_s, values);
        }
        createModule();
        dm->TabMwst().open();
    }
};

TEST_F(VatLookups, FirstCoveringRowWinsElseTheFallback) {
    const struct {
        int code;
        TDateTime date;
        double rate;
        const char* kurz;
    } cases[] = {
        {1, D(2005, 6, 1), 16.0, "voll 16"}, // 5 is open too, but 2 comes first
        {1, D(2006, 6, 1), 16.0, "voll 16"}, // 2 and 3 overlap: the smaller key
        {1, D(2007, 1, 1), 19.0, "voll 19"}, // both bounds open
        {2, D(2150, 1, 1), 7.0, "halb"},     // open end
        {2, D(1999, 12, 31), 7.0, "halb"},   // an empty bound opens the whole period
        {1, D(1990, 1, 1), 19.0, "voll 19"},
        {0, D(2101, 1, 1), 16.0, ""}, // code 0 outside its period
        {3, D(2005, 1, 1), 16.0, ""}, // no such code
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const TVatLookup hit = LookupVatRate(c.code, c.date);
        EXPECT_DOUBLE_EQ(hit.Rate, c.rate);
        EXPECT_EQ(hit.Kurz, QString::fromLatin1(c.kurz));
        EXPECT_DOUBLE_EQ(GetVatRateAt(c.code, c.date), c.rate);
    }
}

TEST_F(VatLookups, CursorStaysOnTheMatchOrAfterTheLastRow) {
    table::Table& tab = dm->TabMwst();
    LookupVatRate(1, D(2006, 6, 1));
    EXPECT_EQ(tab.value(u"Mwst_ID"_s).toInt(), 2);
    LookupVatRate(0, D(1990, 1, 1));
    EXPECT_TRUE(tab.eof());
}

TEST_F(VatLookups, ClosedTableIsOpenedForTheCall) {
    dm->TabMwst().close();
    EXPECT_DOUBLE_EQ(GetVatRateAt(2, D(2010, 1, 1)), 7.0);
    EXPECT_FALSE(dm->TabMwst().isOpen());
}

TEST_F(VatLookups, CodesRatesAndAmounts) {
    EXPECT_EQ(VatRatesAt(D(2006, 6, 1)), (std::array<double, 3>{0.0, 16.0, 7.0}));
    EXPECT_EQ(VatCodeOfRate(16.0, D(2006, 6, 1)), 1);
    EXPECT_EQ(VatCodeOfRate(7.0, D(2006, 6, 1)), 2);
    EXPECT_EQ(VatCodeOfRate(19.0, D(2006, 6, 1)), 0);
    EXPECT_EQ(VatCodeOfRate(19.0, D(2020, 6, 1)), 1);
    EXPECT_DOUBLE_EQ(DefaultVatRate(), 19.0);
    EXPECT_DOUBLE_EQ(CalcVatAmount(100.05, 16.0), 16.01);
}

TEST_F(VatLookups, WithoutAFullRateTheFallbackCountsAsFull) {
    auto rates = open(u"MwstSatz.DB"_s);
    ASSERT_TRUE(rates->locate({u"Mwst_ID"_s}, {5}));
    rates->deleteRecord();
    rates.reset();
    dm->TabMwst().refresh();
    EXPECT_EQ(VatCodeOfRate(16.0, D(2020, 1, 1)), 1);
    EXPECT_DOUBLE_EQ(DefaultVatRate(), FallbackVatRate);
}

} // namespace
