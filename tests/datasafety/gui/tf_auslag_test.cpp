#include "core/data/clientdbfixture.h"
#include "core/data/datamodule.h"
#include "core/gui/modaldriver.h"
#include "core/gui/placement.h"
#include "core/values/datetext.h"
#include "datasafety/autobackup.h"
#include "datasafety/datasafety.h"
#include "datasafety/documentarchive/archivewindows.h"
#include "datasafety/gui/tf_auslag.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

// A client with its data module, the backup offer recorded instead of run.
class AuslagTest : public datatest::ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        m_saved = AutoBackupServiceRegistry();
        AutoBackupServiceRegistry() = {[] { return true; },
                                       [this](const QString& comment) {
                                           backups << comment;
                                           // Neither button works while the move runs.
                                           buttonsDuringBackup
                                               << (form && !form->startButton()->isEnabled() &&
                                                   !form->cancelButton()->isEnabled());
                                       }};
        dm = std::make_unique<TDataModule1>();
        dm->DataModuleCreate();
        setUnasked(false); // a new client backs up unasked
    }
    void TearDown() override {
        form.reset();
        dm.reset();
        AutoBackupServiceRegistry() = m_saved;
        ClientDbFixture::TearDown();
    }
    void setUnasked(bool on) {
        auto firma = open(u"Firmen.DB"_s);
        firma->first();
        firma->edit();
        firma->field(u"F_AutoSichernAblage"_s).setValue(on);
        firma->post();
    }
    void addOffer(int id, const QString& nr, bool marked, const char* alias = "LumoDB") {
        addRow(u"Angkopf.DB"_s, {{u"R_ID"_s, id}, {u"R_Nr"_s, nr}, {u"R_Selected"_s, marked}},
               QString::fromLatin1(alias));
    }
    TF_Auslag& makeForm() {
        form = std::make_unique<TF_Auslag>(ArchiveTablesOf(ArchiveFamily::Offers));
        form->show();
        return *form;
    }

    std::unique_ptr<TDataModule1> dm;
    std::unique_ptr<TF_Auslag> form;
    QStringList backups;
    QList<bool> buttonsDuringBackup;

private:
    AutoBackupService m_saved;
};

TEST_F(AuslagTest, WarnsWithTheExactText) {
    TF_Auslag& f = makeForm();
    EXPECT_EQ(f.windowTitle(), u"Daten auslagern"_s);
    EXPECT_EQ(f.warning()->text(),
              u"ACHTUNG!\n\nBevor Sie Daten in die Ablage überstellen, müssen Sie sicherstellen, "
              "dass keine anderen\n\nArbeitsstationen Ihre Datenbanken  benutzen!\n\nDenken Sie "
              "bitte daran, VOR UND NACH der Datenübertragung eine Datensicherung "
              "durchzuführen!"_s);
    EXPECT_EQ(f.startButton()->text(), u"&Starten"_s);
    EXPECT_EQ(f.cancelButton()->text(), u"&Abbrechen"_s);
    EXPECT_FALSE(f.progressBar()->isVisible());
    // Cancel closes without moving anything.
    addOffer(1, u"A1"_s, true);
    f.cancelButton()->click();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(open(u"Angkopf.DB"_s)->recordCount(), 1);
}

TEST_F(AuslagTest, AsksForBackupsBeforeAndAfterAndMovesWithButtonsOff) {
    addOffer(1, u"A1"_s, true);
    addOffer(2, u"A2"_s, true);
    addOffer(3, u"A3"_s, false);
    TF_Auslag& f = makeForm();
    presenter.answers = {true, true};
    f.startButton()->click();
    const QStringList questions = presenter.texts(Kind::Question);
    ASSERT_EQ(questions.size(), 2);
    EXPECT_EQ(questions[0], u"Sie sollten vor der Datenübertragung eine Datensicherung "
                            "vornehmen!\rMöchten Sie jetzt die Daten sichern?"_s);
    EXPECT_EQ(questions[1], u"Sie sollten nach der Datenübertragung eine Datensicherung "
                            "vornehmen!\rMöchten Sie jetzt die Daten sichern?"_s);
    EXPECT_EQ(backups, (QStringList{u"Autosicherung vor Datenauslagerung am "_s + TodayStr(),
                                    u"Autosicherung nach Datenauslagerung am "_s + TodayStr()}));
    EXPECT_EQ(buttonsDuringBackup, (QList<bool>{true, true}));
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{u"Datenauslagerung beendet."_s});
    EXPECT_TRUE(presenter.texts(Kind::Error).isEmpty());
    EXPECT_EQ(open(u"Angkopf.DB"_s)->recordCount(), 1);
    EXPECT_EQ(open(u"Angkopf.DB"_s, u"AblageDB"_s)->recordCount(), 2);
    EXPECT_EQ(f.progressBar()->maximum(), 2);
    EXPECT_EQ(f.progressBar()->value(), 2);
    EXPECT_FALSE(f.cancelButton()->isVisible());
    EXPECT_EQ(f.startButton()->text(), u"&Schließen"_s);
    EXPECT_TRUE(f.startButton()->isEnabled());
    f.startButton()->click(); // now it closes, and starts nothing
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(backups.size(), 2);
}

