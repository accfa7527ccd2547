#include "core/files/scrambler.h"
#include "core/framefixture.h"
#include "core/settings/programsettings.h"
#include "datasafety/datasafety.h"
#include "datasafety/ftpsettings.h"
#include "platform/errors.h"

#include <QFileInfo>
#include <QtEndian>

using frametest::ProgramDirFixture;
using namespace Qt::StringLiterals;

namespace {

class FtpSettingsTest : public ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        m_savedMandant = MandantNr;
        MandantNr = 1;
    }
    void TearDown() override {
        MandantNr = m_savedMandant;
        FtpSettings = FtpSettingsRecord{};
        ProgramDirFixture::TearDown();
    }
    QByteArray plainFile(int mandant) const {
        return Scrambled(readBytes(ProgramDir + FtpSettingsFileName(mandant)), SettingsScrambleKey);
    }

private:
    int m_savedMandant = 1;
};

TEST_F(FtpSettingsTest, FileNames) {
    EXPECT_EQ(FtpSettingsFileName(1), u"Ftpcnf0001.ccf");
    QString mail;
    MailSettingsFileName(3, mail);
    EXPECT_EQ(mail, u"Mailcnf0003.ccf");
}

TEST_F(FtpSettingsTest, MissingFileGetsTheDefaultRecord) {
    EXPECT_TRUE(LoadFtpSettings());
    EXPECT_FALSE(IsFtpConfigured());
    EXPECT_EQ(FtpSettings.ftpDirectory, u"tresor");
    const QByteArray plain = plainFile(1);
    ASSERT_EQ(plain.size(), 292);
    QByteArray expected(292, '\0');
    expected[224] = 6;
    expected.replace(225, 6, "tresor");
    EXPECT_EQ(plain.toHex(), expected.toHex());
}

TEST_F(FtpSettingsTest, SavedRecordHasTheFixedLayout) {
    FtpSettings.ftpHost = u"ftp.example.de"_s;
    FtpSettings.ftpUser = u"hausmeister"_s;
    FtpSettings.ftpPassword = u"geheim"_s;
    FtpSettings.ftpDirectory = u"tresor"_s;
    FtpSettings.cipherKey = u"Schlüssel"_s;
    FtpSettings.maxMB = 250;
    ASSERT_TRUE(SaveFtpSettings());
    EXPECT_TRUE(IsFtpConfigured());

    const QByteArray plain = plainFile(1);
    ASSERT_EQ(plain.size(), 292);
    EXPECT_EQ(plain.left(41), QByteArray(41, '\0'));
    EXPECT_EQ(plain.mid(41, 15), QByteArray("\x0E"
                                            "ftp.example.de"));
    EXPECT_EQ(plain.mid(122, 12), QByteArray("\x0B"
                                             "hausmeister"));
    EXPECT_EQ(plain.mid(203, 7), QByteArray("\x06"
                                            "geheim"));
    EXPECT_EQ(plain.mid(224, 7), QByteArray("\x06"
                                            "tresor"));
    EXPECT_EQ(plain.mid(245, 10), QByteArray("\x09"
                                             "Schl\xFCssel"));
    EXPECT_EQ(plain.mid(286, 2), QByteArray(2, '\0'));
    EXPECT_EQ(qFromLittleEndian<qint32>(plain.constData() + 288), 250);
    // Unused bytes behind each text stay zero.
    EXPECT_EQ(plain.mid(56, 66), QByteArray(66, '\0'));

    FtpSettings = FtpSettingsRecord{};
    ASSERT_TRUE(LoadFtpSettings());
    EXPECT_EQ(FtpSettings.ftpHost, u"ftp.example.de");
    EXPECT_EQ(FtpSettings.cipherKey, u"Schlüssel");
    EXPECT_EQ(FtpSettings.maxMB, 250);
    EXPECT_TRUE(IsFtpConfigured());

    // The password is only scrambled: other users of the computer must not
    // read the file, also after it was readable for them.
    const QString file = ProgramDir + FtpSettingsFileName(1);
    EXPECT_FALSE(QFile::permissions(file) & QFileDevice::ReadOther);
    QFile::setPermissions(file, QFile::permissions(file) | QFileDevice::ReadOther);
    ASSERT_TRUE(SaveFtpSettings());
    EXPECT_FALSE(QFile::permissions(file) & (QFileDevice::ReadOther | QFileDevice::WriteOther));
    EXPECT_TRUE(QFile::permissions(file) & QFileDevice::ReadOwner);
}

