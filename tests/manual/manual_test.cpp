#include "core/files/manualinstall.h"
#include "core/messages/helptopics.h"
#include "manual/manualcontent.h"
#include "manual/manualsource.h"
#include "manual/manualwriter.h"
#include "support/testdirs.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
    return file.readAll();
}

QString handbuch() {
    return ShippedManualDirectory() + u"/Handbuch"_s;
}

// Names in the directory, in lower case: the program finds a page under any case.
QSet<QString> lowerNames(const QString& dir) {
    QSet<QString> names;
    for (const QString& name : QDir(dir).entryList(QDir::Files))
        names.insert(name.toLower());
    return names;
}

// Every string literal of the program's sources (a folder or one file below
// src/) that matches the pattern.
QSet<QString> literalsInSources(const QRegularExpression& pattern, const QString& under) {
    const QString root = testsupport::sourceDir() + u"/src/"_s + under;
    QStringList files;
    if (QFileInfo(root).isFile())
        files << root;
    QDirIterator it(root, {u"*.cpp"_s, u"*.h"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    QSet<QString> found;
    for (const QString& file : std::as_const(files)) {
        const QString text = QString::fromUtf8(readAll(file));
        for (const QRegularExpressionMatch& m : pattern.globalMatch(text))
            found.insert(m.captured(1));
    }
    return found;
}

int pdfPageCount(const QByteArray& pdf) {
    static const QRegularExpression pages(
        u"/Type /Pages\\s*/Kids\\s*\\[[^\\]]*\\]\\s*/Count (\\d+)"_s);
    const QRegularExpressionMatch m = pages.match(QString::fromLatin1(pdf));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

TEST(ManualTest, EveryPageAndManualTheProgramOpensIsBuilt) {
    // The "?Info?" buttons name their pages as literals, directly or in a
    // window's declaration.
    const QSet<QString> pages =
        literalsInSources(QRegularExpression(u"\"([A-Za-z0-9_.-]+\\.html)\""_s), QString());
    ASSERT_GE(pages.size(), 25) << "the scan of the sources found the pages";
    const QSet<QString> built = lowerNames(handbuch() + u"/Html"_s);
    for (const QString& page : pages) {
        if (page == u"Index.html")
            continue;
        EXPECT_TRUE(built.contains(page.toLower())) << "no manual page " << qPrintable(page);
    }
    const QSet<QString> files = literalsInSources(
        QRegularExpression(u"\"([A-Za-z0-9_.-]+\\.pdf)\""_s), u"core/gui/mainform.cpp"_s);
    EXPECT_EQ(files, (QSet<QString>{u"FirstSteps.pdf"_s, u"Handbuchv2x.pdf"_s, u"AddV230.pdf"_s}));
    for (const QString& file : files)
        EXPECT_TRUE(QFileInfo(handbuch() + u'/' + file).isFile()) << qPrintable(file);
    EXPECT_TRUE(QFileInfo(handbuch() + u"/Index.html"_s).isFile());
}

TEST(ManualTest, IndexLinksEveryPageAndNoLinkOrPictureIsBroken) {
    static const QRegularExpression reference(u"(?:href|src)=\"([^\"#]+)"_s);
    QSet<QString> linkedFromIndex;
    QStringList documents{handbuch() + u"/Index.html"_s};
    for (const QString& page : QDir(handbuch() + u"/Html"_s).entryList({u"*.html"_s}))
        documents << handbuch() + u"/Html/"_s + page;
    for (const QString& document : documents) {
        const QString text = QString::fromUtf8(readAll(document));
        EXPECT_TRUE(text.contains(u"<h1"_s)) << qPrintable(document);
        for (const QRegularExpressionMatch& m : reference.globalMatch(text)) {
            const QString target = m.captured(1);
            if (target.startsWith(u"http"_s) || target.startsWith(u"mailto:"_s))
                continue;
            const QString path = QDir::cleanPath(QFileInfo(document).path() + u'/' + target);
            EXPECT_TRUE(QFileInfo(path).isFile())
                << qPrintable(document) << " links to missing " << qPrintable(target);
            if (document.endsWith(u"/Index.html"_s))
                linkedFromIndex.insert(QFileInfo(path).fileName());
        }
    }
    for (const QString& page : QDir(handbuch() + u"/Html"_s).entryList({u"*.html"_s}))
        EXPECT_TRUE(linkedFromIndex.contains(page)) << "Index.html misses " << qPrintable(page);
}

TEST(ManualTest, PdfsAreBuiltWithPages) {
    int firstSteps = 0;
    for (const QString& name : {u"FirstSteps.pdf"_s, u"Handbuchv2x.pdf"_s, u"AddV230.pdf"_s}) {
        const QByteArray pdf = readAll(handbuch() + u'/' + name);
        EXPECT_TRUE(pdf.startsWith("%PDF-")) << qPrintable(name);
        const int count = pdfPageCount(pdf);
        EXPECT_GT(count, 0) << qPrintable(name);
        if (name == u"FirstSteps.pdf") {
            firstSteps = count;
        } else if (name == u"Handbuchv2x.pdf") {
            EXPECT_GT(count, firstSteps) << "the whole manual holds the first steps and more";
        }
    }
}

// The contents of the whole manual point to the pages its headings are on:
// each page of the manual starts a new sheet after the contents.
TEST(ManualTest, ContentsOfTheWholeManualCountPages) {
    const ManualSource source = ReadManualSource(testsupport::sourceDir() + u"/manual/de"_s);
    QTemporaryDir dir;
    const QString file = dir.filePath(u"Handbuch.pdf"_s);
    const QList<ManualContentsEntry> entries =
        WriteManualPdf(source, file, u"Domvera Handbuch"_s, {}, u"2.40"_s);
    const int count = pdfPageCount(readAll(file));
    ASSERT_EQ(entries.size(), source.chapters.size() + source.allPages().size());
    EXPECT_EQ(entries.first().title, source.chapters.first().title);
    EXPECT_GT(entries.first().page, 1) << "the contents come first";
    int previousPage = 0;
    for (const ManualContentsEntry& e : entries) {
        if (e.level == 2)
            EXPECT_GT(e.page, previousPage) << qPrintable(e.title) << " starts a new sheet";
        else
            EXPECT_GT(e.page, previousPage) << qPrintable(e.title);
        if (e.level == 2)
            previousPage = e.page;
        EXPECT_LE(e.page, count);
    }
}

TEST(ManualTest, HelpFolderShowsChaptersWhoseTopicsOpenTheManual) {
    QTemporaryDir program;
    const ManualInstallReport report =
        InstallManual(ShippedManualDirectory(), program.path(), u"2.40"_s);
    ASSERT_TRUE(report.failed.isEmpty());
    const ManualSource source = ReadManualSource(testsupport::sourceDir() + u"/manual/de"_s);

    const QList<THelpNode> tree = ReadHelpTree(program.path() + u"/Help"_s);
    QStringList chapters;
    QSet<QString> documents;
    for (const THelpNode& chapter : tree) {
        chapters << chapter.caption;
        EXPECT_EQ(chapter.kind, THelpNode::Chapter);
        EXPECT_FALSE(chapter.children.isEmpty()) << qPrintable(chapter.caption);
        for (const THelpNode& topic : chapter.children) {
            EXPECT_EQ(topic.kind, THelpNode::Topic) << qPrintable(topic.caption);
            EXPECT_FALSE(topic.caption.isEmpty());
            EXPECT_FALSE(topic.description.isEmpty()) << qPrintable(topic.caption);
            EXPECT_TRUE(QFileInfo(topic.path).isFile()) << qPrintable(topic.path);
            documents.insert(QDir(program.path()).relativeFilePath(topic.path));
        }
    }
    QStringList expectedChapters{u"Handbücher zum Ausdrucken"_s};
    for (const ManualChapter& chapter : source.chapters)
        expectedChapters << chapter.title;
    std::ranges::sort(chapters);
    std::ranges::sort(expectedChapters);
    EXPECT_EQ(chapters, expectedChapters);
    for (const ManualPage* page : source.allPages())
        EXPECT_TRUE(documents.contains(u"Handbuch/Html/"_s + page->htmlName))
            << qPrintable(page->htmlName);
    for (const QString& file : {u"Handbuch/Index.html"_s, u"Handbuch/FirstSteps.pdf"_s,
                                u"Handbuch/Handbuchv2x.pdf"_s, u"Handbuch/AddV230.pdf"_s})
        EXPECT_TRUE(documents.contains(file)) << qPrintable(file);
}

TEST(ManualSourceTest, FaultsInTheContentsFileAreNamed) {
    const struct {
        const char* contents;
        const char* fault;
    } cases[] = {
        {"seite.md\n", "Seite vor dem ersten Kapitel"},
        {"== A\nfehlt.md\n", "fehlt.md kann nicht gelesen werden"},
        {"== A\nohne.md\n", "ohne.md beginnt nicht mit einer Überschrift"},
        {"== A\nseite.md\nSeite.md\n", "Seite.md steht zweimal im Inhalt"},
        {"== A\nseite.md\nPDF x.pdf | X | andere.md\n", "x.pdf nennt andere.md"},
        {"== A\nirgendwas\n", "inhalt.txt, Zeile 2: unbekannte Zeile"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const auto put = [&](const QString& name, const QByteArray& text) {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(text);
        };
        put(u"inhalt.txt"_s, c.contents);
        put(u"seite.md"_s, "# Seite\n\nWozu sie dient.\n");
        put(u"ohne.md"_s, "Text ohne Überschrift\n");
        try {
            ReadManualSource(dir.path());
            ADD_FAILURE() << "accepted: " << c.contents;
        } catch (const ManualError& error) {
            EXPECT_TRUE(error.message.contains(QString::fromUtf8(c.fault)))
                << qPrintable(error.message);
        }
    }
}

TEST(ManualSourceTest, PageTitleSummaryAndChapterFolder) {
    QTemporaryDir dir;
    QFile contents(dir.filePath(u"inhalt.txt"_s));
    ASSERT_TRUE(contents.open(QIODevice::WriteOnly));
    contents.write("== Touren und Tageslisten\n> Planen.\n> Abrechnen.\nTageslisten.md\n");
    contents.close();
    QFile page(dir.filePath(u"Tageslisten.md"_s));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write(
        "\n# Tageslisten\n\nWas die [Touren](Touren.html) an einem Tag\n**tun**.\n\n## Mehr\n");
    page.close();
    const ManualSource source = ReadManualSource(dir.path());
    ASSERT_EQ(source.chapters.size(), 1);
    EXPECT_EQ(source.chapters[0].folder, u"Touren_und_Tageslisten"_s);
    EXPECT_EQ(source.chapters[0].description, u"Planen.\nAbrechnen."_s);
    const ManualPage& p = source.chapters[0].pages.at(0);
    EXPECT_EQ(p.htmlName, u"Tageslisten.html"_s);
    EXPECT_EQ(p.title, u"Tageslisten"_s);
    EXPECT_EQ(p.summary, u"Was die Touren an einem Tag tun."_s);
    EXPECT_EQ(ManualFolderName(u"Einkauf & Lager: Übersicht"_s), u"Einkauf___Lager__Uebersicht"_s);
}

} // namespace
