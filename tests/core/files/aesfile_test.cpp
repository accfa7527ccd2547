#include "core/files/aesfile.h"
#include "core/framefixture.h"
#include "platform/errors.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

class AesFileTest : public frametest::ProgramDirFixture {
protected:
    QString file(const char* name) const { return root(QString::fromLatin1(name)); }

    QString decryptError(const QByteArray& encrypted) {
        writeBytes(file("bad.enc"), encrypted);
        try {
            DecryptFileAes(file("bad.enc"), file("bad.out"), u"key"_s);
        } catch (const DbError& error) {
            return error.message();
        }
        return {};
    }
};

// The key text of the sixteen characters 0..15 gives the key bytes 00..0f.
QString countingKeyText() {
    QString key;
    for (int i = 0; i < 16; ++i)
        key += QChar(i);
    return key;
}

TEST_F(AesFileTest, StandardTestVectorInTheFileLayout) {
    // The AES-128 example of the standard: key 000102..0f, block 00112233..ff.
    writeBytes(file("plain"), QByteArray::fromHex("00112233445566778899aabbccddeeff"));
    ASSERT_TRUE(EncryptFileAes(file("plain"), file("enc"), countingKeyText()));
    EXPECT_EQ(readBytes(file("enc")).toHex(), QByteArray("10000000"
                                                         "69c4e0d86a7b0430d8cdb78070b4c55a"));
}

TEST_F(AesFileTest, LastBlockIsZeroFilledAndCutOffAgain) {
    const QByteArray plain = "seventeen bytes!!";
    ASSERT_EQ(plain.size(), 17);
    writeBytes(file("plain"), plain);
    ASSERT_TRUE(EncryptFileAes(file("plain"), file("enc"), countingKeyText()));
    const QByteArray enc = readBytes(file("enc"));
    ASSERT_EQ(enc.size(), 4 + 32);
    EXPECT_EQ(enc.left(4).toHex(), QByteArray("11000000"));
    // ECB: the first block ciphers on its own, the second is "!" and fifteen zeros.
    writeBytes(file("block2"), QByteArray("!") + QByteArray(15, '\0'));
    EncryptFileAes(file("block2"), file("block2.enc"), countingKeyText());
    EXPECT_EQ(enc.mid(20), readBytes(file("block2.enc")).mid(4));

    ASSERT_TRUE(DecryptFileAes(file("enc"), file("back"), countingKeyText()));
    EXPECT_EQ(readBytes(file("back")), plain);
}

TEST_F(AesFileTest, RoundTripsOfSeveralSizes) {
    for (const int size : {0, 1, 15, 16, 31, 70000, 65536 + 16}) {
        QByteArray plain(size, '\0');
        for (int i = 0; i < size; ++i)
            plain[i] = char(i * 31 + 7);
        writeBytes(file("plain"), plain);
        ASSERT_TRUE(EncryptFileAes(file("plain"), file("enc"), u"Geheim"_s));
        EXPECT_EQ(QFileInfo(file("enc")).size(), 4 + (size + 15) / 16 * 16) << size;
        ASSERT_TRUE(DecryptFileAes(file("enc"), file("back"), u"Geheim"_s));
        EXPECT_EQ(readBytes(file("back")), plain) << size;
    }
}

TEST_F(AesFileTest, KeyTextIsFilledWithBlanksOrCutToSixteen) {
    EXPECT_EQ(AesKeyFromText(u"abcdef"_s), QByteArray("abcdef          "));
    EXPECT_EQ(AesKeyFromText(u"abcdefghijklmnopqrst"_s), QByteArray("abcdefghijklmnop"));
    EXPECT_EQ(AesKeyFromText(u"Schlüssel"_s), QByteArray("Schl\xFCssel       "));
    EXPECT_EQ(AesKeyFromText(QString()), QByteArray(16, ' '));

    writeBytes(file("plain"), "the same key either way");
    EncryptFileAes(file("plain"), file("a"), u"abcdef"_s);
    EncryptFileAes(file("plain"), file("b"), u"abcdef          "_s);
    EXPECT_EQ(readBytes(file("a")), readBytes(file("b")));
    EncryptFileAes(file("plain"), file("c"), u"abcdefghijklmnopqrst"_s);
    EncryptFileAes(file("plain"), file("d"), u"abcdefghijklmnopXYZ"_s);
    EXPECT_EQ(readBytes(file("c")), readBytes(file("d")));
    EXPECT_NE(readBytes(file("a")), readBytes(file("c")));
}

TEST_F(AesFileTest, WrongKeyGivesOtherBytesOfTheStoredLength) {
    writeBytes(file("plain"), "confidential backup");
    EncryptFileAes(file("plain"), file("enc"), u"right"_s);
    ASSERT_TRUE(DecryptFileAes(file("enc"), file("back"), u"wrong"_s));
    const QByteArray back = readBytes(file("back"));
    EXPECT_EQ(back.size(), 19);
    EXPECT_NE(back, QByteArray("confidential backup"));
}

TEST_F(AesFileTest, DamagedFilesRaiseTheirErrors) {
    EXPECT_EQ(decryptError(QByteArray::fromHex("21000000") + QByteArray(33, 'x')),
              u"Invalid buffer size for decryption"_s);
    EXPECT_FALSE(QFileInfo::exists(file("bad.out")));
    EXPECT_EQ(decryptError(QByteArray::fromHex("0100")), u"Stream read error"_s);
    // A stored length beyond the encrypted body.
    EXPECT_EQ(decryptError(QByteArray::fromHex("40000000") + QByteArray(16, 'x')),
              u"Stream read error"_s);
    EXPECT_EQ(decryptError(QByteArray::fromHex("ffffffff") + QByteArray(16, 'x')),
              u"Stream read error"_s);

    try {
        EncryptFileAes(file("missing"), file("enc"), u"key"_s);
        FAIL() << "no error";
    } catch (const DbError& error) {
        EXPECT_EQ(error.message(), u"Stream read error"_s);
    }
    writeBytes(file("plain"), "x");
    try {
        EncryptFileAes(file("plain"), file("no/such/dir/enc"), u"key"_s);
        FAIL() << "no error";
    } catch (const DbError& error) {
        EXPECT_EQ(error.message(), u"Stream write error"_s);
    }
}

} // namespace
