#pragma once

// RTF for Qt text documents: the format of the rich-text memo fields, text
// modules and letter templates.
//
//   isRtf(bytes)            the bytes start with "{\rtf" (after white space)
//   fromRtf(bytes)          a new document read from RTF
//   readRtf(bytes, doc)     replaces the content of doc with the RTF read;
//                           on an error doc stays as it was
//   fromRtfOrPlainText(bytes)  as a rich-edit control loads a file or memo:
//                           RTF, or else Windows-1252 plain text
//   toRtf(doc)              RTF that word processors open and that reads back
//                           into the same document (Windows-1252 plus \uN)
//   plainTextOfRtf(bytes)   the text alone, paragraphs separated by '\n'; bytes
//                           that are not RTF count as Windows-1252 plain text
//   rtfFromPlainText(text)  RTF of a plain text, one paragraph per line
//
// The reader takes fonts, sizes, bold, italic, underline, strike-out,
// colours, super- and subscript, alignment, indents, spacing, tab stops,
// line and page breaks and simple lists; tables keep their text row by row
// with cells separated by tabs; pictures and other destinations are skipped,
// field results kept as text. Broken input gives a document or RtfError.
// The writer writes the cells of a table as paragraphs.

#include "platform/errors.h"

#include <QByteArray>
#include <QFont>
#include <QString>
#include <memory>

class QTextDocument;

namespace richtext {

// Input that is not RTF or is too broken to read.
class RtfError : public DbError {
public:
    using DbError::DbError;
};

bool isRtf(const QByteArray& data);
std::unique_ptr<QTextDocument> fromRtf(const QByteArray& rtf);
void readRtf(const QByteArray& rtf, QTextDocument* document);
std::unique_ptr<QTextDocument> fromRtfOrPlainText(const QByteArray& data);
QByteArray toRtf(const QTextDocument& document);
QString plainTextOfRtf(const QByteArray& data);
QByteArray rtfFromPlainText(const QString& text,
                            const QFont& font = QFont(QStringLiteral("Arial"), 10));

} // namespace richtext
