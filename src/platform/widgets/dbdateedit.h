#pragma once

#include <QLineEdit>
#include <functional>

namespace widgets {

class DataSource;
class DbDateEdit;
class FieldLink;

// The program's one calendar, opened beside a date field; true when it wrote
// a date into the field. The dialogs library installs it at start-up, so the
// kit needs nothing of the dialogs.
using DatePicker = std::function<bool(DbDateEdit&)>;
// An empty function removes the calendar (the field then only takes typing).
void setDatePicker(DatePicker picker);
bool hasDatePicker();

// A date field as "dd.MM.yyyy" text (empty for no date); typed forms such as
// "1.2.2024" are taken. A double-click, Alt+K or the button at its right edge
// opens the installed calendar.
class DbDateEdit : public QLineEdit {
    Q_OBJECT
public:
    DbDateEdit(DataSource& source, const QString& field, QWidget* parent = nullptr);
    FieldLink& link() const { return *m_link; }
    // Opens the calendar; false when none is installed, the field is
    // read-only or the user cancelled.
    bool showCalendar();

protected:
    bool event(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void commit();
    FieldLink* m_link;
    QAction* m_calendarAction;
};

} // namespace widgets
