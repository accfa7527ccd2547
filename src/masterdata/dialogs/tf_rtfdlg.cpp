#include "masterdata/dialogs/tf_rtfdlg.h"

#include "core/files/paths.h"
#include "core/messages/messages.h"

#include <QApplication>
#include <QMenu>
#include <QTextEdit>
#include <QTimer>
#include <memory>

using namespace Qt::StringLiterals;

TF_Rtfdlg::TF_Rtfdlg(const QString& fileName, const QString& caption, const QString& initialDir,
                     const QRect& smallBounds, const QRect& largeBounds, QWidget* parent)
    : TRtfEditorBase(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_fileName(fileName), m_initialDir(initialDir), m_captionBase(caption),
      m_largeBounds(largeBounds) {
    setObjectName(u"F_Rtfdlg"_s);
    popupMenu().setObjectName(u"PopupMenu1"_s);
    addTextModuleItems();
    setWindowTitle(m_captionBase);
    setSmallBounds(smallBounds);
    applySize();
    prepareFont();
    if (!m_fileName.isEmpty() && insertFile(m_fileName))
        updateCaption();
    editor().document()->setModified(false);
    editor().document()->clearUndoRedoStacks();
}

void TF_Rtfdlg::updateCaption() {
    setWindowTitle(m_captionBase + u" ["_s + ShortenPath(m_fileName, 60) + u']');
}

void TF_Rtfdlg::showEvent(QShowEvent* event) {
    TRtfEditorBase::showEvent(event);
    // Shown again by the size button, the window is not new.
    if (m_activated)
        return;
    m_activated = true;
    QTimer::singleShot(0, this, &TF_Rtfdlg::FormActivate);
}

void TF_Rtfdlg::FormActivate() {
    if (m_fileName.isEmpty() && isVisible())
        Textbausteinladen1Click();
}

void TF_Rtfdlg::Textbausteinladen1Click() {
    const QString name = chooseFile(false, m_initialDir);
    if (name.isEmpty() || !insertFile(name))
        return;
    m_fileName = name;
    editor().document()->setModified(false);
    updateCaption();
}

void TF_Rtfdlg::Textbausteinspeichern1Click() {
    const QString name = chooseFile(true, m_initialDir);
    if (name.isEmpty())
        return;
    bool whole = false;
    const QString written = saveBlock(name, &whole);
    // A block saved as a text module leaves the file being edited as it is.
    if (written.isEmpty() || !whole)
        return;
    m_fileName = written;
    editor().document()->setModified(false);
    updateCaption();
}

void TF_Rtfdlg::beforeClose() {
    if (!editor().document()->isModified() || !AskYesNo(u"Möchten Sie die Änderungen speichern?"_s))
        return;
    // The changes are the whole text, whatever happens to be selected.
    QTextCursor caret = editor().textCursor();
    caret.clearSelection();
    editor().setTextCursor(caret);
    Textbausteinspeichern1Click();
}

QString EditRtfFile(const QString& fileName, const QString& caption, const QString& initialDir,
                    int left, int top, int width, int height, int largeLeft, int largeTop,
                    int largeWidth, int largeHeight) {
    auto editor = std::make_unique<TF_Rtfdlg>(
        fileName, caption, initialDir, QRect(left, top, width, height),
        QRect(largeLeft, largeTop, largeWidth, largeHeight), QApplication::activeWindow());
    editor->runModal();
    return editor->fileName();
}
