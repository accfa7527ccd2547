#include "platform/widgets/dbrichedit.h"

#include "platform/richtext/rtf.h"
#include "platform/table/field.h"
#include "platform/widgets/fieldlink.h"

namespace widgets {

DbRichEdit::DbRichEdit(DataSource& source, const QString& field, QWidget* parent)
    : QTextEdit(parent), m_link(new FieldLink(source, field, this)) {
    setTabChangesFocus(true);
    setAcceptRichText(true);
    m_link->setRefresh([this] {
        const table::Field* f = m_link->field();
        const QByteArray stored = f ? f->asString().toLatin1() : QByteArray();
        if (stored.isEmpty())
            clear();
        else if (!richtext::isRtf(stored))
            setPlainText(f->asString());
        else
            try {
                richtext::readRtf(stored, document());
            } catch (const richtext::RtfError&) {
                // Damaged text stays visible and editable rather than blocking the record.
                setPlainText(f->asString());
            }
        setReadOnly(!m_link->editable());
        setEnabled(f != nullptr);
        document()->setModified(false);
    });
}

void DbRichEdit::commit() {
    if (!document()->isModified() || isReadOnly())
        return;
    document()->setModified(false);
    // RTF is 7-bit text: other characters are escaped by the writer.
    m_link->write(document()->isEmpty() ? QString()
                                        : QString::fromLatin1(richtext::toRtf(*document())));
}

void DbRichEdit::focusOutEvent(QFocusEvent* event) {
    commit();
    QTextEdit::focusOutEvent(event);
}

} // namespace widgets
