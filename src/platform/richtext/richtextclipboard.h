#pragma once

// Rich text on the clipboard: RTF under the mime types word processors use
// ("text/rtf", "application/rtf" and the Windows "Rich Text Format"), HTML for
// Qt's own editors and plain text for everything else.
//
//   mimeDataOfDocument(doc)    mime data holding the document in all forms
//   documentOfMimeData(data)   the richest form found; nullptr when the data
//                              holds no text; RtfError for broken RTF without
//                              another form to fall back on
//   putOnClipboard(doc) / documentOnClipboard()   the same with the clipboard
//   putRtfOnClipboard(bytes) / rtfOnClipboard()   RTF bytes as they are, for
//                              moving text modules between files and editors;
//                              bytes that are not RTF go on as Windows-1252
//                              plain text, as a rich-edit control loads them

#include <QByteArray>
#include <QStringList>
#include <memory>

class QMimeData;
class QTextDocument;

namespace richtext {

QStringList rtfMimeTypes();
QMimeData* mimeDataOfDocument(const QTextDocument& document);
std::unique_ptr<QTextDocument> documentOfMimeData(const QMimeData& data);
void putOnClipboard(const QTextDocument& document);
std::unique_ptr<QTextDocument> documentOnClipboard();
void putRtfOnClipboard(const QByteArray& rtf);
// The clipboard's rich text as RTF (converted from HTML or plain text when
// no RTF is there); empty when the clipboard holds no text.
QByteArray rtfOnClipboard();

} // namespace richtext
