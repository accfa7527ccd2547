#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "Mail-Zugang einrichten": the mail server access of the client. Leaving a
// field keeps the values in memory; only OK writes the settings file.
class TF_DefMail : public QDialog {
public:
    explicit TF_DefMail(QWidget* parent = nullptr);

    void LoadEdits();
    void StoreEdits();

    QLineEdit* edHost;
    QLineEdit* edSender;
    QLineEdit* edUser;
    QLineEdit* edPassword;
    QLineEdit* edSenderName;
    QCheckBox* cbAuth;
    QPlainTextEdit* memoHelp;
    QPushButton* btnOK;
    QPushButton* btnCancel;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    QList<QWidget*> helpFields() const;
    void showHelp(QWidget* field);
};

// Loads the settings, shows the dialog and saves them on OK.
void ShowMailSettings(QWidget* parent = nullptr);
