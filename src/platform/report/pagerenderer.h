#pragma once

// Paints the pages of a document on any device: preview, printer, PDF, image.

#include <QImage>

class QPainter;

namespace report {

struct Document;

// Paints page `index` with the paper's top left corner at the painter's
// origin, on a device of `dotsPerInch`.
void paintPage(QPainter& painter, const Document& document, int index, double dotsPerInch);

// The page as a picture on white paper.
QImage renderPage(const Document& document, int index, double dotsPerInch);

} // namespace report
