#pragma once

#include <QString>

namespace report {
class Report;
}

// Saves the whole layout of the designer's report (options, margins, title,
// every control) at the layout path. The file is written beside the old one
// and takes its place only when complete, so a failure leaves the old layout
// as it was; the failure is shown as "Kann Datei\r<path>\rnicht erstellen!"
// and gives false.
bool SaveFormLayoutFile(const QString& layoutPath, const report::Report& report,
                        const QString& title);

// The box of a layout file that could not be written.
QString LayoutNotCreatedText(const QString& layoutPath);
