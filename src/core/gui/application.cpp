#include "core/gui/application.h"

#include "core/messages.h"
#include "platform/errors.h"

#include <exception>

using namespace Qt::StringLiterals;

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

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
        ShowError(u"Unerwarteter Programmfehler:\r"_s + QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowError(u"Unerwarteter Programmfehler."_s);
    }
}
