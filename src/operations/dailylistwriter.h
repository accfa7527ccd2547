#pragma once

#include "core/values/datetimevalue.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <memory>

struct DailyListMasters;
struct MasterTour;
struct MasterTourObject;

namespace table {
class Table;
}

// One activity row of a daily list as the writer is asked to add it.
struct DailyActivityValues {
    int tourNr = 0;
    int objektNr = 0;
    int taetigNr = 0;
    int source = 0; // A_Source
    int state = 0;  // A_State
    int rueckstand = 0;
    int lsId = 0;
    int termId = 0;
    QString serviceId;
    QString zusatzText;
    QString param;
    QString tourText;
    QString kontrollText;
};

// Whether the daily tour holds a row the generation made (A_Source 0).
bool HasAutomaticRows(int tglTourId);
// The daily tours dated from .. to (or without date) that hold generated rows.
int CountGeneratedDailyLists(const QDate& from, const QDate& to);

// Writes the daily lists of a generation run on cursors of its own, kept
// open for the run. It holds the generation state: the day, the current
// daily tour and whether the current object already has its row there.
// The caller wraps each tour in a transaction and calls syncKeys at its start.
class DailyListWriter {
public:
    explicit DailyListWriter(const DailyListMasters& masters);
    ~DailyListWriter();
    DailyListWriter(const DailyListWriter&) = delete;
    DailyListWriter& operator=(const DailyListWriter&) = delete;

    // The write lock of TglTaet.DB for this workstation, held until
    // unlockActivities or the writer ends. A German error says so when
    // another workstation holds it; nothing is written then.
    void lockActivities();
    void unlockActivities();

    void setDay(const QDate& day);
    // Takes up keys that other workstations have used meanwhile.
    void syncKeys();

    // The tour's daily list of the day becomes the current one: false when
    // it already holds generated rows (it is never touched then); an
    // existing one without such rows is completed; a missing one is made.
    bool TakeDailyTour(const MasterTour& tour);
    int dailyTourId() const { return m_tourId; }

    // The next object of the tour: its flag tells whether the daily tour
    // already lists it.
    void beginObject(const MasterTourObject& object);
    // Adds the activity to the current object of the current daily tour;
    // when it is already there its backlog rises by rueckstand + 1 instead.
    // False when the object is not one the data module's object table shows
    // (nothing is written then).
    bool AddDailyListActivity(const DailyActivityValues& values);
    // The special function of an activity on the day's list (FL_Included false).
    void AddDailyListFunction(int tourNr, int objektNr, int taetigNr, int type,
                              const QString& param);
    // TS_StartDatum of the object activity with key TS_ID.
    void storeStartDate(int tsId, TDateTime start);

private:
    class KeyCounter;
    class Appender;
    void loadExistingRows();
    void raiseBacklog(int objektNr, int taetigNr, int rueckstand);
    bool functionExists(int tourNr, int objektNr, int taetigNr);

    const DailyListMasters& m_masters;
    std::unique_ptr<table::Table> m_tours, m_objects, m_activities, m_functions;
    std::unique_ptr<table::Table> m_dayTours, m_tourActivities, m_tourObjects, m_startDates;
    std::unique_ptr<KeyCounter> m_tourKeys, m_objectKeys, m_activityKeys, m_functionKeys;
    std::unique_ptr<Appender> m_newTour, m_newObject, m_newActivity, m_newFunction;
    bool m_locked = false;

    QDate m_day;
    int m_tourId = 0;
    int m_tourNr = 0;
    bool m_tourIsNew = false;
    const MasterTourObject* m_object = nullptr;
    bool m_objectListed = false;
    QSet<int> m_listedObjects;                    // objects of the current daily tour
    QSet<std::pair<int, int>> m_listedActivities; // (object, activity) rows of it
};
