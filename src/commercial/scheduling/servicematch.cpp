#include "commercial/scheduling/servicematch.h"

#include "core/values/conversions.h"

#include <QString>

namespace {
const QLatin1Char kAll('*');
}

bool ServiceFitsPattern(const QString& serviceId, const QString& tourPattern) {
    const QString service = TrimStr(serviceId);
    if (service.isEmpty() || service.startsWith(kAll))
        return true;
    const QString pattern = TrimStr(tourPattern);
    return pattern.isEmpty() || pattern.contains(kAll) || pattern.contains(service);
}

bool MatchServicePattern(const QString& pattern, const QString& code) {
    const QString all(kAll);
    const QString p = TrimStr(pattern).isEmpty() ? all : TrimStr(pattern);
    const QString c = TrimStr(code).isEmpty() ? all : TrimStr(code);
    return p == all || c == all || p.contains(c);
}

bool WeekdayFitsPattern(int weekday, const QString& weekdayPattern) {
    const QString pattern = TrimStr(weekdayPattern);
    return pattern.isEmpty() || pattern == QString(kAll) ||
           pattern.contains(QString::number(weekday));
}

int MatchTourDay(int weekday, const QString& tourPattern, const QString& weekdayPattern,
                 const QString& serviceCode) {
    if (weekday < 1 || weekday > 7 || !WeekdayFitsPattern(weekday, weekdayPattern))
        return -1;
    return MatchServicePattern(tourPattern, serviceCode) ? 0 : -2;
}
