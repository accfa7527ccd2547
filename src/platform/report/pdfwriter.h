#pragma once

// Writes finished pages to a PDF file with the fonts embedded.

#include <QString>

namespace report {

struct Document;

// Raises DbError when the file cannot be written.
void writePdf(const Document& document, const QString& fileName);

} // namespace report
