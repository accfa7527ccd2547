#include "datasafety/interchange/heldmessages.h"

HeldMessages::HeldMessages() : m_previous(SetMessagePresenter(this)) {}

HeldMessages::~HeldMessages() {
    SetMessagePresenter(m_previous);
}

bool HeldMessages::show(Kind kind, const QString& text, int, int) {
    QString line = text;
    line.replace(u'\r', u' ');
    m_texts.append(line.simplified());
    return kind != Kind::Question && kind != Kind::Warning;
}

QString HeldMessages::take(const QString& error) {
    QStringList parts = m_texts;
    m_texts.clear();
    QString shown = error;
    shown.replace(u'\r', u' ');
    shown = shown.simplified();
    if (!shown.isEmpty() && !parts.contains(shown))
        parts.append(shown);
    return parts.join(u' ');
}

std::vector<QString> HeldMessages::rest() {
    std::vector<QString> texts(m_texts.cbegin(), m_texts.cend());
    m_texts.clear();
    return texts;
}
