#include "datasafety/archiveformat.h"

#include <QBuffer>
#include <QByteArray>
#include <QDateTime>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray record(const TheaderRec& r) {
    return EncodeHeaderRecord(r);
}

TheaderRec fileRecord(const QString& name, qint32 size, qint32 packed) {
    TheaderRec r;
    r.fileName = name;
    r.fileSize = size;
    r.packedSize = packed;
    return r;
}

// An archive's bytes from its records, with `extra` bytes of stream data.
QByteArray archiveBytes(const TheaderArray& header, qint64 streamBytes) {
    QByteArray bytes;
    for (const TheaderRec& r : header)
        bytes += record(r);
    bytes += QByteArray(streamBytes, 'x');
    return bytes;
}

TheaderArray soundHeader() {
    TheaderRec info;
    info.fileName = u"240:Test"_s;
    info.fileDate = 2;
    info.fileSize = 30;
    info.packedSize = 25;
    info.dbVersion = 240;
    return {info, fileRecord(u"A.DB"_s, 10, 12), fileRecord(u"B.DB"_s, 20, 13)};
}

} // namespace

TEST(ArchiveFormat, RecordHasTheFixedLayout) {
    TheaderRec r;
    r.fileName = u"Kunden.DB"_s;
    r.fileSize = 0x01020304;
    r.fileDate = qint32(0x5d8851ef);
    r.packedSize = 0x7fffffff;
    r.dbVersion = 0;
    const QByteArray bytes = record(r);
    ASSERT_EQ(bytes.size(), 84);
    QByteArray expected(84, '\0');
    expected[0] = 9;
    expected.replace(1, 9, "Kunden.DB");
    expected.replace(68, 4, QByteArray::fromHex("04030201"));
    expected.replace(72, 4, QByteArray::fromHex("ef51885d"));
    expected.replace(76, 4, QByteArray::fromHex("ffffff7f"));
    EXPECT_EQ(bytes.toHex(), expected.toHex());
}

TEST(ArchiveFormat, RecordZeroCarriesTheVersionByteAndUmlautsInWindows1252) {
    TheaderRec r;
    r.fileName = MakeArchiveInfo(240, u"Sicherung für Müller"_s);
    r.fileDate = 3;
    r.dbVersion = 240;
    const QByteArray bytes = record(r);
    EXPECT_EQ(quint8(bytes[0]), 24);
    EXPECT_EQ(bytes.mid(1, 24), QByteArray("240:Sicherung f\xfcr M\xfcller"));
    EXPECT_EQ(quint8(bytes[80]), 240);
    EXPECT_EQ(bytes.mid(81, 3), QByteArray(3, '\0'));
    EXPECT_EQ(bytes[67], '\0');
    TheaderRec back;
    ASSERT_TRUE(DecodeHeaderRecord(bytes.constData(), back));
    EXPECT_EQ(back.fileName, r.fileName);
    EXPECT_EQ(back.fileDate, 3);
    EXPECT_EQ(back.dbVersion, 240);
}

TEST(ArchiveFormat, NamesAreCutAt66AndALongerLengthByteIsFlagged) {
    TheaderRec r;
    r.fileName = QString(70, u'x');
    QByteArray bytes = record(r);
    EXPECT_EQ(quint8(bytes[0]), 66);
    EXPECT_EQ(bytes.mid(1, 66), QByteArray(66, 'x'));
    TheaderRec back;
    EXPECT_TRUE(DecodeHeaderRecord(bytes.constData(), back));
    EXPECT_EQ(back.fileName.size(), 66);
    bytes[0] = char(67);
    EXPECT_FALSE(DecodeHeaderRecord(bytes.constData(), back));
    EXPECT_EQ(back.fileName.size(), 66);
}

