#include "printing/formlayout.h"

#include "core/data/layoutfiles.h"
#include "core/messages/messages.h"
#include "printing/layoutfile.h"
#include "printing/printeroptions.h"

using namespace Qt::StringLiterals;

QString LayoutNotLoadedText(const QString& layoutFile) {
    return u"Formularlayout konnte nicht aus\r"_s + layoutFile +
           u"\rgeladen werden!\rVoreinstellungen werden verwendet"_s;
}

void ApplyFormLayout(report::Report* report, const QString& layoutFile) {
    ResetPrinterOptions();
    if (!report)
        return;
    QStringList lines;
    if (!layoutFile.isEmpty() && !LoadLayoutLines(layoutFile, lines)) {
        ShowInfo(LayoutNotLoadedText(layoutFile));
        lines.clear();
    }
    ReadFormLayout(lines, *report, PrinterOptions());
    ApplyPrinterOptions(*report);
}
