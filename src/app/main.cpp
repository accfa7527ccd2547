#include "commercial/commercialrules.h"
#include "commercial/gui/commercialmodules.h"
#include "core/data/clientswitch.h"
#include "core/data/datamodule.h"
#include "core/data/locatefromadress.h"
#include "core/data/recordrules.h"
#include "core/data/reorgdatamodule.h"
#include "core/data/startclient.h"
#include "core/datagui/clientmenu.h"
#include "core/datagui/coremodules.h"
#include "core/files/appdirs.h"
#include "core/files/databasefile.h"
#include "core/files/manualinstall.h"
#include "core/files/programdirs.h"
#include "core/gui/application.h"
#include "core/gui/datasafetymenu.h"
#include "core/gui/f_ersteinrichtung.h"
#include "core/gui/loginform.h"
#include "core/gui/mainform.h"
#include "core/gui/messageboxpresenter.h"
#include "core/gui/messagelistwindow.h"
#include "core/gui/splashform.h"
#include "core/messages/messagecatalog.h"
#include "core/messages/messagelist.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "core/settings/programsettings.h"
#include "core/settings/regionalsettings.h"
#include "core/settings/settingsfiles.h"
#include "core/singleinstance.h"
#include "core/startup.h"
#include "core/values/currency.h"
#include "datasafety/databasesnapshot.h"
#include "datasafety/datasafety.h"
#include "datasafety/gui/datasafetymodules.h"
#include "datasafety/restoreswap.h"
#include "dbstructure/gui/f_dbreorg.h"
#include "dbstructure/upgrade.h"
#include "manual/manualcontent.h"
#include "masterdata/dialogs/dialoghooks.h"
#include "masterdata/dialogs/tf_dbrtf.h"
#include "masterdata/dialogs/tf_kalender.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/masterdatamodules.h"
#include "operations/gui/operationsmodules.h"
#include "operations/tournextdate.h"
#include "platform/errors.h"
#include "printing/defaultprintforms.h"
#include "printing/gui/printingmodules.h"
#include "printing/printingsetup.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The program directory: "--home DIR", else $DOMVERA_HOME, else the user's
// data directory. Other arguments stay for the switches.
QString takeHomeArgument(QStringList& parameters) {
    QString home;
    for (qsizetype i = 0; i < parameters.size(); ++i) {
        if (parameters.at(i) == u"--home" && i + 1 < parameters.size()) {
            home = parameters.at(i + 1);
            parameters.remove(i, 2);
            break;
        }
        if (parameters.at(i).startsWith(u"--home=")) {
            home = parameters.at(i).mid(7);
            parameters.remove(i);
            break;
        }
    }
    return home.isEmpty() ? DefaultProgramDirectory() : QDir(home).absolutePath();
}

void showPlainMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, u"Domvera"_s, QString(text).replace(u'\r', u'\n'),
                    QMessageBox::Ok);
    box.exec();
}

// The name under which this workstation appears in the connected-users list.
QString operatingSystemUserName() {
    for (const char* variable : {"USER", "LOGNAME", "USERNAME"})
        if (const QString name = qEnvironmentVariable(variable).trimmed(); !name.isEmpty())
            return name;
    return QDir::home().dirName();
}

// The manual and the help folder in the program directory, laid out at the
// first start and refreshed by a newer version; a file that cannot be written
// is named, and the program goes on without it.
void installManual() {
    const ManualInstallReport report =
        InstallManual(ShippedManualDirectory(), ProgramDir, QStringLiteral(DOMVERA_VERSION_TEXT));
    if (report.failed.isEmpty())
        return;
    QStringList shown;
    for (const QString& file : report.failed.mid(0, 5))
        shown << QDir::toNativeSeparators(ProgramDir + file);
    if (report.failed.size() > 5)
        shown << u"(und %1 weitere)"_s.arg(report.failed.size() - 5);
    ShowError(u"Das Handbuch konnte nicht vollständig eingerichtet werden. Diese Dateien sind "
              u"nicht beschreibbar:\r"_s +
              shown.join(u'\r'));
}

} // namespace

