#include "core/messages.h"

#include "core/messagecatalog.h"

namespace {
MessagePresenter* g_presenter = nullptr;

bool present(MessagePresenter::Kind kind, const QString& text, int x = -1, int y = -1) {
    return g_presenter ? g_presenter->show(kind, text, x, y) : false;
}
} // namespace

MessagePresenter* SetMessagePresenter(MessagePresenter* presenter) {
    MessagePresenter* previous = g_presenter;
    g_presenter = presenter;
    return previous;
}

void ShowError(const QString& msg) {
    present(MessagePresenter::Kind::Error, msg);
}
void ShowErrorAt(const QString& msg, int x, int y) {
    present(MessagePresenter::Kind::Error, msg, x, y);
}
void ShowInfo(const QString& msg) {
    present(MessagePresenter::Kind::Info, msg);
}
void ShowInfoQuiet(const QString& msg) {
    present(MessagePresenter::Kind::InfoQuiet, msg);
}
bool AskYesNo(const QString& msg) {
    return present(MessagePresenter::Kind::Question, msg);
}
bool AskYesNoAt(const QString& msg, int x, int y) {
    return present(MessagePresenter::Kind::Question, msg, x, y);
}
bool AskWarningOkCancel(const QString& msg) {
    return present(MessagePresenter::Kind::Warning, msg);
}
void ShowNoSearchField() {
    ShowInfo(LoadMessage(65258));
}
