#include "datasafety/interchange/importrun.h"
#include "interchangefixture.h"

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

// Fails when a box appears while a transaction of the client database is
// open; otherwise answers as the test's recording presenter does.
struct NoBoxInTransaction : frametest::ObservingPresenter {
    explicit NoBoxInTransaction(MessagePresenter& inner)
        : ObservingPresenter(inner, [](Kind, const QString& text) {
              EXPECT_EQ(table::aliases::database(u"LumoDB"_s)->transactionDepth(), 0)
                  << text.toStdString();
          }) {}
};

class ImportRunTest : public interchangetest::InterchangeFixture {
protected:
    void SetUp() override {
        InterchangeFixture::SetUp();
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1},
                                {u"K_Nr"_s, 1001},
                                {u"K_Name1"_s, u"Alt"_s},
                                {u"K_Ort"_s, u"Bonn"_s},
                                {u"K_RechBed"_s, 2}});
        writeLines(u"Kunden.imp"_s,
                   {u"DELIM=\""_s, u"SEPAR=;"_s, u"SFILE="_s, u"1:K_Nr=Nummer>Schlüssel"_s,
                    u"2:K_Name1=Name>"_s, u"3:K_Ort=Ort>"_s, u"4:K_RechBed=Bedingung>"_s});
    }

    // Runs the import into the shared customer object; answers the questions
    // in order.
    ImportRun& import(QList<bool> answers, ImportObserver observer = {}) {
        presenter.answers = std::move(answers);
        NoBoxInTransaction check(presenter);
        observer.setRecordLabel = [this](const QString& text) { recordLabel = text; };
        observer.setStepLabel = [this](const QString& text) { stepLabel = text; };
        run = std::make_unique<ImportRun>(dm->TabKunden(), ImExDir + u"Kunden.imp"_s,
                                          ImExDir + u"Kunden.asc"_s, u"K_Nr"_s, observer);
        run->run();
        return *run;
    }

    std::unique_ptr<ImportRun> run;
    QString recordLabel;
    QString stepLabel;
};

TEST_F(ImportRunTest, UpdatesByKeyAppendsTheRestAndWritesOnlyNonEmptyValues) {
    writeLines(u"Kunden.asc"_s,
               {u"Nummer;Name;Ort"_s, u"1001;\"Neu; GmbH\";"_s, u"1002;Zweiter;Köln"_s});
    ImportRun& r = import({true});
    EXPECT_EQ(r.status(), u"ist beendet"_s);
    EXPECT_EQ(r.merged(), 2);
    EXPECT_EQ(recordLabel, u"2 Datensätze übernommen"_s);
    EXPECT_EQ(stepLabel, u"Datenimport ist beendet"_s);
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{u"Es wurden 2 Datensätze gefunden.\rSollen diese Sätze in Ihre "
                          u"Datenbank eingefügt werden?"_s});
    EXPECT_EQ(customerTexts(u"K_Name1"_s), (QStringList{u"1001=Neu; GmbH"_s, u"1002=Zweiter"_s}));
    // An empty column keeps the field; the appended customer has its id from the rules.
    EXPECT_EQ(customerTexts(u"K_Ort"_s), (QStringList{u"1001=Bonn"_s, u"1002=Köln"_s}));
    EXPECT_EQ(column(u"Kunden.DB"_s, u"K_ID"_s), (QList<int>{1, 2}));
    // The import stamps no change: import mode is the window's, not the run's.
    EXPECT_FALSE(dm->IsImportRunning());
}

TEST_F(ImportRunTest, TheSameKeyTwiceLaterLineWinsFieldByField) {
    writeLines(u"Kunden.asc"_s,
               {u"Nummer;Name;Ort"_s, u"1005;Erster;Ort1"_s, u"1005;;Ort2"_s, u""_s});
    ImportRun& r = import({true});
    // The empty line is a record of its own: counted, then passed over.
    EXPECT_EQ(presenter.texts(Kind::Question).value(0),
              u"Es wurden 3 Datensätze gefunden.\rSollen diese Sätze in Ihre Datenbank "
              u"eingefügt werden?"_s);
    EXPECT_EQ(r.merged(), 2);
    EXPECT_EQ(customerTexts(u"K_Name1"_s), (QStringList{u"1001=Alt"_s, u"1005=Erster"_s}));
    EXPECT_EQ(customerTexts(u"K_Ort"_s), (QStringList{u"1001=Bonn"_s, u"1005=Ort2"_s}));
}

