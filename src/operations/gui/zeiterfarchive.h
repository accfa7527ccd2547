#pragma once

#include <QDate>

class TF_Zeiterf;

// "Auslagern" of time entry: asks for the limit, offers the backup and moves
// the time records up to it into the archive database.
void RunZeiterfArchive(TF_Zeiterf& window);

// The move itself with the backup offer, the progress panel over the window
// and the six run buttons disabled, restored on every way out; ends with
// the count of moved records.
void ArchiveZeiterfFrom(TF_Zeiterf& window, const QDate& limit);
