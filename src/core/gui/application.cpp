#include "core/gui/application.h"

#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "platform/errors.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

using namespace Qt::StringLiterals;

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // Qt's own dialogs (file, font, print, colour) and the standard buttons
    // speak German like the rest of the program.
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::German, QLocale::Germany), u"qtbase"_s, u"_"_s,
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    else
        delete translator;
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowUnhandledError();
    }
    return false;
}

void ShowUnhandledError() {
    try {
        throw;
    } catch (const Abort&) {
    } catch (const DbError& error) {
        ShowError(error.message());
    } catch (const std::exception& error) {
        // A fault of the program: kept in the log for whoever looks into it.
        const QString what = QString::fromLocal8Bit(error.what());
        WriteLog(u"Unerwarteter Programmfehler: "_s + what);
        ShowError(u"Unerwarteter Programmfehler:\r"_s + what);
    } catch (...) {
        WriteLog(u"Unerwarteter Programmfehler"_s);
        ShowError(u"Unerwarteter Programmfehler."_s);
    }
}
