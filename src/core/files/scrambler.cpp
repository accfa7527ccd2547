#include "core/files/scrambler.h"

#include <QByteArray>

void ScrambleByte(quint8& b, quint16& state) {
    for (int i = 0; i < 8; ++i) {
        const quint16 feedback = (state ^ (state >> 7)) & 1u;
        state = quint16(((state & 0x7FFFu) >> 1) | (feedback << 14));
    }
    b ^= quint8(state & 0xFFu);
}

void ScrambleBuffer(void* buffer, qsizetype count, quint16& state) {
    auto* bytes = static_cast<quint8*>(buffer);
    for (qsizetype i = 0; i < count; ++i)
        ScrambleByte(bytes[i], state);
}

QByteArray Scrambled(const QByteArray& bytes, quint16 key) {
    QByteArray copy = bytes;
    ScrambleBuffer(copy.data(), copy.size(), key);
    return copy;
}
