#pragma once

#include "core/values/datetimevalue.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Grenzdatum eingeben": one typed limit date, and for information a second,
// read-only date (hidden when there is none). A double-click on either edit
// opens the calendar at the limit date. OK closes only with a date.
class TF_DateRange : public QDialog {
    Q_OBJECT
public:
    explicit TF_DateRange(QWidget* parent = nullptr);

    void setLimit(TDateTime limit, const QString& caption);
    // EmptyDate hides the information.
    void setInfo(TDateTime info, const QString& caption);
    // Where the dialog places itself when it is shown.
    void setPosition(int left, int top);
    TDateTime limitDate() const { return m_limit; }

    QLineEdit* editBisDatum() const { return m_editBis; }
    QLineEdit* edit1() const { return m_edit1; }
    QLabel* lbDoneDatum() const { return m_lbDone; }
    QPushButton* okButton() const { return m_ok; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_lbBis = nullptr;
    QLineEdit* m_editBis = nullptr;
    QLabel* m_lbDone = nullptr;
    QLineEdit* m_edit1 = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    TDateTime m_limit = EmptyDate;
    QPoint m_position;
};

// True with the typed limit date on OK; false and unchanged on cancel.
bool EnterLimitDate(TDateTime& limit, int left, int top, TDateTime infoDate,
                    const QString& limitCaption, const QString& infoCaption);
