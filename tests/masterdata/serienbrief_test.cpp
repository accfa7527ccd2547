#include "adressfixture.h"
#include "masterdata/serienbrief.h"
#include "platform/errors.h"

#include <QDate>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {

// One call of the letter's report entry, with the address it was made for
// and the address table's filter at that moment.
struct PrintCall {
    bool preview = false;
    QString letter;
    QString layout;
    int adressNr = 0;
    QString filter;
    bool operator==(const PrintCall&) const = default;
};

struct ProtoRow {
    int adress = 0;
    int art = 0;
    QString text;
    bool operator==(const ProtoRow&) const = default;
};

class Serienbrief : public AdressFixture {
protected:
    void SetUp() override {
        AdressFixture::SetUp();
        letter = path(u"Rundschreiben.rtf"_s);
        QFile file(letter);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("{\\rtf1 Sehr geehrte Damen und Herren}");
        // Addresses 1 to 5 in Stuttgart (1, 2) and Köln; 3, 4 and 5 marked.
        for (int nr = 1; nr <= 5; ++nr)
            addRow(u"Adress.DB"_s, {{u"A_ID"_s, 10 * nr},
                                    {u"A_Nr"_s, nr},
                                    {u"A_Ort"_s, nr <= 2 ? u"Stuttgart"_s : u"Köln"_s},
                                    {u"A_Telefon"_s, nr == 5 ? u"0711 4711"_s : u"089 1"_s},
                                    {u"A_Selected"_s, nr >= 3}});
        dialogs.editLetter = [this] {
            ++edited;
            return letter;
        };
        dialogs.chooseLayout = [this] {
            ++chosen;
            return layout;
        };
        dialogs.ask = [this](const QString& question) {
            questions << question;
            return answers.isEmpty() ? false : answers.takeFirst();
        };
        dialogs.askSubject = [this] {
            ++subjectsAsked;
            return subject;
        };
        print = [this](bool preview, const QString& letterFile, const QString& layoutFile) {
            table::Table& t = dm->TabAdress();
            calls.append(
                {preview, letterFile, layoutFile, t.field(u"A_Nr"_s).asInteger(), t.filter()});
            if (failAt && calls.size() == failAt)
                throw DbError(u"Der Drucker ist nicht bereit."_s);
        };
    }

    // The user's view before the letter: the Stuttgart addresses, at number 2.
    void viewStuttgartAtTwo() {
        adress().setFilter(u"A_Ort='Stuttgart'"_s);
        adress().setFiltered(true);
        ASSERT_TRUE(adress().locate({u"A_Nr"_s}, {2}));
    }
    void expectViewStuttgartAtTwo() {
        EXPECT_EQ(adress().filter(), u"A_Ort='Stuttgart'"_s);
        EXPECT_TRUE(adress().isFiltered());
        EXPECT_EQ(adress().field(u"A_Nr"_s).asInteger(), 2);
        EXPECT_EQ(shown(), (QList<int>{1, 2}));
    }
    int run() { return RunSerienbrief(dialogs, print); }

    QList<ProtoRow> protocol() {
        QList<ProtoRow> rows;
        auto t = open(u"AdrProto.DB"_s);
        for (t->first(); !t->eof(); t->next()) {
            rows.append({t->field(u"AP_Adr"_s).asInteger(), t->field(u"AP_Art"_s).asInteger(),
                         t->field(u"AP_Text"_s).asString()});
            EXPECT_EQ(t->field(u"AP_Date"_s).value().toDate(), QDate::currentDate());
        }
        return rows;
    }
    PrintCall call(bool preview, int nr) const {
        return {preview, letter, layout.value_or(QString()), nr, u"A_Selected=true"_s};
    }

    QString letter;
    std::optional<QString> layout = u"/druck/formulare/80001.lay"_s;
    QList<bool> answers;
    QString subject;
    SerienbriefDialogs dialogs;
    SerienbriefPrint print;
    int edited = 0;
    int chosen = 0;
    int subjectsAsked = 0;
    int failAt = 0;
    QStringList questions;
    QList<PrintCall> calls;
};

TEST_F(Serienbrief, PrintsToEveryMarkedAddressOfTheWholeTableAndNotesTheSubject) {
    viewStuttgartAtTwo(); // hides every marked address
    answers = {true, true};
    subject = u"Nebenkostenabrechnung 2026"_s;

    EXPECT_EQ(run(), 3);

    EXPECT_EQ(questions, (QStringList{u"Drucken?"_s, u"Versand notieren?"_s}));
    EXPECT_EQ(subjectsAsked, 1);
    EXPECT_EQ(calls,
              (QList<PrintCall>{call(true, 3), call(false, 3), call(false, 4), call(false, 5)}));
    EXPECT_EQ(protocol(), (QList<ProtoRow>{{30, 1, subject}, {40, 1, subject}, {50, 1, subject}}));
    expectViewStuttgartAtTwo();
}

