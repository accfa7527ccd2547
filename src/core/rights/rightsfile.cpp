#include "core/rights/rightsfile.h"

#include "core/files/scrambler.h"
#include "core/values/rangeerrors.h"
#include "platform/errors.h"

#include <QByteArray>
#include <QStringDecoder>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace {

// Byte offsets of the record.
constexpr int kMarkerAt = 0;
constexpr int kRightsAt = 1;
constexpr int kNameAt = 81;
constexpr int kPasswordAt = 122;
constexpr int kKindAt = 139;
constexpr int kGroupMaskAt = 140;

QByteArray toCodePage(const QString& text, const QString& what) {
    QStringEncoder encoder("windows-1252");
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        throw DbError(what + u" enthält Zeichen, die nicht gespeichert werden können."_s);
    return bytes;
}

QString fromCodePage(const char* bytes, int length) {
    QStringDecoder decoder("windows-1252");
    return decoder.decode(QByteArrayView(bytes, length));
}

void putShortString(char* at, const QString& text, int maxLength, const QString& what) {
    const QByteArray bytes = toCodePage(text, what);
    if (bytes.size() > maxLength)
        throw DbError(what + u" ist länger als "_s + QString::number(maxLength) + u" Zeichen."_s);
    at[0] = char(bytes.size());
    std::copy(bytes.begin(), bytes.end(), at + 1);
}

[[noreturn]] void damaged(const QString& detail) {
    throw DbError(u"Die Rechtedatei ist beschädigt:\r"_s + detail);
}

QString recordName(int index) {
    return u"Satz "_s + QString::number(index + 1);
}

} // namespace

quint8 TRightsBytes::at(int functionNr) const {
    if (functionNr < 1 || functionNr > RightsByteCount)
        RaiseRangeError();
    return m_bytes[functionNr - 1];
}

void TRightsBytes::set(int functionNr, quint8 bits) {
    if (functionNr < 1 || functionNr > RightsByteCount)
        RaiseRangeError();
    m_bytes[functionNr - 1] = bits;
}

bool FitsWindowsCodePage(const QString& text) {
    QStringEncoder encoder("windows-1252");
    const QByteArray bytes = encoder.encode(text);
    return !encoder.hasError();
}

QByteArray EncodeUserRec(const TUserRec& rec) {
    QByteArray bytes(RightsRecordSize, '\0');
    char* data = bytes.data();
    data[kMarkerAt] = rec.marker;
    for (int nr = 1; nr <= RightsByteCount; ++nr)
        data[kRightsAt + nr - 1] = char(rec.rights.at(nr));
    putShortString(data + kNameAt, rec.name, UserNameMaxLength, u"Der Name"_s);
    putShortString(data + kPasswordAt, rec.password, PasswordMaxLength, u"Das Passwort"_s);
    data[kKindAt] = rec.kind;
    for (int i = 0; i < 4; ++i)
        data[kGroupMaskAt + i] = char((rec.groupMask >> (8 * i)) & 0xFFu);
    return bytes;
}

TUserRec DecodeUserRec(const char* data, int index) {
    const auto byteAt = [data](int at) { return quint8(data[at]); };
    const bool isGroupSlot = index < GroupSlotCount;
    TUserRec rec;
    rec.marker = data[kMarkerAt];
    if (isGroupSlot ? (rec.marker != GroupMarker && rec.marker != 0) : rec.marker != UserMarker)
        damaged(recordName(index) + u": Die Satzkennung "_s + QString::number(byteAt(kMarkerAt)) +
                u" ist ungültig."_s);
    for (int nr = 1; nr <= RightsByteCount; ++nr)
        rec.rights.set(nr, byteAt(kRightsAt + nr - 1));
    const int nameLength = byteAt(kNameAt);
    if (nameLength > UserNameMaxLength)
        damaged(recordName(index) + u": Die Länge des Namens ("_s + QString::number(nameLength) +
                u") ist ungültig."_s);
    rec.name = fromCodePage(data + kNameAt + 1, nameLength);
    const int passwordLength = byteAt(kPasswordAt);
    if (passwordLength > PasswordMaxLength)
        damaged(recordName(index) + u": Die Länge des Passworts ("_s +
                QString::number(passwordLength) + u") ist ungültig."_s);
    rec.password = fromCodePage(data + kPasswordAt + 1, passwordLength);
    rec.kind = data[kKindAt];
    const bool kindValid =
        isGroupSlot ? rec.kind == ukNone
                    : (rec.kind == ukMaster || rec.kind == ukSubmaster || rec.kind == ukUser);
    if (!kindValid)
        damaged(recordName(index) + u": Die Benutzerebene "_s + QString::number(byteAt(kKindAt)) +
                u" ist ungültig."_s);
    for (int i = 0; i < 4; ++i)
        rec.groupMask |= quint32(byteAt(kGroupMaskAt + i)) << (8 * i);
    return rec;
}

QByteArray EncodeRightsFile(const QList<TUserRec>& records) {
    QByteArray bytes;
    bytes.reserve(records.size() * RightsRecordSize);
    for (const TUserRec& rec : records)
        bytes += EncodeUserRec(rec);
    return Scrambled(bytes, RightsScrambleKey);
}

QList<TUserRec> DecodeRightsFile(const QByteArray& fileBytes) {
    if (fileBytes.size() % RightsRecordSize != 0)
        damaged(u"Die Dateigröße von "_s + QString::number(fileBytes.size()) +
                u" Bytes ist kein Vielfaches von 144."_s);
    const qsizetype count = fileBytes.size() / RightsRecordSize;
    if (count < GroupSlotCount)
        damaged(u"Die Datei enthält "_s + QString::number(count) +
                u" Sätze, es müssen mindestens 24 sein."_s);
    const QByteArray plain = Scrambled(fileBytes, RightsScrambleKey);
    QList<TUserRec> records;
    records.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        records.append(DecodeUserRec(plain.constData() + i * RightsRecordSize, int(i)));
    return records;
}
