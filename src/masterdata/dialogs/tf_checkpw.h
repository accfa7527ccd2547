#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// "Sicherheitsabfrage": shows eight digits and asks for them typed backwards.
class TF_CheckPW : public QDialog {
    Q_OBJECT
public:
    explicit TF_CheckPW(const QString& digits, QWidget* parent = nullptr);

    QLineEdit* editVorgabe() const { return m_editVorgabe; }
    QLineEdit* editAntwort() const { return m_editAntwort; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    QLineEdit* m_editVorgabe = nullptr;
    QLineEdit* m_editAntwort = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

// Before an operation that is easy to regret: true only when the user typed
// the shown digits backwards and pressed OK. A wrong answer is reported once
// ("Die Eingabe ist nicht korrekt!"); cancel returns false silently.
bool ConfirmSafetyPrompt();
