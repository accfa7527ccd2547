#pragma once

#include "core/messages/messages.h"

#include <QStringList>
#include <vector>

// While it lives, the program's message boxes are held instead of shown:
// texts are kept, questions answer "Nein". A data run installs it around an
// open transaction, where no box may appear, and shows what was said after
// the transaction has ended.
class HeldMessages : public MessagePresenter {
public:
    HeldMessages();
    ~HeldMessages() override;
    HeldMessages(const HeldMessages&) = delete;
    HeldMessages& operator=(const HeldMessages&) = delete;

    bool show(Kind kind, const QString& text, int x, int y) override;

    // The texts held since the last take, with `error` after them (when it is
    // not among them), joined by blanks; they are then forgotten.
    QString take(const QString& error);
    // Every text held and not taken, in order.
    std::vector<QString> rest();

private:
    MessagePresenter* m_previous = nullptr;
    QStringList m_texts;
};
