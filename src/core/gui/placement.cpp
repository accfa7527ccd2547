#include "core/gui/placement.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {
QPointer<QWidget>& mainFormRef() {
    static QPointer<QWidget> mainForm;
    return mainForm;
}
} // namespace

void SetMainForm(QWidget* mainForm) {
    mainFormRef() = mainForm;
}

QWidget* MainForm() {
    return mainFormRef().data();
}

void PlaceBelowMainForm(QWidget* form, int dx, int dy, int dw) {
    const QWidget* main = MainForm();
    if (form == nullptr || main == nullptr)
        return;
    const QRect frame = main->frameGeometry();
    form->move(frame.left() + dx, frame.top() + frame.height() + dy);
    // The widths are those of the whole windows, frames included.
    const int formFrameExtra = form->frameGeometry().width() - form->width();
    form->resize(frame.width() + dw - formFrameExtra, form->height());
}

int GetEditScreenX(const QWidget* control) {
    if (control == nullptr)
        return 0;
    return control->mapToGlobal(QPoint(0, 0)).x();
}

int GetEditScreenY(const QWidget* control) {
    if (control == nullptr)
        return 0;
    return control->mapToGlobal(QPoint(0, 0)).y();
}

void MoveOnScreen(QWidget& window, int left, int top) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        window.move(std::max(left, 0), std::max(top, 0));
        return;
    }
    const QRect available = screen->availableGeometry();
    QRect frame = window.frameGeometry();
    // A frame not yet known by the window system counts a title bar's height.
    const int extra = window.isVisible() ? 0 : 30;
    frame.setHeight(frame.height() + extra);
    if (left < 0 || top < 0)
        frame.moveCenter(available.center());
    else
        frame.moveTopLeft(QPoint(left, top));
    if (frame.right() > available.right())
        frame.moveRight(available.right());
    if (frame.bottom() > available.bottom())
        frame.moveBottom(available.bottom());
    if (frame.left() < available.left())
        frame.moveLeft(available.left());
    if (frame.top() < available.top())
        frame.moveTop(available.top());
    window.move(frame.topLeft());
}
