#include "core/files/programdirs.h"
#include "core/framefixture.h"
#include "core/gui/helpview.h"
#include "core/gui/mainform.h"
#include "core/messages/helptopics.h"
#include "core/messages/manuals.h"
#include "core/moduleentries.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

class HelpViewTest : public frametest::ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        m_previous = SetDocumentOpener([this](const QString& path, DocumentVerb) {
            opened << path;
            return true;
        });
    }
    void TearDown() override {
        SetDocumentOpener(m_previous);
        ProgramDirFixture::TearDown();
    }
    void describe(const QString& relative, const QString& text) {
        QStringEncoder encoder("windows-1252");
        const QByteArray bytes = encoder(text);
        writeBytes(HelpDirectory() + u'/' + relative, bytes);
    }
    QTreeWidgetItem* find(TF_HelpView& view, const QString& caption) {
        const auto items = view.TV->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        return items.isEmpty() ? nullptr : items.first();
    }

    QStringList opened;

private:
    DocumentOpener m_previous;
};

TEST_F(HelpViewTest, TopicShowsItsDocumentAndOpensIt) {
    describe(u"Allgemein.txt"_s, u"TITLE:Allgemeines\r\nÜberblick\r\n"_s);
    describe(u"Allgemein/Readme.TXT"_s,
             u"TITLE:Erste Schritte\r\nFNAME:Start.pdf\r\nZeile eins\r\nZeile zwei\r\n"_s);
    TF_HelpView view;
    view.fillTree(HelpDirectory());
    const QString folder =
        QDir::toNativeSeparators(QDir(HelpDirectory()).absoluteFilePath(u"Allgemein"_s));

    QTreeWidgetItem* chapter = find(view, u"Allgemeines"_s);
    ASSERT_NE(chapter, nullptr);
    view.TV->setCurrentItem(chapter);
    EXPECT_EQ(view.lbVerzeichnis->text(), folder);
    EXPECT_TRUE(view.lbDokument->text().isEmpty());
    EXPECT_FALSE(view.btnAnzeigen->isEnabled());
    EXPECT_EQ(view.Memo->toPlainText(), u"Überblick"_s);
    view.TVDblClick();
    EXPECT_TRUE(opened.isEmpty()) << "a chapter opens nothing";

    QTreeWidgetItem* topic = find(view, u"Erste Schritte"_s);
    ASSERT_NE(topic, nullptr);
    EXPECT_EQ(topic->parent(), chapter);
    EXPECT_TRUE(topic->font(0).bold());
    view.TV->setCurrentItem(topic);
    EXPECT_EQ(view.lbVerzeichnis->text(), folder);
    EXPECT_EQ(view.lbDokument->text(), folder + QDir::separator() + u"Start.pdf"_s);
    EXPECT_EQ(view.Memo->toPlainText(), u"Zeile eins\nZeile zwei"_s);
    ASSERT_TRUE(view.btnAnzeigen->isEnabled());

    const QString document = HelpDirectory() + u"/Allgemein/Start.pdf"_s;
    view.btnAnzeigen->click();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(view.TV, &enter);
    QKeyEvent shiftEnter(QEvent::KeyPress, Qt::Key_Return, Qt::ShiftModifier);
    QCoreApplication::sendEvent(view.TV, &shiftEnter);
    ASSERT_EQ(opened.size(), 2) << "button and plain Enter open; Shift+Enter does not";
    for (const QString& path : opened)
        EXPECT_EQ(QFileInfo(path).absoluteFilePath(), QFileInfo(document).absoluteFilePath());
}

