#include "platform/report/reportoutput.h"

#include "platform/report/paginator.h"
#include "platform/report/pdfwriter.h"
#include "platform/report/report.h"
#include "platform/report/reportpreview.h"

namespace report {

void previewReport(Report& report, QWidget* parent) {
    showPreview(paginate(report), report.printSettings(), parent);
}

PrintOutcome printReport(const Report& report, QWidget* parent) {
    return printDocument(paginate(report), report.printSettings(), parent);
}

void writeReportPdf(const Report& report, const QString& fileName) {
    writePdf(paginate(report), fileName);
}

} // namespace report
