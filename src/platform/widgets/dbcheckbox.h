#pragma once

#include <QCheckBox>

namespace widgets {

class DataSource;
class FieldLink;

// A check box for a Boolean field; a click writes the value at once.
class DbCheckBox : public QCheckBox {
    Q_OBJECT
public:
    DbCheckBox(DataSource& source, const QString& field, const QString& caption = {},
               QWidget* parent = nullptr);
    FieldLink& link() const { return *m_link; }

private:
    FieldLink* m_link;
};

} // namespace widgets
