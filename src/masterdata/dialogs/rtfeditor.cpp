#include "masterdata/dialogs/rtfeditor.h"

#include "core/datagui/rtfclipboardfiles.h"
#include "core/files/filedialogfilter.h"
#include "core/messages/messages.h"
#include "core/settings/settingsfiles.h"
#include "masterdata/dialogs/rtfeditoricons.h"
#include "platform/errors.h"

#include <QActionGroup>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

RtfFileChooser& installedChooser() {
    static RtfFileChooser chooser;
    return chooser;
}

constexpr auto kLargeFlags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                             Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;

enum StyleProperty { Bold, Italic, Underline };

class ShowAgain {
public:
    explicit ShowAgain(QWidget& window) : m_window(window) {}
    ~ShowAgain() { m_window.show(); }
    ShowAgain(const ShowAgain&) = delete;
    ShowAgain& operator=(const ShowAgain&) = delete;

private:
    QWidget& m_window;
};

} // namespace

RtfFileChooser SetRtfFileChooser(RtfFileChooser chooser) {
    RtfFileChooser previous = std::move(installedChooser());
    installedChooser() = std::move(chooser);
    return previous;
}

QString ForceRtfExtension(const QString& fileName) {
    const QFileInfo info(fileName);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0 && name.mid(dot).toUpper() == u".RTF")
        return fileName;
    const QString stem = dot >= 0 ? name.left(dot) : name;
    return fileName.left(fileName.size() - name.size()) + stem + u".rtf"_s;
}

TRtfEditorBase::TRtfEditorBase(QWidget* parent, Qt::WindowFlags smallFlags)
    : QDialog(parent, smallFlags), m_smallFlags(smallFlags) {
    setWindowTitle(u"Texteditor"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(u"EditToolBar"_s);
    m_toolBar->setIconSize(QSize(20, 20));
    m_toolBar->setFloatable(false);
    m_toolBar->setMovable(false);
    layout->addWidget(m_toolBar);
    using Icon = RtfEditorIcon;
    addButton("btnClose", u"Bearbeitung beenden"_s, int(Icon::Close),
              &TRtfEditorBase::btnCloseClick);
    addButton("btnSize", u"Editierfenster groß/klein"_s, int(Icon::Enlarge),
              &TRtfEditorBase::btnSizeClick);
    m_toolBar->addSeparator();
    addButton("btnLoad", u"Datei/Block laden"_s, int(Icon::Load),
              &TRtfEditorBase::Textbausteinladen1Click);
    addButton("btnSave", u"Datei/Block speichern"_s, int(Icon::Save),
              &TRtfEditorBase::Textbausteinspeichern1Click);
    addButton("btnPrint", u"Text drucken"_s, int(Icon::Print), &TRtfEditorBase::btnPrintClick);
    m_toolBar->addSeparator();
    addButton("btnSelectfont", u"Schrift auswählen"_s, int(Icon::Font),
              &TRtfEditorBase::btnSelectfontClick);
    addButton("BoldButton", u"Fett"_s, int(Icon::Bold), &TRtfEditorBase::BoldButtonClick)
        ->setCheckable(true);
    addButton("ItalicButton", u"Kursiv"_s, int(Icon::Italic), &TRtfEditorBase::ItalicButtonClick)
        ->setCheckable(true);
    addButton("UnderlineButton", u"Unterstrichen"_s, int(Icon::Underline),
              &TRtfEditorBase::UnderlineButtonClick)
        ->setCheckable(true);
    m_toolBar->addSeparator();
    m_alignGroup = new QActionGroup(this);
    const struct {
        const char* name;
        const char16_t* hint;
        Icon icon;
        int tag;
    } aligns[] = {{"LeftAlign", u"linksbündig", Icon::AlignLeft, 0},
                  {"CenterAlign", u"zentriert", Icon::AlignCenter, 2},
                  {"RightAlign", u"rechtsbündig", Icon::AlignRight, 1}};
    for (const auto& a : aligns) {
        const int tag = a.tag;
        QAction* button = addButton(a.name, QString::fromUtf16(a.hint), int(a.icon),
                                    [this, tag] { AlignClick(tag); });
        button->setCheckable(true);
        m_alignGroup->addAction(button);
    }
    m_toolBar->addSeparator();
    addButton("CutButton", u"Auswahl löschen"_s, int(Icon::Cut), &TRtfEditorBase::CutButtonClick);
    addButton("CopyButton", u"Auswahl kopieren"_s, int(Icon::Copy),
              &TRtfEditorBase::CopyButtonClick);
    addButton("PasteButton", u"Zwischenablage einfügen"_s, int(Icon::Paste),
              &TRtfEditorBase::PasteButtonClick);
    m_toolBar->addSeparator();
    addButton("UndoButton", u"Widerrufen"_s, int(Icon::Undo), &TRtfEditorBase::UndoButtonClick);

    m_editor = new QTextEdit(this);
    m_editor->setObjectName(u"Editor"_s);
    m_editor->setAcceptRichText(true);
    // Tab stops matter in these texts, so Tab types one.
    m_editor->setTabChangesFocus(false);
    m_editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = m_editor->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
    palette.setColor(QPalette::Text, palette.color(QPalette::ToolTipText));
    m_editor->setPalette(palette);
    m_editor->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(m_editor, 1);

    m_popup = new QMenu(this);
    connect(m_editor, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        popupShowing();
        m_popup->exec(m_editor->viewport()->mapToGlobal(pos));
    });
    connect(m_editor, &QTextEdit::selectionChanged, this, &TRtfEditorBase::EditorSelectionChange);
    connect(m_editor, &QTextEdit::cursorPositionChanged, this,
            &TRtfEditorBase::EditorSelectionChange);
    connect(qApp, &QApplication::focusChanged, this, &TRtfEditorBase::editorFocusChanged);
    m_editor->installEventFilter(this);
    m_editor->viewport()->installEventFilter(this);
}

