#include "operations/overheaddistribution.h"

#include "commercial/bookings/costbookings.h"
#include "core/data/dbhelpers.h"
#include "core/values/money.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

const std::vector<QString>& DistributionKeyTexts() {
    static const std::vector<QString> texts{
        u"Erlösen im aktuellen Monat"_s,  u"Kosten im aktuellen Monat"_s,
        u"Erlösen im aktuellen Jahr"_s,   u"Kosten im aktuellen Jahr"_s,
        u"Erlösen über die Gesamtzeit"_s, u"Kosten über die Gesamtzeit"_s,
    };
    return texts;
}

OverheadDistribution::OverheadDistribution(int kostart, int year, int month)
    : m_kostart(kostart), m_year(year), m_month(month) {}

bool OverheadDistribution::readMainStore() {
    auto details = OpenTempTableWhere(
        u"LumoDB"_s, u"KostSumD.db"_s,
        u"K_Jahr=%1 AND K_Monat=%2 AND K_Kostart=%3 AND K_ObjektNr=0"_s.arg(m_year)
            .arg(m_month)
            .arg(m_kostart));
    if (details->isEmpty())
        return false;
    m_main.zugang = FieldFloat(*details, u"K_Zugang"_s);
    m_main.bestand = FieldFloat(*details, u"K_Bestand"_s);
    m_main.erloes = FieldFloat(*details, u"K_Erloes"_s);
    return m_main.zugang != 0;
}

bool OverheadDistribution::plan(DistributionKey key) {
    m_bookings.clear();
    const int k = int(key);
    const int year = k < 4 ? m_year : 0;
    const int month = k < 2 ? m_month : 0;
    const bool revenue = k % 2 == 0;
    struct Row {
        int objektId, objektNr;
        double value;
    };
    std::vector<Row> rows;
    double sum = 0;
    const Row* largest = nullptr;
    {
        auto heads =
            OpenTempTableWhere(u"LumoDB"_s, u"KostSumH.db"_s,
                               u"K_Jahr=%1 AND K_Monat=%2 AND K_ObjektID>0"_s.arg(year).arg(month));
        for (heads->first(); !heads->eof(); heads->next()) {
            const double value =
                revenue ? FieldFloat(*heads, u"K_Erloes"_s)
                        : FieldFloat(*heads, u"K_Zugang"_s) - FieldFloat(*heads, u"K_Bestand"_s);
            rows.push_back(
                {FieldInt(*heads, u"K_ObjektID"_s), FieldInt(*heads, u"K_ObjektNr"_s), value});
            sum += value;
        }
    }
    for (const Row& r : rows)
        if (r.value > 0 && (!largest || r.value > largest->value))
            largest = &r;
    // Without a value above 0 nothing can take the remainder.
    if (sum == 0 || !largest)
        return false;
    m_bookings.push_back({0, 0, RoundCents(-m_main.zugang), RoundCents(-m_main.bestand),
                          RoundCents(-m_main.erloes)});
    double restZ = m_main.zugang, restB = m_main.bestand, restE = m_main.erloes;
    for (const Row& r : rows) {
        if (&r == largest)
            continue;
        const double ratio = r.value / sum;
        const OverheadBooking b{r.objektId, r.objektNr, RoundCents(m_main.zugang * ratio),
                                RoundCents(m_main.bestand * ratio),
                                RoundCents(m_main.erloes * ratio)};
        restZ -= b.zugang;
        restB -= b.bestand;
        restE -= b.erloes;
        m_bookings.push_back(b);
    }
    m_bookings.push_back({largest->objektId, largest->objektNr, RoundCents(restZ),
                          RoundCents(restB), RoundCents(restE)});
    return true;
}

void OverheadDistribution::book() {
    const QDate day(m_year, m_month, 1);
    table::Transaction tx(*table::aliases::database(u"LumoDB"_s));
    for (const OverheadBooking& b : m_bookings)
        BookKostSum(b.objektId, m_kostart, day, b.zugang, b.bestand, b.erloes);
    tx.commit();
}
