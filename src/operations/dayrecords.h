#pragma once

#include <QDate>
#include <QTime>
#include <functional>
#include <memory>
#include <vector>

class TimeRecordCursor;

// The normal working time of a day taken from the daily lists: one time
// record per object that the employee's daily tours visit, with the hours of
// the object's time window and the rest of the employee's daily hours shared
// equally among the objects. The daily lists, tours and staff are read
// through cursors of their own; the records are written through a
// TimeRecordCursor, so that each gets its cost entry and sums.

// One visited object of the work list.
struct ObjektTimeItem {
    int objektNr = 0;
    QTime von; // invalid: empty (midnight)
    QTime bis;
    double hours = 0;
};
using TObjektTimeList = std::vector<ObjektTimeItem>;

// The whole minutes of the clock from von to bis (an empty time counts as
// midnight); 0 when bis is not after von. Seconds are dropped.
int ObjektTimeMinutes(const QTime& von, const QTime& bis);

// Gives each item the hours of its time window, and when the daily hours
// leave a rest, an equal share of it to every item (also to one without a
// window). When the windows take up the day nothing is added or taken away.
void DistributeDayHours(TObjektTimeList& items, double dailyHours);

// What became of one employee's day.
enum class DayRecordOutcome {
    NoDailyTours,   // no daily tour of the employee on the day
    NothingToWrite, // no item with hours: the day stays as it was
    Kept,           // records exist and the user may not or would not replace them
    Written,
};

class DayRecords {
public:
    explicit DayRecords(TimeRecordCursor& records);
    ~DayRecords();
    DayRecords(const DayRecords&) = delete;
    DayRecords& operator=(const DayRecords&) = delete;

    // Whether the employee leads the tour (TO_Person) or is one of its staff.
    bool IsPersonOnTour(int tourNr, int persNr);
    // The objects of the employee's daily tours on the day, in the order met.
    TObjektTimeList dayObjects(int persNr, const QDate& day);

    // The records of one employee and day. Quiet (every employee at once):
    // no "Keine Einträge gefunden!" and no question before replacing; the
    // delete right is checked either way. Records already there are replaced
    // only when at least one object gets hours; the replacement is one
    // transaction. An object or cost type that does not exist is named in
    // an error box and ends the action (silent abort).
    DayRecordOutcome CreateDayRecords(int persNr, bool quiet, const QDate& day);
    // Every employee of the staff table, quietly, with processEvents after
    // each; gives the number of employees whose day was written.
    int CreateDayRecordsForAll(const QDate& day, const std::function<void()>& processEvents);

private:
    struct Cursors;
    DayRecordOutcome WriteDayRecords(int persNr, const QDate& day, const TObjektTimeList& items,
                                     bool quiet);

    TimeRecordCursor& m_records;
    std::unique_ptr<Cursors> m_cursors;
};
