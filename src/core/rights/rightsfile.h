#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>
#include <array>

class QByteArray;

// Bits of one rights byte; the rights editors' column captions in comments.
enum TRightBits : quint8 {
    rbView = 1,    // "ansehen": use or see the function
    rbPrint = 2,   // "drucken"
    rbEdit = 4,    // "ändern"
    rbCreate = 8,  // "erzeugen"
    rbExport = 16, // "exportieren"
    rbDelete = 32, // "löschen"
};
constexpr quint8 rbAllRights = 0x3F;

constexpr int RightsRecordSize = 144;
constexpr int GroupSlotCount = 24;
constexpr int RightsByteCount = 80; // function numbers 1..80, of which 1..64 are checked
constexpr int CheckedFunctionCount = 64;
constexpr int UserNameMaxLength = 40;
constexpr int PasswordMaxLength = 16;

constexpr char UserMarker = '1';
constexpr char GroupMarker = '0';

// The kind letter of a user; groups and empty slots carry 0. The letters
// rank the users: a smaller letter is the higher rank.
enum TUserKind : char {
    ukNone = 0,
    ukMaster = 'M',
    ukSubmaster = 'S',
    ukUser = 'U',
};

// One right mask per function number, read and written by number (1..80).
class TRightsBytes {
public:
    quint8 at(int functionNr) const;
    void set(int functionNr, quint8 bits);
    bool operator==(const TRightsBytes&) const = default;

private:
    std::array<quint8, RightsByteCount> m_bytes{};
};

// One user or one group slot.
struct TUserRec {
    char marker = 0;
    TRightsBytes rights;
    QString name;
    QString password;
    char kind = ukNone;
    quint32 groupMask = 0; // user: bit i-1 = member of slot i; group: its own bit

    bool isEmpty() const { return name.isEmpty(); }
    bool operator==(const TUserRec&) const = default;
};

// The 144 bytes of one record. Raises a DbError for a name or password that
// is too long or holds characters the Windows code page cannot store.
QByteArray EncodeUserRec(const TUserRec& rec);
// One record from its bytes; index (0-based) names it in the damage message.
// Raises a DbError when the bytes cannot be a record of that position.
TUserRec DecodeUserRec(const char* bytes, int index);

// The whole file content: records back to back, scrambled as one stream.
QByteArray EncodeRightsFile(const QList<TUserRec>& records);
// Unscrambles and decodes; raises a DbError naming the damage (size, record
// count, marker, kind or length bytes out of range).
QList<TUserRec> DecodeRightsFile(const QByteArray& fileBytes);

// Whether every character can be stored in the Windows code page.
bool FitsWindowsCodePage(const QString& text);
