#pragma once

#include "commercial/scheduling/activitydue.h"
#include "commercial/scheduling/fixtermmonths.h"

#include <QDate>

namespace planningtest {

inline TDateTime d(int y, int m, int day) {
    return DateTimeOfDate(QDate(y, m, day));
}

// Activity 3 of object 7 with the interval key, start date and service.
inline ObjectActivity activity(int modus, TDateTime start, const char* service = "") {
    ObjectActivity a;
    a.objektNr = 7;
    a.taetigNr = 3;
    a.modus = modus;
    a.startDatum = start;
    a.serviceId = QString::fromLatin1(service);
    return a;
}

// A month text with the given days marked.
inline QString marks(std::initializer_list<int> days) {
    MonthMarks m{};
    for (int d : days)
        m[d - 1] = true;
    return EncodeMonthMarks(m);
}

} // namespace planningtest
