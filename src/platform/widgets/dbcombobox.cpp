#include "platform/widgets/dbcombobox.h"

#include "platform/table/field.h"
#include "platform/table/values.h"
#include "platform/widgets/fieldlink.h"

#include <QLineEdit>

namespace widgets {

DbComboBox::DbComboBox(DataSource& source, const QString& field, QWidget* parent)
    : QComboBox(parent), m_link(new FieldLink(source, field, this)) {
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (m_link->loading() || index < 0)
            return;
        m_link->write(index < m_values.size() ? m_values[index] : QVariant(itemText(index)));
    });
    m_link->setRefresh([this] { showField(); });
}

void DbComboBox::setItems(const QStringList& texts, const QVariantList& values) {
    m_values = values;
    m_link->setRefresh([this] { showField(); });
    const bool wasLoading = blockSignals(true);
    clear();
    addItems(texts);
    blockSignals(wasLoading);
    m_link->refresh();
    if (isEditable() && lineEdit())
        connect(lineEdit(), &QLineEdit::editingFinished, this, &DbComboBox::commitText,
                Qt::UniqueConnection);
}

void DbComboBox::commitText() {
    if (m_values.isEmpty() && lineEdit() && lineEdit()->isModified()) {
        lineEdit()->setModified(false);
        m_link->write(currentText());
    }
}

void DbComboBox::showField() {
    const table::Field* f = m_link->field();
    setEnabled(m_link->editable());
    if (!f || f->isNull()) {
        setCurrentIndex(-1);
        if (isEditable())
            setEditText({});
        return;
    }
    int index = -1;
    if (m_values.isEmpty()) {
        index = findText(f->asString());
    } else {
        const QVariant stored = table::toStored(f->def(), f->value());
        for (int i = 0; i < m_values.size() && index < 0; ++i)
            if (table::toStored(f->def(), m_values[i]) == stored)
                index = i;
    }
    setCurrentIndex(index);
    if (isEditable() && index < 0)
        setEditText(f->asString());
}

} // namespace widgets