TEST_F(HelpViewTest, HelpMenuOpensTheManuals) {
    ModuleDispatcher dispatcher;
    TF_LumoMain window(dispatcher);
    const struct {
        const char16_t* caption;
        const char16_t* path;
    } cases[] = {{u"Online-Handbuch", u"Handbuch/Index.html"},
                 {u"Erste Schritte", u"Handbuch/FirstSteps.pdf"},
                 {u"Domvera Handbuch", u"Handbuch/Handbuchv2x.pdf"},
                 {u"Update Version 2.20/2.30", u"Handbuch/AddV230.pdf"}};
    for (const auto& c : cases) {
        const QString file = ProgramDir + QString::fromUtf16(c.path);
        QAction* item = window.menuItem(u"Hilfe"_s, QString::fromUtf16(c.caption));
        ASSERT_NE(item, nullptr);
        // A missing manual is named, not silently passed over.
        opened.clear();
        presenter.boxes.clear();
        item->trigger();
        EXPECT_TRUE(opened.isEmpty());
        EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error),
                  QStringList{u"Die Handbuchdatei\r"_s + QDir::toNativeSeparators(file) +
                              u"\rist nicht vorhanden."_s});
        writeBytes(file, "%PDF");
        presenter.boxes.clear();
        item->trigger();
        EXPECT_EQ(opened, QStringList{file});
        EXPECT_TRUE(presenter.boxes.isEmpty());
    }
    opened.clear();
    const QString page = ProgramDir + u"Handbuch/Html/Firmendaten.html"_s;
    writeBytes(page, "<html></html>");
    ShowHandbuchPage(u"Firmendaten.html"_s);
    EXPECT_EQ(opened, QStringList{page});

    // No program takes the file.
    SetDocumentOpener([](const QString&, DocumentVerb) { return false; });
    presenter.boxes.clear();
    ShowHandbuchPage(u"Firmendaten.html"_s);
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error),
              QStringList{u"Die Handbuchdatei\r"_s + QDir::toNativeSeparators(page) +
                          u"\rkann nicht geöffnet werden: Für diese Datei ist kein Programm "
                          u"eingerichtet."_s});
}

TEST_F(HelpViewTest, PageIsFoundWhateverTheCaseItIsAskedIn) {
    const QString page = ProgramDir + u"Handbuch/Html/Rechnungen.html"_s;
    writeBytes(page, "<html></html>");
    for (const QString& asked :
         {u"Rechnungen.html"_s, u"rechnungen.html"_s, u"RECHNUNGEN.HTML"_s}) {
        opened.clear();
        ShowHandbuchPage(asked);
        EXPECT_EQ(opened, QStringList{page}) << qPrintable(asked);
    }
    EXPECT_TRUE(presenter.boxes.isEmpty());
    // A page missing under every case is named as it was asked for.
    ShowHandbuchPage(u"Gutschriften.html"_s);
    EXPECT_EQ(
        presenter.texts(MessagePresenter::Kind::Error),
        QStringList{u"Die Handbuchdatei\r"_s +
                    QDir::toNativeSeparators(ProgramDir + u"Handbuch/Html/Gutschriften.html"_s) +
                    u"\rist nicht vorhanden."_s});
}

TEST_F(HelpViewTest, TopicDocumentOutsideItsFolderIsShownAsAPlainPath) {
    describe(u"Stammdaten.txt"_s, u"TITLE:Stammdaten\r\n"_s);
    describe(u"Stammdaten/kunden.txt"_s,
             u"TITLE:Kunden\r\nFNAME:../../Handbuch/Html/kunden.html\r\nDie Kunden.\r\n"_s);
    TF_HelpView view;
    view.fillTree(HelpDirectory());
    QTreeWidgetItem* topic = find(view, u"Kunden"_s);
    ASSERT_NE(topic, nullptr);
    view.TV->setCurrentItem(topic);
    const QString page = QDir::cleanPath(ProgramDir + u"Handbuch/Html/kunden.html"_s);
    EXPECT_EQ(view.lbDokument->text(), QDir::toNativeSeparators(page));
    view.btnAnzeigen->click();
    EXPECT_EQ(opened, QStringList{page});
}

} // namespace
