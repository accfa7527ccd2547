#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
struct MailingRequest;

// "Mailing versenden": one plain-text mail with attachments to the marked
// addresses of the address book.
class TF_Mailing : public QDialog {
public:
    explicit TF_Mailing(QWidget* parent = nullptr);

    // Reloads the settings into the display fields; complains when mail is
    // not set up yet.
    void ShowSettings();
    void btnAnhaengeClick();
    void btnMailtextClick();
    void btnSendenClick();
    MailingRequest request() const;
    // "Name : n von m Bytes gesendet" in the status bar while an attachment goes out.
    void ShowMailProgress(qint64 total, qint64 done, const QString& name);

    QLineEdit* Edit3;      // subject
    QLineEdit* EditAnrede; // display name of the visible recipient
    QLineEdit* Edit1;      // attachments, each followed by ","
    QLineEdit* Edit2;      // the loaded text file
    QPlainTextEdit* Memo1; // message text
    QPlainTextEdit* Memo2; // send list
    QLineEdit* edHost;
    QLineEdit* edSender;
    QLineEdit* edSenderName;
    QLineEdit* edUser;
    QLineEdit* edPassword;
    QLabel* lbAuth;
    QPushButton* btnAnhaenge;
    QPushButton* btnMailtext;
    QPushButton* btnEinrichten;
    QPushButton* btnSenden;
    QPushButton* btnClose;
    QStatusBar* statusBar;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_settingsShownOnce = false;
};

// Opens the mailing form modally with empty fields. The address book has made
// sure that at least one address is marked.
void ShowMailing(QWidget* parent = nullptr);
