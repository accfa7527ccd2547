#pragma once

#include <QString>
#include <functional>

// The program's message boxes. Engine code calls these free functions; what shows
// them is an installed MessagePresenter (the GUI installs one with real boxes,
// tests install a scripted one). Texts use "\r" between lines.
class MessagePresenter {
public:
    enum class Kind { Error, Info, InfoQuiet, Question, Warning };
    virtual ~MessagePresenter() = default;
    // Shows a box; for Question returns true only for "Ja", for Warning (a
    // box "Warnung" with OK and Cancel) only for "OK". X/Y < 0: centred.
    virtual bool show(Kind kind, const QString& text, int x, int y) = 0;
};

// Installs the presenter used by the functions below (nullptr: none, the boxes
// are then not shown and questions answer "Nein"). Returns the previous one.
MessagePresenter* SetMessagePresenter(MessagePresenter* presenter);

void ShowError(const QString& msg);
void ShowErrorAt(const QString& msg, int x, int y);
void ShowInfo(const QString& msg);
void ShowInfoQuiet(const QString& msg);
bool AskYesNo(const QString& msg);
bool AskYesNoAt(const QString& msg, int x, int y);
// The box "Warnung" with OK and Cancel: true only for OK (no presenter: false).
bool AskWarningOkCancel(const QString& msg);
void ShowNoSearchField();
// Runs a command of a window: a silent Abort ends it quietly, any other
// error is shown as an error box. True when the command ran through.
bool RunShowingErrors(const std::function<void()>& command);

// A question whose "Ja" deletes something ("Möchten Sie den Datensatz
// löschen?"): its box has "Nein" as the default button, so that Enter never
// deletes. Every other question defaults to "Ja".
bool AsksToDelete(const QString& question);
