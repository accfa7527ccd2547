#include "core/files/programdirs.h"
#include "core/framefixture.h"
#include "core/gui/datasafetymenu.h"
#include "core/gui/mainform.h"
#include "core/gui/modaldriver.h"
#include "core/moduleentries.h"
#include "core/values/datetext.h"
#include "datasafety/accounting/accountingexports.h"
#include "datasafety/autobackup.h"
#include "datasafety/datasafety.h"
#include "datasafety/interchangeservices.h"
#include "datasafety/shippeddefinitions.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenu>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

class DataSafetyMenuTest : public frametest::ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        m_savedImEx = ImExDir;
        ImExDir = root(u"imex/"_s);
    }
    void TearDown() override {
        ImExDir = m_savedImEx;
        ProgramDirFixture::TearDown();
    }
    // Triggers an item even while its service is not part of the build.
    void run(TF_LumoMain& window, const QString& menu, const QString& caption) {
        QAction* item = window.menuItem(menu, caption);
        ASSERT_NE(item, nullptr) << caption.toStdString();
        item->setEnabled(true);
        item->trigger();
    }

    ModuleDispatcher dispatcher;

private:
    QString m_savedImEx;
};

TEST_F(DataSafetyMenuTest, VaultWithoutFtpSettingsShowsTheErrorAndStartsNothing) {
    ASSERT_FALSE(IsFtpConfigured());
    TF_LumoMain window(dispatcher);
    run(window, u"Datensicherung"_s, u"Datenbanken versenden"_s);
    run(window, u"Datensicherung"_s, u"Datenbanken empfangen"_s);
    // Only the settings error: no backup or restore was reached.
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList(2, u"Sie müssen zuerst Ihren Ftp-Zugang einrichten!"_s));
}

