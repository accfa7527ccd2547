#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace table {
class Table;
}

// The planning check ("Nicht planbare Objekttätigkeiten"): every object
// activity that none of its object's tours can do, with the reason. The
// daily-list generation silently never plans such an activity.

// What the check reads of one tour of an object.
struct PlanCheckTour {
    int weekday = 0; // TO_Wochentag; 0 when none (or the tour is gone)
    QString pattern; // TO_ServPatt
};

// Why the activity (weekday pattern TS_Wtag, service TS_ServiceID) cannot be
// planned on the tours, empty when one of them fits: "Keine Tour-Zuordnung"
// without tours, "Unpassendes Dienstkennzeichen [S]" when a tour runs on an
// allowed weekday but none of those offers the service, else "Unpassende(r)
// Wochentag(e) [W]".
QString PlanCheckReason(const QList<PlanCheckTour>& tours, const QString& wtag,
                        const QString& serviceId);

// The four heading lines of the list.
QStringList PlanCheckHeading();
// One line: object and activity number right-aligned in six characters
// each, a blank, the reason.
QString PlanCheckLine(int objektNr, int taetigNr, const QString& reason);

// The whole list, heading first, over the objects the cursor `objects`
// shows (its index, filter and filter switch copied, so objects hidden there
// stay out), each with its activities in their order. Reads cursors of its
// own: no shared cursor moves.
QStringList RunPlanCheck(table::Table& objects);

// Writes the list as plain text, Windows-1252 with CR LF line ends (lines
// split at line feeds). Raises with a German message when a character has
// no Windows-1252 form or the file cannot be written.
void SavePlanCheckText(const QString& fileName, const QString& text);