TEST_F(ImportRunTest, TheIdIsNeverWrittenAndColumnNamesMatchExactly) {
    writeLines(u"Kunden.imp"_s,
               {u"1:K_Nr=Nummer>"_s, u"2:K_ID=Nummer>"_s, u"3:K_Name1=name>"_s, u"4:K_Ort=Ort >"_s,
                u"5:K_Name2=&&Konstante>"_s, u"6:K_Name3=&>"_s});
    writeLines(u"Kunden.asc"_s, {u"Nummer;Name;Ort"_s, u"1001;Neu;Berlin"_s});
    ImportRun& r = import({true});
    EXPECT_EQ(r.merged(), 1);
    EXPECT_EQ(column(u"Kunden.DB"_s, u"K_ID"_s), (QList<int>{1}));
    EXPECT_EQ(customerTexts(u"K_Name1"_s), QStringList{u"1001=Alt"_s});
    EXPECT_EQ(customerTexts(u"K_Ort"_s), QStringList{u"1001=Bonn"_s});
    EXPECT_EQ(customerTexts(u"K_Name2"_s), QStringList{u"1001=Konstante"_s});
    EXPECT_EQ(customerTexts(u"K_Name3"_s), QStringList{u"1001=<null>"_s});
}

TEST_F(ImportRunTest, TabSeparatedDataFileNamedBySfile) {
    writeLines(u"Kunden.imp"_s, {u"SEPAR=#9"_s, u"DELIM="_s, u"SFILE="_s + path(u"tab.txt"_s),
                                 u"1:K_Nr=Nummer>"_s, u"2:K_Name1=Name>"_s});
    writeLines(path(u"tab.txt"_s), {u"Nummer\tName"_s, u"1001\t\"Zitat\""_s});
    ImportRun& r = import({true});
    EXPECT_EQ(r.dataPath(), path(u"tab.txt"_s));
    EXPECT_EQ(customerTexts(u"K_Name1"_s), QStringList{u"1001=\"Zitat\""_s});
}

TEST_F(ImportRunTest, OnlyAHeaderLineTakesOverNothing) {
    writeLines(u"Kunden.asc"_s, {u"Nummer;Name"_s});
    ImportRun& r = import({true});
    EXPECT_EQ(r.status(), u"ist beendet"_s);
    EXPECT_TRUE(presenter.texts(Kind::Question).value(0).startsWith(u"Es wurden 0 Datensätze"_s));
    EXPECT_EQ(recordLabel, u"0 Datensätze übernommen"_s);
}

TEST_F(ImportRunTest, AValueOutOfRangeStopsTheImportAndLeavesTheTarget) {
    writeLines(u"Kunden.asc"_s,
               {u"Nummer;Name;Bedingung"_s, u"1001;Neu;3"_s, u"1002;Zwei;70000"_s});
    ImportRun& r = import({true});
    EXPECT_EQ(r.status(), u"wurde abgebrochen"_s);
    EXPECT_TRUE(presenter.texts(Kind::Question).isEmpty());
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Der Datenimport wurde abgebrochen!\rZeile 2, Feld K_RechBed: Der "
                          u"Wert \"70000\" liegt außerhalb des zulässigen Bereichs."_s});
    EXPECT_EQ(customerTexts(u"K_Name1"_s), QStringList{u"1001=Alt"_s});
    EXPECT_EQ(customerTexts(u"K_RechBed"_s), QStringList{u"1001=2"_s});
}

