#include "platform/errors.h"
#include "platform/report/pagerenderer.h"
#include "platform/report/pdfwriter.h"
#include "platform/report/printersystem.h"
#include "platform/report/printjob.h"
#include "platform/report/reportoutput.h"
#include "platform/report/reportpreview.h"
#include "platform/widgets/userprompts.h"
#include "reportfixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>

namespace {

// Two printers, "Lager" the current one; jobs go to PDF files and are recorded.
class FakePrinters : public report::PrinterSystem {
public:
    explicit FakePrinters(QString dir) : m_dir(std::move(dir)) {}
    QStringList names{QStringLiteral("Büro"), QStringLiteral("Lager")};
    QString current = QStringLiteral("Lager");
    bool refuse = false;
    std::vector<report::PrinterRequest> requests;
    QList<QPrinter*> printers;
    int setups = 0;

    QStringList printerNames() override { return names; }
    QString currentPrinter() override { return current; }
    std::unique_ptr<QPrinter> openPrinter(const report::PrinterRequest& request) override {
        requests.push_back(request);
        if (refuse)
            return nullptr;
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(m_dir + QStringLiteral("/job%1.pdf").arg(requests.size()));
        printer->setFullPage(true);
        printers.append(printer.get());
        return printer;
    }
    bool setupPrinter(QWidget*, report::PrintSettings& settings) override {
        ++setups;
        settings.printerIndex = 0;
        settings.copies = 3;
        return true;
    }

private:
    QString m_dir;
};

class OutputTest : public ReportTest {
protected:
    void SetUp() override {
        ReportTest::SetUp();
        auto fake = std::make_unique<FakePrinters>(dir.path());
        printers = fake.get();
        report::setPrinterSystem(std::move(fake));
        widgets::setErrorPresenter([this](QWidget*, const QString& m) { errors.append(m); });
        report::ReportPreview::forgetZoom();
    }
    void TearDown() override {
        widgets::setErrorPresenter({});
        report::setPrinterSystem(nullptr);
        ReportTest::TearDown();
    }
    report::Document threePages() {
        addCustomers(130);
        return report::paginate(*makeReport(listDefinition()));
    }

    FakePrinters* printers = nullptr;
    QStringList errors;
};

} // namespace

TEST_F(OutputTest, PrinterIndexBinAndCopies) {
    struct Case {
        int index, bin, copies;
        const char* printer;
        std::optional<QPrinter::PaperSource> source;
        int expectedCopies;
    };
    const Case cases[] = {
        {0, 0, 1, "Büro", std::nullopt, 1},
        {1, 2, 2, "Lager", QPrinter::Lower, 2},
        {1, 1, 1, "Lager", QPrinter::Upper, 1},
        {0, 4, 1, "Büro", QPrinter::Manual, 1},
        {0, 6, 1, "Büro", QPrinter::EnvelopeManual, 1},
        {0, 12, 1, "Büro", QPrinter::Cassette, 1},
        {2, 13, 1, "Lager", QPrinter::FormSource, 1}, // outside the list: the current printer
        {-1, 7, 0, "Lager", QPrinter::Auto, 1},
        {3, 14, 5000, "Lager", std::nullopt, 999},
        {0, -1, 1, "Büro", std::nullopt, 1},
    };
    for (const Case& c : cases) {
        report::PrintSettings s;
        s.printerIndex = c.index;
        s.bin = c.bin;
        s.copies = c.copies;
        const report::PrinterRequest r =
            report::printerRequest(s, QStringLiteral("Liste"), true, *printers);
        EXPECT_EQ(r.printerName, QString::fromUtf8(c.printer)) << c.index;
        EXPECT_EQ(r.paperSource, c.source) << c.bin;
        EXPECT_EQ(r.copies, c.expectedCopies);
        EXPECT_EQ(r.documentName, QStringLiteral("Liste"));
        EXPECT_TRUE(r.landscape);
    }
    EXPECT_EQ(report::binName(0), QStringLiteral("First"));
    EXPECT_EQ(report::binName(13), QStringLiteral("Last"));
    printers->names.clear();
    printers->current.clear();
    try {
        report::printerRequest({}, {}, false, *printers);
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Es ist kein Drucker eingerichtet."));
    }
}

