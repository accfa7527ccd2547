#pragma once

#include <QString>

// What the daily-list form allows on a shown day: its buttons and grids by
// the user's rights (function 15 "Tageslistenverwaltung", 16 for recording
// work on past days, 17 the monthly overview, 18 material delivery notes)
// and its popup entries by day and row state. Read again at every change of
// the day.

inline constexpr int kDailyListFunction = 15;
inline constexpr int kDailyListPastFunction = 16;
inline constexpr int kDailyListOverviewFunction = 17;
inline constexpr int kDailyListMaterialFunction = 18;

struct DailyListRights {
    bool print = false;    // "Dr&uck" shown
    bool create = false;   // "Er&zeugen" shown
    bool material = false; // "&Liefersch" shown
    bool overview = false; // "Übersicht" shown
    bool editable = false; // grids and rich-text panes writable
    bool popups = false;   // the three popup menus open
    bool deleting = false; // the navigator's delete shown
};
DailyListRights DailyListRightsFor(bool pastDay);

// Where the shown day lies from today.
enum class ListDay { Past, Today, Future };

struct TourMenu {
    bool allToursDone = false; // "Alle Touren erledigen"
    bool tourDone = false;     // "Alle offenen Positionen erledigt setzen"
    bool closing = true;       // "Alle Touren bis Datum erledigen"
};
TourMenu TourMenuFor(ListDay day, bool hasTour);

struct ObjectMenu {
    bool objectDone = false; // "Alle offenen Positionen erledigt setzen"
    bool addObject = false;  // "Objekt hinzufügen"
    bool moveObject = false; // "Objekt verlegen"
};
ObjectMenu ObjectMenuFor(ListDay day, bool hasTour, bool hasObject);

struct ActivityMenu {
    bool addActivity = false; // "Tätigkeit hinzufügen"
    bool form = false;        // "Formular zuweisen/bearbeiten"
    bool done = false;        // "Erledigt setzen"
    bool transfer = false;    // "Übertragen auf Folgetour"
    bool move = false;        // "Verlegen in andere Tour"
    bool skip = false;        // "Auslassen"
    bool open = false;        // "Offen setzen"
};
// state: the current row's A_State, -1 without a row.
ActivityMenu ActivityMenuFor(ListDay day, bool hasObject, int state, bool hasFunction);

// The keys of the activity grid. They act whatever the day; each that sets
// a state then moves on as Down does.
enum class StateKey { None, Skip, Done, Open, Move, Transfer };
// A, E, O and V in either case; the transfer key is the one left of "1" and
// "Ü" on a German keyboard ("^" comes as a dead key).
StateKey StateKeyOf(int key, const QString& text);
// The state a key sets (Skip, Done, Open); -1 for the others.
int StateOfKey(StateKey key);
