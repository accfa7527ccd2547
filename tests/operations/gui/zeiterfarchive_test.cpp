#include "core/gui/modaldriver.h"
#include "datasafety/autobackup.h"
#include "datasafety/opendatasets.h"
#include "operations/gui/tf_zeiterf.h"
#include "operations/gui/zeiterfarchive.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "zeiterfarchivefixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

using operationstest::ZeiterfArchiveForms;

TEST_F(ZeiterfArchiveForms, AuslagernAsksForTheLimitAndMovesTheRecordsUpToIt) {
    showForm();
    QPushButton* auslagern = form->button(u"sbtnAuslag"_s);
    ASSERT_TRUE(auslagern->isEnabled());
    auslagern->click();
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Es wurden noch keine Arbeitszeitdaten erfasst!"_s});

    const QDate today = QDate::currentDate();
    const QDate old = today.addMonths(-3);
    post(old, 2.0);
    post(today, 1.0);
    // The limit dialog: the proposal, the last recorded day, then cancel.
    QString limitText, infoText, limitCaption;
    WhenModalShown([&](QWidget* modal) {
        limitText = modal->findChild<QLineEdit*>(u"EditBisDatum"_s)->text();
        infoText = modal->findChild<QLineEdit*>(u"Edit1"_s)->text();
        limitCaption = modal->findChild<QLabel*>(u"lbRgBisdatum"_s)->text();
        modal->close();
    });
    auslagern->click();
    const QDate back = today.addMonths(-2);
    EXPECT_EQ(limitText,
              QDate(back.year(), back.month(), back.daysInMonth()).toString(u"dd.MM.yyyy"_s));
    EXPECT_EQ(infoText, today.toString(u"dd.MM.yyyy"_s));
    EXPECT_TRUE(limitCaption.startsWith(u"Arbeitszeiten auslagern bis einschließlich"_s))
        << limitCaption.toStdString();
    EXPECT_EQ(rows(u"LumoDB"_s, u"Zeiterf.DB"_s), 2);

    // Confirmed: the old record moves, today's stays.
    WhenModalShown(
        [](QWidget* modal) { QMetaObject::invokeMethod(modal, "accept", Qt::QueuedConnection); });
    auslagern->click();
    EXPECT_EQ(rows(u"LumoDB"_s, u"Zeiterf.DB"_s), 1);
    EXPECT_EQ(rows(u"AblageDB"_s, u"Zeiterf.DB"_s), 1);
    EXPECT_EQ(rows(u"LumoDB"_s, u"Kosten.DB"_s), 1);
    EXPECT_EQ(presenter.texts(Kind::Info).value(0),
              u"Es wurden 1 Berichtssätze in die Datenablage überstellt."_s);
}

TEST_F(ZeiterfArchiveForms, ThePanelAndTheButtonsAreRestoredAlsoWhenTheRunFails) {
    post(QDate(2026, 1, 5), 2.0);
    grant(kChipdriveRight);
    // Import 2 has no opener: it stays disabled after the run.
    ZeiterfButtonHooksRegistry().import2 = {};
    ZeiterfButtonHooksRegistry().chipdrive = [](TF_Zeiterf&) {};
    showForm();
    const QStringList runButtons{u"BitBtn1"_s,       u"BitBtn2"_s,    u"sbtnPrintObj"_s,
                                 u"sbtnPrintPers"_s, u"sbtnImport"_s, u"sbtnChipdrive"_s};
    QHash<QString, bool> before;
    for (const QString& name : runButtons)
        before.insert(name, form->button(name)->isEnabled());

    table::aliases::database(u"AblageDB"_s)
        ->execSql(u"CREATE TRIGGER test_fail BEFORE INSERT ON \"Zeiterf\" BEGIN SELECT "
                  "RAISE(ABORT, 'Testfehler'); END"_s);
    EXPECT_ANY_THROW(ArchiveZeiterfFrom(*form, QDate(2026, 1, 31)));
    EXPECT_EQ(form->findChild<QWidget*>(u"PanelCount"_s), nullptr);
    for (const QString& name : runButtons)
        EXPECT_EQ(form->button(name)->isEnabled(), before.value(name)) << name.toStdString();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(rows(u"LumoDB"_s, u"Zeiterf.DB"_s), 1);
    EXPECT_EQ(rows(u"AblageDB"_s, u"Zeiterf.DB"_s), 0);
    EXPECT_TRUE(presenter.texts(Kind::Info).isEmpty());
}

TEST_F(ZeiterfArchiveForms, TheWindowShowsItsDayAgainAfterTheBackupClosedAndReopenedItsTables) {
    post(QDate(2026, 1, 5), 2.0);
    post(operationstest::kDay, 3.0);
    const AutoBackupService saved = AutoBackupServiceRegistry();
    QString comment;
    AutoBackupServiceRegistry() = {[] { return true; },
                                   [&comment](const QString& text) {
                                       comment = text;
                                       TOpenList open;
                                       open.closeAll(u"LumoDB"_s);
                                       open.reopenAll();
                                   }};
    presenter.answers = {true}; // "Möchten Sie jetzt die Daten sichern?" where the switch asks
    showForm();
    ArchiveZeiterfFrom(*form, QDate(2026, 1, 31));
    AutoBackupServiceRegistry() = saved;
    EXPECT_EQ(comment, u"Autosicherung vor Auslagerung der Arbeitszeiten am  "_s +
                           QDate::currentDate().toString(u"dd.MM.yyyy"_s));
    EXPECT_TRUE(form->records().table().isOpen());
    EXPECT_EQ(form->records().table().recordCount(), 1);
    EXPECT_EQ(rows(u"AblageDB"_s, u"Zeiterf.DB"_s), 1);
}

} // namespace
