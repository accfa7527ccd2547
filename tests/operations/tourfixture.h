#pragma once

#include "core/data/dailylistfixture.h"

#include <QVariant>

namespace operationstest {

// The planning tables with the data module's rules, and tour object rows
// whose times may stay empty.
class Tours : public datatest::DailyLists {
protected:
    // A tour's object row keyed tourNr * 100 + objektNr unless key is given;
    // a null time stays empty.
    void addVisit(int tourNr, int objektNr, const QVariant& von, const QVariant& bis, int key = 0) {
        addRow(QStringLiteral("TourObj.db"),
               {{QStringLiteral("T_TourID"), key ? key : tourNr * 100 + objektNr},
                {QStringLiteral("TO_TourNr"), tourNr},
                {QStringLiteral("TO_Objekt"), objektNr},
                {QStringLiteral("TO_VonUhr"), von},
                {QStringLiteral("TO_BisUhr"), bis}});
    }
};

} // namespace operationstest
