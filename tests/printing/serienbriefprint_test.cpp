#include "core/data/datamodule.h"
#include "platform/errors.h"
#include "platform/report/paginator.h"
#include "platform/report/report.h"
#include "platform/report/reportoutput.h"
#include "platform/richtext/rtf.h"
#include "platform/table/table.h"
#include "printing/basereport.h"
#include "printing/companylogo.h"
#include "printing/layoutsave.h"
#include "printing/printingsetup.h"
#include "printing/reportentry.h"
#include "printing/serienbriefprint.h"
#include "printingfixture.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// What one output of the letter held: its texts, pictures, rich texts and
// the state of the logo control, page by page.
struct Letter {
    bool preview = false;
    bool progress = true;
    bool logoEnabled = false;
    QList<QStringList> texts; // per page
    QList<QImage> images;
    QList<std::shared_ptr<QTextDocument>> richTexts; // first slice of each
    QStringList richPages;                           // the rich texts' plain text per page
};

QString plainOf(const report::RichTextItem& item) {
    return item.document->toPlainText();
}

class SerienbriefPrintTest : public printingtest::PrintingDbFixture {
protected:
    SerienbriefPrintTest() : PrintingDbFixture(printingtest::ReportsOf::Program) {}
    void SetUp() override {
        PrintingDbFixture::SetUp();
        {
            // The new client's one company record.
            auto firma = open(u"Firmen.DB"_s);
            ASSERT_FALSE(firma->isEmpty());
            firma->first();
            firma->edit();
            firma->field(u"F_AbsenderZeileRg"_s)
                .setValue(u"Hausdienst Weiß · Ring 1 · 50667 Köln"_s);
            firma->field(u"F_REBriefkopf"_s).setValue(rtf(u"Hausdienst Weiß GmbH"_s));
            firma->field(u"F_REBrieffussRg"_s)
                .setValue(rtf(u"Sparkasse Köln · Fußzeile Rechnung"_s));
            firma->field(u"F_REBrieffussKA"_s).setValue(rtf(u"Fußzeile Kontrolle"_s));
            firma->post();
        }
        addAdress(1, 1, u"Erika Mustermann"_s, u"Sehr geehrte Frau Mustermann,"_s);
        addAdress(2, 2, u"Jürgen Größer"_s, u"Sehr geehrter Herr Größer,"_s);
        dm = std::make_unique<TDataModule1>();
        dm->DataModuleCreate();
        adress().open();
        letter = path(u"Brief.rtf"_s);
        writeLetter(letter);
        m_previous = SetReportOutput([this](report::Report& rep, bool preview, QWidget*) {
            ++outputs;
            if (onOutput)
                onOutput();
            out = capture(rep, preview);
            if (!pdfFile.isEmpty())
                report::writeReportPdf(rep, pdfFile);
        });
    }
    void TearDown() override {
        SetReportOutput(m_previous);
        SetFirmenLogoLoader({});
        dm.reset();
        PrintingDbFixture::TearDown();
    }