TEST(ArchiveFormat, DosDateTimeInLocalTime) {
    const QDateTime t(QDate(2026, 12, 8), QTime(10, 15, 31));
    EXPECT_EQ(quint32(ToDosDateTime(t)), 0x5d8851efu);
    // Two-second steps: 31 s is stored as 30 s.
    EXPECT_EQ(FromDosDateTime(ToDosDateTime(t)), QDateTime(QDate(2026, 12, 8), QTime(10, 15, 30)));
    // Years from 2044 set the sign bit; the value still reads back.
    const QDateTime late(QDate(2100, 2, 28), QTime(23, 59, 58));
    EXPECT_LT(ToDosDateTime(late), 0);
    EXPECT_EQ(FromDosDateTime(ToDosDateTime(late)), late);
    // The format's ends hold earlier and later times.
    EXPECT_EQ(FromDosDateTime(ToDosDateTime(QDateTime(QDate(1970, 1, 1), QTime(0, 0)))),
              QDateTime(QDate(1980, 1, 1), QTime(0, 0)));
    EXPECT_EQ(FromDosDateTime(ToDosDateTime(QDateTime(QDate(2200, 1, 1), QTime(0, 0)))),
              QDateTime(QDate(2107, 12, 31), QTime(23, 59, 58)));
    // Month 0 or 30 seconds * 2 beyond a minute are no time.
    EXPECT_FALSE(FromDosDateTime(0).isValid());
    EXPECT_FALSE(FromDosDateTime(qint32(0x5d88001e)).isValid());
}

TEST(ArchiveFormat, InfoTextAndComment) {
    EXPECT_EQ(MakeArchiveInfo(240, u"Vor Restauration"_s), u"240:Vor Restauration");
    EXPECT_EQ(MakeArchiveInfo(7, {}), u"007:");
    // Only the text up to the first colon is the version: a time stays whole.
    EXPECT_EQ(ArchiveCommentOf(u"240:Manuelle Datensicherung am 08.12.2026 um 10:15:00 Uhr"_s),
              u"Manuelle Datensicherung am 08.12.2026 um 10:15:00 Uhr");
    EXPECT_EQ(ArchiveCommentOf(u"ohne Version"_s), u"ohne Version");
}

TEST(ArchiveFormat, StorableAndPlainNames) {
    struct Case {
        QString name;
        bool storable;
        bool plain;
    };
    const Case cases[] = {
        {u"Kunden.DB"_s, true, true},
        {u"Straße €.txt"_s, true, true},
        {QString(66, u'a'), true, true},
        {QString(67, u'a'), false, false},
        {u""_s, false, false},
        {u"Zeile\n.txt"_s, false, false},
        {u"\u0081.txt"_s, false, false},
        {u"日本.txt"_s, false, false},
        {u"a\U0001F600.txt"_s, false, false},
        {u"../x"_s, true, false},
        {u".."_s, true, false},
        {u".versteckt"_s, true, false},
        {u"a\\b"_s, true, false},
        {u"C:x"_s, true, false},
        {u"a..b.txt"_s, true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsStorableFileName(c.name), c.storable) << c.name.toStdString();
        EXPECT_EQ(IsPlainStoredFileName(c.name), c.plain) << c.name.toStdString();
    }
}

TEST(ArchiveFormat, HeaderReadBackAndReadPositionAtFirstStream) {
    const TheaderArray header = soundHeader();
    QByteArray bytes = archiveBytes(header, 25);
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    TheaderArray back;
    EXPECT_EQ(ReadArchiveHeader(buffer, back), 2);
    EXPECT_EQ(buffer.pos(), 3 * 84);
    ASSERT_EQ(back.size(), 3);
    EXPECT_EQ(back[2].fileName, u"B.DB");
    EXPECT_EQ(back[2].packedSize, 13);
    EXPECT_TRUE(ArchiveDamage(back, bytes.size(), u"x"_s).isEmpty());

    QByteArray written;
    QBuffer out(&written);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_TRUE(WriteArchiveHeader(out, back));
    EXPECT_EQ(written, bytes.left(3 * 84));
}

