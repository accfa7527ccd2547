#include "masterdata/dialogs/tf_dbrtf.h"

#include "core/data/dbhelpers.h"
#include "core/files/programdirs.h"
#include "core/values/atsigns.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/fieldlink.h"

#include <QMenu>
#include <QTextEdit>
#include <QToolBar>
#include <memory>

using namespace Qt::StringLiterals;

TF_DbRtf::TF_DbRtf(QWidget* hostForm, widgets::DbRichEdit& richEdit, const QString& currencyField,
                   bool postRecord)
    : TRtfEditorBase(hostForm, Qt::Dialog | Qt::FramelessWindowHint), m_host(hostForm),
      m_link(richEdit.link()), m_currencyField(currencyField) {
    setObjectName(u"F_DbRtf"_s);
    popupMenu().setObjectName(u"PopupCalc"_s);
    m_berechnen = popupMenu().addAction(u"Berechnen"_s, this, &TF_DbRtf::Berechnen1Click);
    m_berechnen->setObjectName(u"Berechnen1"_s);
    addTextModuleItems();

    // The tool bar lies just above the form's field, the editing area over it.
    const int bar = toolBar().sizeHint().height();
    const QPoint origin = richEdit.mapToGlobal(QPoint(0, 0));
    const QRect small(origin.x(), origin.y() - bar + 1, std::max(richEdit.width() - 3, 200),
                      std::max(richEdit.height() + bar - 6, bar + 40));
    setSmallBounds(small);
    applySize();

    const table::Field* field = m_link.field();
    widgets::DbRichEdit::showValue(field ? field->asString() : QString(), *editor().document());
    editor().setReadOnly(!m_link.editable());

    table::Table& t = m_link.source().table();
    if (postRecord && t.isOpen() && t.isEditing())
        t.post();
    prepareFont();
    touchText();
    editor().document()->setModified(false);
    editor().document()->clearUndoRedoStacks();
}

QRect TF_DbRtf::largeBounds() const {
    return m_host ? m_host->window()->frameGeometry() : frameGeometry();
}

void TF_DbRtf::touchText() {
    table::Table& t = m_link.source().table();
    if (!t.isOpen() || !m_link.editable())
        return;
    if (!t.isEditing())
        m_link.source().startEdit();
    const bool modified = editor().document()->isModified();
    ApplyTabStops(*editor().document());
    editor().document()->setModified(modified);
}

void TF_DbRtf::commitText() {
    QTextDocument& document = *editor().document();
    if (!document.isModified() || !m_link.editable())
        return;
    document.setModified(false);
    m_link.write(widgets::DbRichEdit::valueOf(document));
}

void TF_DbRtf::beforeClose() {
    commitText();
}

void TF_DbRtf::PopupCalcPopup() {
    m_berechnen->setVisible(!m_currencyField.isEmpty());
}

void TF_DbRtf::Textbausteinladen1Click() {
    const QString name = chooseFile(false, TextbstDir);
    if (!name.isEmpty())
        insertFile(name);
}

void TF_DbRtf::Textbausteinspeichern1Click() {
    const QString name = chooseFile(true, TextbstDir);
    if (!name.isEmpty())
        saveBlock(name);
}

void TF_DbRtf::Berechnen1Click() {
    table::Table& t = m_link.source().table();
    if (m_currencyField.isEmpty() || !t.isOpen())
        return;
    const QTextCursor caret = editor().textCursor();
    if (editor().document()->isModified()) {
        commitText();
        if (t.isEditing())
            t.post();
    }
    if (const std::optional<double> total = AtSignTotal(editor().toPlainText())) {
        m_link.source().startEdit();
        t.field(m_currencyField).setValue(*total);
        m_link.source().notifyRecordChanged();
    }
    touchText();
    editor().setTextCursor(caret);
}

void ShowRtfEditor(QWidget* hostForm, widgets::DbRichEdit& richEdit, const QString& currencyField,
                   bool postRecord) {
    auto editor = std::make_unique<TF_DbRtf>(hostForm, richEdit, currencyField, postRecord);
    editor->runModal();
    editor.reset();
    widgets::DataSource& source = richEdit.link().source();
    if (!source.table().isOpen())
        return;
    if (postRecord)
        source.refresh();
    else
        source.notifyRecordChanged();
}

void InstallRtfEditorOpener() {
    widgets::SetRichEditOpener([](widgets::DbRichEdit& richEdit) {
        ShowRtfEditor(richEdit.window(), richEdit, richEdit.calcField());
    });
}
