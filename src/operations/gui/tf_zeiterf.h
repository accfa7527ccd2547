#pragma once

#include <QDate>
#include <QDialog>
#include <functional>
#include <memory>

class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QVBoxLayout;
class TimeRecordCursor;
struct ZeiterfButtonHooks;
class ZeitsumPanel;

namespace widgets {
class DataGrid;
class DataSource;
} // namespace widgets

// "Arbeitszeit erfassen": the staff list on the left, the selected
// employee's time records of the chosen day on the right, the hours of his
// week and day above and the sums of his month below. Every write goes
// through the time-record service (operations/timerecordservice.h).
class TF_Zeiterf : public QDialog {
    Q_OBJECT
public:
    explicit TF_Zeiterf(QWidget* parent = nullptr);
    ~TF_Zeiterf() override;

    // The rights of function rightNr (29): the overviews need the view
    // right of 30, the chip-card clock that of 32; without the edit right
    // the records are read-only, "Zeit Pers. (F4)" is hidden and the grid's
    // menu does not open.
    void ApplyRights(int rightNr);

    QDate formDate() const { return m_day; }
    // Posts a pending edit and shows the records of the day.
    void SetDayFilter(const QDate& day);
    // Sets the picker and the window's day without filtering again.
    void SetFormDate(const QDate& day);
    // The sum panel and the week and day hours of the selected employee.
    void UpdateSums();

    // Day records from the daily lists: the selected employee (F4), or
    // every employee (F5).
    void CreateDayRecordsPers();
    void CreateDayRecordsAll();
    // The picker behind a time-grid column, as a double-click or Alt+W
    // there; false when the column has none.
    bool runColumnAction(const QString& field);
    // "Zeitart auswählen": the chosen type, 0 on cancel.
    int PickZeitart(int start);
    void post();
    void cancel();
    // The grid menu's "Löschen": asks, then deletes the current record.
    void deleteCurrent();

    TimeRecordCursor& records() const { return *m_records; }
    widgets::DataGrid& staffGrid() const { return *m_staffGrid; }
    widgets::DataGrid& timeGrid() const { return *m_timeGrid; }
    widgets::DataSource& timeSource() const { return *m_timeSource; }
    QDateEdit& datePicker() const { return *m_datePicker; }
    QLineEdit& weekText() const { return *m_week; }
    QLineEdit& dayText() const { return *m_dayHours; }
    QMenu& gridMenu() const { return *m_menu; }
    // A button by its object name ("BitBtn1", "sbtnImport", ...).
    QPushButton* button(const QString& name) const;
    // The sum panel: caption of type 1..8 (9: "Gesamt"), and the hours and
    // costs shown under it.
    QString sumCaption(int column) const;
    QString sumHoursText(int column) const;
    QString sumCostsText(int column) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildTop(QVBoxLayout& layout);
    void buildGrids(QVBoxLayout& layout);
    void buildSums(QVBoxLayout& layout);
    void enterTimeGrid();
    void runHook(std::function<void(TF_Zeiterf&)> ZeiterfButtonHooks::*hook);
    void chooseObjekt();
    void chooseTaetigkeit();
    void chooseKostart();
    void chooseZeitart();
    bool mayChange() const;
    void fitOnScreen();

    std::unique_ptr<TimeRecordCursor> m_records;
    std::unique_ptr<widgets::DataSource> m_staffSource;
    std::unique_ptr<widgets::DataSource> m_timeSource;
    widgets::DataGrid* m_staffGrid = nullptr;
    widgets::DataGrid* m_timeGrid = nullptr;
    QDateEdit* m_datePicker = nullptr;
    QLineEdit* m_week = nullptr;
    QLineEdit* m_dayHours = nullptr;
    QMenu* m_menu = nullptr;
    QLabel* m_sortObj = nullptr;
    QLabel* m_sortTaetig = nullptr;
    ZeitsumPanel* m_sums = nullptr;
    QDate m_day;
    bool m_editable = true;
    bool m_shown = false;
};

// Opens the window modally (the caller has checked the view right of 29):
// the data module's timer work paused, the staff and time-type tables open
// while it is shown, the day today.
void ShowZeiterfForm();
