#include "platform/widgets/dbmemo.h"

#include "platform/table/field.h"
#include "platform/widgets/fieldlink.h"

namespace widgets {

DbMemo::DbMemo(DataSource& source, const QString& field, QWidget* parent)
    : QPlainTextEdit(parent), m_link(new FieldLink(source, field, this)) {
    setTabChangesFocus(true);
    m_link->setRefresh([this] {
        const table::Field* f = m_link->field();
        setPlainText(f ? f->asString() : QString());
        setReadOnly(!m_link->editable());
        setEnabled(f != nullptr);
        document()->setModified(false);
    });
}

void DbMemo::commit() {
    if (!document()->isModified() || isReadOnly())
        return;
    document()->setModified(false);
    m_link->write(toPlainText());
}

void DbMemo::focusOutEvent(QFocusEvent* event) {
    commit();
    QPlainTextEdit::focusOutEvent(event);
}

} // namespace widgets