TEST_F(FtpSettingsTest, TextsAreCutToTheirFields) {
    FtpSettings.ftpHost = QString(90, u'h');
    FtpSettings.ftpPassword = QString(25, u'p');
    FtpSettings.cipherKey = QString(41, u'k');
    ASSERT_TRUE(SaveFtpSettings());
    ASSERT_TRUE(LoadFtpSettings());
    EXPECT_EQ(FtpSettings.ftpHost, QString(80, u'h'));
    EXPECT_EQ(FtpSettings.ftpPassword, QString(20, u'p'));
    EXPECT_EQ(FtpSettings.cipherKey, QString(40, u'k'));
}

TEST_F(FtpSettingsTest, EveryAccessFieldCountsForConfigured) {
    const auto full = [] {
        FtpSettingsRecord r;
        r.ftpHost = u"h"_s;
        r.ftpUser = u"u"_s;
        r.ftpPassword = u"p"_s;
        r.cipherKey = u"k"_s;
        return r;
    };
    EXPECT_TRUE(full().isConfigured());
    QString FtpSettingsRecord::*const fields[] = {
        &FtpSettingsRecord::ftpHost, &FtpSettingsRecord::ftpUser, &FtpSettingsRecord::ftpPassword,
        &FtpSettingsRecord::cipherKey};
    for (auto member : fields) {
        FtpSettingsRecord r = full();
        (r.*member).clear();
        EXPECT_FALSE(r.isConfigured());
    }
    FtpSettingsRecord r = full();
    r.ftpDirectory.clear();
    r.maxMB = 0;
    EXPECT_TRUE(r.isConfigured());
}

TEST_F(FtpSettingsTest, EachClientHasItsOwnFile) {
    FtpSettings.ftpHost = u"h"_s;
    FtpSettings.ftpUser = u"u"_s;
    FtpSettings.ftpPassword = u"p"_s;
    FtpSettings.cipherKey = u"k"_s;
    ASSERT_TRUE(SaveFtpSettings());
    MandantNr = 2;
    ASSERT_TRUE(LoadFtpSettings());
    EXPECT_FALSE(IsFtpConfigured());
    EXPECT_TRUE(FtpSettings.ftpHost.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(ProgramDir + u"Ftpcnf0002.ccf"_s));
    MandantNr = 1;
    ASSERT_TRUE(LoadFtpSettings());
    EXPECT_TRUE(IsFtpConfigured());
}

TEST_F(FtpSettingsTest, DamagedFilesGiveEmptySettings) {
    const QByteArray shortFile(291, 'x');
    writeBytes(ProgramDir + u"Ftpcnf0001.ccf"_s, shortFile);
    FtpSettings.ftpHost = u"stale"_s;
    EXPECT_FALSE(LoadFtpSettings());
    EXPECT_FALSE(IsFtpConfigured());
    EXPECT_TRUE(FtpSettings.ftpHost.isEmpty());
    EXPECT_EQ(readBytes(ProgramDir + u"Ftpcnf0001.ccf"_s), shortFile);

    // Length bytes beyond their fields are held to the field's width.
    QByteArray record(292, '\0');
    record[41] = char(200);
    record.replace(42, 80, QByteArray(80, 'h'));
    record[224] = char(255);
    writeBytes(ProgramDir + u"Ftpcnf0001.ccf"_s, Scrambled(record, SettingsScrambleKey));
    ASSERT_TRUE(LoadFtpSettings());
    EXPECT_EQ(FtpSettings.ftpHost, QString(80, u'h'));
    EXPECT_EQ(FtpSettings.ftpDirectory.size(), 20);
}

TEST_F(FtpSettingsTest, RefusedWriteKeepsFileAndFlag) {
    FtpSettings.ftpHost = u"h"_s;
    FtpSettings.ftpUser = u"u"_s;
    FtpSettings.ftpPassword = u"p"_s;
    FtpSettings.cipherKey = u"k"_s;
    ASSERT_TRUE(SaveFtpSettings());
    const QString name = ProgramDir + u"Ftpcnf0001.ccf"_s;
    const QByteArray before = readBytes(name);
    QFile::setPermissions(name, QFileDevice::ReadOwner);
    FtpSettings.cipherKey.clear();
    presenter.answers = {false};
    EXPECT_FALSE(SaveFtpSettings());
    EXPECT_TRUE(IsFtpConfigured());
    EXPECT_EQ(readBytes(name), before);
}

// A program without the data-safety windows (a test of a library below
// them) offers none of these entries, and a call says so.
TEST(DataSafetyServices, EntriesWithoutTheirWindowsAreDisabled) {
    EXPECT_FALSE(IsDataSafetyServiceAvailable(DataSafetyService::DatabaseBackup));
    EXPECT_FALSE(IsDataSafetyServiceAvailable(DataSafetyService::Vault));
    EXPECT_THROW(BackupDatabases(LocalBackup, u"Autosicherung"_s), DbError);
    EXPECT_THROW(ShowPathForm(), DbError);
    EXPECT_THROW(CleanUpVault(), DbError);
}

} // namespace
