#pragma once

#include <QDate>
#include <QString>
#include <functional>

class TDataModule1;

namespace table {
class Table;
}

// The appointments (TermObj.DB) and their link with the daily lists: an
// appointment for today or later with a tour and "enter into the daily list"
// set has an activity row in that tour's daily list; posting it without them
// removes the row again. Appointments in the past keep their state.

// Callbacks of the appointment and daily-list forms; empty ones behave as if
// the form were closed.
struct AppointmentRuleHooks {
    // Fills key and defaults of a new appointment (the appointment form).
    std::function<void(table::Table&)> initNewTermin;
    // Remembers the current appointment as the default of the next new one.
    std::function<void(table::Table&)> rememberLastTermin;
    // Makes the object the appointment form's current object.
    std::function<void(int objektNr)> setObjekt;
    // Enables the daily-list form's object and activity grids.
    std::function<void()> enableDetailGrids;
    // The date that counts as today; empty: the system date.
    std::function<QDate()> today;
};
AppointmentRuleHooks& AppointmentRuleHooksRegistry();
QDate DailyListToday();

// The rules of the shared appointment object; bound by InstallDailyListRules.
void BindAppointmentRules(TDataModule1& dm);

// Enters the data module's current appointment into its daily list, moves
// it there, or removes it; runs before every post of an appointment.
void LinkTerminToTagesliste(TDataModule1& dm);

// Writes the daily-list link into the appointment with that key and posts it;
// without a daily-list row or tour the appointment is no longer to be
// entered. An invalid date leaves the appointment's date as it is. Nothing
// happens when the appointment does not exist.
void LinkTermObjToTaglist(int termId, int taglistId, int tourNr, const QDate& date);

// Messages of the appointment rules.
QString InvalidAppointmentObjectText(); // "Sie müssen eine gültige Objektnummer eingeben!"
QString TourNotOnDateText();            // "Die Tour wird zum angegebenen Datum nicht ausgeführt!"
