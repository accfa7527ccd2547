#pragma once

// The printer and paper bins of the layout last applied, one set for the
// process: each layout application resets them and reads its file's options
// into them; the designer's options dialog edits them and its save writes them.

namespace report {
class Report;
}

struct PrinterOptionValues {
    int printerIndex = -1; // in the system's printer list; outside it: the current printer
    int firstBin = 0;      // paper bin of the first page, 0 (First) to 13 (Last)
    int nextBin = 0;       // of the following pages; kept and written, never printed with
    bool operator==(const PrinterOptionValues&) const = default;
};

PrinterOptionValues& PrinterOptions();
void ResetPrinterOptions();

// The report prints on the printer of the printer index when it is in the
// list, else on the current printer, from the first bin.
void ApplyPrinterOptions(report::Report& report);
// The per-page bin hook of the document reports: every page keeps the bin
// the layout chose, so it changes nothing.
void SwitchPageBin(report::Report& report, int pageCount);
