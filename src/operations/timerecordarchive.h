#pragma once

#include "operations/archivedtimerecords.h"

#include <QDate>
#include <functional>

class ArchiveConnection;

// Moving old time records out of the client's "Zeiterf.DB" into the table of
// the same name in the archive database, where the archive browser and the
// monthly views still read them. One run is one transaction over both
// databases: the archive table's creation, the copies, the deletes and the
// removal of the moved records' cost entries commit together, so an error or
// a kill leaves both databases as they were and a repeat run moves the rest.

enum class TimeArchivePhase {
    Records,     // "Datenauslagerung": time records moved so far
    CostEntries, // "Kosteneinträge löschen": cost entries deleted so far
};
// Called after every record and every cost entry; may throw to abandon the run.
using TimeArchiveProgress = std::function<void(TimeArchivePhase phase, int count)>;

struct TimeArchiveResult {
    int moved = 0;              // time records now in the archive
    int costEntriesDeleted = 0; // rows of "Kosten.DB" removed
};

// The archive table in the layout of the client's "Zeiterf.DB", with its
// indexes, unless it exists; inside the connection's open transaction.
void CreateZeiterfArchiveTable(ArchiveConnection& connection);

// Moves every time record dated up to limit (records without date too), in
// date order, into the archive under new numbers following the archive's
// highest; every field but the number is copied by name. Deletes the cost
// entries the moved records name by Z_KostID, and nothing else: the cost
// statistics and the monthly sums keep those months.
TimeArchiveResult ArchiveZeiterf(ArchiveConnection& connection, const QDate& limit,
                                 const TimeArchiveProgress& progress = {});
