#pragma once

#include "core/values/datetimevalue.h"

#include <QDialog>

class QCalendarWidget;
class QLabel;
class QPushButton;
class QToolButton;

// The calendar "Kalender": one day, chosen by "&OK" or a double-click. It is
// created once at start-up (F_Kalender) and keeps its last date between uses;
// callers place it, give it a date, show it modally and read the date back.
// Alt+PgUp/PgDn step a year, Alt+Up/Down a month.
class TF_Kalender : public QDialog {
    Q_OBJECT
public:
    explicit TF_Kalender(QWidget* parent = nullptr);

    // Places the form; negative coordinates become 0.
    void SetPos(int x, int y);
    void SetDate(TDateTime date);
    TDateTime GetDate() const;

    QCalendarWidget* calendar() const { return m_calendar; }
    QLabel* monthLabel() const { return m_lbMonth; }
    QLabel* yearLabel() const { return m_lbYear; }
    QLabel* holidayLabel() const { return m_lbFeiertag; }
    QToolButton* monthUp() const { return m_monthUp; }
    QToolButton* monthDown() const { return m_monthDown; }
    QToolButton* yearUp() const { return m_yearUp; }
    QToolButton* yearDown() const { return m_yearDown; }
    QPushButton* todayButton() const { return m_btnHeute; }
    QPushButton* okButton() const { return m_btnOK; }
    QPushButton* cancelButton() const { return m_btnCancel; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showDate(const QDate& date);
    void refreshLabels();

    QCalendarWidget* m_calendar = nullptr;
    QLabel* m_lbMonth = nullptr;
    QLabel* m_lbYear = nullptr;
    QLabel* m_lbFeiertag = nullptr;
    QToolButton* m_monthUp = nullptr;
    QToolButton* m_monthDown = nullptr;
    QToolButton* m_yearUp = nullptr;
    QToolButton* m_yearDown = nullptr;
    QPushButton* m_btnHeute = nullptr;
    QPushButton* m_btnOK = nullptr;
    QPushButton* m_btnCancel = nullptr;
};

// The program's calendar; null before start-up created it and after the end.
extern TF_Kalender* F_Kalender;

// Creates F_Kalender for its own lifetime (the main program holds one from
// start-up, first of the long-lived forms, to the end).
class KalenderForm {
public:
    KalenderForm();
    ~KalenderForm();
    KalenderForm(const KalenderForm&) = delete;
    KalenderForm& operator=(const KalenderForm&) = delete;
};
