#include "masterdata/adressfixture.h"
#include "masterdata/serienbrief.h"
#include "platform/errors.h"
#include "platform/report/paginator.h"
#include "platform/report/report.h"
#include "platform/report/reportoutput.h"
#include "platform/richtext/rtf.h"
#include "printing/printingsetup.h"
#include "printing/reportentry.h"
#include "printing/serienbriefprint.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

// The serial letter over a fixture of addresses with the real letter print:
// what each printed letter was addressed to, and the protocol it left.
class SerienbriefLetters : public AdressFixture {
protected:
    void SetUp() override {
        AdressFixture::SetUp();
        InitPrinting();
        // Addresses 1 to 5, in Köln from 3 on; 2, 4 and 5 marked.
        for (int nr = 1; nr <= 5; ++nr)
            addRow(u"Adress.DB"_s, {{u"A_ID"_s, 10 * nr},
                                    {u"A_Nr"_s, nr},
                                    {u"A_Name1"_s, u"Empfänger %1"_s.arg(nr)},
                                    {u"A_Ort"_s, nr <= 2 ? u"Bonn"_s : u"Köln"_s},
                                    {u"A_Selected"_s, nr == 2 || nr >= 4}});
        letter = path(u"Rundschreiben.rtf"_s);
        QFile file(letter);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(richtext::rtfFromPlainText(u"Sehr geehrte Damen und Herren,\nes grüßt"_s));
        file.close();
        m_previous = SetReportOutput([this](report::Report& rep, bool preview, QWidget*) {
            const report::Document doc = report::paginate(rep);
            QString to;
            for (const report::PageItem& item : doc.pages.at(0).items)
                if (const auto* t = std::get_if<report::TextItem>(&item);
                    t && t->text.startsWith(u"Empfänger"_s))
                    to = t->text;
            printed.append((preview ? u"Vorschau "_s : u"Druck "_s) + to);
        });
        dialogs.editLetter = [this] { return letter; };
        dialogs.chooseLayout = [] { return std::optional<QString>(QString()); };
        dialogs.ask = [this](const QString& question) {
            questions << question;
            return answers.isEmpty() ? false : answers.takeFirst();
        };
        dialogs.askSubject = [this] { return subject; };
        // The user's view: the Köln addresses under an expression filter.
        adress().setFilter(u"A_Ort='Köln'"_s);
        adress().setFiltered(true);
        adress().first();
    }
    void TearDown() override {
        SetReportOutput(m_previous);
        AdressFixture::TearDown();
    }
    int run() { return RunSerienbrief(dialogs, &PrintSerienbrief); }
    QStringList protocol() {
        QStringList rows;
        auto t = open(u"AdrProto.DB"_s);
        for (t->first(); !t->eof(); t->next())
            rows << u"%1 %2"_s.arg(t->field(u"AP_Adr"_s).asInteger())
                        .arg(t->field(u"AP_Text"_s).asString());
        return rows;
    }
    void expectViewRestored() {
        EXPECT_EQ(adress().filter(), u"A_Ort='Köln'"_s);
        EXPECT_TRUE(adress().isFiltered());
        EXPECT_EQ(shown(), (QList<int>{3, 4, 5}));
    }

    QString letter;
    SerienbriefDialogs dialogs;
    QList<bool> answers;
    QString subject;
    QStringList questions;
    QStringList printed;

private:
    ReportOutput m_previous;
};

// The marks of the whole table count, whatever the expression filter shows;
// a cancelled subject notes "Serienbrief verschickt".
TEST_F(SerienbriefLetters, EveryMarkedAddressGetsItsLetterAndAProtocolRow) {
    answers = {true, true};
    subject.clear(); // cancelled
    EXPECT_EQ(run(), 3);
    EXPECT_EQ(printed, (QStringList{u"Vorschau Empfänger 2"_s, u"Druck Empfänger 2"_s,
                                    u"Druck Empfänger 4"_s, u"Druck Empfänger 5"_s}));
    EXPECT_EQ(protocol(),
              (QStringList{u"20 Serienbrief verschickt"_s, u"40 Serienbrief verschickt"_s,
                           u"50 Serienbrief verschickt"_s}));
    expectViewRestored();
}

TEST_F(SerienbriefLetters, NoToPrintingPrintsNothingAndWritesNoProtocol) {
    answers = {false};
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(printed, QStringList{u"Vorschau Empfänger 2"_s});
    EXPECT_EQ(questions, QStringList{u"Drucken?"_s});
    EXPECT_TRUE(protocol().isEmpty());
    expectViewRestored();
}

// A letter file without rich text stops the run before the preview: nothing
// printed, nothing noted, the view as it was.
TEST_F(SerienbriefLetters, AnUnreadableLetterStopsBeforeThePreview) {
    QFile file(letter);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("kein Brief");
    file.close();
    answers = {true, true};
    try {
        run();
        ADD_FAILURE() << "the letter was taken";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), u"Die Briefdatei %1 kann nicht gelesen werden."_s.arg(letter));
    }
    EXPECT_TRUE(printed.isEmpty());
    EXPECT_TRUE(questions.isEmpty()) << "not even asked to print";
    EXPECT_TRUE(protocol().isEmpty());
    expectViewRestored();
}

} // namespace
