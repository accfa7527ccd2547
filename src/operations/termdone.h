#pragma once

#include <QDate>

class TDataModule1;

// Done and open appointments (TermObj.DB) and their daily-list rows.

// The states a linked daily-list activity row (A_State) takes with its appointment.
inline constexpr int kTglStateOpen = 0;
inline constexpr int kTglStateDone = 4; // "Erledigt"

// "Erledigt setzen" / "Offen setzen": T_Erledigt of the data module's current
// appointment, and A_State of its linked daily-list activity row (done or
// open), posted together in one transaction: a refused post leaves the row
// as it was and the appointment in edit with the new value. Without a
// current appointment nothing happens.
void SetTerminErledigt(TDataModule1& dm, bool done);

// "Erl. lösch.": deletes every done appointment whose date (no date counting
// as the empty date 30.12.1899) is on or before limit (an invalid limit: the
// empty date), without the record rules, and in the same transaction sets
// A_TermID 0 in every daily-list activity row linked to one of them; those
// rows and the delivery notes stay. All or nothing; returns how many
// appointments went.
int DeleteDoneAppointments(const QDate& limit);
