#pragma once

#include <QDate>

// What the time-record archive asks of the databases before it moves
// anything or shows anything.

// Whether the archive database holds time records (the browser's question);
// false also without the archive table or the archive database's file.
bool ArchivedZeiterfExist();

// The limit "Auslagern" proposes: two months before today, at that month's
// end (31 October with today in December).
QDate ProposedZeiterfArchiveLimit(const QDate& today);
