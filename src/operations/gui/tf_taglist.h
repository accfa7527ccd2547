#pragma once

#include "operations/dailylistformrules.h"

#include <QDate>
#include <QDialog>
#include <functional>
#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QToolButton;
class QWidget;

namespace widgets {
class ControlsDisabled;
class DataGrid;
class DataSource;
class DbNavigator;
class DbRichEdit;
} // namespace widgets

// "Tageslisten" (TF_Taglist): the daily lists of one day at a time over the
// data module's daily tours (TabTglTour, filtered to the shown day), their
// objects and activities, with the two rich texts of the activity. The
// generation, the state keys, moves, transfers, manual additions, bulk
// completion, the material delivery note and the prints of the lists and
// of the day's appointments start here.
class TF_Taglist : public QDialog {
    Q_OBJECT
public:
    explicit TF_Taglist(QWidget* parent = nullptr);
    ~TF_Taglist() override;

    // Shows the day: date edit, past-day flag, rights and the day filter.
    void SetDay(const QDate& day);
    QDate day() const { return m_day; }
    // The object and activity grids are usable only while the day has a list.
    void EnableDetailGrids();
    // Set by state changes on past days and by the bulk completions.
    bool recorded() const { return m_recorded; }
    const DailyListRights& rights() const { return m_rights; }

    widgets::DataGrid& tourGrid() const { return *m_tourGrid; }
    widgets::DataGrid& objectGrid() const { return *m_objectGrid; }
    widgets::DataGrid& activityGrid() const { return *m_activityGrid; }
    QLineEdit& dateEdit() const { return *m_dateEdit; }
    QPushButton& createButton() const { return *m_create; }
    QPushButton& previewButton() const { return *m_preview; }
    QPushButton& printButton() const { return *m_print; }
    QPushButton& materialButton() const { return *m_material; }
    QPushButton& overviewButton() const { return *m_overview; }
    QLabel& statePanel() const { return *m_stateNum; }
    QMenu& tourMenu() const { return *m_tourMenu; }
    QMenu& objectMenu() const { return *m_objectMenu; }
    QMenu& activityMenu() const { return *m_activityMenu; }
    // Enables the entries of the three popup menus for the current rows.
    void updateMenus();

    // The actions, callable as the controls call them.
    void createLists();                        // "Er&zeugen"
    void previewList();                        // "Vorsc&hau"
    void printRange();                         // "Dr&uck"
    void editMaterial();                       // "&Liefersch"
    void showOverview();                       // "Übersicht"
    void showOpenList();                       // "Offenliste alle Touren"
    void showAppointments();                   // "Ansehen"
    void printAppointmentSheets(bool preview); // "Vorschau" / "Drucken" of "Termine"
    void stateKey(StateKey key);               // A, E, O, V, the transfer key
    void addObject();                          // "Objekt hinzufügen"
    void addActivity();                        // "Tätigkeit hinzufügen"
    void moveObject(bool sameDate);            // "Objekt verlegen"
    void allToursDone();                       // "Alle Touren erledigen"
    void tourDone();                           // "Alle offenen Positionen erledigt setzen" (tour)
    void objectDone();                         // the same for the object
    void closeOldLists();                      // "Alle Touren bis Datum erledigen"
    void editFormFile();                       // "Formular zuweisen/bearbeiten"
    void shiftDay(int days);                   // up-down, Alt+Up, Alt+Down
    void pickDay();                            // Alt+K, double-click on the date

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void buildTop(class QVBoxLayout& layout);
    void buildGrids(class QVBoxLayout& layout);
    void buildBottom(class QVBoxLayout& layout);
    void buildMenus();
    void applyRights();
    void gridEntered(widgets::DataGrid* grid);
    void dateEntered();
    void postPending();
    int currentTourId() const;
    int currentTourNr() const;
    int currentObjektNr() const;
    int currentActivityId() const;
    // Reads the daily lists again after a change through other cursors and
    // goes back to the given rows where they still exist.
    void reload(int tourId, int objektNr, int totId);
    bool askMoveDate(QDate& date);
    void runDailyListFunctions(int tourNr, bool preview, const QDate& date);
    void withToursClosed(bool filterOff, const std::function<void()>& call);
    void setRunning(bool running);
    // Runs a button's action with the button held down until it ends.
    void held(QPushButton* button, const std::function<void()>& action);

    QDate m_day;
    bool m_recorded = false;
    bool m_running = false;
    DailyListRights m_rights;

    std::unique_ptr<widgets::DataSource> m_tourSource;
    std::unique_ptr<widgets::DataSource> m_objectSource;
    std::unique_ptr<widgets::DataSource> m_activitySource;
    std::unique_ptr<widgets::ControlsDisabled> m_objectsDetached;
    std::unique_ptr<widgets::ControlsDisabled> m_activitiesDetached;

    QLineEdit* m_dateEdit = nullptr;
    QLabel* m_weekday = nullptr;
    QLabel* m_stateText = nullptr;
    QLabel* m_stateNum = nullptr;
    QLabel* m_sortObj = nullptr;
    QPushButton* m_create = nullptr;
    QPushButton* m_preview = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_material = nullptr;
    QPushButton* m_overview = nullptr;
    QPushButton* m_termList = nullptr;
    QPushButton* m_termPreview = nullptr;
    QPushButton* m_termPrint = nullptr;
    widgets::DataGrid* m_tourGrid = nullptr;
    widgets::DataGrid* m_objectGrid = nullptr;
    widgets::DataGrid* m_activityGrid = nullptr;
    widgets::DbNavigator* m_navigator = nullptr;
    QToolButton* m_insert = nullptr;
    widgets::DbRichEdit* m_tourText = nullptr;
    widgets::DbRichEdit* m_controlText = nullptr;
    QGroupBox* m_termBox = nullptr;
    QListWidget* m_termLines = nullptr;
    QMenu* m_tourMenu = nullptr;
    QMenu* m_objectMenu = nullptr;
    QMenu* m_activityMenu = nullptr;
    QAction* m_allToursDone = nullptr;
    QAction* m_tourDone = nullptr;
    QAction* m_closing = nullptr;
    QAction* m_openList = nullptr;
    QAction* m_objectDone = nullptr;
    QAction* m_addObject = nullptr;
    QMenu* m_moveObject = nullptr;
    QAction* m_addActivity = nullptr;
    QAction* m_formFile = nullptr;
    QAction* m_done = nullptr;
    QAction* m_transfer = nullptr;
    QAction* m_move = nullptr;
    QAction* m_skip = nullptr;
    QAction* m_open = nullptr;
};

// "Datenbanken › Tageslisten" and the tool-bar button: needs the use right of
// function 15; shows today, modal; closes the daily tours afterwards in any case.
void ShowTaglistForm();