TEST(ArchiveFormat, UnreadableHeaders) {
    TheaderArray header = soundHeader();
    const auto read = [](const QByteArray& bytes) {
        QByteArray copy = bytes;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        TheaderArray back;
        return ReadArchiveHeader(buffer, back);
    };
    EXPECT_EQ(read(QByteArray(83, '\0')), -1);
    // N records beyond the end of the file.
    EXPECT_EQ(read(archiveBytes(header, 0).left(2 * 84)), -1);
    header[0].fileDate = -1;
    EXPECT_EQ(read(archiveBytes(header, 25)), -1);
    header[0].fileDate = 0x7fffffff;
    EXPECT_EQ(read(archiveBytes(header, 25)), -1);
    header = soundHeader();
    QByteArray bytes = archiveBytes(header, 25);
    bytes[2 * 84] = char(80); // length byte of record 2
    EXPECT_EQ(read(bytes), -1);
    // An archive of no files is readable and holds no data.
    TheaderRec empty;
    empty.fileName = u"240:leer"_s;
    EXPECT_EQ(read(record(empty)), 0);
}

TEST(ArchiveFormat, DamageIsNamed) {
    const QString path = u"/b/FB08.12.2026v000.CCB"_s;
    struct Case {
        const char* what;
        std::function<void(TheaderArray&, qint64&)> change;
        QString expected;
    };
    const QString damaged = u"Die Sicherungsdatei /b/FB08.12.2026v000.CCB ist beschädigt: "_s;
    const Case cases[] = {
        {"truncated", [](TheaderArray&, qint64& length) { length -= 1; },
         u"Datei /b/FB08.12.2026v000.CCB kann nicht gelesen werden!"_s},
        {"oversized", [](TheaderArray&, qint64& length) { length += 1; },
         damaged + u"Die Datei ist länger, als ihr Dateikopf angibt!"},
        {"negative size",
         [](TheaderArray& h, qint64&) {
             h[1].fileSize = -10;
             h[0].fileSize = 10;
         },
         damaged + u"Der Dateikopf enthält eine negative Größe!"},
        {"sum of sizes", [](TheaderArray& h, qint64&) { h[0].fileSize = 31; },
         damaged + u"Die Summen im Dateikopf stimmen nicht!"},
        {"sum of streams",
         [](TheaderArray& h, qint64& length) {
             h[0].packedSize = 24;
             length -= 1;
         },
         damaged + u"Die Summen im Dateikopf stimmen nicht!"},
        {"escaping name", [](TheaderArray& h, qint64&) { h[1].fileName = u"../Firmen.DB"_s; },
         damaged + u"Der Dateiname \"../Firmen.DB\" ist unzulässig!"},
        {"absolute name", [](TheaderArray& h, qint64&) { h[1].fileName = u"/etc/passwd"_s; },
         damaged + u"Der Dateiname \"/etc/passwd\" ist unzulässig!"},
        {"drive name", [](TheaderArray& h, qint64&) { h[1].fileName = u"C:Firmen.DB"_s; },
         damaged + u"Der Dateiname \"C:Firmen.DB\" ist unzulässig!"},
        {"hidden name", [](TheaderArray& h, qint64&) { h[1].fileName = u".bashrc"_s; },
         damaged + u"Der Dateiname \".bashrc\" ist unzulässig!"},
        {"control character", [](TheaderArray& h, qint64&) { h[1].fileName = u"A\tB"_s; },
         damaged + u"Der Dateiname \"A\tB\" ist unzulässig!"},
        {"twice", [](TheaderArray& h, qint64&) { h[2].fileName = u"a.db"_s; },
         damaged + u"Die Datei a.db ist mehrfach enthalten!"},
        {"no files",
         [](TheaderArray& h, qint64& length) {
             h.resize(1);
             length = 84;
         },
         u"Die Sicherungsdatei enthält keine Daten!"_s},
    };
    for (const Case& c : cases) {
        TheaderArray header = soundHeader();
        qint64 length = 3 * 84 + 25;
        c.change(header, length);
        EXPECT_EQ(ArchiveDamage(header, length, path), c.expected) << c.what;
    }
}
