#include "datasafety/archiveformat.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

constexpr int kNameOffset = 1;
constexpr int kSizeOffset = 68;
constexpr int kDateOffset = 72;
constexpr int kPackedOffset = 76;
constexpr int kVersionOffset = 80;

constexpr int kFirstDosYear = 1980;
constexpr int kLastDosYear = 2107;

QByteArray encode1252(const QString& text, bool* failed = nullptr) {
    QStringEncoder encoder("windows-1252");
    QByteArray bytes = encoder.encode(text);
    if (failed)
        *failed = encoder.hasError();
    return bytes;
}

bool hasControlCharacter(const QString& text) {
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control)
            return true;
    return false;
}

QString damaged(const QString& path, const QString& what) {
    return u"Die Sicherungsdatei "_s + path + u" ist beschädigt: "_s + what;
}

} // namespace

QByteArray EncodeHeaderRecord(const TheaderRec& record) {
    QByteArray bytes(ArchiveRecordSize, '\0');
    const QByteArray name = encode1252(record.fileName).left(ArchiveNameLimit);
    bytes[0] = char(name.size());
    std::copy(name.begin(), name.end(), bytes.begin() + kNameOffset);
    char* data = bytes.data();
    qToLittleEndian<qint32>(record.fileSize, data + kSizeOffset);
    qToLittleEndian<qint32>(record.fileDate, data + kDateOffset);
    qToLittleEndian<qint32>(record.packedSize, data + kPackedOffset);
    bytes[kVersionOffset] = char(record.dbVersion);
    return bytes;
}

bool DecodeHeaderRecord(const char* bytes, TheaderRec& record) {
    const int length = quint8(bytes[0]);
    QStringDecoder decoder("windows-1252");
    record.fileName =
        decoder.decode(QByteArray(bytes + kNameOffset, qMin(length, ArchiveNameLimit)));
    record.fileSize = qFromLittleEndian<qint32>(bytes + kSizeOffset);
    record.fileDate = qFromLittleEndian<qint32>(bytes + kDateOffset);
    record.packedSize = qFromLittleEndian<qint32>(bytes + kPackedOffset);
    record.dbVersion = quint8(bytes[kVersionOffset]);
    return length <= ArchiveNameLimit;
}

qint32 ToDosDateTime(const QDateTime& local) {
    QDateTime t = local.toLocalTime();
    if (!t.isValid() || t.date().year() < kFirstDosYear)
        t = QDateTime(QDate(kFirstDosYear, 1, 1), QTime(0, 0));
    else if (t.date().year() > kLastDosYear)
        t = QDateTime(QDate(kLastDosYear, 12, 31), QTime(23, 59, 58));
    const QDate d = t.date();
    const QTime h = t.time();
    const quint32 date = quint32((d.year() - kFirstDosYear) << 9 | d.month() << 5 | d.day());
    const quint32 time = quint32(h.hour() << 11 | h.minute() << 5 | h.second() / 2);
    return qint32(date << 16 | time);
}

QDateTime FromDosDateTime(qint32 value) {
    const quint32 bits = quint32(value);
    const quint32 date = bits >> 16;
    const quint32 time = bits & 0xffff;
    const QDate d(int(date >> 9) + kFirstDosYear, int(date >> 5 & 0x0f), int(date & 0x1f));
    const int hour = int(time >> 11);
    const int minute = int(time >> 5 & 0x3f);
    const int second = int(time & 0x1f) * 2;
    if (!d.isValid() || !QTime::isValid(hour, minute, second))
        return {};
    return QDateTime(d, QTime(hour, minute, second));
}

QString MakeArchiveInfo(int dbVersion, const QString& comment) {
    return QStringLiteral("%1:").arg(dbVersion, 3, 10, QChar(u'0')) + comment;
}

QString ArchiveCommentOf(const QString& info) {
    const qsizetype colon = info.indexOf(u':');
    return colon < 0 ? info : info.mid(colon + 1);
}

bool IsStorableFileName(const QString& name) {
    if (name.isEmpty() || name.size() > ArchiveNameLimit || hasControlCharacter(name))
        return false;
    bool failed = false;
    const QByteArray bytes = encode1252(name, &failed);
    return !failed && bytes.size() == name.size();
}

