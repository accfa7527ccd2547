#pragma once

#include <QDialog>
#include <QRect>
#include <functional>

class QAction;
class QActionGroup;
class QMenu;
class QTextEdit;
class QToolBar;

// The file dialogs of the text editors; tests install scripted ones. Returns
// the chosen file, empty when cancelled.
using RtfFileChooser = std::function<QString(QWidget* parent, bool save, const QString& directory)>;
// Installs a chooser (nullptr: the standard dialogs); returns the previous one.
RtfFileChooser SetRtfFileChooser(RtfFileChooser chooser);
// A file to load ("Textdateien", "Rich-Text-Dateien") or to save an RTF block
// as, through the installed chooser or the standard dialogs.
QString ChooseRtfFile(QWidget* parent, bool save, const QString& directory);

// Text modules and letters are RTF files: a name whose extension is not
// ".rtf" (in any case) gets ".rtf" in place of its extension.
QString ForceRtfExtension(const QString& fileName);

// What both text editors ("Texteditor") share: the tool bar, the editing area
// in the print font, the style, alignment, clipboard and print functions, the
// size toggle, the text-module functions and ending the editing once the focus
// moves to another control of the window. The window runs its own modal loop,
// since the size toggle hides it to change its border.
class TRtfEditorBase : public QDialog {
    Q_OBJECT
public:
    QTextEdit& editor() const { return *m_editor; }
    QToolBar& toolBar() const { return *m_toolBar; }
    QMenu& popupMenu() const { return *m_popup; }
    bool isLarge() const { return m_large; }
    // The tool bar's buttons by their names ("btnClose", "BoldButton", ...).
    QAction* action(const QString& name) const;

    // Shows the window modally until it is done; returns the result.
    int runModal();

    void btnCloseClick();
    void btnSizeClick();
    void btnSelectfontClick();
    void BoldButtonClick();
    void ItalicButtonClick();
    void UnderlineButtonClick();
    void AlignClick(int tag); // 0 left, 1 right, 2 centre
    void CutButtonClick();
    void CopyButtonClick();
    void PasteButtonClick();
    void UndoButtonClick();
    void btnPrintClick();
    void EditorSelectionChange();
    // "Datei/Block laden" and "Textbaustein laden"; "... speichern".
    virtual void Textbausteinladen1Click() = 0;
    virtual void Textbausteinspeichern1Click() = 0;

    // Pastes the file at the caret; false after a message when it cannot be read.
    bool insertFile(const QString& fileName);
    // Saves the selection, or the whole text when nothing is selected, under
    // the name with ".rtf" forced. Returns the name written, empty when the
    // user refused to overwrite or the write failed (after a message).
    QString saveBlock(const QString& chosenName, bool* wholeText = nullptr);

    void done(int result) override;

protected:
    TRtfEditorBase(QWidget* parent, Qt::WindowFlags smallFlags);

    // A file through the installed chooser or the standard dialogs.
    QString chooseFile(bool save, const QString& directory);
    // The editing area takes the print font; an empty text starts in it too.
    void prepareFont();
    // The bounds the window takes in each size.
    void setSmallBounds(const QRect& bounds) { m_smallBounds = bounds; }
    virtual QRect largeBounds() const = 0;
    // Called before a change of the text's look, and when the editing area
    // is entered or touched by key or mouse.
    virtual void touchText() {}
    // The window closes after this in any case.
    virtual void beforeClose() {}
    // Just before the popup menu shows.
    virtual void popupShowing() {}
    // Adds the text-module items, a separator and "Abbrechen" to the popup.
    void addTextModuleItems();
    void applySize();
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <typename Handler>
    QAction* addButton(const char* name, const QString& hint, int icon, Handler handler);
    void applyStyle(QAction* button, int property);
    void editorFocusChanged(QWidget* old, QWidget* now);

    QToolBar* m_toolBar = nullptr;
    QTextEdit* m_editor = nullptr;
    QMenu* m_popup = nullptr;
    QActionGroup* m_alignGroup = nullptr;
    Qt::WindowFlags m_smallFlags;
    QRect m_smallBounds;
    bool m_large = false;
    bool m_updatingButtons = false;
    bool m_finishing = false;
    bool m_finished = false;
};
