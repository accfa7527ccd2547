#include "core/files/scrambler.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace {

// Keystream bytes (scrambling zero bytes) worked out by hand and by a
// separate script from the register definition: eight shifts of the 15-bit
// register with feedback bit 0 XOR bit 7 into bit 14, then the low byte.
TEST(Scrambler, KnownKeystreams) {
    const struct {
        quint16 key;
        QByteArray stream;
        quint16 stateAfter;
    } cases[] = {
        {1, QByteArray::fromHex("8080c080e0a0d080"), 26752},
        {27915, QByteArray::fromHex("ed681e2a25b0a2fa"), 11258},
        {31407, QByteArray::fromHex("7a2d9086ce8d6a2c"), 6444},
    };
    for (const auto& c : cases) {
        QByteArray bytes(c.stream.size(), '\0');
        quint16 state = c.key;
        ScrambleBuffer(bytes.data(), bytes.size(), state);
        EXPECT_EQ(bytes.toHex(), c.stream.toHex()) << c.key;
        EXPECT_EQ(state, c.stateAfter) << c.key;
    }
    EXPECT_EQ(Scrambled(QByteArray("Domvera"), SettingsScrambleKey).toHex(),
              QByteArray("a907735c40c2c3"));
}

TEST(Scrambler, ScramblingTwiceFromTheKeyGivesTheBytesBack) {
    QByteArray plain;
    for (int i = 0; i < 300; ++i)
        plain += char(i * 7);
    for (const quint16 key :
         {quint16(1), RightsScrambleKey, SettingsScrambleKey, quint16(0xFFFF)}) {
        const QByteArray once = Scrambled(plain, key);
        EXPECT_NE(once, plain) << key;
        EXPECT_EQ(Scrambled(once, key), plain) << key;
    }
}

TEST(Scrambler, BufferEqualsSingleStepsWithTheStateCarried) {
    QByteArray buffer(144, '\0');
    for (int i = 0; i < buffer.size(); ++i)
        buffer[i] = char(255 - i);
    QByteArray single = buffer;
    quint16 bufferState = RightsScrambleKey;
    quint16 singleState = RightsScrambleKey;
    ScrambleBuffer(buffer.data(), buffer.size(), bufferState);
    for (char& c : single) {
        quint8 b = quint8(c);
        ScrambleByte(b, singleState);
        c = char(b);
    }
    EXPECT_EQ(buffer, single);
    EXPECT_EQ(bufferState, singleState);
}

TEST(Scrambler, EdgeStates) {
    quint16 state = 12345;
    ScrambleBuffer(nullptr, 0, state);
    EXPECT_EQ(state, 12345);

    // Zero is a fixed point: the register stays zero and the bytes unchanged.
    QByteArray bytes("unchanged");
    state = 0;
    ScrambleBuffer(bytes.data(), bytes.size(), state);
    EXPECT_EQ(state, 0);
    EXPECT_EQ(bytes, QByteArray("unchanged"));

    // Bit 15 of the key takes no part after the first shift.
    quint8 b = 0;
    state = 0x8000;
    ScrambleByte(b, state);
    EXPECT_EQ(state, 0);
}

} // namespace
