#pragma once

class QString;

// Whether a tour may do an object activity: its weekday against the
// activity's weekday pattern (TS_Wtag) and its service pattern (TO_ServPatt)
// against the activity's service (TS_ServiceID). Two rules exist: the due
// rule of the daily lists, the invoice generator and the preview
// (ServiceFitsPattern), and the stricter display and check rule of the tour
// form and the planning check (MatchServicePattern, MatchTourDay).

// The due rule: the activity's service fits when it is empty or begins with "*", or when
// the tour's pattern (blank counting as "*") holds "*" or the service. Both
// are trimmed first.
bool ServiceFitsPattern(const QString& serviceId, const QString& tourPattern);
// Whether a tour with the service pattern offers the service code, as the
// tour form and the planning check judge it: both trimmed, an empty text
// counting as "*"; either side being "*" fits, else the code must occur in
// the pattern. Unlike the due rule, a pattern such as "AB*" is no wildcard.
bool MatchServicePattern(const QString& pattern, const QString& code);

// The weekday (written as decimal digits) occurs in the trimmed pattern; an
// empty pattern or "*" lets every weekday pass.
bool WeekdayFitsPattern(int weekday, const QString& weekdayPattern);

// 0 when the tour fits the activity; -1 when the tour's weekday (1 .. 7) is
// not in the activity's weekday pattern (empty or "*": all of 1 to 7); -2
// when the weekday fits but MatchServicePattern refuses the service.
int MatchTourDay(int weekday, const QString& tourPattern, const QString& weekdayPattern,
                 const QString& serviceCode);
