#include "backupdialogfixture.h"
#include "core/data/clientswitchfixture.h"

using namespace Qt::StringLiterals;

namespace {

// The program's client with its data module, as at start-up, and the
// scripted backup dialog.
class BackupClientTest : public datatest::ClientSwitchFixture {
protected:
    void SetUp() override {
        ClientSwitchFixture::SetUp();
        for (int function : {48, 51})
            CurrentUser.rights.set(function, rbAllRights);
        m_savedWindows = DataSafetyWindowsRegistry();
        DataSafetyWindowsRegistry().backupDialog = [this](const BackupDialogArgs& args) {
            window.run(args);
        };
        startUp();
        ClientSwitchHooksRegistry().reopenFormTables = [this] { ++formReopenings; };
    }
    void TearDown() override {
        DataSafetyWindowsRegistry() = m_savedWindows;
        ClientSwitchFixture::TearDown();
    }
    void addCustomer(int nr) {
        table::Table& kunden = dm->TabKunden();
        kunden.append();
        kunden.field(u"K_ID"_s).setValue(nr);
        kunden.field(u"K_Nr"_s).setValue(nr);
        kunden.field(u"K_Name1"_s).setValue(u"Kunde %1"_s.arg(nr));
        kunden.post();
    }

    backuptest::ScriptedDialogWindow window;
    int formReopenings = 0;

private:
    DataSafetyWindows m_savedWindows;
};

} // namespace

// The customer form's table (the data module's) is open after a backup, on
// its record, and after a restore, showing the restored rows; the forms
// that keep tables of their own open theirs again, and the title is renewed.
TEST_F(BackupClientTest, TheClientsTablesAreOpenAfterABackupAndARestore) {
    table::Table& before = dm->TabKunden();
    if (!before.isOpen())
        before.open();
    addCustomer(1);
    addCustomer(2);
    before.first();
    presenter.answers = {true};
    window.scripts.append([](BackupDialog& d) { d.start(); });
    BackupDatabases(LocalBackup, u"Vor dem Test"_s);
    ASSERT_EQ(GetBackupResult(), 0);
    EXPECT_TRUE(before.isOpen());
    EXPECT_EQ(before.field(u"K_Nr"_s).asInteger(), 1);
    EXPECT_EQ(before.recordCount(), 2);
    EXPECT_TRUE(dm->IsTimerWorkEnabled());

    addCustomer(3);
    title.clear();
    presenter.boxes.clear();
    presenter.answers = {false, true, true};
    window.scripts.append([](BackupDialog& d) { d.start(); });
    RestoreDatabases(LocalRestore);
    EXPECT_EQ(GetBackupResult(), 0)
        << presenter.texts(MessagePresenter::Kind::Error).join(u'|').toStdString();
    table::Table& after = dm->TabKunden();
    EXPECT_TRUE(after.isOpen());
    EXPECT_EQ(after.recordCount(), 2);
    EXPECT_EQ(formReopenings, 1);
    EXPECT_FALSE(title.isEmpty());
    EXPECT_TRUE(dm->IsTimerWorkEnabled());
}

// A restore with the client's database held by a cursor of its own (a form
// that kept a table object) is refused by the engine, and the client's
// tables are open again afterwards.
TEST_F(BackupClientTest, ADatabaseHeldElsewhereIsNotRestored) {
    addCustomer(1);
    presenter.answers = {true};
    window.scripts.append([](BackupDialog& d) { d.start(); });
    BackupDatabases(LocalBackup, u"Vor dem Test"_s);
    addCustomer(2);
    auto held =
        std::make_unique<table::Table>(table::aliases::database(u"LumoDB"_s), u"Kunden.DB"_s);
    held->open();
    presenter.boxes.clear();
    presenter.answers = {false, true, true};
    window.scripts.append([](BackupDialog& d) { d.start(); });
    RestoreDatabases(LocalRestore);
    EXPECT_EQ(GetBackupResult(), 2);
    ASSERT_EQ(presenter.texts(MessagePresenter::Kind::Error).size(), 1);
    EXPECT_TRUE(presenter.texts(MessagePresenter::Kind::Error).first().contains(u"geöffnet"));
    // The cursor that held the database is open again, the client's too.
    EXPECT_TRUE(held->isOpen());
    EXPECT_EQ(held->recordCount(), 2);
    EXPECT_TRUE(dm->TabKunden().isOpen() || dm->OpenDataTable(dm->TabKunden()));
    EXPECT_EQ(dm->TabKunden().recordCount(), 2);
}
