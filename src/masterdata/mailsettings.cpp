#include "masterdata/mailsettings.h"

#include "core/files/filehelpers.h"
#include "core/files/programdirs.h"
#include "core/files/scrambler.h"
#include "core/settings/programsettings.h"
#include "core/settings/settingsrecord.h"
#include "datasafety/datasafety.h"

#include <QFile>
#include <QFileInfo>

TMailSettings MailSettings;
bool MailConfigured = false;

namespace {

constexpr RecordTextField kHost{41, 80};
constexpr RecordTextField kUser{122, 80};
constexpr RecordTextField kSenderName{203, 80};
constexpr RecordTextField kSenderAddress{284, 80};
constexpr RecordTextField kPassword{365, 20};
constexpr int kTailOffset = 386;
constexpr int kTailSize = 21;
constexpr int kAuthOffset = 407;

} // namespace

QByteArray TMailSettings::toBytes() const {
    QByteArray record(RecordSize, '\0');
    record.replace(0, kHost.offset,
                   reservedHead.left(kHost.offset).leftJustified(kHost.offset, '\0'));
    record.replace(kTailOffset, kTailSize,
                   reservedTail.left(kTailSize).leftJustified(kTailSize, '\0'));
    PutRecordText(record, kHost, host);
    PutRecordText(record, kUser, user);
    PutRecordText(record, kSenderName, senderName);
    PutRecordText(record, kSenderAddress, senderAddress);
    PutRecordText(record, kPassword, password);
    record[kAuthOffset] = authenticate ? '\1' : '\0';
    return record;
}

TMailSettings TMailSettings::fromBytes(const QByteArray& bytes) {
    TMailSettings r;
    if (bytes.size() != RecordSize)
        return r;
    r.reservedHead = bytes.left(kHost.offset);
    r.reservedTail = bytes.mid(kTailOffset, kTailSize);
    r.host = TakeRecordText(bytes, kHost);
    r.user = TakeRecordText(bytes, kUser);
    r.senderName = TakeRecordText(bytes, kSenderName);
    r.senderAddress = TakeRecordText(bytes, kSenderAddress);
    r.password = TakeRecordText(bytes, kPassword);
    r.authenticate = bytes[kAuthOffset] != '\0';
    return r;
}

bool TMailSettings::completeForLoad() const {
    if (host.isEmpty() || senderName.isEmpty())
        return false;
    return !authenticate || (!user.isEmpty() && !password.isEmpty());
}

bool TMailSettings::completeForSave() const {
    return !host.isEmpty() && !senderName.isEmpty() && !password.isEmpty() && !user.isEmpty();
}

QString MailSettingsFilePath() {
    QString name;
    MailSettingsFileName(MandantNr, name);
    return ProgramDir + name;
}

bool LoadMailSettings() {
    const QString name = MailSettingsFilePath();
    if (!QFileInfo::exists(name))
        ResetMailSettings();
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(TMailSettings::RecordSize + 1);
    file.close();
    // A file of any other length is not a mail settings record.
    if (bytes.size() != TMailSettings::RecordSize)
        return false;
    MailSettings = TMailSettings::fromBytes(Scrambled(bytes, SettingsScrambleKey));
    MailConfigured = MailSettings.completeForLoad();
    return true;
}

bool SaveMailSettings() {
    switch (WriteDataFile(MailSettingsFilePath(),
                          Scrambled(MailSettings.toBytes(), SettingsScrambleKey),
                          FileAccess::NoOthers)) {
    case DataFileWrite::Written:
        MailConfigured = MailSettings.completeForSave();
        return true;
    case DataFileWrite::WriteFailed:
        MailConfigured = false;
        return false;
    case DataFileWrite::NotOpened:
        return false;
    }
    return false;
}

bool ResetMailSettings() {
    MailSettings = TMailSettings{};
    return SaveMailSettings();
}