    static QString rtf(const QString& text) {
        return QString::fromLatin1(richtext::rtfFromPlainText(text));
    }
    void addAdress(int id, int nr, const QString& name, const QString& salutation) {
        addRow(u"Adress.DB"_s, {{u"A_ID"_s, id},
                                {u"A_Nr"_s, nr},
                                {u"A_Name1"_s, name},
                                {u"A_Name2"_s, u"Haus %1"_s.arg(nr)},
                                {u"A_Name3"_s, u"z. Hd. Verwaltung"_s},
                                {u"A_Strasse"_s, u"Lindenstraße %1"_s.arg(nr)},
                                {u"A_Plz"_s, u"5066%1"_s.arg(nr)},
                                {u"A_Ort"_s, u"Düsseldorf"_s},
                                {u"A_BriefAnrede"_s, salutation}});
    }
    // Three paragraphs, umlauts, one bold word.
    static void writeLetter(const QString& file, int extraParagraphs = 0) {
        QTextDocument doc;
        QTextCursor c(&doc);
        c.insertText(u"die Nebenkostenabrechnung für Ihr Objekt liegt bei."_s);
        c.insertBlock();
        c.insertText(u"Bitte beachten Sie die "_s);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        c.insertText(u"geänderte"_s, bold);
        c.insertText(u" Fälligkeit."_s, QTextCharFormat());
        for (int i = 1; i <= extraParagraphs; ++i) {
            c.insertBlock();
            c.insertText(u"Absatz %1 der Anlage"_s.arg(i));
        }
        c.insertBlock();
        c.insertText(u"Mit freundlichen Grüßen"_s);
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(richtext::toRtf(doc));
    }
    static Letter capture(report::Report& rep, bool preview) {
        Letter l;
        l.preview = preview;
        l.progress = rep.printSettings().showProgress;
        l.logoEnabled = rep.component(u"F_Logo"_s).enabled;
        const report::Document doc = report::paginate(rep);
        for (const report::Page& page : doc.pages) {
            QStringList texts;
            QString rich;
            for (const report::PageItem& item : page.items) {
                if (const auto* t = std::get_if<report::TextItem>(&item))
                    texts.append(t->text);
                else if (const auto* i = std::get_if<report::ImageItem>(&item))
                    l.images.append(i->image);
                else if (const auto* r = std::get_if<report::RichTextItem>(&item)) {
                    if (r->docTop == 0)
                        l.richTexts.append(r->document);
                    rich += plainOf(*r) + u'\n';
                }
            }
            l.texts.append(texts);
            l.richPages.append(rich);
        }
        return l;
    }
    table::Table& adress() { return dm->TabAdress(); }
    void onAddress(int nr) { ASSERT_TRUE(adress().locate({u"A_Nr"_s}, {nr})); }
    // The letter's body: the rich text that holds the greeting.
    std::shared_ptr<QTextDocument> body() const {
        for (const auto& doc : out.richTexts)
            if (doc->toPlainText().contains(u"Grüßen"_s))
                return doc;
        return nullptr;
    }
    // A layout of the serial letter with the logo switched on or off.
    QString layoutWithLogo(bool enabled) {
        auto rep = report::Report::create(u"TQRAnschreib01"_s);
        rep->component(u"F_Logo"_s).enabled = enabled;
        const QString file = QrfdDir + u"ORM80001.QFD"_s;
        EXPECT_TRUE(SaveFormLayoutFile(file, *rep, u"Serienbrief"_s));
        return file;
    }

    std::unique_ptr<TDataModule1> dm;
    QString letter;
    QString pdfFile;
    Letter out;
    int outputs = 0;
    std::function<void()> onOutput;

private:
    ReportOutput m_previous;
};

TEST_F(SerienbriefPrintTest, TheReportHasTheControlsLayoutsAddress) {
    auto rep = report::Report::create(u"TQRAnschreib01"_s);
    EXPECT_EQ(rep->def().title, u"Serienbrief"_s);
    EXPECT_FALSE(rep->def().landscape);
    EXPECT_TRUE(rep->def().options.lastPageFooter);
    using report::ComponentClass;
    const struct {
        const char* name;
        ComponentClass cls;
        const char* field;
    } controls[] = {
        {"R_Firmenkopf", ComponentClass::DBRichText, "F_REBriefkopf"},
        {"F_Logo", ComponentClass::Image, ""},
        {"R_Absenderzeile", ComponentClass::DBText, "F_AbsenderZeileRg"},
        {"R_Name1", ComponentClass::DBText, "A_Name1"},
        {"R_Name2", ComponentClass::DBText, "A_Name2"},
        {"R_Name3", ComponentClass::DBText, "A_Name3"},
        {"R_Strasse", ComponentClass::DBText, "A_Strasse"},
        {"R_Plz", ComponentClass::DBText, "A_Plz"},
        {"R_Ort", ComponentClass::DBText, "A_Ort"},
        {"R_Briefanrede", ComponentClass::DBText, "A_BriefAnrede"},
        {"QR_DruckDatum", ComponentClass::SysData, ""},
        {"L_Falzmarke", ComponentClass::Label, ""},
        {"QRLabel1", ComponentClass::Label, ""},
        {"R_Textbereich", ComponentClass::RichText, ""},
        {"R_Firmenfuss", ComponentClass::DBRichText, "F_REBrieffussRg"},
        {"R_Listenfuss", ComponentClass::DBRichText, "F_REBrieffussKA"},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        const report::Component* found = rep->find(QString::fromLatin1(c.name));
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->cls, c.cls);
        EXPECT_EQ(found->field, QString::fromLatin1(c.field));
        EXPECT_EQ(found->enabled, QByteArray(c.name) != "R_Listenfuss");
    }
    EXPECT_EQ(rep->component(u"L_Falzmarke"_s).caption, u"_"_s);
    EXPECT_EQ(rep->component(u"QRLabel1"_s).caption, QString(10, u' '));
    EXPECT_EQ(rep->component(u"R_Firmenfuss"_s).parent, u"PageFooterBand1"_s);
    EXPECT_EQ(rep->component(u"R_Textbereich"_s).parent, u"TitleBand1"_s);

    // The designer opens on it ("&Bearbeiten" of a type-80000 form).
    QList<ControlEntry> list;
    DesignMargins margins;
    ASSERT_TRUE(GetControlList(80000, QString(), list, margins));
    QStringList names;
    for (const ControlEntry& e : list)
        names << e.name;
    EXPECT_TRUE(names.contains(u"R_Textbereich"_s));
    EXPECT_TRUE(names.contains(u"L_Falzmarke"_s));
    FreeBaseReport();
}

