#include "archivefixture.h"
#include "datasafety/archivenames.h"

using backuptest::ArchiveTest;
using namespace Qt::StringLiterals;

namespace {

class ArchiveNamesTest : public ArchiveTest {
protected:
    QString next(const QString& ext, const QString& ext2, const QDate& day,
                 QString* companion = nullptr) {
        QString name;
        QString second;
        if (!NextArchiveName(dir(u"backup"_s), u"FB"_s, ext, ext2, name, second, day))
            return u"refused"_s;
        if (companion)
            *companion = second;
        writeFile(root(u"backup"_s), name, "x");
        return name;
    }
};

const QDate kDay(2026, 12, 8);

} // namespace

TEST_F(ArchiveNamesTest, SequencePerKindAndDay) {
    EXPECT_EQ(next(u"CCL"_s, {}, kDay), u"FB08.12.2026v000.CCL");
    EXPECT_EQ(next(u"CCL"_s, {}, kDay), u"FB08.12.2026v001.CCL");
    EXPECT_EQ(next(u"CCL"_s, {}, kDay), u"FB08.12.2026v002.CCL");
    EXPECT_EQ(next(u"CCT"_s, {}, kDay), u"FB08.12.2026v000.CCT");
    EXPECT_EQ(next(u"CCL"_s, {}, kDay.addDays(1)), u"FB09.12.2026v000.CCL");
    // A number that is no number counts 0.
    writeFile(root(u"backup"_s), u"FB10.12.2026vabc.CCL"_s, "x");
    EXPECT_EQ(next(u"CCL"_s, {}, kDay.addDays(2)), u"FB10.12.2026v001.CCL");
}

TEST_F(ArchiveNamesTest, CompanionSharesTheNumberAndIsNeverOverwritten) {
    QString companion;
    EXPECT_EQ(next(u"CCB"_s, u"CCA"_s, kDay, &companion), u"FB08.12.2026v000.CCB");
    EXPECT_EQ(companion, u"FB08.12.2026v000.CCA");
    // A companion left behind by a run whose main archive was deleted.
    writeFile(root(u"backup"_s), u"FB08.12.2026v004.CCA"_s, "x");
    EXPECT_EQ(next(u"CCB"_s, u"CCA"_s, kDay, &companion), u"FB08.12.2026v005.CCB");
    EXPECT_EQ(companion, u"FB08.12.2026v005.CCA");
}

TEST_F(ArchiveNamesTest, TheThousandthArchiveOfADayIsRefused) {
    writeFile(dir(u"backup"_s), u"FB08.12.2026v998.CCL"_s, "x");
    EXPECT_EQ(next(u"CCL"_s, {}, kDay), u"FB08.12.2026v999.CCL");
    EXPECT_EQ(next(u"CCL"_s, {}, kDay), u"refused");
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors().first().contains(u"bereits 1000 Sicherungen"_s));
}

TEST(ArchiveNames, RowKeyOrdersByDateThenSequence) {
    EXPECT_EQ(BackupRowKey(u"FB08.12.2026v000.CCB"_s), u"20261208v000");
    EXPECT_LT(BackupRowKey(u"FB07.12.2026v003.CCB"_s), BackupRowKey(u"FB08.12.2026v000.CCB"_s));
    EXPECT_LT(BackupRowKey(u"FB31.12.2025v009.CCB"_s), BackupRowKey(u"FB01.01.2026v000.CCB"_s));
}

TEST(ArchiveNames, DescribeBackupFile) {
    const struct {
        QString name;
        QString text;
    } cases[] = {
        {u"FB08.12.2026v000.CCB"_s, u"Datenbanken vom 08.12.2026 Version 000"_s},
        {u"FB08.12.2026v001.CCA"_s, u"Datenablage vom 08.12.2026 Version 001"_s},
        {u"FB08.12.2026v002.CCE"_s, u"Import/Export-Einstellungen vom 08.12.2026 Version 002"_s},
        {u"FB08.12.2026v003.CCT"_s, u"Textbausteine vom 08.12.2026 Version 003"_s},
        {u"FB08.12.2026v004.CCL"_s, u"Formular-Layouts vom 08.12.2026 Version 004"_s},
        {u"FB08.12.2026v005.CCM"_s, u"Mahntexte vom 08.12.2026 Version 005"_s},
        {u"FB08.12.2026v005.CCX"_s, u"Unbekanntes Sicherungsformat"_s},
        {u"FB08.12.2026v05.CCB"_s, u"Unbekanntes Sicherungsformat"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DescribeBackupFile(c.name), c.text) << c.name.toStdString();
}

TEST(ArchiveNames, ArchiveFormAndKind) {
    EXPECT_TRUE(IsBackupArchiveName(u"FB08.12.2026v000.CCB"_s));
    for (const QString& other :
         {u"FB08.12.2026v000.CCB.tmp"_s, u"../FB08.12.2026v000.CCB"_s, u"FB08.12.2026v00.CCB"_s,
          u"fb08.12.2026v000.ccb"_s, u"FB08-12-2026v000.CCB"_s, u"index.html"_s})
        EXPECT_FALSE(IsBackupArchiveName(other)) << other.toStdString();
    EXPECT_TRUE(MatchesBackupKind(u"FB08.12.2026v000.CCA"_s, u"CCB"_s, u"CCA"_s));
    EXPECT_FALSE(MatchesBackupKind(u"FB08.12.2026v000.CCA"_s, u"CCB"_s, u"###"_s));
    EXPECT_FALSE(MatchesBackupKind(u"FB08.12.2026v000.ccb"_s, u"CCB"_s, u"###"_s));
}
