#pragma once

#include "platform/widgets/datagrid.h"

#include <QWidget>
#include <memory>

class DetailFocus;
class QLabel;
class QMenu;
class QSplitter;
class TF_ListForm;

namespace widgets {
class DataSource;
} // namespace widgets

// Gives a pane of a splitter (the widget itself or the box holding it) the
// size a placement file keeps; the other panes share the rest.
void SetSplitterShare(QWidget& pane, int size);

// A grid whose width within its splitter is kept ("GridObjekte.Width").
class SplitGrid : public widgets::DataGrid {
    Q_OBJECT
    Q_PROPERTY(int Width READ width WRITE setStoredWidth)
public:
    using widgets::DataGrid::DataGrid;

private:
    void setStoredWidth(int width) { SetSplitterShare(*this, width); }
};

// The lower part of the tour form ("Panel5"): the current tour's objects
// (GridObjekte), the current object's activities, read-only, their rows
// green where the tour does them (GridTaetig), and the tour's staff
// (GridPersonal), each bound to the form's navigator while it has the focus.
// Its height and the object grid's width are kept in the placement file.
class TourPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Height READ height WRITE setStoredHeight)
public:
    explicit TourPanel(TF_ListForm& form);
    ~TourPanel() override;

    widgets::DataGrid& objects() const { return *m_objects; }
    widgets::DataGrid& activities() const { return *m_activities; }
    widgets::DataGrid& staff() const { return *m_staff; }
    QMenu& objectMenu() const { return *m_objectMenu; }
    QMenu& activityMenu() const { return *m_activityMenu; }

    // "Nach oben", "Nach unten", "Sortieren n. Uhrzeit".
    void move(bool up);
    void sortByTime();
    // "Objekt hinzufügen": a new row and the object picker.
    void addObject();
    // The object picker on the current row (double-click or Alt+W on the
    // object number or name).
    void chooseObject();
    // The staff picker on the current staff row.
    void chooseStaff();
    // "Fixtermine bearbeiten" (and a double-click on an activity): only for
    // an activity of the interval "Fixtermine".
    void editFixTerms();
    // "Terminvorschau": the preview of the current activity on the current tour.
    void showTermPreview();
    // Rights of the tours: the object menu only with the edit right, adding
    // only with the create right; the detail grids edit as the rights allow.
    void applyRights();
    // The tour changed: the green rows follow its weekday and services.
    void repaintActivities();
    // Takes the focus colours and the navigator back from the detail grids.
    void leaveDetails();
    // The sort field of the object picker, kept in the hidden label
    // "lbSortObj".
    QString objectSort() const;
    void setObjectSort(const QString& field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setStoredHeight(int height);
    void buildMenus();
    void objectColumnLeft(int previous, int current);
    void activityFocus(bool in);
    bool isFixTermActivity() const;

    TF_ListForm& m_form;
    std::unique_ptr<widgets::DataSource> m_objectSource, m_activitySource, m_staffSource;
    SplitGrid* m_objects = nullptr;
    widgets::DataGrid* m_activities = nullptr;
    widgets::DataGrid* m_staff = nullptr;
    QList<DetailFocus*> m_focuses;
    QMenu* m_objectMenu = nullptr;
    QMenu* m_activityMenu = nullptr;
    QAction* m_addObject = nullptr;
    QAction* m_fixTerms = nullptr;
    QLabel* m_sortObj = nullptr;
    bool m_checking = false;
    bool m_activityFocused = false; // the navigator's insert and delete are hidden
};
