#include "platform/report/printjob.h"

#include "platform/errors.h"
#include "platform/report/pagemodel.h"
#include "platform/report/pagerenderer.h"
#include "platform/report/printersystem.h"
#include "platform/report/report.h"

#include <QCoreApplication>
#include <QPainter>
#include <QProgressDialog>

namespace report {

PrintOutcome printDocument(const Document& document, const PrintSettings& settings,
                           QWidget* parent) {
    PrinterSystem& system = printerSystem();
    const PrinterRequest request =
        printerRequest(settings, document.title, document.landscape, system);
    const QString refused = QStringLiteral("Der Drucker \"%1\" hat den Druckauftrag abgelehnt.")
                                .arg(request.printerName);
    if (document.pages.empty())
        return PrintOutcome::Printed;
    std::unique_ptr<QPrinter> printer = system.openPrinter(request);
    if (!printer)
        throw DbError(refused);

    const int pages = int(document.pages.size());
    std::unique_ptr<QProgressDialog> progress;
    if (settings.showProgress) {
        progress = std::make_unique<QProgressDialog>(QString(), QStringLiteral("Abbrechen"), 0,
                                                     pages, parent);
        progress->setWindowTitle(QStringLiteral("Druckfortschritt"));
        progress->setWindowModality(Qt::ApplicationModal);
        progress->setMinimumDuration(0);
        progress->setAutoClose(false);
        progress->setAutoReset(false);
        progress->show();
    }
    QPainter painter;
    if (!painter.begin(printer.get()))
        throw DbError(refused);
    for (int i = 0; i < pages; ++i) {
        if (progress) {
            progress->setLabelText(
                QStringLiteral("Seite %1 von %2 wird gedruckt ...").arg(i + 1).arg(pages));
            progress->setValue(i);
            QCoreApplication::processEvents();
            if (progress->wasCanceled()) {
                printer->abort();
                painter.end();
                return PrintOutcome::Cancelled;
            }
        }
        if (i > 0 && !printer->newPage()) {
            painter.end();
            throw DbError(refused);
        }
        paintPage(painter, document, i, printer->resolution());
    }
    if (!painter.end() || printer->printerState() == QPrinter::Error)
        throw DbError(refused);
    if (progress)
        progress->setValue(pages);
    return PrintOutcome::Printed;
}

} // namespace report
