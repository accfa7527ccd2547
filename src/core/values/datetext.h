#pragma once

#include "core/values/datetimevalue.h"
#include "core/values/packeddate.h"

#include <QString>

// "dd.mm.yyyy"; a packed date without a day gives the blank mask "  .  .    ".
QString PackedDateToStr(TPackedDate p);
QString DateToStrDMY(TDateTime d);
// DateToStrDMY between single quotes, for filters and SQL texts.
QString DateToSqlStr(TDateTime d);

// Day, month and year split at the regional date separator. Never raises: a
// part that is no number counts 0, a year below 1000 becomes 0 (unusable), and
// a part too large for its field makes the whole text no date (0).
TPackedDate StrToPackedDate(const QString& text);
TDateTime StrToDateDMY(const QString& text);
// Whether the trimmed text is a real date written day "." month "." year.
bool IsValidDateStr(const QString& text);

TPackedDate TodayPacked();
// Set the program-wide short date ("dd.mm.yyyy") or short time ("hh:mm:ss")
// format and return today's date or the current time in it.
QString TodayStr();
QString NowTimeStr();
void GetNowHMS(quint8& hour, quint8& minute, quint8& second);