TEST_F(OutputTest, PrintsThroughTheSeamOrSaysWhyNot) {
    addCustomers(60);
    auto rep = makeReport(listDefinition());
    rep->printSettings() = {0, 2, 2, false};
    EXPECT_EQ(report::printReport(*rep), report::PrintOutcome::Printed);
    ASSERT_EQ(printers->requests.size(), 1u);
    EXPECT_EQ(printers->requests[0].printerName, QStringLiteral("Büro"));
    EXPECT_EQ(printers->requests[0].documentName, QStringLiteral("Testliste"));
    EXPECT_EQ(printers->requests[0].copies, 2);
    EXPECT_GT(QFileInfo(dir.filePath(QStringLiteral("job1.pdf"))).size(), 1000);

    printers->refuse = true;
    try {
        report::printReport(*rep);
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Der Drucker \"Büro\" hat den Druckauftrag abgelehnt."));
    }
}

TEST_F(OutputTest, PagesAsPictures) {
    const report::Document doc = threePages();
    const QImage page = report::renderPage(doc, 1, 72);
    EXPECT_EQ(page.size(), QSize(595, 842)) << "A4 at 72 dpi";
    // The column caption "Kd-Nr." sits 20 mm from the left, 15 mm from the top.
    int dark = 0;
    for (int y = int(15 * 72 / 25.4); y < int(20 * 72 / 25.4); ++y) {
        for (int x = int(20 * 72 / 25.4); x < int(36 * 72 / 25.4); ++x)
            dark += qGray(page.pixel(x, y)) < 128;
    }
    EXPECT_GT(dark, 10);
    EXPECT_EQ(qGray(page.pixel(5, 5)), 255);
}

// Cancelling in "Druckfortschritt" aborts the job: neither error nor success.
TEST_F(OutputTest, CancelledPrint) {
    const report::Document doc = threePages();
    report::PrintSettings s;
    QString title;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* progress = qobject_cast<QProgressDialog*>(w);
                progress && progress->isVisible()) {
                title = progress->windowTitle();
                progress->cancel();
            }
        }
    });
    EXPECT_EQ(report::printDocument(doc, s), report::PrintOutcome::Cancelled);
    EXPECT_EQ(title, QStringLiteral("Druckfortschritt"));
    ASSERT_EQ(printers->printers.size(), 1);
}

