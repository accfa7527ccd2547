#pragma once

#include <QByteArray>
#include <QString>

// The mail server access of a client, kept in "Mailcnf" + NNNN + ".ccf" in
// the program directory as one scrambled record of 408 bytes.
struct TMailSettings {
    QString host;          // up to 80 characters
    QString user;          // up to 80
    QString senderName;    // up to 80
    QString senderAddress; // up to 80
    QString password;      // up to 20
    bool authenticate = false;
    // Bytes 0-40 and 386-406 belong to no field of ours; they go back to the
    // file exactly as they came.
    QByteArray reservedHead = QByteArray(41, '\0');
    QByteArray reservedTail = QByteArray(21, '\0');

    static constexpr int RecordSize = 408;
    // The plain record bytes, texts cut to their fields (Windows-1252).
    QByteArray toBytes() const;
    // From exactly RecordSize plain bytes.
    static TMailSettings fromBytes(const QByteArray& bytes);
    // Complete enough to send under the load rule: host and sender name, and
    // with authentication also user and password.
    bool completeForLoad() const;
    // Complete under the save rule: host, sender name, password and user.
    bool completeForSave() const;
};

// The record in force, and whether it is complete enough to send.
extern TMailSettings MailSettings;
extern bool MailConfigured;

QString MailSettingsFilePath();
// Reads the record (a missing file is first created empty). A file of another
// length gives false and leaves MailConfigured as it was.
bool LoadMailSettings();
// Writes the record; a write-protected file is first offered for unlocking.
bool SaveMailSettings();
// Empties the record and saves it.
bool ResetMailSettings();
