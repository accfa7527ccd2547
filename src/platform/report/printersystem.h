#pragma once

// The operating system's printers as the report engine sees them: a list,
// the current printer, a printer set up for one job and the setup dialog.
// One process-wide instance that tests replace, so they run without printers.

#include <QPrinter>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace report {

struct PrintSettings;

// The 14 paper bins a layout may choose, First (0) to Last (13).
inline constexpr int kBinCount = 14;
QString binName(int bin); // "First", "Upper", ... "Last"
// Qt's paper source of a bin; none for First (the printer's own choice) and
// for values outside the list.
std::optional<QPrinter::PaperSource> paperSourceOfBin(int bin);

// One job's wishes, resolved from the settings.
struct PrinterRequest {
    QString printerName;
    std::optional<QPrinter::PaperSource> paperSource;
    int copies = 1;
    QString documentName;
    bool landscape = false;
};

class PrinterSystem {
public:
    virtual ~PrinterSystem() = default;
    virtual QStringList printerNames() = 0;
    virtual QString currentPrinter() = 0; // empty when there is none
    // A printer set up for the request, painting the whole sheet; nullptr when refused.
    virtual std::unique_ptr<QPrinter> openPrinter(const PrinterRequest& request) = 0;
    // "Drucker einrichten": the user chooses printer and copies; false when cancelled.
    virtual bool setupPrinter(QWidget* parent, PrintSettings& settings) = 0;
};

// The entry that prints into a PDF file (Qt's PDF output, the file chosen in
// a save dialog): the last of the system's printer list, and the current
// printer of a machine without printers.
QString pdfPrinterName();

// Where a PDF file of the document goes: the suggested path in, the chosen
// one out; empty when the user cancelled. The default is a save dialog.
using PdfFileChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
// An empty function restores the save dialog.
void setPdfFileChooser(PdfFileChooser chooser);
// The document's name as a file name in the home directory, with ".pdf".
QString suggestedPdfPath(const QString& documentName);
// Asks for the file; the chosen name ends in ".pdf", empty when cancelled.
QString choosePdfFile(QWidget* parent, const QString& documentName);

PrinterSystem& printerSystem();
// nullptr restores the system's own printers.
void setPrinterSystem(std::unique_ptr<PrinterSystem> system);

// The printer at the settings' index, or the current printer when the index
// lies outside the list; raises DbError when there is no printer at all.
PrinterRequest printerRequest(const PrintSettings& settings, const QString& documentName,
                              bool landscape, PrinterSystem& system);

} // namespace report
