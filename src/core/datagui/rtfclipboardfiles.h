#pragma once

#include <QString>

// Rich-text files moved through the clipboard, so that a text module or
// letter is pasted into an editor at its caret and a selected block is saved
// as a file of its own.

// Puts the file's text on the clipboard (RTF as it stands; any other file as
// Windows-1252 plain text). A missing or unreadable file raises a DbError
// naming it, broken RTF an RtfError; the clipboard is then left alone.
bool CopyRtfFileToClipboard(const QString& fileName);

// Writes the clipboard's rich text to the file as RTF (an empty text when the
// clipboard holds none). A file that cannot be written raises a DbError naming
// it, and an existing file keeps its old content.
bool SaveClipboardToRtfFile(const QString& fileName);
