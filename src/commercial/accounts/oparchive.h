#pragma once

#include <QString>
#include <functional>

class QDate;

// "Auslagern" of the open items: settled items up to a limit date leave the
// working database with the archive move; their payments stay nowhere, so
// each moved item carries its payment list in R_Memo.

// What a long run tells its window and asks it.
struct OpArchiveFeedback {
    std::function<void(const QString& text)> status;
    std::function<void(int maximum)> startProgress;
    std::function<void(int position)> progress;
    std::function<bool()> cancelled;
};

// The earliest print date of the settled items (invalid when there is none
// with a date).
QDate EarliestSettledOpDate();

// One payment's line in R_Memo: date "dd.mm.yyyy", ":  ", the amount as money
// text, a blank and the comment, ending in a carriage return.
QString OpArchiveMemoLine(const QVariant& date, double amount, const QString& comment);

// Marks for the move, in one transaction: every earlier mark of items and
// payments is cleared, then each settled item printed up to limit
// (inclusive; an item without date counts as 30.12.1899) gets R_Selected, its
// payment list in R_Memo and OZ_Selected on each of its payments. A cancel
// seen through feedback rolls everything back. Returns the number of items
// in the date range (settled or not), or -1 when cancelled.
struct OpArchiveMarks {
    int inRange = 0;
    int marked = 0;
    bool cancelled = false;
};
OpArchiveMarks MarkOpItemsForArchive(const QDate& limit, const OpArchiveFeedback& feedback);

// After the move, in one transaction: items still marked (the archive refused
// them) lose their mark and their payments theirs; then every payment still
// marked (those of the moved items) is deleted. Safe to run again.
void FinishOpArchive(const OpArchiveFeedback& feedback);
