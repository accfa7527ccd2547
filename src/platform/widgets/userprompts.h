#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace widgets {

// How the kit talks to the user. The defaults are message boxes; the
// application may route them through its own message service, and tests
// install scripted ones.
using ErrorPresenter = std::function<void(QWidget* parent, const QString& message)>;
using QuestionPresenter = std::function<bool(QWidget* parent, const QString& question)>;

// An empty function restores the default (an error box captioned "Fehler").
void setErrorPresenter(ErrorPresenter presenter);
// An empty function restores the default (a Yes/No box; only "Ja" consents).
void setQuestionPresenter(QuestionPresenter presenter);

void showError(QWidget* parent, const QString& message);
bool askYesNo(QWidget* parent, const QString& question);

// Runs a user action: a silent Abort ends it quietly, any other error is shown.
// True when the action ran through.
bool guarded(QWidget* parent, const std::function<void()>& action);

} // namespace widgets