bool IsPlainStoredFileName(const QString& name) {
    // Without separators a ".." can only be the whole name, which the leading
    // dot already refuses.
    return IsStorableFileName(name) && !name.startsWith(u'.') && !name.contains(u'/') &&
           !name.contains(u'\\') && !name.contains(u':');
}

bool ReadArchiveInfo(QIODevice& archive, TheaderRec& info) {
    char bytes[ArchiveRecordSize];
    if (archive.read(bytes, ArchiveRecordSize) != ArchiveRecordSize)
        return false;
    DecodeHeaderRecord(bytes, info);
    return true;
}

int ReadArchiveHeader(QIODevice& archive, TheaderArray& header) {
    header.clear();
    if (!archive.seek(0))
        return -1;
    TheaderRec first;
    if (!ReadArchiveInfo(archive, first))
        return -1;
    const qint32 count = first.fileDate;
    if (count < 0 || (qint64(count) + 1) * ArchiveRecordSize > archive.size())
        return -1;
    if (!archive.seek(0))
        return -1;
    const qint64 length = (qint64(count) + 1) * ArchiveRecordSize;
    const QByteArray bytes = archive.read(length);
    if (bytes.size() != length)
        return -1;
    header.reserve(count + 1);
    for (qint64 offset = 0; offset < length; offset += ArchiveRecordSize) {
        TheaderRec record;
        if (!DecodeHeaderRecord(bytes.constData() + offset, record)) {
            header.clear();
            return -1;
        }
        header.append(record);
    }
    return count;
}

bool WriteArchiveHeader(QIODevice& archive, const TheaderArray& header) {
    QByteArray bytes;
    bytes.reserve(header.size() * ArchiveRecordSize);
    for (const TheaderRec& record : header)
        bytes += EncodeHeaderRecord(record);
    return archive.write(bytes) == bytes.size();
}

QString ArchiveDamage(const TheaderArray& header, qint64 archiveLength,
                      const QString& archivePath) {
    if (header.size() < 2)
        return NoArchiveDataMessage();
    qint64 sizes = 0;
    qint64 packed = 0;
    for (qsizetype i = 0; i < header.size(); ++i) {
        const TheaderRec& record = header.at(i);
        if (record.fileSize < 0 || record.packedSize < 0)
            return damaged(archivePath, u"Der Dateikopf enthält eine negative Größe!"_s);
        if (i > 0) {
            sizes += record.fileSize;
            packed += record.packedSize;
        }
    }
    if (sizes != header.first().fileSize || packed != header.first().packedSize)
        return damaged(archivePath, u"Die Summen im Dateikopf stimmen nicht!"_s);
    const qint64 expected = qint64(header.size()) * ArchiveRecordSize + packed;
    if (archiveLength < expected)
        return CannotReadMessage(archivePath);
    if (archiveLength > expected)
        return damaged(archivePath, u"Die Datei ist länger, als ihr Dateikopf angibt!"_s);
    QSet<QString> seen;
    for (qsizetype i = 1; i < header.size(); ++i) {
        const QString& name = header.at(i).fileName;
        if (!IsPlainStoredFileName(name))
            return damaged(archivePath, u"Der Dateiname \""_s + name + u"\" ist unzulässig!"_s);
        const QString key = name.toLower();
        if (seen.contains(key))
            return damaged(archivePath, u"Die Datei "_s + name + u" ist mehrfach enthalten!"_s);
        seen.insert(key);
    }
    return {};
}

QString CheckArchiveFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return CannotOpenMessage(path);
    TheaderArray header;
    const int count = ReadArchiveHeader(file, header);
    if (count < 0)
        return DamagedArchiveMessage();
    if (count == 0)
        return NoArchiveDataMessage();
    return ArchiveDamage(header, file.size(), path);
}

QString CannotOpenMessage(const QString& path) {
    return u"Datei "_s + path + u" kann nicht geöffnet werden!"_s;
}

QString CannotReadMessage(const QString& path) {
    return u"Datei "_s + path + u" kann nicht gelesen werden!"_s;
}

QString NoArchiveDataMessage() {
    return u"Die Sicherungsdatei enthält keine Daten!"_s;
}

QString DamagedArchiveMessage() {
    return u"Die Sicherungsdatei ist beschädigt und kann nicht wiederhergestellt werden!"_s;
}
