#include "core/files/scrambler.h"
#include "core/framefixture.h"
#include "core/settings/programsettings.h"
#include "masterdata/mailsettings.h"

#include <QFile>

using frametest::ProgramDirFixture;
using namespace Qt::StringLiterals;

namespace {

class MailSettingsFile : public ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        m_savedMandant = MandantNr;
        MandantNr = 2;
        MailSettings = TMailSettings{};
        MailConfigured = false;
    }
    void TearDown() override {
        MandantNr = m_savedMandant;
        MailSettings = TMailSettings{};
        MailConfigured = false;
        ProgramDirFixture::TearDown();
    }
    QByteArray plainFile() const {
        return Scrambled(readBytes(MailSettingsFilePath()), SettingsScrambleKey);
    }
    void writeFile(const QByteArray& bytes) const {
        QFile f(MailSettingsFilePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private:
    int m_savedMandant = 1;
};

QByteArray field(const char* text, int width) {
    QByteArray f(1 + width, '\0');
    const QByteArray t(text);
    f[0] = char(t.size());
    f.replace(1, t.size(), t);
    return f;
}

TEST_F(MailSettingsFile, RecordBytesSitAtTheirOffsets) {
    MailSettings.host = u"mail.example.de"_s;
    MailSettings.user = u"hausmeister"_s;
    MailSettings.senderName = u"Gebäudeservice"_s;
    MailSettings.senderAddress = u"buero@example.de"_s;
    MailSettings.password = u"geheim"_s;
    MailSettings.authenticate = true;
    ASSERT_TRUE(SaveMailSettings());
    EXPECT_TRUE(MailConfigured);
    EXPECT_TRUE(MailSettingsFilePath().endsWith(u"/Mailcnf0002.ccf"_s));

    QByteArray expected(41, '\0');
    expected += field("mail.example.de", 80);
    expected += field("hausmeister", 80);
    expected += field("Geb\xe4udeservice", 80);
    expected += field("buero@example.de", 80);
    expected += field("geheim", 20);
    expected += QByteArray(21, '\0');
    expected += '\1';
    ASSERT_EQ(expected.size(), 408);
    EXPECT_EQ(plainFile().toHex(), expected.toHex());
    // On disk the record is scrambled.
    EXPECT_NE(readBytes(MailSettingsFilePath()), expected);

    MailSettings = TMailSettings{};
    MailConfigured = false;
    ASSERT_TRUE(LoadMailSettings());
    EXPECT_EQ(MailSettings.senderName, u"Gebäudeservice");
    EXPECT_EQ(MailSettings.password, u"geheim");
    EXPECT_TRUE(MailSettings.authenticate);
    EXPECT_TRUE(MailConfigured);
}

TEST_F(MailSettingsFile, ReservedBytesAreKeptAndTextsCutToTheirFields) {
    QByteArray plain(408, '\0');
    for (int i = 0; i < 41; ++i)
        plain[i] = char(0xA0 + i);
    for (int i = 386; i < 407; ++i)
        plain[i] = char(i);
    writeFile(Scrambled(plain, SettingsScrambleKey));
    ASSERT_TRUE(LoadMailSettings());
    MailSettings.host = QString(100, u'h');
    MailSettings.password = u"ein-sehr-langes-passwort-1234"_s;
    ASSERT_TRUE(SaveMailSettings());
    const QByteArray saved = plainFile();
    EXPECT_EQ(saved.left(41), plain.left(41));
    EXPECT_EQ(saved.mid(386, 21), plain.mid(386, 21));
    EXPECT_EQ(quint8(saved[41]), 80);
    EXPECT_EQ(saved.mid(42, 80), QByteArray(80, 'h'));
    EXPECT_EQ(quint8(saved[365]), 20);
    ASSERT_TRUE(LoadMailSettings());
    EXPECT_EQ(MailSettings.password, u"ein-sehr-langes-pass");
}

TEST_F(MailSettingsFile, AFileOfAnotherLengthLeavesTheConfiguredFlag) {
    for (const int size : {0, 407, 409}) {
        writeFile(QByteArray(size, 'x'));
        MailConfigured = true;
        EXPECT_FALSE(LoadMailSettings()) << size;
        EXPECT_TRUE(MailConfigured) << size;
        MailConfigured = false;
        EXPECT_FALSE(LoadMailSettings()) << size;
        EXPECT_FALSE(MailConfigured) << size;
    }
}

TEST_F(MailSettingsFile, AWriteProtectedFileIsWrittenOnlyAfterTheUserUnlocksIt) {
    MailSettings.host = u"mail.example.de"_s;
    MailSettings.senderName = u"Büro"_s;
    MailSettings.user = u"hm"_s;
    MailSettings.password = u"geheim"_s;
    ASSERT_TRUE(SaveMailSettings());
    ASSERT_TRUE(MailConfigured);
    const QString path = MailSettingsFilePath();
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser));
    const QByteArray before = readBytes(path);
    MailSettings.host = u"neu.example.de"_s;
    MailSettings.password.clear(); // a written record would count as incomplete

    presenter.answers = {false};
    EXPECT_FALSE(SaveMailSettings());
    EXPECT_EQ(readBytes(path), before);
    EXPECT_TRUE(MailConfigured);
    ASSERT_EQ(presenter.texts(MessagePresenter::Kind::Question).size(), 1);
    EXPECT_TRUE(presenter.texts(MessagePresenter::Kind::Question)
                    .first()
                    .contains(u"Schreibschutz entfernen?"_s));

    presenter.answers = {true};
    EXPECT_TRUE(SaveMailSettings());
    EXPECT_FALSE(MailConfigured);
    ASSERT_TRUE(LoadMailSettings());
    EXPECT_EQ(MailSettings.host, u"neu.example.de");
}

TEST_F(MailSettingsFile, MissingFileIsCreatedEmpty) {
    ASSERT_TRUE(LoadMailSettings());
    EXPECT_FALSE(MailConfigured);
    EXPECT_EQ(plainFile(), QByteArray(408, '\0'));
    // It will hold the scrambled password: no access for other users.
    EXPECT_FALSE(QFile::permissions(MailSettingsFilePath()) &
                 (QFileDevice::ReadOther | QFileDevice::WriteOther));
}

TEST_F(MailSettingsFile, LoadAndSaveRulesOfTheConfiguredFlag) {
    // Without authentication, host and sender name suffice when loading ...
    MailSettings.host = u"mail.example.de"_s;
    MailSettings.senderName = u"Büro"_s;
    ASSERT_TRUE(SaveMailSettings());
    EXPECT_FALSE(MailConfigured); // ... but saving also wants user and password.
    ASSERT_TRUE(LoadMailSettings());
    EXPECT_TRUE(MailConfigured);
    MailSettings.authenticate = true;
    MailSettings.user = u"hm"_s;
    ASSERT_TRUE(SaveMailSettings());
    ASSERT_TRUE(LoadMailSettings());
    EXPECT_FALSE(MailConfigured); // authentication without password
    ASSERT_TRUE(ResetMailSettings());
    EXPECT_EQ(MailSettings.host, QString());
    EXPECT_FALSE(MailConfigured);
}

} // namespace
