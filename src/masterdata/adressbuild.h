#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Filling the address book once from the addresses the master tables hold:
// customers, objects, suppliers, staff and emergency services, each source's
// numbers shifted by an offset so that the ranges do not overlap.

struct AdressSource {
    QString caption;       // the number plan's row caption
    QString table;         // in "LumoDB"
    QString prefix;        // "K_", "O_", "P_", "ND_"
    QString numberIndex;   // ordered by number
    QString memoLine;      // "Zufügen der Kundendaten" ...
    bool contacts = false; // contact persons copied into the address contacts
};
// In the order of building.
const QList<AdressSource>& AdressSources();

struct NumberPlanRow {
    int smallest = 0;
    int largest = 0;
    int offset = 0;
    // Wide enough that no offset wraps a number around.
    qint64 shiftedSmallest() const { return qint64(smallest) + offset; }
    qint64 shiftedLargest() const { return qint64(largest) + offset; }
};
// The smallest and largest number of every source (both 0 for an empty
// table or one that cannot be opened); offsets 0.
QList<NumberPlanRow> ReadNumberPlan();
// "OK" or "FEHLER" per row: a row overlapping an earlier one is an error, and
// so is a shifted range beyond what an address number can hold.
QStringList NumberPlanStatuses(const QList<NumberPlanRow>& plan);
bool NumberPlanIsValid(const QList<NumberPlanRow>& plan);

// The duplicate key of an address: match, name 1, name 2, postcode, town and
// street upper-cased, each followed by ";".
QString AdressDuplicateKey(const QStringList& values);

struct AdressBuildObserver {
    std::function<void(const QString& line)> line;
    std::function<void()> processEvents;
};

// Builds the address book in one transaction: with emptyFirst the address
// book, its contacts, journal and protocol are emptied first, otherwise the
// existing addresses stay and their duplicates are not added again. A number
// collision or any other failure leaves every table as it was and raises
// (a collision raises Abort after its message was shown). Returns the count
// of addresses added.
int BuildAdressBook(const QList<NumberPlanRow>& plan, bool emptyFirst,
                    const AdressBuildObserver& observer = {});
