#include "core/appdirs.h"
#include "core/gui/application.h"
#include "core/gui/f_ersteinrichtung.h"
#include "core/gui/loginform.h"
#include "core/gui/mainform.h"
#include "core/gui/messageboxpresenter.h"
#include "core/gui/messagelistwindow.h"
#include "core/gui/splashform.h"
#include "core/messagecatalog.h"
#include "core/messagelist.h"
#include "core/messages.h"
#include "core/moduleentries.h"
#include "core/programdirs.h"
#include "core/programsettings.h"
#include "core/rights.h"
#include "core/singleinstance.h"
#include "core/startup.h"
#include "core/syslog.h"
#include "datasafety/datasafety.h"
#include "dbstructure/upgrade.h"
#include "platform/errors.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>

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

} // namespace

int main(int argc, char** argv) {
    // Errors no module handled are shown by the application object.
    TApplication app(argc, argv);
    QApplication::setApplicationName(u"Domvera"_s);
    InstallMessageBoxes();
    MessageListWindowSink messageList;
    SetMessageListSink(&messageList);
    QStringList parameters = QApplication::arguments().mid(1);
    SetProgramDir(takeHomeArgument(parameters));

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
    MandantNr = ReadStartMandant();
    DbUpgraded = false;

    // A new installation first gets its master user (or a script makes one).
    if (const int rc = RunFirstStart(parameters); rc >= 0)
        return rc;

    SetBackupPathsLoader(&LoadBackupPaths);
    dbstructure::InstallDatabaseUpgrader();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        dbstructure::SetUpgradeScreenSize(screen->size());
    try {
        GetWindowsDir();
        ProcessStartMarkers();
        BuildStartDirs();
    } catch (const DbError& error) {
        ShowError(error.message());
        return 1;
    }
    NoSplash = QFileInfo::exists(ProgramDir + u"Nosplash"_s);
    MessageListEnabled = false;
    WriteLog(u"PROGSTART"_s);
    CreateSplash();

    try {
        if (!CheckDatabaseVersion()) {
            FreeSplash();
            return 1;
        }
    } catch (const DbError& error) {
        FreeSplash();
        ShowError(error.message());
        return 1;
    }
    WriteLog(u"Installdata OK"_s);
    QApplication::setApplicationDisplayName(u"Domvera v2.40"_s);
    QCoreApplication::processEvents();

    if (!LoadRights()) {
        FreeSplash();
        return 1;
    }
    LoginActive = true;

    ModuleDispatcher dispatcher;
    TF_LumoMain window(dispatcher);
    // The vault settings of the start client are loaded with the main window.
    LoadFtpSettings();
    if (SplashForm)
        SplashForm->showBackgroundOnly();
    if (!RunLogin()) {
        FreeSplash();
        return 0;
    }
    window.ApplyMenuRights();
    window.show();
    // Closing the main window logs "LOGOUT PROGEND".
    const int result = QApplication::exec();
    FreeSplash();
    SetMessageListSink(nullptr);
    return result;
}