template <typename Handler>
QAction* TRtfEditorBase::addButton(const char* name, const QString& hint, int icon,
                                   Handler handler) {
    QAction* button = m_toolBar->addAction(RtfEditorIconOf(RtfEditorIcon(icon), *style()), hint);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    if constexpr (std::is_member_function_pointer_v<Handler>)
        connect(button, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    else
        connect(button, &QAction::triggered, this, handler);
    return button;
}

QAction* TRtfEditorBase::action(const QString& name) const {
    for (QAction* a : m_toolBar->actions())
        if (a->objectName() == name)
            return a;
    return nullptr;
}

void TRtfEditorBase::addTextModuleItems() {
    m_popup->addAction(u"Textbaustein laden"_s, this, [this] { Textbausteinladen1Click(); })
        ->setObjectName(u"Textbausteinladen1"_s);
    m_popup->addAction(u"Textbaustein speichern"_s, this, [this] { Textbausteinspeichern1Click(); })
        ->setObjectName(u"Textbausteinspeichern1"_s);
    m_popup->addSeparator();
    // Only closes the menu.
    m_popup->addAction(u"Abbrechen"_s);
}

int TRtfEditorBase::runModal() {
    m_finished = false;
    setWindowModality(Qt::ApplicationModal);
    m_editor->setFocus();
    show();
    if (!m_finished) {
        QEventLoop loop;
        connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::DialogExec);
    }
    return result();
}

void TRtfEditorBase::done(int result) {
    if (m_finishing || m_finished)
        return;
    m_finishing = true;
    try {
        beforeClose();
    } catch (...) {
        m_finishing = false;
        throw;
    }
    m_finished = true;
    m_finishing = false;
    QDialog::done(result);
}

void TRtfEditorBase::editorFocusChanged(QWidget* old, QWidget* now) {
    // Menus and dialogs are windows of their own: only another control of
    // this window ends the editing.
    if (m_finishing || m_finished || old != m_editor || !now || now->window() != this)
        return;
    done(QDialog::Accepted);
}

bool TRtfEditorBase::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn:
        if (watched == m_editor) {
            touchText();
            EditorSelectionChange();
        }
        break;
    case QEvent::KeyRelease:
        if (watched == m_editor)
            touchText();
        break;
    case QEvent::MouseButtonRelease:
        if (watched == m_editor->viewport())
            touchText();
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TRtfEditorBase::btnCloseClick() {
    done(QDialog::Accepted);
}

