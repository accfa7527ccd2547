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

private:
    void commit();
    FieldLink* m_link;
};

} // namespace widgets
