#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

// Runs `action` on the next modal window as soon as it is shown: schedule it
// before the call that opens the window. Polls on the event loop that the
// modal window runs, so it waits only as long as the window takes to appear.
inline void WhenModalShown(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

// Runs `action` on the first modal window of type T, passing over the others.
template <typename T> void WhenModalOfTypeShown(std::function<void(T*)> action) {
    WhenModalShown([action = std::move(action)](QWidget* modal) {
        if (auto* w = qobject_cast<T*>(modal))
            action(w);
        else
            WhenModalOfTypeShown<T>(action);
    });
}