// The letter to the address the table stands on: its recipient lines and
// salutation, the sender line, letterhead and footer, today's date, and the
// letter file's text with its umlauts, bold word and paragraphs.
TEST_F(SerienbriefPrintTest, PrintsTheLetterToTheCurrentAddress) {
    onAddress(2);
    PrintSerienbrief(true, letter, QString());
    ASSERT_EQ(outputs, 1);
    EXPECT_TRUE(out.preview);
    EXPECT_FALSE(out.progress) << "no progress window";
    ASSERT_EQ(out.texts.size(), 1);
    const QStringList& texts = out.texts[0];
    for (const QString& expected :
         {u"Jürgen Größer"_s, u"Haus 2"_s, u"z. Hd. Verwaltung"_s, u"Lindenstraße 2"_s, u"50662"_s,
          u"Düsseldorf"_s, u"Sehr geehrter Herr Größer,"_s,
          u"Hausdienst Weiß · Ring 1 · 50667 Köln"_s, u"_"_s,
          QDate::currentDate().toString(u"dd.MM.yyyy"_s)})
        EXPECT_TRUE(texts.contains(expected)) << expected.toStdString();
    EXPECT_FALSE(texts.contains(u"Erika Mustermann"_s));
    EXPECT_TRUE(out.richPages[0].contains(u"Hausdienst Weiß GmbH"_s));
    EXPECT_TRUE(out.richPages[0].contains(u"Fußzeile Rechnung"_s));
    EXPECT_FALSE(out.richPages[0].contains(u"Fußzeile Kontrolle"_s)) << "R_Listenfuss is off";

    const auto text = body();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->blockCount(), 3);
    EXPECT_EQ(text->toPlainText(),
              u"die Nebenkostenabrechnung für Ihr Objekt liegt bei.\n"
              u"Bitte beachten Sie die geänderte Fälligkeit.\nMit freundlichen Grüßen"_s);
    const QTextBlock second = text->findBlockByNumber(1);
    bool boldSeen = false;
    for (auto it = second.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (f.text() == u"geänderte"_s)
            boldSeen = f.charFormat().fontWeight() >= QFont::Bold;
        else
            EXPECT_LT(f.charFormat().fontWeight(), QFont::Bold) << f.text().toStdString();
    }
    EXPECT_TRUE(boldSeen);

    // The next address gets its own letter.
    onAddress(1);
    PrintSerienbrief(false, letter, QString());
    EXPECT_FALSE(out.preview);
    EXPECT_TRUE(out.texts[0].contains(u"Erika Mustermann"_s));
    EXPECT_FALSE(out.texts[0].contains(u"Jürgen Größer"_s));
}

