#include "platform/widgets/recordpositionlabel.h"

#include "platform/table/table.h"
#include "platform/widgets/datasource.h"

namespace widgets {

RecordPositionLabel::RecordPositionLabel(DataSource& source, QWidget* parent)
    : QLabel(parent), m_source(source) {
    connect(&source, &DataSource::recordChanged, this, &RecordPositionLabel::showPosition);
    connect(&source, &DataSource::stateChanged, this, &RecordPositionLabel::showPosition);
    showPosition();
}

void RecordPositionLabel::setFormat(const QString& format) {
    m_format = format;
    showPosition();
}

void RecordPositionLabel::showPosition() {
    table::Table& t = m_source.table();
    if (!t.isOpen()) {
        clear();
    } else if (t.state() == table::TableState::Insert) {
        setText(QStringLiteral("Neuer Datensatz"));
    } else {
        const int pos = t.recNo();
        setText(pos > 0 ? m_format.arg(pos).arg(t.recordCount()) : QString());
    }
}

} // namespace widgets
