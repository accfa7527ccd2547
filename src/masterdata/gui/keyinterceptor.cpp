#include "masterdata/gui/keyinterceptor.h"

#include "platform/widgets/userprompts.h"

#include <QKeyEvent>
#include <QWidget>

void KeyInterceptor::install(QWidget& widget, const QKeySequence& key,
                             std::function<void()> action) {
    widget.installEventFilter(new KeyInterceptor(widget, key, std::move(action)));
}

KeyInterceptor::KeyInterceptor(QWidget& widget, const QKeySequence& key,
                               std::function<void()> action)
    : QObject(&widget), m_widget(widget), m_key(key), m_action(std::move(action)) {}

bool KeyInterceptor::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_widget || event->type() != QEvent::KeyPress)
        return false;
    const auto* k = static_cast<const QKeyEvent*>(event);
    if (QKeySequence(k->keyCombination()) != m_key)
        return false;
    widgets::guarded(m_widget.window(), m_action);
    return true;
}
