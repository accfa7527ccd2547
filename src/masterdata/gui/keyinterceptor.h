#pragma once

#include <QKeySequence>
#include <QObject>
#include <functional>

class QWidget;

// Runs an action for one key combination typed into a widget, in place of
// what the widget and its earlier filters would do with it: a declared
// form's own meaning of a key in a control that the host built.
class KeyInterceptor : public QObject {
public:
    // Owned by widget. The key is consumed; errors of the action are shown.
    static void install(QWidget& widget, const QKeySequence& key, std::function<void()> action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyInterceptor(QWidget& widget, const QKeySequence& key, std::function<void()> action);

    QWidget& m_widget;
    QKeySequence m_key;
    std::function<void()> m_action;
};
