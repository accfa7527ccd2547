#pragma once

#include "commercial/scheduling/activitydue.h"
#include "commercial/scheduling/fixtermtable.h"
#include "commercial/scheduling/plantour.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QTime>

class TDataModule1;

// What the daily-list generation reads of the master tables, read once per
// run: the tours of kind 0 in tour-number order with their objects in tour
// order, each object's activities in key order with their activity's texts
// and season, the intervals, the fixed dates, and the objects and staff the
// daily rows copy from.

struct MasterTourObject {
    int objektNr = 0;
    QTime von, bis; // TO_VonUhr, TO_BisUhr of the object's first row on the tour
};

struct MasterTour {
    PlanTour plan;
    int person = 0;      // TO_Person
    QString description; // TO_Beschreibung
    QList<MasterTourObject> objects;
};

struct MasterActivity {
    int tsId = 0;
    ObjectActivity due;
    int func = 0;         // TS_Func
    QString param;        // TS_Param
    QString name;         // T_Match of the activity
    QString tourText;     // T_TextTour
    QString kontrollText; // T_TextKontroll
    NextDateCarry carry;  // the last next date worked out during the run
};

struct MasterObject {
    QString match; // O_Match
    int kunde = 0; // O_Kunde
};

struct FixTermKey {
    int tourNr = 0;
    int objektNr = 0;
    int taetigNr = 0;
    friend bool operator==(const FixTermKey&, const FixTermKey&) = default;
    friend size_t qHash(const FixTermKey& k, size_t seed = 0) {
        return qHashMulti(seed, k.tourNr, k.objektNr, k.taetigNr);
    }
};

struct DailyListMasters {
    QList<MasterTour> tours;
    QHash<int, QList<MasterActivity>> activities; // by object number
    // The objects the data module's object table shows (active ones).
    QHash<int, MasterObject> objects;
    QHash<int, QString> staffMatch; // P_Match by P_Nr
    TLuIntervall intervals;
    // Month texts by tour, object and activity.
    QHash<FixTermKey, FixTermMonths> fixTerms;

    bool isFixedTermDay(int tourNr, int objektNr, int taetigNr, TDateTime day) const;
};

DailyListMasters LoadDailyListMasters(TDataModule1& dm);
