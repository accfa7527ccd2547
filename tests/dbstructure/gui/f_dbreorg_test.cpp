// The reorganisation form: its menus run the engine on the client's database,
// report in the status line and keep the close button usable after errors.
#include "core/framefixture.h"
#include "core/files/programdirs.h"
#include "dbstructure/databasebuilder.h"
#include "dbstructure/gui/f_dbreorg.h"
#include "dbstructure/gui/tableselectdialog.h"
#include "dbstructure/tableschemas.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using dbstructure::TableSchemas;

namespace {

class DbReorgFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        table::Database::Options options;
        options.syncToDisk = false;
        db = table::Database::open(dir.path(), options);
        dbstructure::CreateDatabaseTables(*db, dbstructure::Database::Client);
        previousPresenter = SetMessagePresenter(&presenter);
    }
    void TearDown() override { SetMessagePresenter(previousPresenter); }

    QStringList indexNames(const QString& name) {
        QStringList names;
        for (const auto& idx : db->tableDef(name).indexes)
            names << idx.name;
        return names;
    }
    QStringList definedIndexNames(const QString& name) {
        QStringList names;
        for (const auto& idx : TableSchemas::builtIn().get(name).def.indexes)
            names << idx.name;
        return names;
    }

    QTemporaryDir dir;
    std::shared_ptr<table::Database> db;
    frametest::RecordingPresenter presenter;
    MessagePresenter* previousPresenter = nullptr;
};

QStringList captions(QMenu* menu) {
    QStringList result;
    for (QAction* a : menu->actions())
        result << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return result;
}

TEST_F(DbReorgFormTest, MenusOfferTheEntriesInOrder) {
    TF_DbReorg form(db);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Datenreorganisation"));
    EXPECT_EQ(captions(form.mnuIndex),
              (QStringList{"Artikeldaten", "Eingangsrechnungen", "Kontroll-Berichte", "Kundendaten",
                           "Lieferantendaten", "Objekte", "Personaldaten", "Rechnungen",
                           "Tätigkeiten", "Tageslisten", "Touren", "-", "Hilfsdatenbanken", "-",
                           "Datenbanken prüfen", "-", "Abbruch"}));
    EXPECT_EQ(captions(form.mnuPack),
              (QStringList{"Tageslistendatei", "Kontrollberichtsdatei", "Rechnungsdatei",
                           "Auswahl verdichten", "-", "Abbrechen"}));
    EXPECT_EQ(form.btnClose->text(), QStringLiteral("S&chließen"));
}

// "Datenbanken prüfen" reads every page of both databases and names a damage.
TEST_F(DbReorgFormTest, CheckReadsEveryPageAndSaysWhatItFound) {
    const QString savedData = DataDir, savedArchive = AblageDir;
    QTemporaryDir archive;
    DataDir = dir.path();
    AblageDir = archive.path();
    TF_DbReorg form(db);
    QAction* check = nullptr;
    for (QAction* a : form.mnuIndex->actions())
        if (a->text() == QStringLiteral("Datenbanken prüfen"))
            check = a;
    ASSERT_NE(check, nullptr);
    check->trigger();
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Info),
              QStringList{QStringLiteral("Die Datenbanken sind unbeschädigt.")});
    EXPECT_TRUE(presenter.texts(MessagePresenter::Kind::Error).isEmpty());

    // Pages overwritten behind the header: found, named, the file unchanged.
    const QString file = table::Database::fileIn(dir.path());
    db.reset();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(4096 * 3);
    f.write(QByteArray(4096 * 2, '\x5a'));
    f.close();
    presenter.boxes.clear();
    check->trigger();
    const QStringList errors = presenter.texts(MessagePresenter::Kind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QDir::toNativeSeparators(file))) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(QStringLiteral("ist beschädigt"))) << errors[0].toStdString();
    EXPECT_TRUE(form.btnClose->isEnabled());
    DataDir = savedData;
    AblageDir = savedArchive;
}

