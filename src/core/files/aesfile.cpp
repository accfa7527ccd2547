#include "core/files/aesfile.h"

#include "platform/errors.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QStringEncoder>
#include <QtEndian>
#include <limits>
#include <memory>
#include <openssl/evp.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kBlock = 16;
constexpr qint64 kChunk = 64 * 1024;

struct CipherContextFree {
    void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree>;

[[noreturn]] void readError() {
    throw DbError(u"Stream read error"_s);
}
[[noreturn]] void writeError() {
    throw DbError(u"Stream write error"_s);
}

// Each block is ciphered on its own (ECB) with no padding of OpenSSL's: the
// zero fill of the last block is ours.
CipherContext makeContext(const QByteArray& key, bool encrypt) {
    CipherContext ctx(EVP_CIPHER_CTX_new());
    if (!ctx ||
        EVP_CipherInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr,
                          reinterpret_cast<const unsigned char*>(key.constData()), nullptr,
                          encrypt ? 1 : 0) != 1 ||
        EVP_CIPHER_CTX_set_padding(ctx.get(), 0) != 1)
        throw DbError(u"AES-Verschlüsselung ist nicht verfügbar"_s);
    return ctx;
}

QByteArray cipher(EVP_CIPHER_CTX* ctx, const QByteArray& blocks) {
    QByteArray out(blocks.size(), Qt::Uninitialized);
    int written = 0;
    if (EVP_CipherUpdate(ctx, reinterpret_cast<unsigned char*>(out.data()), &written,
                         reinterpret_cast<const unsigned char*>(blocks.constData()),
                         int(blocks.size())) != 1 ||
        written != blocks.size())
        throw DbError(u"AES-Verschlüsselung fehlgeschlagen"_s);
    return out;
}

void writeAll(QSaveFile& out, const QByteArray& bytes) {
    if (out.write(bytes) != bytes.size())
        writeError();
}

} // namespace

QByteArray AesKeyFromText(const QString& keyText) {
    QStringEncoder encoder("windows-1252");
    QByteArray key = encoder.encode(keyText.left(kBlock).leftJustified(kBlock, u' '));
    key.resize(kBlock, ' ');
    return key;
}

bool EncryptFileAes(const QString& sourceFile, const QString& destFile, const QString& keyText) {
    QFile in(sourceFile);
    if (!in.open(QIODevice::ReadOnly))
        readError();
    const qint64 length = in.size();
    if (length > std::numeric_limits<qint32>::max())
        throw DbError(u"Die Datei\r"_s + sourceFile + u"\rist zu groß zum Verschlüsseln."_s);
    QSaveFile out(destFile);
    if (!out.open(QIODevice::WriteOnly))
        writeError();
    char prefix[4];
    qToLittleEndian<qint32>(qint32(length), prefix);
    writeAll(out, QByteArray(prefix, 4));

    const CipherContext ctx = makeContext(AesKeyFromText(keyText), true);
    qint64 remaining = length;
    while (remaining > 0) {
        QByteArray chunk = in.read(qMin(remaining, kChunk));
        remaining -= chunk.size();
        if (chunk.isEmpty() || (remaining > 0 && chunk.size() % kBlock))
            readError();
        if (chunk.size() % kBlock)
            chunk.append(QByteArray(kBlock - chunk.size() % kBlock, '\0'));
        writeAll(out, cipher(ctx.get(), chunk));
    }
    if (!out.commit())
        writeError();
    return true;
}

bool DecryptFileAes(const QString& sourceFile, const QString& destFile, const QString& keyText) {
    QFile in(sourceFile);
    if (!in.open(QIODevice::ReadOnly))
        readError();
    const QByteArray prefix = in.read(4);
    if (prefix.size() != 4)
        readError();
    const qint32 length = qFromLittleEndian<qint32>(prefix.constData());
    const qint64 body = in.size() - 4;
    if (body % kBlock)
        throw DbError(u"Invalid buffer size for decryption"_s);
    // A stored length beyond the encrypted body (or below zero) can only come
    // from a damaged file; zero-filling up to it would fake content.
    if (length < 0 || length > body)
        readError();

    QSaveFile out(destFile);
    if (!out.open(QIODevice::WriteOnly))
        writeError();
    const CipherContext ctx = makeContext(AesKeyFromText(keyText), false);
    qint64 remaining = body;
    qint64 plainLeft = length;
    while (remaining > 0) {
        const QByteArray chunk = in.read(qMin(remaining, kChunk));
        if (chunk.isEmpty() || chunk.size() % kBlock)
            readError();
        remaining -= chunk.size();
        const QByteArray plain = cipher(ctx.get(), chunk);
        // The zero fill of the last block is cut off.
        const qint64 take = qMin<qint64>(plain.size(), plainLeft);
        writeAll(out, plain.left(take));
        plainLeft -= take;
    }
    if (!out.commit())
        writeError();
    return true;
}
