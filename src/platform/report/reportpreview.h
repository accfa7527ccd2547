#pragma once

// The preview window: one page at a time with a German toolbar (page
// navigation, "Seite n von m", zoom, "Drucken", "Drucker einrichten",
// "Als PDF speichern", "Schließen"). It prints the pages it shows.

#include "platform/report/pagemodel.h"
#include "platform/report/report.h"

#include <QDialog>

class QAction;
class QLabel;
class QScrollArea;
class QToolBar;

namespace report {

class PreviewPage;

class ReportPreview : public QDialog {
public:
    enum class Zoom { WholePage, PageWidth, Factor };
    enum class Action {
        First,
        Previous,
        Next,
        Last,
        WholePage,
        PageWidth,
        Actual,
        ZoomIn,
        ZoomOut,
        Print,
        Setup,
        SavePdf,
        Close
    };

    ReportPreview(Document document, const PrintSettings& settings, QWidget* parent = nullptr);
    ~ReportPreview() override;

    int pageIndex() const { return m_page; }
    int pageCount() const { return int(m_document.pages.size()); }
    QString pageLabelText() const;
    void setPage(int index);

    Zoom zoomMode() const { return m_zoom; }
    double zoomFactor() const; // 1.0 is the paper's real size on the screen
    // The zoom the user chooses stays for the previews that follow in this
    // run; the first preview shows the page width.
    void setZoomMode(Zoom mode);
    void setZoomFactor(double factor);
    // Back to the first preview's zoom, as at the start of a run.
    static void forgetZoom();

    QAction* action(Action which) const;
    QToolBar* toolBar() const { return m_toolBar; }
    const PrintSettings& printSettings() const { return m_settings; }

    // What the buttons do; each shows its error instead of passing it on.
    void printPages();
    void setupPrinter();
    void savePdf(const QString& fileName);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateView();
    void chooseAndSavePdf();

    Document m_document;
    PrintSettings m_settings;
    int m_page = 0;
    Zoom m_zoom = Zoom::WholePage;
    double m_factor = 1.0;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_pageLabel = nullptr;
    QScrollArea* m_scroll = nullptr;
    PreviewPage* m_view = nullptr;
    std::vector<QAction*> m_actions;
};

// Shows the pages modally; returns when the user closed the window. The
// settings keep what "Drucker einrichten" changed.
void showPreview(Document document, PrintSettings& settings, QWidget* parent = nullptr);

} // namespace report
