#pragma once

#include <QDate>
#include <QString>
#include <vector>

// The distribution of one cost type's costs that were booked on the main
// store (object 0) in a month over the objects, by a key taken from the
// objects' cost statistics.

// The keys of "Verteilerschlüssel bestimmen", in their list order.
enum class DistributionKey {
    ErloesMonat = 0,
    KostenMonat = 1,
    ErloesJahr = 2,
    KostenJahr = 3,
    ErloesGesamt = 4,
    KostenGesamt = 5,
};
// The list texts, index = key.
const std::vector<QString>& DistributionKeyTexts();

// What the main store holds of the cost type in the month.
struct MainStoreAmounts {
    double zugang = 0;
    double bestand = 0;
    double erloes = 0;
};

// One booking of the distribution.
struct OverheadBooking {
    int objektId = 0;
    int objektNr = 0;
    double zugang = 0;
    double bestand = 0;
    double erloes = 0;
};

class OverheadDistribution {
public:
    OverheadDistribution(int kostart, int year, int month);

    // The main store's detail row of the cost type in the month; nullopt
    // (as a false return) when it is missing or its K_Zugang is 0: the
    // month was distributed already or holds nothing to distribute.
    bool readMainStore();
    const MainStoreAmounts& mainStore() const { return m_main; }

    // The bookings by the key: the main store gives up its amounts, each
    // object gets its share (value / sum of the values, rounded to cents;
    // a negative value a negative share), and the object with the largest
    // value above 0 (the first found) gets what rounding leaves. False, and
    // no bookings, when the values sum to 0 or none is above 0.
    bool plan(DistributionKey key);
    const std::vector<OverheadBooking>& bookings() const { return m_bookings; }

    // Books the planned amounts into the cost statistics on the first day of
    // the month, all or nothing.
    void book();

private:
    int m_kostart;
    int m_year;
    int m_month;
    MainStoreAmounts m_main;
    std::vector<OverheadBooking> m_bookings;
};
