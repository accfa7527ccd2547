#pragma once

#include <QDialog>
#include <exception>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// "Dauerrechnungen erstellen": the recurring-invoice run shows one memo line
// per billing period and the running count, and closes itself when done.
class TF_CreateRg : public QDialog {
    Q_OBJECT
public:
    explicit TF_CreateRg(int mode, QWidget* parent = nullptr);
    ~TF_CreateRg() override;

    QPlainTextEdit* Memo1;
    QLabel* lbCntRg;
    QPushButton* btnClose;

    int createdCount() const { return m_created; }
    // The error that ended the run, for the caller once the form is closed.
    std::exception_ptr error() const { return m_error; }

    // Neither Escape nor the title bar's close stop a running run.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void runOnce();

    int m_mode;
    bool m_started = false;
    bool m_running = false;
    int m_created = 0;
    std::exception_ptr m_error;
};

// Mode 0 makes the invoices, mode 1 fills the invoice plan, both for a range
// the user enters; returns the number made. An error of the run reaches the
// caller after the form has closed.
int RunRecurringBilling(int mode);
