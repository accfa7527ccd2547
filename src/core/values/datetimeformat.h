#pragma once

#include "core/values/datetimevalue.h"

#include <QString>

// A date-time value written with a pattern of the kind users type into
// texts and layouts ("dd.mm.yyyy", "dddd", "hh:nn"), with the separators and
// names of the regional settings:
//   d dd ddd dddd   day, two digits, short and long weekday name
//   ddddd dddddd    the short and the long date format
//   m mm mmm mmmm   month, two digits, short and long name; m and mm right
//                   after an hour mean minutes
//   yy yyyy         year in two or four digits
//   h hh n nn s ss  hours, minutes, seconds; z zzz milliseconds
//   t tt c          short time, long time, short date and long time
//   am/pm a/p       12-hour clock with that marker
//   / :             date and time separator
//   "..." '...'     text as written; any other character stands as it is
// Letters count without regard to case.
QString FormatDateTime(const QString& pattern, TDateTime value);
