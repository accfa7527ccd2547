#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// The login form: user name, password, OK and cancel. The login, the own
// password change and the user editor's new user and password dialogs all
// use it; OkHandler decides what OK does (without one, OK accepts).
class TLoginForm : public QDialog {
    Q_OBJECT
public:
    explicit TLoginForm(QWidget* parent = nullptr);

    std::function<void()> OkHandler;

    QLabel* lblHint;
    QLineEdit* edUserName;
    QLineEdit* edPassword;
    QPushButton* btnOK;
    QPushButton* btnCancel;
};

// Runs the login while LoginActive is set (otherwise true at once): at most
// three attempts; the last user name that logged in is offered. True when a
// user logged in, false after the third refused attempt or cancel: the
// program must then end.
bool RunLogin(QWidget* parent = nullptr);

// "Passwort ändern" of the main window: under the rights lock, a new password
// for the logged-in user.
void ChangeOwnPasswordClick(QWidget* parent = nullptr);

// The password dialog for a user (name shown read-only); calls Store with the
// accepted password. The dialog closes after one OK in every case.
void ShowPasswordChangeDialog(QWidget* parent, const QString& userName,
                              const std::function<bool(const QString&)>& store);
