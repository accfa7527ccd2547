#pragma once

#include "core/values/datetimevalue.h"

#include <QString>

// The checks of the typed date dialogs: the message that refuses the texts,
// or the empty text when they are fine.

// "\"31.02.2024\" ist kein gültiges Datum!"
QString NotADateMessage(const QString& typed);
// The start text, then the end text, then the order of both.
QString DateRangeRefusal(const QString& fromText, const QString& toText);
QString LimitDateRefusal(const QString& text);

// The date value of a text the checks accepted.
TDateTime TypedDate(const QString& text);

// While the start is typed: the end date that the dialog then holds (the
// typed start when it is a date later than the held end, else the held end).
TDateTime EndAfterTypedStart(const QString& fromText, TDateTime heldEnd);
