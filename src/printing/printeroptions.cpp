#include "printing/printeroptions.h"

#include "platform/report/printersystem.h"
#include "platform/report/report.h"

PrinterOptionValues& PrinterOptions() {
    static PrinterOptionValues values;
    return values;
}

void ResetPrinterOptions() {
    PrinterOptions() = PrinterOptionValues{};
}

void ApplyPrinterOptions(report::Report& report) {
    const PrinterOptionValues& options = PrinterOptions();
    report::PrinterSystem& printers = report::printerSystem();
    const QStringList names = printers.printerNames();
    int index = options.printerIndex;
    if (index < 0 || index >= names.size())
        index = int(names.indexOf(printers.currentPrinter()));
    report.printSettings().printerIndex = index;
    report.printSettings().bin = options.firstBin;
}

void SwitchPageBin(report::Report&, int) {}
