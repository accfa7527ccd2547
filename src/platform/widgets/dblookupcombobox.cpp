#include "platform/widgets/dblookupcombobox.h"

#include "platform/table/field.h"
#include "platform/table/values.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/fieldlink.h"
#include "platform/widgets/rowreader.h"

namespace widgets {

DbLookupComboBox::DbLookupComboBox(DataSource& source, const QString& field, QWidget* parent)
    : QComboBox(parent), m_link(new FieldLink(source, field, this)) {
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!m_link->loading() && index >= 0 && index < m_keys.size())
            m_link->write(m_keys[index]);
    });
    m_link->setRefresh([this] { showField(); });
}

void DbLookupComboBox::setLookup(DataSource& list, const QString& keyField,
                                 const QString& listField) {
    if (m_list)
        disconnect(m_list, nullptr, this, nullptr);
    m_list = &list;
    m_keyField = keyField;
    m_listField = listField;
    connect(&list, &DataSource::viewChanged, this, &DbLookupComboBox::reload);
    reload();
}

void DbLookupComboBox::reload() {
    const bool blocked = blockSignals(true);
    clear();
    m_keys.clear();
    if (m_list) {
        RowReader& rows = m_list->rows();
        for (int r = 0, n = rows.rowCount(); r < n; ++r) {
            addItem(rows.text(r, m_listField));
            m_keys.append(rows.value(r, m_keyField));
        }
    }
    blockSignals(blocked);
    m_link->refresh();
}

void DbLookupComboBox::showField() {
    setEnabled(m_link->editable());
    const table::Field* f = m_link->field();
    int index = -1;
    if (f && !f->isNull()) {
        const QVariant stored = table::toStored(f->def(), f->value());
        for (int i = 0; i < m_keys.size() && index < 0; ++i)
            if (m_keys[i].isValid() && table::toStored(f->def(), m_keys[i]) == stored)
                index = i;
    }
    setCurrentIndex(index);
}

} // namespace widgets
