#include "core/files/scrambler.h"
#include "core/rights/rightsfile.h"
#include "core/rightsfixture.h"
#include "platform/errors.h"

#include <QByteArray>
#include <cctype>
#include <gtest/gtest.h>
#include <string>

using namespace rightstest;

namespace {

// The plain bytes of one record, written from the layout table by hand.
QByteArray PlainRecord(char marker, QList<QPair<int, quint8>> rights, const QByteArray& name,
                       const QByteArray& password, char kind, quint32 groupMask) {
    QByteArray bytes(144, '\0');
    bytes[0] = marker;
    for (const auto& [nr, bits] : rights)
        bytes[nr] = char(bits);
    bytes[81] = char(name.size());
    bytes.replace(82, name.size(), name);
    bytes[122] = char(password.size());
    bytes.replace(123, password.size(), password);
    bytes[139] = kind;
    bytes[140] = char(groupMask & 0xFF);
    bytes[141] = char((groupMask >> 8) & 0xFF);
    bytes[142] = char((groupMask >> 16) & 0xFF);
    bytes[143] = char((groupMask >> 24) & 0xFF);
    return bytes;
}

QList<TUserRec> SmallSet() {
    const TUserRec office = With(With(Group(QStringLiteral("Büro"), 1), 2, 0x3F), 24, 0x03);
    const TUserRec cleaning = With(Group(QStringLiteral("Reinigung"), 24), 15, 0x05);
    TUserRec chef =
        With(User(QStringLiteral("Chef"), QStringLiteral("Geheim1"), ukMaster), 64, 0x21);
    chef.rights.set(80, 0xC0); // bits without a right are kept as they are
    TUserRec kasse =
        With(User(QStringLiteral("Kasse"), QStringLiteral("€uro-Öl"), ukUser), 2, 0x3F);
    kasse.groupMask = GroupBit(1) | GroupBit(24);
    return Records({office, cleaning}, {chef, kasse});
}

TEST(RightsFile, SmallSetHasTheExactBytesAndReadsBack) {
    QByteArray expected;
    expected += PlainRecord('0', {{2, 0x3F}, {24, 0x03}}, "B\xFCro", "", 0, 0x00000001);
    for (int slot = 2; slot <= 23; ++slot)
        expected += QByteArray(144, '\0');
    expected += PlainRecord('0', {{15, 0x05}}, "Reinigung", "", 0, 0x00800000);
    expected += PlainRecord('1', {{64, 0x21}, {80, 0xC0}}, "Chef", "Geheim1", 'M', 0);
    expected += PlainRecord('1', {{2, 0x3F}}, "Kasse", "\x80uro-\xD6l", 'U', 0x00800001);

    const QByteArray file = EncodeRightsFile(SmallSet());
    ASSERT_EQ(file.size(), 26 * 144);
    EXPECT_EQ(Scrambled(file, 31407), expected);
    EXPECT_NE(file.left(144), expected.left(144)); // the file itself is scrambled
    EXPECT_EQ(DecodeRightsFile(file), SmallSet());
}

TEST(RightsFile, ScramblesTheWholeFileAsOneStream) {
    // Two equal records must not give equal bytes: the stream runs on.
    const TUserRec user = User(QStringLiteral("Gleich"), QStringLiteral("gleich1"), ukUser);
    const QByteArray file = EncodeRightsFile(Records({}, {user, user}));
    EXPECT_NE(file.mid(24 * 144, 144), file.mid(25 * 144, 144));
    EXPECT_EQ(file.left(144), Scrambled(QByteArray(144, '\0'), RightsScrambleKey));
}

TEST(RightsFile, GroupsWithoutUsersAreAValidFile) {
    const QList<TUserRec> records = DecodeRightsFile(EncodeRightsFile(Records({}, {})));
    EXPECT_EQ(records.size(), 24);
}

TEST(RightsFile, TextsTheCodePageCannotHoldOrTooLongAreRefused) {
    const QString fortyOne(41, u'x');
    const TUserRec cases[] = {
        User(QStringLiteral("Łukasz"), QStringLiteral("passwort"), ukUser),
        User(QStringLiteral("Kasse"), QStringLiteral("pässwörd→"), ukUser),
        User(fortyOne, QStringLiteral("passwort"), ukUser),
        User(QStringLiteral("Kasse"), QStringLiteral("12345678901234567"), ukUser),
    };
    for (const TUserRec& rec : cases)
        EXPECT_THROW(EncodeUserRec(rec), DbError) << rec.name.toStdString();
    // The limits themselves fit.
    EXPECT_NO_THROW(EncodeUserRec(User(QString(40, u'ä'), QString(16, u'€'), ukUser)));
}

struct Damage {
    const char* what;
    int record; // record to spoil, -1 for a size change
    int offset; // byte within it
    quint8 value;
    int sizeChange;
    const char* expected; // part of the message
};

void PrintTo(const Damage& d, std::ostream* os) {
    *os << d.what;
}

class DamagedRightsFile : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedRightsFile, IsRefusedWithAGermanReason) {
    const Damage& d = GetParam();
    QByteArray plain = Scrambled(EncodeRightsFile(SmallSet()), RightsScrambleKey);
    if (d.record >= 0)
        plain[d.record * 144 + d.offset] = char(d.value);
    if (d.sizeChange < 0)
        plain.chop(-d.sizeChange);
    else
        plain.append(QByteArray(d.sizeChange, '\0'));
    try {
        DecodeRightsFile(Scrambled(plain, RightsScrambleKey));
        FAIL() << "accepted: " << d.what;
    } catch (const DbError& error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("Die Rechtedatei ist beschädigt")))
            << error.message().toStdString();
        EXPECT_TRUE(error.message().contains(QString::fromUtf8(d.expected)))
            << d.what << ": " << error.message().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedRightsFile,
    ::testing::Values(
        Damage{"size one byte short", -1, 0, 0, -1, "kein Vielfaches von 144"},
        Damage{"size one byte long", -1, 0, 0, 1, "kein Vielfaches von 144"},
        Damage{"fewer than 24 records", -1, 0, 0, -3 * 144, "mindestens 24"},
        Damage{"empty file", -1, 0, 0, -26 * 144, "mindestens 24"},
        Damage{"user marker in a group slot", 3, 0, '1', 0, "Satz 4: Die Satzkennung"},
        Damage{"group marker for a user", 24, 0, '0', 0, "Satz 25: Die Satzkennung"},
        Damage{"zero marker for a user", 25, 0, 0, 0, "Satz 26: Die Satzkennung"},
        Damage{"unknown kind of a user", 24, 139, 'X', 0, "Satz 25: Die Benutzerebene"},
        Damage{"kind in a group slot", 0, 139, 'M', 0, "Satz 1: Die Benutzerebene"},
        Damage{"name length 41", 25, 81, 41, 0, "Satz 26: Die Länge des Namens"},
        Damage{"password length 17", 24, 122, 17, 0, "Satz 25: Die Länge des Passworts"},
        Damage{"password length 255", 0, 122, 255, 0, "Satz 1: Die Länge des Passworts"}),
    [](const ::testing::TestParamInfo<Damage>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

} // namespace
