#include "platform/widgets/dbdateedit.h"

#include "platform/table/field.h"
#include "platform/widgets/fieldlink.h"

#include <QAction>
#include <QKeyEvent>
#include <QStyle>

namespace widgets {

namespace {

DatePicker& installedPicker() {
    static DatePicker picker;
    return picker;
}

} // namespace

void setDatePicker(DatePicker picker) {
    installedPicker() = std::move(picker);
}

bool hasDatePicker() {
    return bool(installedPicker());
}

DbDateEdit::DbDateEdit(DataSource& source, const QString& field, QWidget* parent)
    : QLineEdit(parent), m_link(new FieldLink(source, field, this)) {
    setPlaceholderText(QStringLiteral("TT.MM.JJJJ"));
    setMaxLength(10);
    m_calendarAction = addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                 QLineEdit::TrailingPosition);
    m_calendarAction->setToolTip(QStringLiteral("Kalender (Alt+K)"));
    connect(m_calendarAction, &QAction::triggered, this, &DbDateEdit::showCalendar);
    connect(this, &QLineEdit::editingFinished, this, &DbDateEdit::commit);
    m_link->setRefresh([this] {
        const table::Field* f = m_link->field();
        setText(f && !f->isNull() ? f->asDate().toString(QStringLiteral("dd.MM.yyyy")) : QString());
        const bool editable = m_link->editable();
        setReadOnly(!editable);
        m_calendarAction->setVisible(hasDatePicker());
        m_calendarAction->setEnabled(editable);
        setEnabled(f != nullptr);
        setModified(false);
    });
}

void DbDateEdit::commit() {
    if (!isModified() || isReadOnly())
        return;
    setModified(false);
    m_link->write(text());
}

bool DbDateEdit::showCalendar() {
    if (isReadOnly() || !hasDatePicker())
        return false;
    // A date typed but not yet written goes first, so the calendar starts on it.
    commit();
    if (isReadOnly())
        return false;
    // A copy: the picker may be replaced while its calendar is open.
    const DatePicker picker = installedPicker();
    return picker(*this);
}

namespace {

bool isCalendarKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_K && event->modifiers() == Qt::AltModifier;
}

} // namespace

bool DbDateEdit::event(QEvent* event) {
    // Alt+K belongs to the field, not to a menu or button of the form.
    if (event->type() == QEvent::ShortcutOverride && hasDatePicker() &&
        isCalendarKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void DbDateEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    if (hasDatePicker() && !isReadOnly()) {
        event->accept();
        showCalendar();
        return;
    }
    QLineEdit::mouseDoubleClickEvent(event);
}

void DbDateEdit::keyPressEvent(QKeyEvent* event) {
    if (isCalendarKey(event) && hasDatePicker()) {
        event->accept();
        showCalendar();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace widgets
