#pragma once

#include <QLineEdit>

class QCalendarWidget;

namespace widgets {

class DataSource;
class FieldLink;

// A date field as "dd.MM.yyyy" text (empty for no date), with a calendar to
// pick from; typed forms such as "1.2.2024" are taken.
class DbDateEdit : public QLineEdit {
    Q_OBJECT
public:
    DbDateEdit(DataSource& source, const QString& field, QWidget* parent = nullptr);
    FieldLink& link() const { return *m_link; }
    void showCalendar();

private:
    void commit();
    FieldLink* m_link;
    QAction* m_calendarAction;
};

} // namespace widgets
