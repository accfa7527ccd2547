#pragma once

// The life cycle every report entry shares: one busy flag per entry (a second
// call while its report is open does nothing), a report made afresh from its
// definition, what the entry does before the layout, the layout applied, the
// entry's own preparation, preview (the call waits until it is closed) or
// print, and the clean-up on every path.
// Errors reach the caller after the clean-up.
//
//   void PrintBankList(bool preview, const QString& layoutFile) {
//       static ReportEntryBusy busy;
//       RunReportEntry(busy, {45000, preview, layoutFile, [](report::Report& rep) {
//           rep.component("L_Titel").caption = ...;
//       }});
//   }

#include <QString>
#include <functional>

class QWidget;

namespace report {
class Report;
}

class ReportEntryBusy {
public:
    bool isBusy() const { return m_busy; }

private:
    friend class ReportEntryBusyScope;
    bool m_busy = false;
};

struct ReportEntryCall {
    int formType = 0;
    bool preview = false;
    QString layoutFile; // empty: the type's shipped layout
    // What depends on the report as designed, before the layout changes it
    // (a logo only for an image the design switches on).
    std::function<void(report::Report&)> beforeLayout;
    // Tables, filters, ranges, captions and hooks of this print.
    std::function<void(report::Report&)> prepare;
    // Closes and removes what the preparation made; runs on every path.
    std::function<void()> cleanup;
    QWidget* parent = nullptr;
};

// Thrown by a preparation that finds nothing to print (a document that does
// not exist): the entry cleans up and ends without output and without a message.
struct ReportNothingToPrint {};

// False when the entry was busy and nothing was done.
bool RunReportEntry(ReportEntryBusy& busy, const ReportEntryCall& call);

// The last step: the preview or the print of the prepared report. Tests
// replace it; nullptr restores the engine's preview and print. Returns the
// previous one.
using ReportOutput = std::function<void(report::Report&, bool preview, QWidget* parent)>;
ReportOutput SetReportOutput(ReportOutput output);
