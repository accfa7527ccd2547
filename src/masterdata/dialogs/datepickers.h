#pragma once

#include "core/values/datetimevalue.h"

class QWidget;

namespace widgets {
class DbDateEdit;
class FieldLink;
} // namespace widgets

// The calendar F_Kalender opened for a date; every helper returns false and
// changes nothing when the calendar form does not exist or the user cancels.

// For a data-aware edit: the calendar opens 120 pixels left of and 22 pixels
// below the edit's top-left corner, at the field's date (the day zero for no
// date); on OK the record goes into edit state and the field takes the date.
bool PickDbEditDate(QWidget& edit, widgets::FieldLink& link);
bool PickDbEditDate(widgets::DbDateEdit& edit);
// The calendar where PickDbEditDate opens it for the edit, starting at date;
// on OK date takes the chosen day and nothing is written, so the caller can
// apply the date together with what follows from it.
bool PickDateBelow(const QWidget& edit, TDateTime& date);

// The calendar at (x + left, y + top) of the active form, starting at date;
// on OK date takes the chosen day.
bool PickDateAt(TDateTime& date, int x, int y);
// The same relative to the given form.
bool PickDateBeside(TDateTime& date, const QWidget& form, int dx, int dy);
