#include "platform/widgets/dbcheckbox.h"

#include "platform/table/field.h"
#include "platform/widgets/fieldlink.h"

namespace widgets {

DbCheckBox::DbCheckBox(DataSource& source, const QString& field, const QString& caption,
                       QWidget* parent)
    : QCheckBox(caption, parent), m_link(new FieldLink(source, field, this)) {
    connect(this, &QCheckBox::clicked, this, [this](bool checked) { m_link->write(checked); });
    m_link->setRefresh([this] {
        const table::Field* f = m_link->field();
        setChecked(f && f->asBoolean());
        setEnabled(m_link->editable());
    });
}

} // namespace widgets
