#pragma once

#include <QString>

namespace report {
class Report;
}

// Applies a print form's layout file to a freshly created report: margins,
// bands and controls, then the printer and bin (ApplyPrinterOptions). The
// printer options are reset first; a null report only resets them. A file
// that is missing, unreadable or no layout is reported in a box and the
// designed layout stays. An empty path stands for the shipped layout of the
// report's form type, which is its designed one: no file, no box.
void ApplyFormLayout(report::Report* report, const QString& layoutFile);

// The box of a layout file that could not be loaded.
QString LayoutNotLoadedText(const QString& layoutFile);
