#pragma once

// The prints of one daily list (TglTour.DB with its objects and
// activities), named by its date and tour number: the daily list for the
// crew (form type 25000, object after object, each activity with its
// backlog and service marks and an empty box for the done mark) and the
// work report (35000, a page for each object with its activities' tour and
// control texts). Each entry prints (preview: shows, and returns when the
// preview is closed) with the layout file of the chosen print form (empty:
// the shipped layout); a call while the same entry is printing does
// nothing. They only read, through cursors of the report: no shared table
// moves. A daily list that does not exist prints one page with its headers.

#include <QString>

// dateText "dd.mm.yyyy", tourNrText the tour number in decimal, persName
// the crew leader as the list stores it.
void PrintTagList(const QString& dateText, const QString& tourNrText, const QString& persName,
                  bool preview, const QString& layoutFile);
void PrintArbeitsbericht(const QString& dateText, const QString& tourNrText,
                         const QString& persName, bool preview, const QString& layoutFile);