TEST_F(AuslagTest, TheCompanySwitchBacksUpUnaskedAndNoMarkedHeadStillEnds) {
    setUnasked(true);
    TF_Auslag& f = makeForm();
    f.btnStartClick();
    EXPECT_TRUE(presenter.texts(Kind::Question).isEmpty());
    EXPECT_EQ(backups.size(), 2);
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{u"Datenauslagerung beendet."_s});
}

TEST_F(AuslagTest, DocumentsLeftBehindAreListedAfterTheEnd) {
    addOffer(1, u"A1"_s, true);
    addOffer(2, u"A2"_s, true);
    addOffer(9, u"A2"_s, false, "AblageDB"); // the archive holds that number
    TF_Auslag& f = makeForm();
    presenter.answers = {false, false};
    f.btnStartClick();
    ASSERT_EQ(presenter.boxes.size(), 4);
    EXPECT_EQ(presenter.boxes[1].text, u"Datenauslagerung beendet."_s);
    EXPECT_EQ(presenter.boxes[2].kind, Kind::Error);
    EXPECT_EQ(presenter.boxes[2].text,
              u"Folgende Belege wurden nicht ausgelagert:\r"
              "A2: Die Nummer ist in der Datenablage bereits vorhanden."_s);
    EXPECT_TRUE(backups.isEmpty());
    auto working = open(u"Angkopf.DB"_s);
    ASSERT_EQ(working->recordCount(), 1);
    EXPECT_TRUE(working->field(u"R_Selected"_s).asBoolean());
}

TEST_F(AuslagTest, AnErrorThatEndsTheMoveSkipsTheEndAndTheSecondBackup) {
    table::aliases::database(u"AblageDB"_s)->dropTable(u"AngSatz.DB"_s);
    addOffer(1, u"A1"_s, true);
    TF_Auslag& f = makeForm();
    presenter.answers = {true};
    f.btnStartClick();
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Die Tabelle AngSatz.DB wurde in der Datenablage nicht gefunden."_s});
    EXPECT_TRUE(presenter.texts(Kind::Info).isEmpty());
    EXPECT_EQ(backups.size(), 1);
    EXPECT_EQ(f.startButton()->text(), u"&Schließen"_s);
    EXPECT_EQ(open(u"Angkopf.DB"_s)->recordCount(), 1);
}

TEST_F(AuslagTest, ArchiveDocumentsShowsTheFormBesideTheMainWindowWithTimerWorkPaused) {
    QWidget main;
    main.setGeometry(40, 30, 800, 100);
    main.show();
    SetMainForm(&main);
    SetArchiveDocumentsOpener(&ArchiveDocumentsWindow);
    QPoint at;
    bool timerWork = true;
    WhenModalShown([&](QWidget* modal) {
        at = modal->pos();
        timerWork = DataModule1().IsTimerWorkEnabled();
        static_cast<TF_Auslag*>(modal)->cancelButton()->click();
    });
    ArchiveDocuments(u"Angkopf.DB"_s, u"AngSatz.DB"_s, u"Angkopf.DB"_s, u"AngSatz.DB"_s);
    SetMainForm(nullptr);
    SetArchiveDocumentsOpener({});
    EXPECT_EQ(at, main.pos() + QPoint(300, 200));
    EXPECT_FALSE(timerWork);
    EXPECT_TRUE(DataModule1().IsTimerWorkEnabled());
}

} // namespace
