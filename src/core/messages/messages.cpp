#include "core/messages/messages.h"

#include "core/messages/messagecatalog.h"
#include "platform/errors.h"

#include <QStringList>

namespace {
MessagePresenter* g_presenter = nullptr;

constexpr qsizetype kMaxLineLength = 300;
constexpr qsizetype kMaxLines = 40;

// A box no screen can show helps nobody: overlong lines and surplus lines
// are cut, whatever text reached the message.
QString readable(const QString& text) {
    if (text.size() <= kMaxLineLength && !text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    QStringList lines = text.split(u'\r');
    if (lines.size() > kMaxLines) {
        lines.resize(kMaxLines);
        lines.last() = QStringLiteral("…");
    }
    for (QString& line : lines)
        line = ShownValue(line, kMaxLineLength);
    return lines.join(u'\r');
}

bool present(MessagePresenter::Kind kind, const QString& text, int x = -1, int y = -1) {
    return g_presenter ? g_presenter->show(kind, readable(text), x, y) : false;
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
bool AsksToDelete(const QString& question) {
    // "löschen", "gelöscht", "Löschung": every question of the program that
    // deletes says so in these words.
    return question.contains(QStringLiteral("lösch"), Qt::CaseInsensitive);
}

void ShowNoSearchField() {
    ShowInfo(LoadMessage(65258));
}

bool RunShowingErrors(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const Abort&) {
    } catch (const DbError& e) {
        ShowError(e.message());
    } catch (const std::exception& e) {
        ShowError(QString::fromLocal8Bit(e.what()));
    }
    return false;
}
