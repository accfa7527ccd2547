#pragma once

#include <QIcon>

class QStyle;

// The pictures of the text editors' tool bar, drawn here so that they look
// the same on every desktop, whatever icon theme it has.
enum class RtfEditorIcon {
    Close,
    Enlarge,
    Shrink,
    Load,
    Save,
    Print,
    Font,
    Bold,
    Italic,
    Underline,
    AlignLeft,
    AlignCenter,
    AlignRight,
    Cut,
    Copy,
    Paste,
    Undo
};

QIcon RtfEditorIconOf(RtfEditorIcon icon, const QStyle& style);
