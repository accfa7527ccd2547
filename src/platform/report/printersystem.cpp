#include "platform/report/printersystem.h"

#include "platform/errors.h"
#include "platform/report/report.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinterInfo>

namespace report {
namespace {

struct Bin {
    const char* name;
    std::optional<QPrinter::PaperSource> source;
};

// In the order layout files number the bins. "Last" is the Windows bin list's
// last entry, the form source.
const Bin kBins[kBinCount] = {
    {"First", std::nullopt},
    {"Upper", QPrinter::Upper},
    {"Lower", QPrinter::Lower},
    {"Middle", QPrinter::Middle},
    {"Manual", QPrinter::Manual},
    {"Envelope", QPrinter::Envelope},
    {"EnvManual", QPrinter::EnvelopeManual},
    {"Auto", QPrinter::Auto},
    {"Tractor", QPrinter::Tractor},
    {"SmallFormat", QPrinter::SmallFormat},
    {"LargeFormat", QPrinter::LargeFormat},
    {"LargeCapacity", QPrinter::LargeCapacity},
    {"Cassette", QPrinter::Cassette},
    {"Last", QPrinter::FormSource},
};

class QtPrinterSystem final : public PrinterSystem {
public:
    QStringList printerNames() override { return QPrinterInfo::availablePrinterNames(); }
    QString currentPrinter() override { return QPrinterInfo::defaultPrinterName(); }

    std::unique_ptr<QPrinter> openPrinter(const PrinterRequest& request) override {
        const QPrinterInfo info = QPrinterInfo::printerInfo(request.printerName);
        if (info.isNull())
            return nullptr;
        auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        printer->setFullPage(true);
        printer->setPageSize(QPageSize(QPageSize::A4));
        printer->setPageOrientation(request.landscape ? QPageLayout::Landscape
                                                      : QPageLayout::Portrait);
        printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        printer->setCopyCount(request.copies);
        printer->setDocName(request.documentName);
        if (request.paperSource)
            printer->setPaperSource(*request.paperSource);
        return printer;
    }

    bool setupPrinter(QWidget* parent, PrintSettings& settings) override {
        const QStringList names = printerNames();
        const QString current = settings.printerIndex >= 0 && settings.printerIndex < names.size()
                                    ? names[settings.printerIndex]
                                    : currentPrinter();
        QPrinter printer(QPrinterInfo::printerInfo(current));
        printer.setCopyCount(settings.copies);
        QPrintDialog dialog(&printer, parent);
        dialog.setWindowTitle(QStringLiteral("Drucker einrichten"));
        dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        settings.printerIndex = names.indexOf(printer.printerName());
        settings.copies = std::max(1, printer.copyCount());
        return true;
    }
};

std::unique_ptr<PrinterSystem>& installed() {
    static std::unique_ptr<PrinterSystem> system;
    return system;
}

} // namespace

QString binName(int bin) {
    return bin >= 0 && bin < kBinCount ? QLatin1String(kBins[bin].name) : QString();
}

std::optional<QPrinter::PaperSource> paperSourceOfBin(int bin) {
    if (bin < 0 || bin >= kBinCount)
        return std::nullopt;
    return kBins[bin].source;
}

PrinterSystem& printerSystem() {
    std::unique_ptr<PrinterSystem>& system = installed();
    if (!system)
        system = std::make_unique<QtPrinterSystem>();
    return *system;
}

void setPrinterSystem(std::unique_ptr<PrinterSystem> system) {
    installed() = std::move(system);
}

PrinterRequest printerRequest(const PrintSettings& settings, const QString& documentName,
                              bool landscape, PrinterSystem& system) {
    const QStringList names = system.printerNames();
    PrinterRequest request;
    request.printerName = settings.printerIndex >= 0 && settings.printerIndex < names.size()
                              ? names[settings.printerIndex]
                              : system.currentPrinter();
    if (request.printerName.isEmpty() && !names.isEmpty())
        request.printerName = names.first();
    if (request.printerName.isEmpty())
        throw DbError(QStringLiteral("Es ist kein Drucker eingerichtet."));
    request.paperSource = paperSourceOfBin(settings.bin);
    request.copies = std::clamp(settings.copies, 1, 999);
    request.documentName = documentName;
    request.landscape = landscape;
    return request;
}

} // namespace report
