#pragma once

#include <QDate>
#include <QDialog>
#include <memory>

class QDateEdit;
class ZeitsumPanel;
class QPushButton;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
} // namespace widgets

// "Arbeitszeit erfassen (Ablage)": the archived time records of the staff
// member selected on the left and the chosen day, read-only, with the
// employee's monthly sums of the client (archiving leaves them as they were)
// and the monthly views over the archive.
class TF_Zeiterf1 : public QDialog {
    Q_OBJECT
public:
    TF_Zeiterf1(const QDate& day, QWidget* parent = nullptr);
    ~TF_Zeiterf1() override;

    QDate formDate() const { return m_day; }
    // The archived records of the day; the sums of its month.
    void SetDayFilter(const QDate& day);
    // The selected employee's monthly sums of the shown day's month.
    void UpdateSums();

    table::Table& records() const { return *m_records; }
    widgets::DataGrid& staffGrid() const { return *m_staffGrid; }
    widgets::DataGrid& timeGrid() const { return *m_timeGrid; }
    QDateEdit& datePicker() const { return *m_datePicker; }
    ZeitsumPanel& sumPanel() const { return *m_sums; }
    QPushButton* button(const QString& name) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<table::Table> m_records;
    std::unique_ptr<widgets::DataSource> m_staffSource;
    std::unique_ptr<widgets::DataSource> m_timeSource;
    widgets::DataGrid* m_staffGrid = nullptr;
    widgets::DataGrid* m_timeGrid = nullptr;
    QDateEdit* m_datePicker = nullptr;
    ZeitsumPanel* m_sums = nullptr;
    QDate m_day;
};

// From "Datenablage › Zeiterfassung" (the caller has checked the view right
// of 29): "Es sind keine Arbeitszeitdaten in der Datenablage vorhanden!"
// while nothing is archived, otherwise the window modally on today.
void ShowZeiterfAblageForm();
