#include "platform/widgets/dbdateedit.h"

#include "platform/table/field.h"
#include "platform/widgets/fieldlink.h"

#include <QAction>
#include <QCalendarWidget>
#include <QStyle>
#include <QVBoxLayout>

namespace widgets {

DbDateEdit::DbDateEdit(DataSource& source, const QString& field, QWidget* parent)
    : QLineEdit(parent), m_link(new FieldLink(source, field, this)) {
    setPlaceholderText(QStringLiteral("TT.MM.JJJJ"));
    setMaxLength(10);
    m_calendarAction = addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                 QLineEdit::TrailingPosition);
    m_calendarAction->setToolTip(QStringLiteral("Kalender"));
    connect(m_calendarAction, &QAction::triggered, this, &DbDateEdit::showCalendar);
    connect(this, &QLineEdit::editingFinished, this, &DbDateEdit::commit);
    m_link->setRefresh([this] {
        const table::Field* f = m_link->field();
        setText(f && !f->isNull() ? f->asDate().toString(QStringLiteral("dd.MM.yyyy")) : QString());
        const bool editable = m_link->editable();
        setReadOnly(!editable);
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

void DbDateEdit::showCalendar() {
    if (isReadOnly())
        return;
    auto* popup = new QWidget(this, Qt::Popup);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(popup);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* calendar = new QCalendarWidget(popup);
    calendar->setFirstDayOfWeek(Qt::Monday);
    calendar->setLocale(QLocale(QLocale::German, QLocale::Germany));
    const QDate current = QDate::fromString(text(), QStringLiteral("dd.MM.yyyy"));
    calendar->setSelectedDate(current.isValid() ? current : QDate::currentDate());
    layout->addWidget(calendar);
    connect(calendar, &QCalendarWidget::activated, this, [this, popup](const QDate& date) {
        popup->close();
        setText(date.toString(QStringLiteral("dd.MM.yyyy")));
        setModified(true);
        commit();
    });
    popup->move(mapToGlobal(rect().bottomLeft()));
    popup->show();
}

} // namespace widgets
