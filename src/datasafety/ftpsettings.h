#pragma once

#include <QByteArray>
#include <QString>

// Access to the FTP vault of a client, kept in "Ftpcnf" + NNNN + ".ccf" in the
// program directory as one scrambled record of 292 bytes.
struct FtpSettingsRecord {
    QString ftpHost;      // up to 80 characters
    QString ftpUser;      // up to 80
    QString ftpPassword;  // up to 20
    QString ftpDirectory; // up to 20
    QString cipherKey;    // up to 40
    qint32 maxMB = 0;

    static constexpr int RecordSize = 292;
    // The plain record bytes (texts cut to their fields, Windows-1252).
    QByteArray toBytes() const;
    // From exactly RecordSize plain bytes; a length byte beyond its field is
    // taken as the field's full width.
    static FtpSettingsRecord fromBytes(const QByteArray& bytes);
    bool isConfigured() const;
};

// The record as the fields of the form "FTP-Zugang einrichten" give it:
// texts cut to their fields, the space as a number (0 when empty).
FtpSettingsRecord FtpSettingsFromFields(const QString& host, const QString& directory,
                                        const QString& user, const QString& password,
                                        const QString& cipherKey, const QString& maxMB);

// The settings in force for the vault.
extern FtpSettingsRecord FtpSettings;

QString FtpSettingsFileName(int mandant);
bool SaveFtpSettings();
bool ResetFtpSettings();