TEST_F(ImportRunTest, ATextTooLongForItsFieldStopsTheImport) {
    writeLines(u"Kunden.asc"_s, {u"Nummer;Name"_s, u"1002;"_s + QString(41, u'x')});
    ImportRun& r = import({true});
    EXPECT_EQ(r.status(), u"wurde abgebrochen"_s);
    ASSERT_EQ(presenter.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(presenter.texts(Kind::Error)
                    .first()
                    .startsWith(u"Der Datenimport wurde abgebrochen!\rZeile 1: "_s));
    EXPECT_EQ(customerTexts(u"K_Name1"_s), QStringList{u"1001=Alt"_s});
}

TEST_F(ImportRunTest, CancelMidMergeRollsEverythingBack) {
    QStringList lines{u"Nummer;Name"_s};
    for (int i = 0; i < 5; ++i)
        lines << u"%1;Neu%1"_s.arg(1001 + i);
    writeLines(u"Kunden.asc"_s, lines);
    ImportObserver observer;
    int polls = 0;
    observer.setProgress = [&](int value) {
        // The third record of the merge: two are posted by then.
        if (value == 2 && run && polls++ == 0)
            run->cancel();
    };
    ImportRun& r = import({true}, observer);
    EXPECT_EQ(r.status(), u"wurde abgebrochen"_s);
    EXPECT_EQ(stepLabel, u"Datenimport wurde abgebrochen"_s);
    EXPECT_EQ(customerTexts(u"K_Name1"_s), QStringList{u"1001=Alt"_s});
}

TEST_F(ImportRunTest, AFailingRecordAnsweredYesLeavesTheTargetAsItWas) {
    dm->TabKunden().beforePost += [](table::Table& t) {
        if (t.field(u"K_Name1"_s).asString() == u"Fehler"_s)
            throw DbError(u"Name nicht erlaubt"_s);
    };
    writeLines(u"Kunden.asc"_s,
               {u"Nummer;Name"_s, u"1001;Neu"_s, u"1002;Fehler"_s, u"1003;Dritter"_s});
    ImportRun& r = import({true, true});
    EXPECT_EQ(r.status(), u"wurde abgebrochen"_s);
    ASSERT_EQ(presenter.texts(Kind::Question).size(), 2);
    EXPECT_EQ(presenter.texts(Kind::Question).at(1),
              u"Beim Import ist ein Fehler aufgetreten:\rZeile 2 [1002]: Name nicht "
              u"erlaubt\rMöchten Sie den Import abbrechen?"_s);
    EXPECT_EQ(customerTexts(u"K_Name1"_s), QStringList{u"1001=Alt"_s});
}

TEST_F(ImportRunTest, AFailingRecordAnsweredNoMergesTheOthersAndCommits) {
    dm->TabKunden().beforePost += [](table::Table& t) {
        if (t.field(u"K_Name1"_s).asString() == u"Fehler"_s)
            throw DbError(u"Name nicht erlaubt"_s);
    };
    writeLines(u"Kunden.asc"_s,
               {u"Nummer;Name"_s, u"1001;Neu"_s, u"1002;Fehler"_s, u"1003;Dritter"_s});
    ImportRun& r = import({true, false});
    EXPECT_EQ(r.status(), u"ist beendet"_s);
    EXPECT_EQ(r.merged(), 2);
    EXPECT_EQ(customerTexts(u"K_Name1"_s), (QStringList{u"1001=Neu"_s, u"1003=Dritter"_s}));
    // The failed record's edit did not survive into the next one.
    EXPECT_FALSE(dm->TabKunden().isEditing());
}

TEST_F(ImportRunTest, MissingFilesAndKeysFailWithTheirMessages) {
    writeLines(u"Kunden.asc"_s, {u"Nummer;Name"_s, u"1001;Neu"_s});
    ImportRun missingData(dm->TabKunden(), ImExDir + u"Kunden.imp"_s, ImExDir + u"Fehlt.asc"_s,
                          u"K_Nr"_s);
    missingData.run();
    EXPECT_EQ(missingData.status(), u"ist fehlgeschlagen"_s);
    ImportRun missingDefinition(dm->TabKunden(), ImExDir + u"Fehlt.imp"_s,
                                ImExDir + u"Kunden.asc"_s, u"K_Nr"_s);
    missingDefinition.run();
    EXPECT_EQ(missingDefinition.status(), u"ist fehlgeschlagen"_s);
    ImportRun wrongKey(dm->TabKunden(), ImExDir + u"Kunden.imp"_s, ImExDir + u"Kunden.asc"_s,
                       u"X_Nr"_s);
    wrongKey.run();
    EXPECT_EQ(presenter.texts(Kind::Error),
              (QStringList{u"Datei "_s + ImExDir +
                               u"Fehlt.asc\rist nicht vorhanden!\rDer Datenimport kann nicht "
                               u"ausgeführt werden."_s,
                           u"Datei "_s + ImExDir +
                               u"Fehlt.imp\rist nicht vorhanden!\rDer Datenimport muss neu "
                               u"konfiguriert werden."_s,
                           u"Das Indexfeld \"X_Nr\" wurde nicht gefunden!"_s,
                           u"Das Zusammenführen der Datenbanken ist fehlgeschlagen!"_s}));
    EXPECT_EQ(customerTexts(u"K_Name1"_s), QStringList{u"1001=Alt"_s});
}

TEST_F(ImportRunTest, DecliningTheMergeChangesNothing) {
    writeLines(u"Kunden.asc"_s, {u"Nummer;Name"_s, u"1001;Neu"_s});
    import({false});
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Das Zusammenführen der Datenbanken ist fehlgeschlagen!"_s});
    EXPECT_EQ(customerTexts(u"K_Name1"_s), QStringList{u"1001=Alt"_s});
}

TEST_F(ImportRunTest, AClosedTargetIsClosedAgainAndTheWorkTableReplaced) {
    writeLines(u"Kunden.asc"_s, {u"Nummer;Name"_s, u"1001;Neu"_s});
    dm->TabKunden().close();
    import({true});
    EXPECT_FALSE(dm->TabKunden().isOpen());
    writeLines(u"Kunden.asc"_s, {u"Nummer;Name"_s, u"1001;Wieder"_s});
    import({true});
    EXPECT_EQ(customerTexts(u"K_Name1"_s), QStringList{u"1001=Wieder"_s});
    // The work table is this connection's own.
    auto db = table::aliases::database(u"LumoDB"_s);
    EXPECT_TRUE(db->isTemporaryTable(ImportRun::kWorkTable));
}

} // namespace
