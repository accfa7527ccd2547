#pragma once

class QString;

// Whether a tour may do an object activity: its weekday against the
// activity's weekday pattern (TS_Wtag) and its service pattern (TO_ServPatt)
// against the activity's service (TS_ServiceID). Every planning caller (due
// rule, daily lists, invoice generator, preview, planning check, tour form)
// uses these, so they all agree.

// The activity's service fits when it is empty or begins with "*", or when
// the tour's pattern (blank counting as "*") holds "*" or the service. Both
// are trimmed first.
bool ServiceFitsPattern(const QString& serviceId, const QString& tourPattern);
// The same with the arguments in the order the document routines use.
bool MatchServicePattern(const QString& pattern, const QString& code);

// The weekday (written as decimal digits) occurs in the trimmed pattern; an
// empty pattern or "*" lets every weekday pass.
bool WeekdayFitsPattern(int weekday, const QString& weekdayPattern);

// 0 when the tour fits the activity; -1 when the tour's weekday (1 .. 7) is
// not in the activity's weekday pattern (empty or "*": all of 1 to 7); -2
// when the weekday fits but the service does not.
int MatchTourDay(int weekday, const QString& tourPattern, const QString& weekdayPattern,
                 const QString& serviceCode);
