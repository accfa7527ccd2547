#pragma once

#include <QString>

class QTextDocument;

// A readable account of a document's text and of the formatting that the RTF
// codec carries: one line per paragraph, each run with its effective font.
// Two documents that look the same give the same description.
QString describeDocument(const QTextDocument& document);

// The effective formatting of the character at a position, in the same
// notation as the runs of describeDocument.
QString describeCharAt(const QTextDocument& document, int position);
