#include "datasafety/ftpsettings.h"

#include "core/filehelpers.h"
#include "core/programdirs.h"
#include "core/programsettings.h"
#include "core/scrambler.h"
#include "datasafety/datasafety.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>

using namespace Qt::StringLiterals;

FtpSettingsRecord FtpSettings;

namespace {

bool g_ftpConfigured = false;

struct TextField {
    int offset;
    int maxLength;
};
constexpr TextField kHost{41, 80};
constexpr TextField kUser{122, 80};
constexpr TextField kPassword{203, 20};
constexpr TextField kDirectory{224, 20};
constexpr TextField kCipherKey{245, 40};
constexpr int kMaxMbOffset = 288;

void putText(QByteArray& record, TextField field, const QString& text) {
    QStringEncoder encoder("windows-1252");
    const QByteArray bytes = QByteArray(encoder.encode(text)).left(field.maxLength);
    record[field.offset] = char(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        record[field.offset + 1 + i] = bytes[i];
}

QString takeText(const QByteArray& record, TextField field) {
    const int length = qMin(int(quint8(record[field.offset])), field.maxLength);
    QStringDecoder decoder("windows-1252");
    return decoder.decode(record.mid(field.offset + 1, length));
}

QString settingsFile() {
    return ProgramDir + FtpSettingsFileName(MandantNr);
}

} // namespace

QByteArray FtpSettingsRecord::toBytes() const {
    QByteArray record(RecordSize, '\0');
    putText(record, kHost, ftpHost);
    putText(record, kUser, ftpUser);
    putText(record, kPassword, ftpPassword);
    putText(record, kDirectory, ftpDirectory);
    putText(record, kCipherKey, cipherKey);
    qToLittleEndian<qint32>(maxMB, record.data() + kMaxMbOffset);
    return record;
}

FtpSettingsRecord FtpSettingsRecord::fromBytes(const QByteArray& bytes) {
    FtpSettingsRecord r;
    if (bytes.size() != RecordSize)
        return r;
    r.ftpHost = takeText(bytes, kHost);
    r.ftpUser = takeText(bytes, kUser);
    r.ftpPassword = takeText(bytes, kPassword);
    r.ftpDirectory = takeText(bytes, kDirectory);
    r.cipherKey = takeText(bytes, kCipherKey);
    r.maxMB = qFromLittleEndian<qint32>(bytes.constData() + kMaxMbOffset);
    return r;
}

bool FtpSettingsRecord::isConfigured() const {
    return !ftpHost.isEmpty() && !ftpUser.isEmpty() && !ftpPassword.isEmpty() &&
           !cipherKey.isEmpty();
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

void CleanUpVault() {}

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
    switch (WriteDataFile(settingsFile(), Scrambled(FtpSettings.toBytes(), SettingsScrambleKey))) {
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
