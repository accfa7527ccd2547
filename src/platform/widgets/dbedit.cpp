#include "platform/widgets/dbedit.h"

#include "platform/table/field.h"
#include "platform/widgets/fieldlink.h"
#include "platform/widgets/readonlylook.h"
#include "platform/widgets/typedinput.h"

namespace widgets {

DbEdit::DbEdit(DataSource& source, const QString& field, QWidget* parent)
    : QLineEdit(parent), m_link(new FieldLink(source, field, this)) {
    connect(this, &QLineEdit::editingFinished, this, &DbEdit::commit);
    m_link->setRefresh([this] {
        const table::Field* f = m_link->field();
        setMaxLength(f && f->type() == table::FieldType::String && f->size() > 0 ? f->size()
                                                                                 : 32767);
        setText(f ? f->text() : QString());
        setCursorPosition(0);
        setReadOnly(m_alwaysReadOnly || !m_link->editable());
        setEnabled(f != nullptr);
        setModified(false);
        ValidateAsNumber(*this, f);
        if (f)
            switch (f->type()) {
            case table::FieldType::Smallint:
            case table::FieldType::Integer:
            case table::FieldType::AutoInc:
            case table::FieldType::Float:
            case table::FieldType::Currency:
                setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                break;
            default:
                setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            }
    });
}

void DbEdit::setAlwaysReadOnly(bool on) {
    m_alwaysReadOnly = on;
    if (on)
        ShowAsReadOnly(*this);
    setReadOnly(m_alwaysReadOnly || !m_link->editable());
}

void DbEdit::commit() {
    if (!isModified() || isReadOnly())
        return;
    setModified(false);
    m_link->write(text());
}

} // namespace widgets
