#include "core/gui/formstorage.h"

#include "core/messages/messages.h"
#include "core/settings/formplacement.h"
#include "platform/errors.h"

#include <QAbstractButton>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTableView>
#include <QTreeView>
#include <QWidget>

namespace {
struct PropertyTarget {
    QObject* object = nullptr;
    QString property;
};

PropertyTarget resolve(QWidget* form, const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return {form, name};
    const QString objectName = name.left(dot);
    QObject* child = form->findChild<QObject*>(objectName);
    return {child, name.mid(dot + 1)};
}

QHeaderView* headerOf(QObject* object) {
    if (auto* table = qobject_cast<QTableView*>(object))
        return table->horizontalHeader();
    if (auto* tree = qobject_cast<QTreeView*>(object))
        return tree->header();
    return nullptr;
}

bool isCaption(const PropertyTarget& target) {
    return target.property.compare(QStringLiteral("Caption"), Qt::CaseInsensitive) == 0 &&
           (qobject_cast<QLabel*>(target.object) || qobject_cast<QAbstractButton*>(target.object));
}

bool isColumns(const PropertyTarget& target) {
    return target.property.compare(QStringLiteral("Columns"), Qt::CaseInsensitive) == 0 &&
           headerOf(target.object) != nullptr;
}

std::optional<QString> readProperty(const PropertyTarget& target) {
    if (target.object == nullptr)
        return std::nullopt;
    if (isColumns(target))
        return QString::fromLatin1(headerOf(target.object)->saveState().toBase64());
    const QVariant value = target.object->property(
        isCaption(target) ? "text" : target.property.toLatin1().constData());
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

void writeProperty(const PropertyTarget& target, const QString& text) {
    if (target.object == nullptr)
        return;
    if (isColumns(target)) {
        headerOf(target.object)->restoreState(QByteArray::fromBase64(text.toLatin1()));
        return;
    }
    target.object->setProperty(isCaption(target) ? "text" : target.property.toLatin1().constData(),
                               text);
}

bool onSomeScreen(const QPoint& point) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(point))
            return true;
    }
    return false;
}
} // namespace

FormStorage::FormStorage(QWidget* form, QString fileName, QString section, int options)
    : QObject(form), m_form(form), m_fileName(std::move(fileName)), m_section(std::move(section)),
      m_options(options) {
    form->installEventFilter(this);
}

void FormStorage::restore() {
    m_restored = true;
    const std::optional<FormPlacement> placement =
        ReadFormPlacement(m_fileName, m_section, m_options, m_properties);
    if (!placement)
        return;
    if (placement->geometry) {
        const QRect& g = *placement->geometry;
        // A window left on a screen that is gone stays where the design put it.
        if (onSomeScreen(g.topLeft()))
            m_form->move(g.topLeft());
        m_form->resize(g.size());
    }
    if (placement->state) {
        Qt::WindowStates states =
            m_form->windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized);
        if (*placement->state == PlacementWindowState::Maximized)
            states |= Qt::WindowMaximized;
        m_form->setWindowState(states);
    }
    for (auto it = placement->properties.cbegin(); it != placement->properties.cend(); ++it)
        writeProperty(resolve(m_form, it.key()), it.value());
}

void FormStorage::save() {
    FormPlacement placement;
    const bool maximized = m_form->isMaximized();
    if (maximized) {
        placement.geometry = m_form->normalGeometry();
    } else {
        placement.geometry = QRect(m_form->pos(), m_form->size());
    }
    placement.state = maximized ? PlacementWindowState::Maximized : PlacementWindowState::Normal;
    for (const QString& name : m_properties) {
        if (const std::optional<QString> value = readProperty(resolve(m_form, name)))
            placement.properties.insert(name, *value);
    }
    WriteFormPlacement(m_fileName, m_section, m_options, placement);
}

bool FormStorage::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_form)
        return false;
    const bool showing = event->type() == QEvent::Show && !m_restored;
    const bool leaving =
        (event->type() == QEvent::Hide || event->type() == QEvent::Close) && m_restored;
    if (!showing && !leaving)
        return false;
    // Errors cannot leave an event handler; the user is told instead.
    try {
        if (showing)
            restore();
        else
            save();
    } catch (const DbError& error) {
        ShowError(error.message());
    }
    return false;
}
