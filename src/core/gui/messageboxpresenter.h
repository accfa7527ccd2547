#pragma once

#include "core/messages/messages.h"

#include <functional>

class QMessageBox;

// Shows the program's message boxes as modal QMessageBoxes with the German
// captions and buttons. Every box but the quiet notice sounds first; the
// sound is a replaceable function so tests can count it.
class MessageBoxPresenter : public MessagePresenter {
public:
    using Beep = std::function<void()>;
    explicit MessageBoxPresenter(Beep beep = {});

    bool show(Kind kind, const QString& text, int x, int y) override;

private:
    Beep m_beep;
};

// Installs one process-wide MessageBoxPresenter for ShowError, AskYesNo and
// their siblings; called once by the program's start-up.
void InstallMessageBoxes();