TEST_F(DataSafetyMenuTest, EntriesGiveAFreshClientTheShippedDefinitionsAndKeepItsOwn) {
    TF_LumoMain window(dispatcher);
    // A definition of the user's own, without an "SFILE" line: the entry
    // does nothing, silently, and the file stays as it is.
    writeBytes(ImExDir + u"ObjImp.imp"_s, "FELD=O_Nr\r\n");
    run(window, u"Import/Export"_s, u"Objektimport-Datei einstellen"_s);
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_EQ(readBytes(ImExDir + u"ObjImp.imp"_s), QByteArray("FELD=O_Nr\r\n"));
    for (const QString& name : ShippedDefinitionNames())
        EXPECT_TRUE(QFile::exists(ImExDir + name)) << name.toStdString();

    // The shipped customer definition names its data file: the dialog opens.
    bool dialogShown = false;
    WhenModalShown([&dialogShown](QWidget* modal) {
        dialogShown = true;
        modal->close();
    });
    run(window, u"Import/Export"_s, u"Kundenimport-Datei einstellen"_s);
    EXPECT_TRUE(dialogShown);
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(DataSafetyMenuTest, AnEmptyDefinitionNamesItsFullPath) {
    TF_LumoMain window(dispatcher);
    writeBytes(ImExDir + u"Kunden.imp"_s, "");
    writeBytes(ImExDir + u"Kunden.exp"_s, "");
    run(window, u"Import/Export"_s, u"Kundenimport-Datei einstellen"_s);
    run(window, u"Import/Export"_s, u"Kundenexport-Datei einstellen"_s);
    EXPECT_EQ(presenter.texts(Kind::Error),
              (QStringList{u"Datei "_s + ImExDir +
                               u"Kunden.imp\rist nicht vorhanden!\r"
                               u"Der Datenimport muss neu konfiguriert werden."_s,
                           u"Datei "_s + ImExDir +
                               u"Kunden.exp\rist nicht vorhanden!\r"
                               u"Der Datenexport muss neu konfiguriert werden."_s}));
}

// The backup service and the import/export windows as a test installs them:
// what reached them is noted.
class MenuWithServicesTest : public DataSafetyMenuTest {
protected:
    void SetUp() override {
        DataSafetyMenuTest::SetUp();
        m_savedBackup = AutoBackupServiceRegistry();
        m_savedServices = InterchangeServicesRegistry();
        AutoBackupServiceRegistry() = {[] { return true; },
                                       [this](const QString& comment) { backups << comment; }};
        InterchangeServices& s = InterchangeServicesRegistry();
        s.runImport = [this](const QString& table, const QString&, const QString& definition,
                             const QString&, const QString& key) {
            calls << table + u'|' + definition + u'|' + key;
        };
        s.runExport = [this](const QString& table, const QString&, const QString& definition,
                             const QString& output, const QString& filter, int, int) {
            calls << table + u'|' + definition + u'|' + output + u'|' + filter;
            return true;
        };
        s.editDefinitionFile = [this](const QString& file, int, int) {
            calls << file;
            return 1;
        };
        s.showExportForm = [this] { calls << u"ShowExportForm"_s; };
        s.tableFilter = [](const QString& table) {
            return table == u"TabKunden"_s ? u"K_Ort='Köln'"_s : QString();
        };
    }
    void TearDown() override {
        InterchangeServicesRegistry() = m_savedServices;
        AutoBackupServiceRegistry() = m_savedBackup;
        DataSafetyMenuTest::TearDown();
    }
    QStringList backups;
    QStringList calls;

private:
    AutoBackupService m_savedBackup;
    InterchangeServices m_savedServices;
};

TEST_F(MenuWithServicesTest, ImportOffersTheBackupAndRunsAnsweredEitherWay) {
    TF_LumoMain window(dispatcher);
    const QString question = u"Sie sollten vor dem Datenimport eine Datensicherung vornehmen!\r"
                             u"Möchten Sie jetzt die Daten sichern?"_s;
    presenter.answers = {false, true};
    run(window, u"Import/Export"_s, u"Kundenimport aus ASCII-Datei"_s);
    run(window, u"Import/Export"_s, u"Objektimport aus ASCII-Datei"_s);
    EXPECT_EQ(presenter.texts(Kind::Question), QStringList(2, question));
    EXPECT_EQ(backups, QStringList{u"Autosicherung vor Import der Objektdaten am "_s + TodayStr()});
    EXPECT_EQ(calls, (QStringList{u"TabKunden|Kunden.imp|K_Nr"_s, u"TabObjekt|ObjImp.imp|O_Nr"_s}));
}

TEST_F(MenuWithServicesTest, CustomerExportPassesTheListsFilterAndEditorsTheFullPath) {
    TF_LumoMain window(dispatcher);
    for (const QString& caption :
         {u"Kundenimport aus ASCII-Datei"_s, u"Kundenexport in ASCII-Datei"_s,
          u"Kundenexport-Definitionen bearbeiten"_s, u"Allgemeiner Datenexport"_s})
        EXPECT_TRUE(window.menuItem(u"Import/Export"_s, caption)->isEnabled())
            << caption.toStdString();
    presenter.answers = {true};
    run(window, u"Import/Export"_s, u"Kundenexport in ASCII-Datei"_s);
    run(window, u"Import/Export"_s, u"Kundenexport-Definitionen bearbeiten"_s);
    run(window, u"Import/Export"_s, u"Debitoren Exportdefinitionen bearbeiten"_s);
    run(window, u"Import/Export"_s, u"Allgemeiner Datenexport"_s);
    EXPECT_EQ(backups, QStringList{u"Autosicherung vor Export der Kundendaten am "_s + TodayStr()});
    EXPECT_EQ(calls, (QStringList{u"TabKunden|Kunden.exp|Kunden.out|K_Ort='Köln'"_s,
                                  ImExDir + u"Kunden.exp"_s, ImExDir + u"DebitLex.exp"_s,
                                  u"ShowExportForm"_s}));
}

TEST_F(DataSafetyMenuTest, BookkeepingExportsRunOnceTheirWindowsAreInstalled) {
    const AccountingExportUi saved = AccountingExportUiRegistry();
    AccountingExportUiRegistry() = {};
    const QStringList entries = {
        u"Rechnungsexport -> KHK-Fibu"_s,         u"Debitorenexport -> KHK-Fibu"_s,
        u"Rechnungsexport -> Lexware-Fibu"_s,     u"Debitorenexport->Lexware-Fibu"_s,
        u"Kreditorenexport->Lexware-Fibu"_s,      u"Personaldaten ->Lexware Lohn+Gehalt"_s,
        u"Arbeitszeiten -> Lexware Lohn+Gehalt"_s};
    {
        TF_LumoMain window(dispatcher);
        for (const QString& entry : entries)
            EXPECT_FALSE(window.menuItem(u"Import/Export"_s, entry)->isEnabled())
                << entry.toStdString();
    }
    QStringList pickers;
    AccountingExportUiRegistry().selectMonth = [&pickers](int&, int&, int, int,
                                                          const QString& caption) {
        pickers << caption;
        return false;
    };
    AccountingExportUiRegistry().runExport = [](table::Table&, const QString&, const QString&,
                                                const QString&, const QString&) { return false; };
    AccountingExportUiRegistry().printJournal = [](const JournalProtocol&) {};
    TF_LumoMain window(dispatcher);
    for (const QString& entry : entries)
        EXPECT_TRUE(window.menuItem(u"Import/Export"_s, entry)->isEnabled()) << entry.toStdString();
    // Cancel in the month picker ends both month exports before anything else.
    window.menuItem(u"Import/Export"_s, u"Rechnungsexport -> KHK-Fibu"_s)->trigger();
    window.menuItem(u"Import/Export"_s, u"Arbeitszeiten -> Lexware Lohn+Gehalt"_s)->trigger();
    EXPECT_EQ(pickers, (QStringList{u"Fibudaten übergeben für Monat:"_s,
                                    u"Lohndaten übergeben für Monat:"_s}));
    EXPECT_TRUE(presenter.boxes.isEmpty());
    // The entry gave the client its shipped definitions first.
    EXPECT_TRUE(QFile::exists(ImExDir + u"RechKHK.exp"_s));
    AccountingExportUiRegistry() = saved;
}

TEST_F(DataSafetyMenuTest, ExportPathEntriesPickADirectoryForTheSfileLine) {
    TF_LumoMain window(dispatcher);
    const QString target = root(u"fibu"_s);
    QDir().mkpath(target);
    QString started;
    WhenModalShown([&started, target](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        started = dialog->directory().absolutePath();
        dialog->setDirectory(target);
        dialog->selectFile(target);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    run(window, u"Import/Export"_s, u"Exportpfad für Lexware Lohndatenexport einstellen"_s);
    // The shipped line names no directory: the program directory.
    EXPECT_EQ(started, QDir(ProgramDir).absolutePath());
    EXPECT_TRUE(QString::fromLatin1(readBytes(ImExDir + u"Lohnlex.exp"_s))
                    .contains(u"\r\nSFILE="_s + target + u"/Lohnlext.txt\r\n"_s));
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(DataSafetyMenuTest, EntriesFollowTheAvailableServices) {
    TF_LumoMain window(dispatcher);
    const struct {
        const char16_t* menu;
        const char16_t* caption;
        DataSafetyService service;
    } cases[] = {
        {u"Datensicherung", u"Datenbanken sichern", DataSafetyService::DatabaseBackup},
        {u"Datensicherung", u"Textbausteine exportieren", DataSafetyService::FileGroupBackup},
        {u"Datensicherung", u"Tresor aufräumen", DataSafetyService::Vault},
        {u"Datensicherung", u"Pfade einstellen", DataSafetyService::PathForm},
        {u"Datensicherung", u"Ftp-Zugang einrichten", DataSafetyService::FtpForm},
        {u"Import/Export", u"Kundenexport in ASCII-Datei", DataSafetyService::ImportExport},
        {u"Import/Export", u"Datev-Schnittstelle", DataSafetyService::Datev},
    };
    for (const auto& c : cases) {
        QAction* item = window.menuItem(QString::fromUtf16(c.menu), QString::fromUtf16(c.caption));
        ASSERT_NE(item, nullptr) << QString::fromUtf16(c.caption).toStdString();
        EXPECT_EQ(item->isEnabled(), IsDataSafetyServiceAvailable(c.service));
    }
}

TEST_F(DataSafetyMenuTest, ReorganisationEntryFollowsItsOpener) {
    {
        SetDbReorgOpener({});
        TF_LumoMain window(dispatcher);
        QAction* item = window.menuItem(u"Datensicherung"_s, u"Datenreorganisation"_s);
        ASSERT_NE(item, nullptr);
        EXPECT_FALSE(item->isEnabled());
    }
    int opened = 0;
    SetDbReorgOpener([&opened] { ++opened; });
    {
        TF_LumoMain window(dispatcher);
        QAction* item = window.menuItem(u"Datensicherung"_s, u"Datenreorganisation"_s);
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(item->isEnabled());
        item->trigger();
        EXPECT_EQ(opened, 1);
    }
    SetDbReorgOpener({});
}

} // namespace

namespace {

// Every entry's caption, submenus with their entries indented beneath.
QStringList captions(const QMenu& menu, const QString& indent = {}) {
    QStringList list;
    for (QAction* action : menu.actions()) {
        if (action->isSeparator())
            continue;
        list << indent + action->text();
        if (QMenu* sub = action->menu())
            list << captions(*sub, indent + u"  "_s);
    }
    return list;
}

TEST(DataSafetyMenuLayout, TransferSubmenusCarryTheDatabasesAndTheFourFileGroups) {
    QMenu menu;
    FillDatensicherungMenu(&menu, nullptr);
    const QStringList all = captions(menu);
    const QString groups[] = {u"Formular-Layouts"_s, u"Import/Export-Definitionen"_s,
                              u"Mahnbrief-Vorlagen"_s, u"Textbausteine"_s};
    const struct {
        const char16_t* title;
        const char16_t* databases;
        const char16_t* verb;
    } transfers[] = {
        {u"Transport-Datenträger erstellen", u"Datenbanken exportieren", u"exportieren"},
        {u"Transport-Datenträger einlesen", u"Datenbanken importieren", u"importieren"},
        {u"Daten in Tresor ablegen", u"Datenbanken versenden", u"versenden"},
        {u"Daten aus Tresor abrufen", u"Datenbanken empfangen", u"empfangen"},
    };
    for (const auto& t : transfers) {
        const qsizetype at = all.indexOf(QString::fromUtf16(t.title));
        ASSERT_GE(at, 0) << QString::fromUtf16(t.title).toStdString();
        QStringList expected{u"  "_s + QString::fromUtf16(t.databases)};
        for (const QString& group : groups)
            expected << u"  "_s + group + u' ' + QString::fromUtf16(t.verb);
        expected << u"  Abbrechen"_s;
        EXPECT_EQ(all.mid(at + 1, expected.size()), expected);
    }
    const qsizetype deleting = all.indexOf(u"Sicherungsdaten löschen"_s);
    ASSERT_GE(deleting, 0);
    EXPECT_EQ(all.mid(deleting + 1, 7),
              (QStringList{u"  Datenbank-Sicherungen löschen"_s,
                           u"  Sicherungen der Formularlayouts löschen"_s,
                           u"  Sicherungen der Import/Export-Definitionen löschen"_s,
                           u"  Sicherungen der Mahnbrief-Vorlagen löschen"_s,
                           u"  Sicherungen der Textbausteine löschen"_s, u"  Tresor aufräumen"_s,
                           u"  Abbrechen"_s}));
}

} // namespace
