#pragma once

#include <QDoubleSpinBox>

namespace widgets {

class DataSource;
class FieldLink;

// A number field with up/down steps; the range follows the field's type
// (-32768 to 32767 for a Smallint), whole-number fields show no decimals.
// The value is written when editing ends.
class DbSpinEdit : public QDoubleSpinBox {
    Q_OBJECT
public:
    DbSpinEdit(DataSource& source, const QString& field, QWidget* parent = nullptr);
    FieldLink& link() const { return *m_link; }

    QString textFromValue(double value) const override;

private:
    void commit();
    FieldLink* m_link;
    bool m_changed = false;
};

} // namespace widgets
