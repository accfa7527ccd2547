#pragma once

#include "commercial/activitydue.h"

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

} // namespace planningtest
