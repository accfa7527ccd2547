#pragma once

#include <QString>

class QByteArray;

// Encrypted file: the plain length as 4-byte little-endian signed integer,
// then the plain bytes in AES-128 ECB blocks, the last one filled with zero
// bytes. The key is the key text cut or filled with blanks to 16 characters.
// Both raise DbError ("Stream read error", "Stream write error", "Invalid
// buffer size for decryption") and give true when done.
bool EncryptFileAes(const QString& sourceFile, const QString& destFile, const QString& keyText);
bool DecryptFileAes(const QString& sourceFile, const QString& destFile, const QString& keyText);

// The 16 key bytes of a key text (Windows-1252).
QByteArray AesKeyFromText(const QString& keyText);
