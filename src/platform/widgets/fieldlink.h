#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>

namespace table {
class Field;
}

namespace widgets {

class DataSource;

// Binds one widget to one field of a data source: tells the widget when to
// show the field again and whether it may change it, and writes the user's
// values through the table object. A value the field cannot take is refused
// with a message before the record is touched, so nothing is half-posted.
class FieldLink : public QObject {
    Q_OBJECT
public:
    FieldLink(DataSource& source, const QString& fieldName, QWidget* widget);

    DataSource& source() const { return m_source; }
    const QString& fieldName() const { return m_fieldName; }
    // The field of the current record; nullptr while the table is closed or
    // has no such field.
    table::Field* field() const;
    // True when a record can be changed now: the table is open, the field is
    // stored, and the table and the rights allow it.
    bool editable() const;

    // Writes a user's value; an unchanged value starts no edit. False (after a
    // message) when refused; the widget should then show the field again.
    bool write(const QVariant& value);

    // Called whenever the widget should show the field again; `loading()` is
    // true meanwhile so change signals of the widget can be told apart.
    void setRefresh(std::function<void()> refresh);
    bool loading() const { return m_loading; }
    void refresh();

private:
    void writeChecked(const QVariant& typed);

    DataSource& m_source;
    QString m_fieldName;
    QWidget* m_widget;
    std::function<void()> m_refresh;
    bool m_loading = false;
};

} // namespace widgets