void TRtfEditorBase::applySize() {
    setWindowFlags(m_large ? kLargeFlags : m_smallFlags);
    setWindowModality(Qt::ApplicationModal);
    // The position is the window's outer corner, as the callers' bounds mean it.
    if (m_large) {
        const QRect bounds = largeBounds();
        setMinimumSize(QSize(240, 120));
        setMaximumSize(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        move(bounds.topLeft());
        resize(bounds.size());
    } else {
        move(m_smallBounds.topLeft());
        setFixedSize(m_smallBounds.size());
    }
    action(u"btnSize"_s)
        ->setIcon(
            RtfEditorIconOf(m_large ? RtfEditorIcon::Shrink : RtfEditorIcon::Enlarge, *style()));
}

void TRtfEditorBase::btnSizeClick() {
    hide();
    ShowAgain again(*this);
    m_large = !m_large;
    applySize();
}

void TRtfEditorBase::prepareFont() {
    const QFont font(PrintFont.name, PrintFont.size);
    m_editor->setFont(font);
    m_editor->document()->setDefaultFont(font);
    if (m_editor->document()->isEmpty())
        m_editor->setCurrentFont(font);
}

void TRtfEditorBase::EditorSelectionChange() {
    m_updatingButtons = true;
    if (m_editor->document()->isEmpty()) {
        const QFont font(PrintFont.name, PrintFont.size);
        m_editor->document()->setDefaultFont(font);
        QTextCharFormat format;
        format.setFont(font);
        m_editor->setCurrentCharFormat(format);
    }
    const QTextCharFormat format = m_editor->currentCharFormat();
    action(u"BoldButton"_s)->setChecked(format.fontWeight() >= QFont::Bold);
    action(u"ItalicButton"_s)->setChecked(format.fontItalic());
    action(u"UnderlineButton"_s)->setChecked(format.fontUnderline());
    const Qt::Alignment align = m_editor->alignment();
    const char* name = align & Qt::AlignHCenter ? "CenterAlign"
                       : align & Qt::AlignRight ? "RightAlign"
                                                : "LeftAlign";
    action(QString::fromLatin1(name))->setChecked(true);
    m_updatingButtons = false;
}

void TRtfEditorBase::applyStyle(QAction* button, int property) {
    touchText();
    QTextCharFormat format;
    const bool on = button->isChecked();
    if (property == Bold)
        format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    else if (property == Italic)
        format.setFontItalic(on);
    else
        format.setFontUnderline(on);
    m_editor->mergeCurrentCharFormat(format);
}

void TRtfEditorBase::BoldButtonClick() {
    applyStyle(action(u"BoldButton"_s), Bold);
}

void TRtfEditorBase::ItalicButtonClick() {
    applyStyle(action(u"ItalicButton"_s), Italic);
}

void TRtfEditorBase::UnderlineButtonClick() {
    applyStyle(action(u"UnderlineButton"_s), Underline);
}

void TRtfEditorBase::AlignClick(int tag) {
    if (m_updatingButtons)
        return;
    touchText();
    m_editor->setAlignment(tag == 1 ? Qt::AlignRight : tag == 2 ? Qt::AlignHCenter : Qt::AlignLeft);
}

void TRtfEditorBase::btnSelectfontClick() {
    touchText();
    const QFont current =
        m_editor->currentCharFormat().font().resolve(m_editor->document()->defaultFont());
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, current, this, u"Schrift auswählen"_s);
    if (ok) {
        QTextCharFormat format;
        format.setFont(chosen);
        m_editor->mergeCurrentCharFormat(format);
    }
    m_editor->setFocus();
}

void TRtfEditorBase::CutButtonClick() {
    touchText();
    m_editor->cut();
}

void TRtfEditorBase::CopyButtonClick() {
    m_editor->copy();
}

void TRtfEditorBase::PasteButtonClick() {
    touchText();
    m_editor->paste();
}

void TRtfEditorBase::UndoButtonClick() {
    touchText();
    m_editor->undo();
}

void TRtfEditorBase::btnPrintClick() {
    if (QPrinterInfo::availablePrinters().isEmpty())
        ShowInfo(u"Es ist kein Drucker eingerichtet.\r"
                 u"Der Text kann nur in eine PDF-Datei gedruckt werden."_s);
    QPrinter printer;
    printer.setDocName(QString());
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(u"Text drucken"_s);
    if (dialog.exec() == QDialog::Accepted)
        m_editor->print(&printer);
    m_editor->setFocus();
}

QString ChooseRtfFile(QWidget* parent, bool save, const QString& directory) {
    if (const RtfFileChooser& chooser = installedChooser())
        return chooser(parent, save, directory);
    if (save)
        return QFileDialog::getSaveFileName(parent, u"Datei/Block speichern"_s, directory,
                                            QtFilterString(u"Rich-Text-Datei|.rtf"_s));
    const QString filter = u"Textdateien|.txt|Rich-Text-Dateien|.rtf"_s;
    QString selected = QtNameFilters(filter).value(1);
    return QFileDialog::getOpenFileName(parent, u"Datei/Block laden"_s, directory,
                                        QtFilterString(filter), &selected);
}

QString TRtfEditorBase::chooseFile(bool save, const QString& directory) {
    const QString chosen = ChooseRtfFile(this, save, directory);
    m_editor->setFocus();
    return chosen;
}

bool TRtfEditorBase::insertFile(const QString& fileName) {
    try {
        CopyRtfFileToClipboard(fileName);
    } catch (const DbError& error) {
        ShowError(error.message());
        return false;
    }
    touchText();
    m_editor->paste();
    return true;
}

QString TRtfEditorBase::saveBlock(const QString& chosenName, bool* wholeText) {
    const QString name = ForceRtfExtension(chosenName);
    // The dialog asked about the chosen name only.
    if (name != chosenName && QFileInfo::exists(name) &&
        !AskYesNo(u"Die Datei %1 ist bereits vorhanden.\rMöchten Sie sie ersetzen?"_s.arg(name)))
        return {};
    const QTextCursor caret = m_editor->textCursor();
    const bool whole = !caret.hasSelection();
    if (whole) {
        m_editor->selectAll();
        m_editor->copy();
        m_editor->setTextCursor(caret);
    } else {
        m_editor->copy();
    }
    if (wholeText)
        *wholeText = whole;
    try {
        SaveClipboardToRtfFile(name);
    } catch (const DbError& error) {
        ShowError(error.message());
        return {};
    }
    return name;
}