int main(int argc, char** argv) {
    // Making the first master from a script needs no display at all.
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], FirstMasterSwitch) == 0 &&
            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    // Errors no module handled are shown by the application object.
    TApplication app(argc, argv);
    QApplication::setApplicationName(u"Domvera"_s);
    InstallMessageBoxes();
    MessageListWindowSink messageList;
    SetMessageListSink(&messageList);
    QStringList parameters = QApplication::arguments().mid(1);
    SetProgramDir(takeHomeArgument(parameters));
    DenyOthersAccessToNewFiles();

    ReadProgramVersion();
    SingleInstanceLock instance(WindowsDirectory(), VersionText);
    if (!instance.tryAcquire()) {
        // A plain box without a beep.
        showPlainMessage(AlreadyRunningMessage());
        return 1;
    }

    ReadCommandLineSwitches(parameters);
    if (!QDir().mkpath(ProgramDir)) {
        ShowError(LoadMessage(65100).replace(u"%s"_s, ProgramDir));
        return 1;
    }
    installManual();
    MandantNr = ReadStartMandant();
    DbUpgraded = false;
    ApplyStartupFormats();
    InitPrinting();

    // A new installation first gets its master user (or a script makes one).
    if (const int rc = RunFirstStart(parameters); rc >= 0)
        return rc;

    SetBackupPathsLoader(&LoadBackupPaths);
    dbstructure::InstallDatabaseUpgrader();
    // An upgraded client without layouts of its own gets the template's.
    SetTemplateDirsCopier(&CopyTemplateDirs);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        dbstructure::SetUpgradeScreenSize(screen->size());
    // Removed again on every way out of main; a crash leaves it for the next
    // start, which then checks the databases page by page.
    std::optional<SessionMark> session;
    try {
        GetWindowsDir();
        ProcessStartMarkers();
        // A restore a crash interrupted is completed before any client is used.
        if (!FinishInterruptedClientRestores())
            return 1;
        BuildStartDirs();
        // After the log file is known: the mark writes to it.
        session.emplace();
        // Copies of client data a killed backup left where nobody looks.
        RemoveLeftoverBackupWorkAtStart();
    } catch (const DbError& error) {
        ShowError(error.message());
        return 1;
    }
    NoSplash = QFileInfo::exists(ProgramDir + u"Nosplash"_s);
    MessageListEnabled = false;
    WriteLog(u"PROGSTART"_s);
    CreateSplash();

    try {
        // The template data of new clients first, then the start client's
        // databases: upgraded, or built from the template when missing.
        if (!EnsureTemplateData()) {
            FreeSplash();
            return 1;
        }
        // Before a first start builds its client from the template.
        EnsureDefaultPrintForms();
        if (!PrepareStartMandant()) {
            FreeSplash();
            return 1;
        }
    } catch (const DbError& error) {
        FreeSplash();
        ShowError(error.message());
        return 1;
    }
    WriteLog(u"Installdata OK"_s);
    InitCurrency();
    QCoreApplication::processEvents();

    if (!LoadRights()) {
        FreeSplash();
        return 1;
    }
    LoginActive = true;
    CreatePrintFont();

    TDataModule1 dataModule;
    InstallRecordRules(dataModule);
    InstallCommercialRules(dataModule);
    InstallDialogHooks(dataModule);
    ReorgDataModuleRegistration reorgAccess(dataModule);
    dataModule.SetSessionUserName(operatingSystemUserName());
    if (!OpenStartMandant(dataModule)) {
        FreeSplash();
        return 1;
    }

    ModuleDispatcher dispatcher;
    dispatcher.setLocator(&LocateFromAdress);
    RegisterCoreModules(dispatcher);
    RegisterMasterDataModules(dispatcher);
    RegisterPrintingModules(dispatcher);
    RegisterCommercialModules(dispatcher);
    RegisterOperationsModules(dispatcher);
    RegisterDataSafetyModules(dispatcher);
    SetDbReorgOpener(&RunDbReorg);
    // The rich-text fields of every form open the memo editor on a click.
    InstallRtfEditorOpener();
    TF_LumoMain window(dispatcher);
    // F_Kalender, first of the long-lived forms.
    const KalenderForm kalender;
    // The other long-lived forms, in their order, each named on the start-up screen.
    const LongLivedForms listForms;
    // No tour shows a next date in the past after the start.
    InstallClientSwitching(window,
                           [] { UpdateAllNextDates(DateTimeOfDate(QDate::currentDate())); });
    // The vault settings of the start client are loaded with the main window.
    LoadFtpSettings();
    if (SplashForm)
        SplashForm->showBackgroundOnly();
    if (!RunLogin()) {
        FreeSplash();
        return 0;
    }
    try {
        SelectMandant(MandantNr, false, true);
        WriteLog(u"Selectmandant OK"_s);
        SelectMandant(MandantNr, false, false);
    } catch (const ProgramEndRequested&) {
        FreeSplash();
        return 1;
    } catch (const DbError& error) {
        ShowError(error.message());
        FreeSplash();
        return 1;
    }
    window.ApplyMenuRights();
    // The background picture stays on screen behind the main window; closing
    // the main window alone ends the program.
    if (SplashForm)
        SplashForm->setAttribute(Qt::WA_QuitOnClose, false);
    window.show();
    // Closing the main window logs "LOGOUT PROGEND".
    const int result = QApplication::exec();
    FreePrintFont();
    FreeSplash();
    SetMessageListSink(nullptr);
    return result;
}