TEST_F(OutputTest, PreviewNavigatesZoomsAndPrintsWhatItShows) {
    report::PrintSettings settings;
    settings.showProgress = false;
    report::ReportPreview preview(threePages(), settings);
    using A = report::ReportPreview::Action;
    QStringList captions;
    for (QAction* a : preview.toolBar()->actions()) {
        if (!a->text().isEmpty())
            captions.append(a->text());
    }
    EXPECT_EQ(captions,
              (QStringList{"Erste Seite", "Vorherige Seite", "Nächste Seite", "Letzte Seite",
                           "Ganze Seite", "Seitenbreite", "100 %", "Vergrößern", "Verkleinern",
                           "Drucken", "Drucker einrichten", "Als PDF speichern", "Schließen"}));
    EXPECT_EQ(preview.pageLabelText(), QStringLiteral("Seite 1 von 3"));
    EXPECT_FALSE(preview.action(A::Previous)->isEnabled());
    preview.action(A::Next)->trigger();
    EXPECT_EQ(preview.pageLabelText(), QStringLiteral("Seite 2 von 3"));
    preview.action(A::Last)->trigger();
    EXPECT_EQ(preview.pageIndex(), 2);
    EXPECT_FALSE(preview.action(A::Next)->isEnabled());
    preview.action(A::Next)->trigger();
    EXPECT_EQ(preview.pageIndex(), 2);
    preview.action(A::First)->trigger();
    EXPECT_EQ(preview.pageLabelText(), QStringLiteral("Seite 1 von 3"));

    preview.resize(900, 700);
    preview.show();
    QApplication::processEvents();
    preview.action(A::WholePage)->trigger();
    const double whole = preview.zoomFactor();
    preview.action(A::PageWidth)->trigger();
    EXPECT_GT(preview.zoomFactor(), whole) << "a portrait page is narrower than it is high";
    preview.action(A::Actual)->trigger();
    EXPECT_DOUBLE_EQ(preview.zoomFactor(), 1.0);
    preview.action(A::ZoomIn)->trigger();
    EXPECT_DOUBLE_EQ(preview.zoomFactor(), 1.25);
    preview.action(A::ZoomOut)->trigger();
    preview.action(A::ZoomOut)->trigger();
    EXPECT_DOUBLE_EQ(preview.zoomFactor(), 0.8);
    for (int i = 0; i < 30; ++i)
        preview.action(A::ZoomOut)->trigger();
    EXPECT_FALSE(preview.action(A::ZoomOut)->isEnabled());

    // "Drucker einrichten" changes the settings the next print uses.
    preview.action(A::Print)->trigger();
    preview.action(A::Setup)->trigger();
    preview.action(A::Print)->trigger();
    ASSERT_EQ(printers->requests.size(), 2u);
    EXPECT_EQ(printers->requests[0].printerName, QStringLiteral("Lager"));
    EXPECT_EQ(printers->requests[1].printerName, QStringLiteral("Büro"));
    EXPECT_EQ(printers->requests[1].copies, 3);
    EXPECT_EQ(preview.printSettings().copies, 3);

    // Errors show in the window instead of leaving it.
    printers->refuse = true;
    preview.action(A::Print)->trigger();
    EXPECT_EQ(errors, (QStringList{"Der Drucker \"Büro\" hat den Druckauftrag abgelehnt."}));
    preview.savePdf(dir.filePath(QStringLiteral("vorschau.pdf")));
    EXPECT_GT(QFileInfo(dir.filePath(QStringLiteral("vorschau.pdf"))).size(), 1000);
    preview.savePdf(dir.filePath(QStringLiteral("fehlt/vorschau.pdf")));
    EXPECT_EQ(errors.size(), 2);
}

// Without any printer of its own the machine still prints: into a PDF file,
// named after the document in a save dialog. With printers the PDF file is
// one more entry of the list.
TEST_F(OutputTest, PrintsIntoAPdfFileThroughTheSystemsOwnList) {
    report::setPrinterSystem(nullptr);
    report::PrinterSystem& system = report::printerSystem();
    const QStringList installed = QPrinterInfo::availablePrinterNames();
    const QString pdf = QStringLiteral("In PDF-Datei drucken");
    EXPECT_EQ(system.printerNames(), QStringList(installed) << pdf);
    if (installed.isEmpty()) {
        EXPECT_EQ(system.currentPrinter(), pdf);
    }

    QStringList suggested;
    QString chosen = dir.filePath(QStringLiteral("ausdruck"));
    report::setPdfFileChooser([&](QWidget*, const QString& path) {
        suggested.append(path);
        return chosen;
    });
    const report::Document doc = threePages();
    report::PrintSettings settings;
    settings.showProgress = false;
    settings.printerIndex = int(installed.size());
    EXPECT_EQ(report::printDocument(doc, settings), report::PrintOutcome::Printed);
    ASSERT_EQ(suggested.size(), 1);
    EXPECT_EQ(QFileInfo(suggested[0]).fileName(), doc.title + QStringLiteral(".pdf"));
    QFile file(chosen + QStringLiteral(".pdf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the chosen name gets its .pdf";
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GE(bytes.count("/Type /Page"), 3);

    // Cancelling the save dialog ends the print quietly.
    chosen.clear();
    EXPECT_THROW(report::printDocument(doc, settings), Abort);
    report::setPdfFileChooser({});

    // "Drucker einrichten" lists the PDF file as well.
    QStringList listed;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("Drucker"));
        ASSERT_NE(printers, nullptr);
        for (int i = 0; i < printers->count(); ++i)
            listed.append(printers->itemText(i));
        printers->setCurrentIndex(printers->count() - 1);
        dialog->findChild<QSpinBox*>(QStringLiteral("Exemplare"))->setValue(2);
        dialog->accept();
    });
    report::PrintSettings setup;
    EXPECT_TRUE(system.setupPrinter(nullptr, setup));
    EXPECT_EQ(listed, QStringList(installed) << pdf);
    EXPECT_EQ(setup.printerIndex, int(installed.size()));
    EXPECT_EQ(setup.copies, 2);
}

