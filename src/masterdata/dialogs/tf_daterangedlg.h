#pragma once

#include "core/values/datetimevalue.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Datumsbereich eingeben": two typed dates, "von einschl." and "bis
// einschl."; a double-click on either opens the calendar. OK closes only
// with two dates in order, else a message explains and the texts stay.
class TF_DateRangeDlg : public QDialog {
    Q_OBJECT
public:
    explicit TF_DateRangeDlg(QWidget* parent = nullptr);

    void setDates(TDateTime from, TDateTime to);
    void setCaptionLine(const QString& text);
    TDateTime fromDate() const { return m_from; }
    TDateTime toDate() const { return m_to; }

    QLineEdit* editVonDatum() const { return m_editVon; }
    QLineEdit* editBisDatum() const { return m_editBis; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_label2 = nullptr;
    QLineEdit* m_editVon = nullptr;
    QLineEdit* m_editBis = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    TDateTime m_from = EmptyDate;
    TDateTime m_to = EmptyDate;
};

// True with both dates set when the user closed with OK (then from <= to);
// false with both unchanged on cancel.
bool EnterDateRange(TDateTime& from, TDateTime& to, int left, int top, const QString& captionLine);
