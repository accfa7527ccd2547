#pragma once

#include "datasafety/ftpsettings.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "FTP-Zugang einrichten": the access data of the vault, its key and space.
class TF_DefFtp : public QDialog {
public:
    explicit TF_DefFtp(QWidget* parent = nullptr);
    ~TF_DefFtp() override;

    QLineEdit* field(const QString& objectName) const;
    QPlainTextEdit* helpArea() const { return Memo1; }
    QPushButton* okButton() const { return btnOk; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The record in memory follows the fields whenever one is left.
    void takeFields();

    QLineEdit* edHost = nullptr;
    QLineEdit* edDirectory = nullptr;
    QLineEdit* edUser = nullptr;
    QLineEdit* edPassword = nullptr;
    QLineEdit* edKey = nullptr;
    QLineEdit* edSpace = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    FtpSettingsRecord m_loaded;
    bool m_closed = false;
};

// Loads the settings, shows the form modally and saves on "OK"; installed as
// ShowFtpSettings' window.
void ShowFtpSettingsWindow();
