#include "core/files/manualinstall.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Tree = QMap<QString, QByteArray>;

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

Tree treeOf(const QString& dir) {
    Tree files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        files.insert(QDir(dir).relativeFilePath(path), file.readAll());
    }
    return files;
}

class ManualInstallTest : public ::testing::Test {
protected:
    // A shipped manual in its own folder; each release replaces it whole.
    void ship(const Tree& files) {
        QDir(shipped()).removeRecursively();
        for (auto it = files.begin(); it != files.end(); ++it)
            write(shipped() + u'/' + it.key(), it.value());
    }
    QString shipped() const { return m_dir.path() + u"/shipped"_s; }
    QString program() const { return m_dir.path() + u"/Programm"_s; }
    QString at(const QString& relative) const { return program() + u'/' + relative; }
    ManualInstallReport install(const QString& version) {
        return InstallManual(shipped(), program(), version);
    }
    Tree installedManual() {
        Tree tree = treeOf(program());
        tree.remove(u"Handbuch/Installation.txt"_s);
        return tree;
    }

private:
    QTemporaryDir m_dir;
};

const Tree Release240{{u"Handbuch/Index.html"_s, "index 2.40"},
                      {u"Handbuch/Html/kunden.html"_s, "kunden 2.40"},
                      {u"Handbuch/Html/alt.html"_s, "alt 2.40"},
                      {u"Handbuch/FirstSteps.pdf"_s, "%PDF 2.40"},
                      {u"Help/Stammdaten.txt"_s, "TITLE:Stammdaten"},
                      {u"Help/Stammdaten/kunden.txt"_s, "TITLE:Kunden\r\nFNAME:x"}};

TEST_F(ManualInstallTest, FirstStartLaysOutTheManualAndASecondStartDoesNothing) {
    ship(Release240);
    const ManualInstallReport first = install(u"2.40"_s);
    EXPECT_FALSE(first.upToDate);
    EXPECT_TRUE(first.failed.isEmpty());
    EXPECT_EQ(first.written.size(), Release240.size());
    EXPECT_EQ(installedManual(), Release240);

    // A page the user deleted stays deleted until the next version.
    QFile::remove(at(u"Handbuch/Html/alt.html"_s));
    const ManualInstallReport second = install(u"2.40"_s);
    EXPECT_TRUE(second.upToDate);
    EXPECT_FALSE(QFileInfo::exists(at(u"Handbuch/Html/alt.html"_s)));
}

TEST_F(ManualInstallTest, NewerVersionRefreshesOnlyWhatTheInstallationWroteAndLeftUnchanged) {
    ship(Release240);
    install(u"2.40"_s);
    // The user edits one page, adds notes of his own in both folders and puts a
    // file under a name the next manual will bring.
    write(at(u"Handbuch/Html/kunden.html"_s), "meine Kundenseite");
    write(at(u"Handbuch/Notizen.txt"_s), "eigene Notizen");
    write(at(u"Help/Eigenes/mein.txt"_s), "TITLE:Mein Thema");
    write(at(u"Handbuch/Html/datev.html"_s), "eigene DATEV-Seite");

    Tree release250 = Release240;
    release250[u"Handbuch/Index.html"_s] = "index 2.50";
    release250[u"Handbuch/Html/kunden.html"_s] = "kunden 2.50";
    release250[u"Handbuch/Html/datev.html"_s] = "datev 2.50";
    release250[u"Handbuch/Html/neu.html"_s] = "neu 2.50";
    release250.remove(u"Handbuch/Html/alt.html"_s);
    ship(release250);
    const ManualInstallReport report = install(u"2.50"_s);

    EXPECT_EQ(QSet<QString>(report.written.begin(), report.written.end()),
              (QSet<QString>{u"Handbuch/Index.html"_s, u"Handbuch/Html/neu.html"_s}));
    EXPECT_EQ(QSet<QString>(report.keptAsUsers.begin(), report.keptAsUsers.end()),
              (QSet<QString>{u"Handbuch/Html/kunden.html"_s, u"Handbuch/Html/datev.html"_s}));
    EXPECT_EQ(report.removed, QStringList{u"Handbuch/Html/alt.html"_s});
    Tree expected = release250;
    expected[u"Handbuch/Html/kunden.html"_s] = "meine Kundenseite";
    expected[u"Handbuch/Html/datev.html"_s] = "eigene DATEV-Seite";
    expected[u"Handbuch/Notizen.txt"_s] = "eigene Notizen";
    expected[u"Help/Eigenes/mein.txt"_s] = "TITLE:Mein Thema";
    EXPECT_EQ(installedManual(), expected);

    // The edited page stays the user's in every later version too.
    release250[u"Handbuch/Html/kunden.html"_s] = "kunden 2.60";
    ship(release250);
    install(u"2.60"_s);
    EXPECT_EQ(treeOf(program()).value(u"Handbuch/Html/kunden.html"_s), "meine Kundenseite");
}

TEST_F(ManualInstallTest, ChangedManualOfTheSameVersionIsInstalledButAnOlderProgramKeepsTheNewer) {
    ship(Release240);
    install(u"2.40"_s);
    Tree rebuilt = Release240;
    rebuilt[u"Handbuch/Index.html"_s] = "index 2.40 berichtigt";
    ship(rebuilt);
    EXPECT_EQ(install(u"2.40"_s).written, QStringList{u"Handbuch/Index.html"_s});
    EXPECT_EQ(installedManual(), rebuilt);

    ship(Release240);
    EXPECT_TRUE(install(u"2.4"_s).upToDate) << "2.4 is not older than 2.40";
    EXPECT_TRUE(install(u"2.30"_s).upToDate);
    EXPECT_EQ(installedManual(), rebuilt);
}

TEST_F(ManualInstallTest, FileThatCannotBeWrittenIsReportedAndTriedAgain) {
    ship(Release240);
    // A file stands where the chapter's folder belongs.
    write(at(u"Help/Stammdaten"_s), "blockiert");
    ManualInstallReport report = install(u"2.40"_s);
    EXPECT_EQ(report.failed, QStringList{u"Help/Stammdaten/kunden.txt"_s});
    EXPECT_EQ(report.written.size(), Release240.size() - 1);
    EXPECT_FALSE(install(u"2.40"_s).upToDate) << "the failure of the last start is tried again";

    QFile::remove(at(u"Help/Stammdaten"_s));
    report = install(u"2.40"_s);
    EXPECT_TRUE(report.failed.isEmpty());
    EXPECT_EQ(report.written, QStringList{u"Help/Stammdaten/kunden.txt"_s});
    EXPECT_EQ(installedManual(), Release240);
    EXPECT_TRUE(install(u"2.40"_s).upToDate);
}

TEST(ManualVersionTest, ComparesNumericParts) {
    EXPECT_EQ(CompareManualVersions(u"2.40"_s, u"2.40"_s), 0);
    EXPECT_LT(CompareManualVersions(u"2.30"_s, u"2.40"_s), 0);
    EXPECT_GT(CompareManualVersions(u"2.100"_s, u"2.40"_s), 0);
    EXPECT_GT(CompareManualVersions(u"3"_s, u"2.99"_s), 0);
}

} // namespace
