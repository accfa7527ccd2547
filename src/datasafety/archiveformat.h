#pragma once

#include <QList>
#include <QString>

class QByteArray;
class QDateTime;
class QIODevice;

// A backup archive: N + 1 header records of 84 bytes (record 0 first, then
// one per stored file), followed by one zlib stream per file in header order.
// Integers are 32-bit signed little-endian; names are Windows-1252.
struct TheaderRec {
    QString fileName;      // record 0: the info text "240:comment"
    qint32 fileSize = 0;   // record 0: the sum of all file sizes
    qint32 fileDate = 0;   // MS-DOS date-time; record 0: N, the number of files
    qint32 packedSize = 0; // record 0: the sum of all stream lengths
    quint8 dbVersion = 0;  // record 0 only
};
using TheaderArray = QList<TheaderRec>;

constexpr int ArchiveRecordSize = 84;
constexpr int ArchiveNameLimit = 66;
constexpr int ArchiveCompressionLevel = 9;

// The 84 stored bytes; a name beyond 66 characters is cut, a character
// Windows-1252 lacks becomes "?" (the writer refuses such names before).
QByteArray EncodeHeaderRecord(const TheaderRec& record);
// From 84 bytes. False when the length byte exceeds 66 (the name is then
// taken with 66 characters).
bool DecodeHeaderRecord(const char* bytes, TheaderRec& record);

// MS-DOS date-time of a local time (two-second steps); times before 1980 or
// after 2107 are held at the format's ends.
qint32 ToDosDateTime(const QDateTime& local);
// The local time of a stored value; invalid when a field is out of range.
QDateTime FromDosDateTime(qint32 value);

// The info text of record 0: the version in three digits, ":", the comment.
QString MakeArchiveInfo(int dbVersion, const QString& comment);
// The text behind the first ":" (the whole text when there is none).
QString ArchiveCommentOf(const QString& info);

// Whether a name can be stored: 1 to 66 characters, all in Windows-1252, no
// control character.
bool IsStorableFileName(const QString& name);
// Whether a stored name may be written into a directory: storable, no path
// separator, drive colon or "..", not beginning with ".".
bool IsPlainStoredFileName(const QString& name);

// Record 0 from the current position; true when 84 bytes could be read.
bool ReadArchiveInfo(QIODevice& archive, TheaderRec& info);
// The whole header from the start of the archive: N, or -1 when it cannot be
// read (N negative, or its records beyond the end of the file). On success
// the read position is at the first stream.
int ReadArchiveHeader(QIODevice& archive, TheaderArray& header);
// Writes every record at the current position.
bool WriteArchiveHeader(QIODevice& archive, const TheaderArray& header);

// Checks a header read by ReadArchiveHeader against the archive's length:
// the streams exactly fill the file, no size is negative, record 0 holds the
// sums, and every name is a plain file name that occurs once. Empty when the
// archive is sound, else the German message naming the damage.
QString ArchiveDamage(const TheaderArray& header, qint64 archiveLength, const QString& archivePath);

// Opens and checks a whole archive file the same way (used before an
// archive from elsewhere replaces a local one). Empty when sound.
QString CheckArchiveFile(const QString& path);

// Messages shared by the writer, the reader and the checks.
QString CannotOpenMessage(const QString& path); // "Datei %s kann nicht geöffnet werden!"
QString CannotReadMessage(const QString& path); // "Datei %s kann nicht gelesen werden!"
QString NoArchiveDataMessage();                 // "Die Sicherungsdatei enthält keine Daten!"
// A header that cannot be read: cut, a count out of range, a name too long.
QString DamagedArchiveMessage();
