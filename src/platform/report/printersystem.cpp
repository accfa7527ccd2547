#include "platform/report/printersystem.h"

#include "platform/errors.h"
#include "platform/report/report.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>

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

PdfFileChooser& installedChooser() {
    static PdfFileChooser chooser;
    return chooser;
}

void setUpSheet(QPrinter& printer, const PrinterRequest& request) {
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(request.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    printer.setDocName(request.documentName);
}

// "Drucker einrichten": the printers of the list (the PDF file last) and the
// number of copies.
bool choosePrinterAndCopies(QWidget* parent, const QStringList& names, PrintSettings& settings,
                            const QString& current) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Drucker einrichten"));
    auto* form = new QFormLayout(&dialog);
    auto* printers = new QComboBox(&dialog);
    printers->setObjectName(QStringLiteral("Drucker"));
    printers->addItems(names);
    printers->setCurrentIndex(std::max<int>(0, int(names.indexOf(current))));
    auto* copies = new QSpinBox(&dialog);
    copies->setObjectName(QStringLiteral("Exemplare"));
    copies->setRange(1, 999);
    copies->setValue(std::clamp(settings.copies, 1, 999));
    form->addRow(QStringLiteral("&Drucker:"), printers);
    form->addRow(QStringLiteral("&Exemplare:"), copies);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings.printerIndex = printers->currentIndex();
    settings.copies = copies->value();
    return true;
}

class QtPrinterSystem final : public PrinterSystem {
public:
    QStringList printerNames() override {
        return QPrinterInfo::availablePrinterNames() << pdfPrinterName();
    }
    QString currentPrinter() override {
        const QString name = QPrinterInfo::defaultPrinterName();
        return name.isEmpty() ? pdfPrinterName() : name;
    }

    std::unique_ptr<QPrinter> openPrinter(const PrinterRequest& request) override {
        if (request.printerName == pdfPrinterName()) {
            const QString file = choosePdfFile(nullptr, request.documentName);
            if (file.isEmpty())
                throw Abort{};
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(file);
            setUpSheet(*printer, request);
            return printer;
        }
        const QPrinterInfo info = QPrinterInfo::printerInfo(request.printerName);
        if (info.isNull())
            return nullptr;
        auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        setUpSheet(*printer, request);
        printer->setCopyCount(request.copies);
        if (request.paperSource)
            printer->setPaperSource(*request.paperSource);
        return printer;
    }

    bool setupPrinter(QWidget* parent, PrintSettings& settings) override {
        const QStringList names = printerNames();
        const QString current = settings.printerIndex >= 0 && settings.printerIndex < names.size()
                                    ? names[settings.printerIndex]
                                    : currentPrinter();
        return choosePrinterAndCopies(parent, names, settings, current);
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

QString pdfPrinterName() {
    return QStringLiteral("In PDF-Datei drucken");
}

void setPdfFileChooser(PdfFileChooser chooser) {
    installedChooser() = std::move(chooser);
}

QString suggestedPdfPath(const QString& documentName) {
    QString name = documentName.trimmed();
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
    if (name.isEmpty())
        name = QStringLiteral("Druck");
    return QDir::home().filePath(name + QStringLiteral(".pdf"));
}

QString choosePdfFile(QWidget* parent, const QString& documentName) {
    const QString suggested = suggestedPdfPath(documentName);
    QString file = installedChooser()
                       ? installedChooser()(parent, suggested)
                       : QFileDialog::getSaveFileName(parent, pdfPrinterName(), suggested,
                                                      QStringLiteral("PDF-Dateien (*.pdf)"));
    if (!file.isEmpty() && !file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        file += QStringLiteral(".pdf");
    return file;
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