// A preview opens with the page filling the view's width, worked out once the
// view has its size; the zoom the user chooses holds for the next preview.
TEST_F(OutputTest, PreviewOpensAtPageWidthAndKeepsTheChosenZoom) {
    report::PrintSettings settings;
    const report::Document doc = threePages();
    auto pageAndView = [](report::ReportPreview& preview) {
        auto* scroll = preview.findChild<QScrollArea*>();
        return std::pair{scroll->widget()->width(), scroll->viewport()->width()};
    };
    {
        report::ReportPreview preview(doc, settings);
        preview.resize(1000, 700);
        preview.show();
        QApplication::processEvents();
        EXPECT_EQ(preview.zoomMode(), report::ReportPreview::Zoom::PageWidth);
        const auto [page, view] = pageAndView(preview);
        EXPECT_LE(page, view) << "no part of the page's width is cut off";
        EXPECT_GE(page, view - 4) << "the page fills the width, no thumbnail";
        EXPECT_GT(preview.zoomFactor(), 0.5);
        EXPECT_FALSE(preview.findChild<QScrollArea*>()->horizontalScrollBar()->isVisible());

        preview.resize(800, 600);
        QApplication::processEvents();
        const auto [smallerPage, smallerView] = pageAndView(preview);
        EXPECT_LE(smallerPage, smallerView);
        EXPECT_GE(smallerPage, smallerView - 4) << "the width follows the window";
        preview.action(report::ReportPreview::Action::Actual)->trigger();
        preview.action(report::ReportPreview::Action::ZoomIn)->trigger();
    }
    report::ReportPreview next(doc, settings);
    next.resize(1000, 700);
    next.show();
    QApplication::processEvents();
    EXPECT_EQ(next.zoomMode(), report::ReportPreview::Zoom::Factor);
    EXPECT_DOUBLE_EQ(next.zoomFactor(), 1.25) << "the user's zoom holds for the run";
}

// The caller waits until the preview is closed and gets back what the user set up.
TEST_F(OutputTest, ModalPreviewReturnsWhenClosed) {
    addCustomers(3);
    auto rep = makeReport(listDefinition());
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* preview = dynamic_cast<report::ReportPreview*>(QApplication::activeModalWidget());
        ASSERT_TRUE(preview);
        shown = true;
        EXPECT_EQ(preview->pageLabelText(), QStringLiteral("Seite 1 von 1"));
        preview->action(report::ReportPreview::Action::Setup)->trigger();
        preview->action(report::ReportPreview::Action::Close)->trigger();
    });
    report::previewReport(*rep);
    EXPECT_TRUE(shown);
    EXPECT_EQ(rep->printSettings().copies, 3);
    EXPECT_EQ(printers->setups, 1);

    report::PrintSettings s;
    report::ReportPreview empty(report::Document{}, s);
    EXPECT_EQ(empty.pageLabelText(), QStringLiteral("Seite 0 von 0"));
    EXPECT_FALSE(empty.action(report::ReportPreview::Action::Print)->isEnabled());
}
