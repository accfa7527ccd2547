#pragma once

#include <QString>

namespace table {
class Table;
}

// An offer position's interval as the activity row stores it: above 20 it
// names a number of weekdays (21 all seven), which become the weekday
// digits from 1 upwards with the interval 1; an empty weekdays text leaves
// the row's weekdays as they are.
struct OfferActivityInterval {
    int modus = 1;
    QString weekdays;
};
OfferActivityInterval OfferActivityIntervalOf(int intervall);

// Takes the activities of the offer with number offerNr (its positions made
// from an activity) into the activity rows of the current object (the data
// module's TabObjTaetig), in position order: an activity the object already
// has is updated, any other appended. Asks "Vorhandene Einträge
// beibehalten?"; No deletes the object's rows first. All in one
// transaction: on an error nothing is changed and a German message says why.
// False when there is no such offer (nothing asked, nothing changed).
bool TakeOverOfferActivities(table::Table& rows, const QString& offerNr);
