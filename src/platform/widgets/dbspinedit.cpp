#include "platform/widgets/dbspinedit.h"

#include "platform/table/field.h"
#include "platform/widgets/fieldlink.h"

#include <limits>

namespace widgets {

DbSpinEdit::DbSpinEdit(DataSource& source, const QString& field, QWidget* parent)
    : QDoubleSpinBox(parent), m_link(new FieldLink(source, field, this)) {
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setKeyboardTracking(false);
    connect(this, &QDoubleSpinBox::valueChanged, this, [this] {
        if (!m_link->loading())
            m_changed = true;
    });
    connect(this, &QDoubleSpinBox::editingFinished, this, &DbSpinEdit::commit);
    m_link->setRefresh([this] {
        const table::Field* f = m_link->field();
        int places = 2;
        double low = -1e12, high = 1e12;
        if (f) {
            switch (f->type()) {
            case table::FieldType::Smallint:
                places = 0;
                low = std::numeric_limits<qint16>::min();
                high = std::numeric_limits<qint16>::max();
                break;
            case table::FieldType::Integer:
            case table::FieldType::AutoInc:
                places = 0;
                low = std::numeric_limits<qint32>::min();
                high = std::numeric_limits<qint32>::max();
                break;
            default:
                break;
            }
        }
        setDecimals(places);
        setRange(low, high);
        setValue(f ? f->asFloat() : 0.0);
        setReadOnly(!m_link->editable());
        setEnabled(f != nullptr);
        m_changed = false;
    });
}

QString DbSpinEdit::textFromValue(double value) const {
    return locale().toString(value, 'f', decimals()).remove(locale().groupSeparator());
}

void DbSpinEdit::commit() {
    if (!m_changed || isReadOnly())
        return;
    m_changed = false;
    m_link->write(decimals() == 0 ? QVariant(qint64(value())) : QVariant(value()));
}

} // namespace widgets
