#pragma once

#include <QLineEdit>

namespace widgets {

class DataSource;
class FieldLink;

// A one-line edit of a field; the value is written when editing ends (Enter
// or leaving the box).
class DbEdit : public QLineEdit {
    Q_OBJECT
public:
    DbEdit(DataSource& source, const QString& field, QWidget* parent = nullptr);
    FieldLink& link() const { return *m_link; }
    // Keeps the edit read-only through every change of the table's state.
    void setAlwaysReadOnly(bool on);
    bool isAlwaysReadOnly() const { return m_alwaysReadOnly; }

private:
    void commit();
    FieldLink* m_link;
    bool m_alwaysReadOnly = false;
};

} // namespace widgets