// A long letter runs over onto further pages, each with the footer, the last
// one included; the address stays on the first.
TEST_F(SerienbriefPrintTest, ALongLetterGoesOnWithTheFooterOnEveryPage) {
    writeLetter(letter, 120);
    onAddress(1);
    PrintSerienbrief(true, letter, QString());
    ASSERT_GE(out.texts.size(), 3);
    for (int p = 0; p < out.richPages.size(); ++p) {
        EXPECT_TRUE(out.richPages[p].contains(u"Fußzeile Rechnung"_s)) << p;
        EXPECT_EQ(out.texts[p].contains(u"Erika Mustermann"_s), p == 0) << p;
    }
    EXPECT_TRUE(out.richPages.last().contains(u"Grüßen"_s));
    EXPECT_TRUE(out.richPages[1].contains(u"Absatz 60 der Anlage"_s) ||
                out.richPages[2].contains(u"Absatz 60 der Anlage"_s));
}

// The logo goes in only where the design shows it, before the layout; the
// layout may still switch the control off (no logo) or on (an empty area).
TEST_F(SerienbriefPrintTest, TheLogoFollowsTheDesignTheLayoutAndTheCompany) {
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::red);
    const struct {
        const char* what;
        bool companyHasLogo;
        std::optional<bool> layoutShows; // nullopt: the shipped layout
        bool enabledAtPrint;
        bool picturePrinted;
    } cases[] = {
        {"design, logo", true, std::nullopt, true, true},
        {"design, no logo", false, std::nullopt, false, false},
        {"layout off, logo", true, false, false, false},
        {"layout on, logo", true, true, true, true},
        {"layout on, no logo: an empty area", false, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int loads = 0;
        SetFirmenLogoLoader([&](QImage& picture) {
            ++loads;
            picture = c.companyHasLogo ? logo : QImage();
            return c.companyHasLogo;
        });
        const QString layout = c.layoutShows ? layoutWithLogo(*c.layoutShows) : QString();
        onAddress(1);
        PrintSerienbrief(true, letter, layout);
        EXPECT_EQ(loads, 1) << "the design shows the logo";
        EXPECT_EQ(out.logoEnabled, c.enabledAtPrint);
        EXPECT_EQ(!out.images.isEmpty() && !out.images.first().isNull(), c.picturePrinted);
    }
}

TEST_F(SerienbriefPrintTest, ASecondCallWhileThePreviewIsOpenReturnsAtOnce) {
    onAddress(1);
    int inner = -1;
    onOutput = [&] {
        const int before = outputs;
        PrintSerienbrief(false, letter, QString());
        inner = outputs - before;
    };
    PrintSerienbrief(true, letter, QString());
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(outputs, 1);
    onOutput = {};
    PrintSerienbrief(false, letter, QString());
    EXPECT_EQ(outputs, 2) << "free again afterwards";
}

// Nothing is shown or printed from a letter that cannot be read: the caller
// learns it and writes no protocol.
TEST_F(SerienbriefPrintTest, AnUnreadableLetterRaisesBeforeAnythingIsShown) {
    const QString plain = path(u"Notiz.txt"_s);
    {
        QFile f(plain);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Nur Text, kein RTF");
    }
    const QString empty = path(u"Leer.rtf"_s);
    {
        QFile f(empty);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    onAddress(1);
    for (const QString& file : {path(u"fehlt.rtf"_s), plain, empty, path(QString())}) {
        SCOPED_TRACE(file.toStdString());
        try {
            PrintSerienbrief(true, file, QString());
            ADD_FAILURE() << "no error";
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(), u"Die Briefdatei %1 kann nicht gelesen werden."_s.arg(file));
        }
    }
    EXPECT_EQ(outputs, 0);
    PrintSerienbrief(true, letter, QString());
    EXPECT_EQ(outputs, 1) << "the entry is free again";
}

// The letter as the PDF printer writes it, fonts embedded: umlauts survive.
TEST_F(SerienbriefPrintTest, ThePdfHoldsTheLetter) {
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty()) {
        if (qEnvironmentVariableIsSet("CI"))
            FAIL() << "pdftotext is missing";
        GTEST_SKIP() << "pdftotext is missing";
    }
    pdfFile = path(u"brief.pdf"_s);
    onAddress(2);
    PrintSerienbrief(false, letter, QString());
    QProcess p;
    p.start(u"pdftotext"_s, {pdfFile, u"-"_s});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const QString& expected : {u"Jürgen Größer"_s, u"Sehr geehrter Herr Größer,"_s,
                                    u"geänderte Fälligkeit"_s, u"Mit freundlichen Grüßen"_s})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n"
                                             << text.toStdString();
}

} // namespace
