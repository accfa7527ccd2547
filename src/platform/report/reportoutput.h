#pragma once

// A report's run and output in one call each.

#include "platform/report/printjob.h"

#include <QString>

class QWidget;

namespace report {

class Report;

// Shows the preview modally; the caller waits until it is closed. The report
// keeps the printer settings the user changed there.
void previewReport(Report& report, QWidget* parent = nullptr);
PrintOutcome printReport(const Report& report, QWidget* parent = nullptr);
void writeReportPdf(const Report& report, const QString& fileName);

} // namespace report
