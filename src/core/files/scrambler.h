#pragma once

#include <QtGlobal>

class QByteArray;

// Start keys of the scrambled settings files.
constexpr quint16 RightsScrambleKey = 31407;
constexpr quint16 SettingsScrambleKey = 27915; // mail and FTP settings

// One step of the keystream: the state runs eight times through a 15-bit
// feedback register and its low byte is XORed onto b. Its own inverse.
void ScrambleByte(quint8& b, quint16& state);
void ScrambleBuffer(void* buffer, qsizetype count, quint16& state);
// Scrambles a whole record or file from the key.
QByteArray Scrambled(const QByteArray& bytes, quint16 key);
