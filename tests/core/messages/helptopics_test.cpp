#include "core/messages/helptopics.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class HelpTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        help = m_root.filePath(u"Help"_s);
    }
    // Writes a description file (lines joined with CR LF, Windows code page).
    void write(const QString& relative, const QStringList& lines) {
        const QString name = help + u'/' + relative;
        QDir().mkpath(QFileInfo(name).absolutePath());
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QStringEncoder encoder("windows-1252");
        const QByteArray bytes = encoder(lines.join(u"\r\n"_s) + u"\r\n"_s);
        file.write(bytes);
    }
    static QStringList captions(const QList<THelpNode>& nodes) {
        QStringList result;
        for (const THelpNode& n : nodes)
            result << n.caption;
        return result;
    }

    QString help;

private:
    QTemporaryDir m_root;
};

TEST_F(HelpTreeTest, DescribedFoldersAndDocumentsBecomeChaptersAndTopics) {
    write(u"Allgemein.txt"_s, {u"TITLE:Allgemeines"_s, u"Grundlagen der Bedienung"_s});
    write(u"Allgemein/Readme.TXT"_s,
          {u"TITLE:Erste Schritte"_s, u"FNAME:Start.pdf"_s, u"So beginnen Sie."_s});
    // Without FNAME nothing is added; the last line of a kind counts.
    write(u"Allgemein/Notiz.txt"_s, {u"TITLE:Nur Titel"_s, u"Text"_s});
    write(u"Allgemein/Zwei.txt"_s,
          {u"TITLE:Alt"_s, u"FNAME:alt.pdf"_s, u"TITLE:Neu"_s, u"FNAME:neu.html"_s});
    write(u"Allgemein/OhneTitel.txt"_s, {u"FNAME:x.pdf"_s});
    // Directly in the help folder a description file is never a topic.
    write(u"Direkt.txt"_s, {u"TITLE:Direkt"_s, u"FNAME:Direkt.pdf"_s});

    const QList<THelpNode> tree = ReadHelpTree(help);
    ASSERT_EQ(tree.size(), 1);
    const THelpNode& chapter = tree.first();
    EXPECT_EQ(chapter.kind, THelpNode::Chapter);
    EXPECT_EQ(chapter.caption, u"Allgemeines"_s);
    EXPECT_EQ(chapter.path, QDir(help).absoluteFilePath(u"Allgemein"_s));
    EXPECT_EQ(chapter.description, u"Grundlagen der Bedienung\r"_s);

    EXPECT_EQ(captions(chapter.children), (QStringList{QString(), u"Erste Schritte"_s, u"Neu"_s}));
    const THelpNode& start = chapter.children.at(1);
    EXPECT_EQ(start.kind, THelpNode::Topic);
    EXPECT_EQ(start.path, QDir(help).absoluteFilePath(u"Allgemein/Start.pdf"_s));
    EXPECT_EQ(start.description, u"So beginnen Sie.\r"_s);
    EXPECT_TRUE(chapter.children.at(2).path.endsWith(u"/Allgemein/neu.html"_s));
    EXPECT_TRUE(chapter.children.at(2).description.isEmpty());
}

TEST_F(HelpTreeTest, NestingSortingAndSkippedFolders) {
    write(u"B.txt"_s, {u"TITLE:Zubehör"_s});
    write(u"B/C.txt"_s, {u"TITLE:Änderungen"_s});
    write(u"B/C/t.txt"_s, {u"TITLE:tief"_s, u"FNAME:t.pdf"_s});
    write(u"B/x.txt"_s, {u"TITLE:abrechnung"_s, u"FNAME:x.pdf"_s});
    // An undescribed folder hands its topics to the node above.
    write(u"Ohne/Sub/o.txt"_s, {u"TITLE:Mahnwesen"_s, u"FNAME:o.pdf"_s});
    write(u".svn/s.txt"_s, {u"TITLE:versteckt"_s, u"FNAME:s.pdf"_s});
    // A folder described without a TITLE line is no chapter.
    write(u"D.txt"_s, {u"nur Text"_s});
    write(u"D/d.txt"_s, {u"TITLE:Datev"_s, u"FNAME:d.pdf"_s});

    const QList<THelpNode> tree = ReadHelpTree(help);
    EXPECT_EQ(captions(tree), (QStringList{u"Datev"_s, u"Mahnwesen"_s, u"Zubehör"_s}));
    const THelpNode& zubehoer = tree.at(2);
    EXPECT_EQ(captions(zubehoer.children), (QStringList{u"abrechnung"_s, u"Änderungen"_s}));
    EXPECT_EQ(captions(zubehoer.children.at(1).children), QStringList{u"tief"_s});
}

TEST_F(HelpTreeTest, MissingFolderGivesAnEmptyTree) {
    EXPECT_TRUE(ReadHelpTree(help).isEmpty());
    QDir().mkpath(help);
    EXPECT_TRUE(ReadHelpTree(help).isEmpty());
}

} // namespace
