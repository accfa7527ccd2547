#include "datasafety/ftpsettings.h"

#include "core/files/filehelpers.h"
#include "core/files/programdirs.h"
#include "core/files/scrambler.h"
#include "core/settings/programsettings.h"
#include "core/settings/settingsrecord.h"
#include "datasafety/datasafety.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

using namespace Qt::StringLiterals;

FtpSettingsRecord FtpSettings;

namespace {

bool g_ftpConfigured = false;

constexpr RecordTextField kHost{41, 80};
constexpr RecordTextField kUser{122, 80};
constexpr RecordTextField kPassword{203, 20};
constexpr RecordTextField kDirectory{224, 20};
constexpr RecordTextField kCipherKey{245, 40};
constexpr int kMaxMbOffset = 288;

QString settingsFile() {
    return ProgramDir + FtpSettingsFileName(MandantNr);
}

} // namespace

QByteArray FtpSettingsRecord::toBytes() const {
    QByteArray record(RecordSize, '\0');
    PutRecordText(record, kHost, ftpHost);
    PutRecordText(record, kUser, ftpUser);
    PutRecordText(record, kPassword, ftpPassword);
    PutRecordText(record, kDirectory, ftpDirectory);
    PutRecordText(record, kCipherKey, cipherKey);
    qToLittleEndian<qint32>(maxMB, record.data() + kMaxMbOffset);
    return record;
}

FtpSettingsRecord FtpSettingsRecord::fromBytes(const QByteArray& bytes) {
    FtpSettingsRecord r;
    if (bytes.size() != RecordSize)
        return r;
    r.ftpHost = TakeRecordText(bytes, kHost);
    r.ftpUser = TakeRecordText(bytes, kUser);
    r.ftpPassword = TakeRecordText(bytes, kPassword);
    r.ftpDirectory = TakeRecordText(bytes, kDirectory);
    r.cipherKey = TakeRecordText(bytes, kCipherKey);
    r.maxMB = qFromLittleEndian<qint32>(bytes.constData() + kMaxMbOffset);
    return r;
}

bool FtpSettingsRecord::isConfigured() const {
    return !ftpHost.isEmpty() && !ftpUser.isEmpty() && !ftpPassword.isEmpty() &&
           !cipherKey.isEmpty();
}

FtpSettingsRecord FtpSettingsFromFields(const QString& host, const QString& directory,
                                        const QString& user, const QString& password,
                                        const QString& cipherKey, const QString& maxMB) {
    FtpSettingsRecord r;
    r.ftpHost = host.left(kHost.maxLength);
    r.ftpDirectory = directory.left(kDirectory.maxLength);
    r.ftpUser = user.left(kUser.maxLength);
    r.ftpPassword = password.left(kPassword.maxLength);
    r.cipherKey = cipherKey.left(kCipherKey.maxLength);
    bool ok = false;
    const int mb = maxMB.trimmed().toInt(&ok);
    r.maxMB = ok ? qBound(0, mb, 999) : 0;
    return r;
}

QString FtpSettingsFileName(int mandant) {
    return u"Ftpcnf"_s + MandantSuffix4(mandant) + u".ccf"_s;
}

void MailSettingsFileName(int mandant, QString& name) {
    name = u"Mailcnf"_s + MandantSuffix4(mandant) + u".ccf"_s;
}

bool IsFtpConfigured() {
    return g_ftpConfigured;
}

bool LoadFtpSettings() {
    const QString name = settingsFile();
    if (!QFileInfo::exists(name))
        ResetFtpSettings();
    FtpSettings = FtpSettingsRecord{};
    QFile file(name);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.read(FtpSettingsRecord::RecordSize);
    if (bytes.size() != FtpSettingsRecord::RecordSize) {
        g_ftpConfigured = false;
        return false;
    }
    FtpSettings = FtpSettingsRecord::fromBytes(Scrambled(bytes, SettingsScrambleKey));
    g_ftpConfigured = FtpSettings.isConfigured();
    return true;
}

bool SaveFtpSettings() {
    switch (WriteDataFile(settingsFile(), Scrambled(FtpSettings.toBytes(), SettingsScrambleKey),
                          FileAccess::NoOthers)) {
    case DataFileWrite::Written:
        g_ftpConfigured = FtpSettings.isConfigured();
        return true;
    case DataFileWrite::WriteFailed:
        g_ftpConfigured = false;
        return false;
    case DataFileWrite::NotOpened:
        return false;
    }
    return false;
}

bool ResetFtpSettings() {
    FtpSettings = FtpSettingsRecord{};
    FtpSettings.ftpDirectory = u"tresor"_s;
    return SaveFtpSettings();
}
