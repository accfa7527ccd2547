#include "platform/widgets/dbrichedit.h"

#include "platform/richtext/rtf.h"
#include "platform/table/field.h"
#include "platform/widgets/fieldlink.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace widgets {

namespace {

RichEditOpener& opener() {
    static RichEditOpener instance;
    return instance;
}

} // namespace

RichEditOpener SetRichEditOpener(RichEditOpener newOpener) {
    RichEditOpener previous = std::move(opener());
    opener() = std::move(newOpener);
    return previous;
}

DbRichEdit::DbRichEdit(DataSource& source, const QString& field, QWidget* parent)
    : QTextEdit(parent), m_link(new FieldLink(source, field, this)) {
    setTabChangesFocus(true);
    setAcceptRichText(true);
    m_link->setRefresh([this] {
        const table::Field* f = m_link->field();
        showValue(f ? f->asString() : QString(), *document());
        updateReadOnly();
        setEnabled(f != nullptr);
        document()->setModified(false);
    });
}

void DbRichEdit::showValue(const QString& stored, QTextDocument& document) {
    const QByteArray bytes = stored.toLatin1();
    if (bytes.isEmpty())
        document.clear();
    else if (!richtext::isRtf(bytes))
        document.setPlainText(stored);
    else
        try {
            richtext::readRtf(bytes, &document);
        } catch (const richtext::RtfError&) {
            // Damaged text stays visible and editable rather than blocking the record.
            document.setPlainText(stored);
        }
}

QString DbRichEdit::valueOf(const QTextDocument& document) {
    // RTF is 7-bit text: other characters are escaped by the writer.
    return document.isEmpty() ? QString() : QString::fromLatin1(richtext::toRtf(document));
}

bool DbRichEdit::opensEditor() const {
    return bool(opener());
}

void DbRichEdit::updateReadOnly() {
    setReadOnly(opensEditor() || !m_link->editable());
}

void DbRichEdit::commit() {
    if (!document()->isModified() || isReadOnly())
        return;
    document()->setModified(false);
    m_link->write(valueOf(*document()));
}

bool DbRichEdit::openEditor() {
    if (!opensEditor() || !m_link->editable())
        return false;
    // The opener may replace the installed one while it runs.
    const RichEditOpener open = opener();
    open(*this);
    return true;
}

void DbRichEdit::focusOutEvent(QFocusEvent* event) {
    commit();
    QTextEdit::focusOutEvent(event);
}

void DbRichEdit::mouseReleaseEvent(QMouseEvent* event) {
    QTextEdit::mouseReleaseEvent(event);
    // Mouse events arrive from the viewport, in its coordinates.
    if (event->button() == Qt::LeftButton &&
        viewport()->rect().contains(event->position().toPoint()))
        openEditor();
}

void DbRichEdit::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier && openEditor())
        return;
    QTextEdit::keyPressEvent(event);
}

} // namespace widgets
