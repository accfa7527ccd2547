#pragma once

#include <QChar>
#include <QDate>
#include <QList>
#include <QString>
#include <array>
#include <optional>

// The monthly tour overview without its window: the tours that have a daily
// list in one calendar month, the objects of the selected tour and the
// activities of the selected object, each with one value per day of the
// month (index 1..31). Every list is read afresh from the daily-list tables
// through the month's date range; nothing is cached between builds.

enum class MonthGrid { Tours = 0, Objects = 1, Activities = 2 };

struct MonthEntry {
    int nr = 0;
    QString text;
    std::array<int, 32> days{}; // tours: object rows (at least 1); objects: minutes
};

struct MonthActivityEntry {
    int nr = 0;
    QString text;
    std::array<QChar, 32> letters;
    std::array<int, 32> backlogs{};
    MonthActivityEntry() { letters.fill(QLatin1Char(' ')); }
};

// The state letter of an activity cell: "O", "R" (open with backlog), "V",
// "A", "E", "B", "X"; a blank for any other state.
QChar TaetigLetter(int state, int backlog);
// The planned minutes of an object row: bis - von in whole minutes, 1 when
// that is not positive (also for rows without times).
int PlannedMinutes(const QTime& von, const QTime& bis);

// Which items of the grids' popup a double-click enables.
struct MonthPopupItems {
    bool allToursDone = false; // "Alle Touren erledigt setzen"
    bool allOpenDone = false;  // "Alle offenen Termine erledigt setzen"
    bool setDone = false;      // "Termin erledigt setzen"
    bool setOpen = false;      // "Termin offen setzen"
    bool skip = false;         // "Termin auslassen"
    bool insertTaetig = false; // "Termin einfügen"
    bool deleteTaetig = false; // "Termin löschen"
    bool insertObjekt = false; // "Objekt einfügen"
    bool deleteObjekt = false; // "Objekt löschen"
    bool any() const;
};
// letter: the first character of the cell's text; a blank opens nothing.
MonthPopupItems MonthPopupFor(MonthGrid grid, const QDate& date, QChar letter, const QDate& today);

class MonthTourModel {
public:
    // Year and month shown, today's column and the neighbour-month tests.
    void setMonth(int year, int month, const QDate& today);
    int year() const { return m_year; }
    int month() const { return m_month; }
    int daysInMonth() const { return m_days; }
    QDate firstDay() const { return m_first; }
    QDate lastDay() const { return m_last; }
    int todayCol() const { return m_todayCol; }
    QDate dateOfDay(int day) const { return QDate(m_year, m_month, day); }
    bool previousMonthHasLists() const { return m_hasPrevious; }
    bool nextMonthHasLists() const { return m_hasNext; }
    void previousMonth(const QDate& today);
    void nextMonth(const QDate& today);
    // "Tourenübersicht für März 2024"
    QString caption() const;
    // Character d is the first letter of the short weekday name of day d.
    QString weekdayInitials() const;

    // Walks the daily lists by date while set, by tour number otherwise.
    bool orderByDate = false;

    void buildTourList(); // empties the object and activity lists too
    void buildObjektList(int tourNr);
    void buildTaetigList(int tourNr, int objektNr);
    // The lists over every tour of the month, for the prints; the shown
    // lists stay as they are.
    QList<MonthEntry> objectsOfAllTours() const;
    QList<MonthActivityEntry> activitiesOfAllTours(int objektNr) const;

    const QList<MonthEntry>& tours() const { return m_tours; }
    const QList<MonthEntry>& objects() const { return m_objects; }
    const QList<MonthActivityEntry>& activities() const { return m_activities; }

    int selTour = 0, selObj = 0, selTaetig = 0;
    int selectedTourNr() const;
    QString selectedTourText() const;
    int selectedObjektNr() const;
    QString selectedObjektText() const;
    int selectedTaetigNr() const;
    // Select a row and build the lists below it (first rows selected there).
    void selectTour(int row);
    void selectObjekt(int row);

    // The remembered selection: numbers of the selected entries (0 where a
    // list is empty), read back by reload.
    void rememberSelection();
    void setRemembered(int tourNr, int objektNr, int taetigNr);
    void clearRemembered() { setRemembered(0, 0, 0); }
    // Builds the three lists and selects the remembered rows (the first row
    // where a number is no longer listed). False when the month has no list.
    bool reload();

    // Header click on day d: tours with a list that day first, each group in
    // its former order; true when the list was rebuilt. Sets orderByDate.
    bool resortByDay(int day);
    // Corner click: ascending tour numbers; true when the order changed.
    bool resortByNumber();

    // Whether the tour has a daily list on the day (of this month).
    bool tourHasList(int tourNr, int day) const;

private:
    struct DailyTour {
        int id = 0;
        int tourNr = 0;
        QDate date;
        QString text;
    };
    QList<DailyTour> monthTours() const;
    // The month's lists read once for all builds of one reload or selection.
    class WalkScope;
    mutable std::optional<QList<DailyTour>> m_walk;

    int m_year = 0, m_month = 0, m_days = 0, m_todayCol = 0;
    QDate m_first, m_last;
    bool m_hasPrevious = false, m_hasNext = false;
    QList<MonthEntry> m_tours, m_objects;
    QList<MonthActivityEntry> m_activities;
    int m_rememberTour = 0, m_rememberObj = 0, m_rememberTaetig = 0;
};

// Whether any daily list lies in the month (a range read, stops at the first).
bool MonthHasDailyLists(int year, int month);
