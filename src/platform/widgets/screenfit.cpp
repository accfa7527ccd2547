#include "platform/widgets/screenfit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>

namespace widgets {

namespace {

QMargins marginsOf(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

// The window manager's frame: the window's own once it has one, else that
// of another window already framed (the main window), else none.
QMargins frameMargins(const QWidget& window) {
    const QMargins own = marginsOf(window);
    if (!own.isNull())
        return own;
    for (const QWidget* other : QApplication::topLevelWidgets())
        if (other != &window && other->isVisible())
            if (const QMargins m = marginsOf(*other); !m.isNull())
                return m;
    return {};
}

class ScreenKeeper : public QObject {
public:
    explicit ScreenKeeper(QWidget& window) : QObject(&window), m_window(window) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_window && event->type() == QEvent::Show)
            FitToScreen(m_window);
        return false;
    }

private:
    QWidget& m_window;
};

// Inside a scrolling page the user scrolls to the button.
bool scrolledTo(const QWidget& widget, const QWidget& window) {
    for (const QWidget* w = widget.parentWidget(); w && w != &window; w = w->parentWidget())
        if (qobject_cast<const QScrollArea*>(w))
            return true;
    return false;
}

} // namespace

QRect ScreenRoom(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void FitToScreen(QWidget& window) {
    if (!window.isWindow())
        return;
    const QRect room = ScreenRoom(window);
    if (room.isEmpty())
        return;
    const QMargins frame = frameMargins(window);
    const QSize inner = room.size().shrunkBy(frame);
    if (window.minimumWidth() > inner.width())
        window.setMinimumWidth(inner.width());
    if (window.minimumHeight() > inner.height())
        window.setMinimumHeight(inner.height());
    if (window.isMaximized() || window.isFullScreen())
        return;
    // Where it stands, the window gives up height (and width) down to what
    // its contents need before it moves, a designed minimum included: a form
    // below the main window stays below it.
    const QPoint at = window.pos();
    const QSize least = window.minimumSizeHint().boundedTo(inner);
    QSize size = window.size().boundedTo(inner);
    const int roomRight = room.left() + room.width() - at.x() - frame.left() - frame.right();
    const int roomBelow = room.top() + room.height() - at.y() - frame.top() - frame.bottom();
    if (size.width() > roomRight && roomRight >= least.width()) {
        size.setWidth(roomRight);
        window.setMinimumWidth(std::min(window.minimumWidth(), roomRight));
    }
    if (size.height() > roomBelow && roomBelow >= least.height()) {
        size.setHeight(roomBelow);
        window.setMinimumHeight(std::min(window.minimumHeight(), roomBelow));
    }
    if (size != window.size())
        window.resize(size);
    const QSize outer = window.size().grownBy(frame);
    // Left and top edges win where even the cut window is too large.
    const int right = std::max(room.left(), room.left() + room.width() - outer.width());
    const int bottom = std::max(room.top(), room.top() + room.height() - outer.height());
    const QPoint inside(std::clamp(at.x(), room.left(), right),
                        std::clamp(at.y(), room.top(), bottom));
    if (inside != at)
        window.move(inside);
}

void KeepOnScreen(QWidget& window) {
    if (!window.findChild<ScreenKeeper*>(QString(), Qt::FindDirectChildrenOnly))
        new ScreenKeeper(window);
}

QStringList OffScreenParts(const QWidget& window) {
    const QRect room = ScreenRoom(window);
    if (!room.contains(window.frameGeometry()))
        return {QStringLiteral("Fenster")};
    QStringList outside;
    // A layout squeezed below what it needs lets its parts overlap.
    const QSize needed = window.layout() ? window.layout()->totalMinimumSize() : QSize();
    if (needed.width() > window.width() || needed.height() > window.height())
        outside.append(QStringLiteral("Inhalt"));
    const QRect inner(window.mapToGlobal(QPoint(0, 0)), window.size());
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(&window) || button->window() != &window ||
            scrolledTo(*button, window))
            continue;
        const QRect at(button->mapToGlobal(QPoint(0, 0)), button->size());
        if (!room.contains(at) || !inner.contains(at))
            outside.append(button->text().isEmpty() ? button->objectName() : button->text());
    }
    return outside;
}

} // namespace widgets