TEST_F(DbReorgFormTest, RepairEntryRebuildsItsTablesAndReports) {
    TF_DbReorg form(db);
    db->rebuildIndexes(QStringLiteral("Liefrnt.DB"), {});
    db->rebuildIndexes(QStringLiteral("Liefart.DB"), {});

    form.action(QStringLiteral("Lieferantendaten"))->trigger();

    EXPECT_EQ(indexNames(QStringLiteral("Liefrnt.DB")),
              definedIndexNames(QStringLiteral("Liefrnt.DB")));
    EXPECT_EQ(indexNames(QStringLiteral("Liefart.DB")),
              definedIndexNames(QStringLiteral("Liefart.DB")));
    EXPECT_EQ(form.StatusLine->currentMessage(),
              QStringLiteral("Datenbank Liefart.DB reindiziert!"));
    EXPECT_TRUE(form.btnClose->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(DbReorgFormTest, AnErrorIsShownAndTheFormStaysUsable) {
    TF_DbReorg form(db);
    db->dropTable(QStringLiteral("Artikel.DB"));

    form.Artikeldaten1Click();

    ASSERT_EQ(presenter.texts(MessagePresenter::Kind::Error).size(), 1);
    EXPECT_EQ(form.StatusLine->currentMessage(),
              QStringLiteral("Datenbank Artikel.DB nicht reindiziert!"));
    EXPECT_TRUE(form.btnClose->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DbReorgFormTest, SelectionPacksTheChosenTablesOfTheClient) {
    TF_DbReorg form(db);
    QStringList offered;
    QStringList choice = {QStringLiteral("Kunden.DB"), QStringLiteral("Zahlart.DB")};
    form.selectTables = [&](const QStringList& tables) {
        offered = tables;
        return choice;
    };

    form.action(QStringLiteral("Auswahl verdichten"))->trigger();

    EXPECT_EQ(offered.size(),
              TableSchemas::builtIn().creationOrder(dbstructure::Database::Client).size());
    EXPECT_EQ(form.StatusLine->currentMessage(),
              QStringLiteral("Datenbank Zahlart.DB wurde verdichtet!"));
    EXPECT_TRUE(presenter.boxes.isEmpty());

    choice = {QStringLiteral("Unbekannt.DB"), QStringLiteral("Kunden.DB")};
    form.Auswahlverdichten1Click();
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error).size(), 1);
    EXPECT_TRUE(form.StatusLine->currentMessage().isEmpty()); // the run ended at the unknown table
}

TEST(TableSelectTest, GivesTheMarkedTablesInListOrder) {
    TF_TableSelect dialog(
        {QStringLiteral("Artikel.DB"), QStringLiteral("Kunden.DB"), QStringLiteral("Zahlart.DB")});
    EXPECT_EQ(dialog.lstTables->selectionMode(), QAbstractItemView::ExtendedSelection);
    dialog.lstTables->item(2)->setSelected(true);
    dialog.lstTables->item(0)->setSelected(true);
    EXPECT_EQ(dialog.selectedTables(),
              (QStringList{QStringLiteral("Artikel.DB"), QStringLiteral("Zahlart.DB")}));
}

class FakeDataModule : public dbstructure::ReorgDataModule {
public:
    std::shared_ptr<table::Database> mainDatabase() override { return db; }
    QList<table::Table*> dataSets() override { return tables; }
    bool isTimerWorkEnabled() const override { return timerWork; }
    void setTimerWorkEnabled(bool enabled) override { timerWork = enabled; }

    std::shared_ptr<table::Database> db;
    QList<table::Table*> tables;
    bool timerWork = true;
};

TEST_F(DbReorgFormTest, RunClosesTheDataModulesTablesWhileShownAndReopensThem) {
    table::Table kunden(db, QStringLiteral("Kunden.DB"));
    kunden.open();
    FakeDataModule module;
    module.db = db;
    module.tables = {&kunden};
    auto* previous = dbstructure::SetReorgDataModule(&module);

    bool seenClosed = false, seenPaused = false, shown = false;
    // Waits for the modal form to be shown, then looks around and closes it.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* form = qobject_cast<TF_DbReorg*>(w);
            if (!form || !form->isVisible())
                continue;
            poll.stop();
            shown = true;
            seenClosed = !kunden.isOpen();
            seenPaused = !module.timerWork;
            form->btnClose->click();
        }
    });
    poll.start(0);
    RunDbReorg();
    dbstructure::SetReorgDataModule(previous);

    EXPECT_TRUE(shown);
    EXPECT_TRUE(seenClosed);
    EXPECT_TRUE(seenPaused);
    EXPECT_TRUE(kunden.isOpen());
    EXPECT_TRUE(module.timerWork);
}

} // namespace