TEST_F(Serienbrief, AnEmptyOrCancelledSubjectNotesSerienbriefVerschickt) {
    auto proto = open(u"AdrProto.DB"_s);
    const int width = proto->field(u"AP_Text"_s).size();
    const QString longSubject = QString(width + 20, u'ä');
    const struct {
        QString typed;
        QString noted;
    } cases[] = {
        {QString(), u"Serienbrief verschickt"_s}, // cancelled
        {u"   "_s, u"Serienbrief verschickt"_s},
        {u"  Mahnung Hausordnung "_s, u"Mahnung Hausordnung"_s},
        {longSubject, longSubject.left(width)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        answers = {true, true};
        subject = c.typed;
        run();
        const QList<ProtoRow> rows = protocol();
        ASSERT_GE(rows.size(), 3);
        EXPECT_EQ(rows.last(), (ProtoRow{50, 1, c.noted}));
    }
    EXPECT_EQ(protocol().size(), 3 * int(std::size(cases)));
}

TEST_F(Serienbrief, AnsweringNoPrintsOnlyWhatWasConfirmed) {
    viewStuttgartAtTwo();
    answers = {false}; // "Drucken?"
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(calls, QList<PrintCall>{call(true, 3)});
    EXPECT_EQ(questions, QStringList{u"Drucken?"_s});
    EXPECT_TRUE(protocol().isEmpty());
    expectViewStuttgartAtTwo();

    calls.clear();
    questions.clear();
    answers = {true, false}; // "Versand notieren?"
    EXPECT_EQ(run(), 3);
    EXPECT_EQ(calls.size(), 4);
    EXPECT_EQ(subjectsAsked, 0);
    EXPECT_TRUE(protocol().isEmpty());
    expectViewStuttgartAtTwo();
}

TEST_F(Serienbrief, StopsBeforeTheFilterChangesWithoutMarksLetterOrPrintForm) {
    viewStuttgartAtTwo();
    layout = std::nullopt;
    EXPECT_EQ(run(), 0); // no print form chosen
    EXPECT_EQ(chosen, 1);

    layout = QString();
    for (const QString& file : {QString(), path(u"fehlt.rtf"_s)}) {
        letter = file;
        EXPECT_EQ(run(), 0);
    }
    EXPECT_EQ(chosen, 1); // no print form asked for without a letter

    auto marks = open(u"Adress.DB"_s);
    for (marks->first(); !marks->eof(); marks->next()) {
        marks->edit();
        marks->field(u"A_Selected"_s).setValue(false);
        marks->post();
    }
    adress().refresh();
    const int editedBefore = edited;
    try {
        run();
        ADD_FAILURE() << "no refusal without marks";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), u"Es sind keine Sätze markiert!"_s);
    }
    EXPECT_EQ(edited, editedBefore);

    EXPECT_TRUE(calls.isEmpty());
    EXPECT_TRUE(questions.isEmpty());
    expectViewStuttgartAtTwo();
}

TEST_F(Serienbrief, AnErrorOnTheWayRestoresTheFilterAndPosition) {
    viewStuttgartAtTwo();
    answers = {true, true};
    failAt = 3; // the letter to address 4
    try {
        run();
        ADD_FAILURE() << "the printer's error was lost";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(
            u"Der Serienbrief wurde bei Adresse 4 abgebrochen; gedruckte Briefe: 1."_s))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().endsWith(u"Der Drucker ist nicht bereit."_s));
    }
    EXPECT_EQ(protocol(), (QList<ProtoRow>{{30, 1, u"Serienbrief verschickt"_s}}));
    expectViewStuttgartAtTwo();

    // A cancelled preview ends the letter silently, the view restored as well.
    print = [](bool, const QString&, const QString&) { throw Abort{}; };
    EXPECT_THROW(run(), Abort);
    expectViewStuttgartAtTwo();
}

TEST_F(Serienbrief, ThePhoneFilterInForceCanHideEveryMarkedAddress) {
    SetAdressPhoneFilter(adress(), u"0711"_s);
    answers = {true, false};
    EXPECT_EQ(run(), 1); // only address 5 passes the phone filter
    EXPECT_EQ(calls, (QList<PrintCall>{call(true, 5), call(false, 5)}));

    SetAdressPhoneFilter(adress(), u"0221"_s);
    EXPECT_THROW(run(), DbError);
    EXPECT_EQ(adress().filter(), QString());
    EXPECT_TRUE(adress().isFiltered());
}

TEST(SerienbriefPrint, TheInstalledEntryDecidesWhetherLettersCanBePrinted) {
    const SerienbriefPrint before = SetSerienbriefPrint({});
    EXPECT_FALSE(IsSerienbriefPrintAvailable());
    SetSerienbriefPrint([](bool, const QString&, const QString&) {});
    EXPECT_TRUE(IsSerienbriefPrintAvailable());
    SetSerienbriefPrint(before);
}

} // namespace
