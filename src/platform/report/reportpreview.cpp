#include "platform/report/reportpreview.h"

#include "platform/report/pagerenderer.h"
#include "platform/report/pdfwriter.h"
#include "platform/report/printersystem.h"
#include "platform/report/printjob.h"
#include "platform/widgets/userprompts.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace report {

// One page painted at the preview's zoom, on a grey desk.
class PreviewPage : public QWidget {
public:
    PreviewPage(const Document& document, QWidget* parent)
        : QWidget(parent), m_document(document) {}

    void show(int page, double dotsPerInch) {
        m_page = page;
        m_dpi = dotsPerInch;
        const QSizeF paper = m_document.paperMm / 25.4 * dotsPerInch;
        setFixedSize(paper.toSize() + QSize(2 * kDesk, 2 * kDesk));
        update();
    }

    static constexpr int kDesk = 12;
    static inline const QColor kDeskColor{0x80, 0x80, 0x80};

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), kDeskColor);
        const QRect paper = rect().adjusted(kDesk, kDesk, -kDesk, -kDesk);
        p.fillRect(paper.translated(3, 3), QColor(0x50, 0x50, 0x50));
        p.fillRect(paper, Qt::white);
        p.translate(paper.topLeft());
        p.setClipRect(QRect(QPoint(0, 0), paper.size()));
        paintPage(p, m_document, m_page, m_dpi);
    }

private:
    const Document& m_document;
    int m_page = 0;
    double m_dpi = 96;
};

namespace {

constexpr double kMinFactor = 0.1;
constexpr double kMaxFactor = 8.0;
constexpr double kZoomStep = 1.25;

struct ChosenZoom {
    ReportPreview::Zoom mode = ReportPreview::Zoom::PageWidth;
    double factor = 1.0;
};

ChosenZoom& chosenZoom() {
    static ChosenZoom zoom;
    return zoom;
}

} // namespace

ReportPreview::ReportPreview(Document document, const PrintSettings& settings, QWidget* parent)
    : QDialog(parent), m_document(std::move(document)), m_settings(settings) {
    setWindowTitle(QStringLiteral("Druckvorschau - %1").arg(m_document.title));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_toolBar = new QToolBar(this);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    layout->addWidget(m_toolBar);
    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignCenter);
    QPalette desk = m_scroll->palette();
    desk.setColor(QPalette::Window, PreviewPage::kDeskColor);
    m_scroll->setPalette(desk);
    m_scroll->setBackgroundRole(QPalette::Window);
    m_view = new PreviewPage(m_document, m_scroll);
    m_scroll->setWidget(m_view);
    layout->addWidget(m_scroll, 1);
    // The zoom follows the view's own size, which it gets only once shown.
    m_scroll->installEventFilter(this);
    m_zoom = chosenZoom().mode;
    m_factor = chosenZoom().factor;

    QStyle* st = style();
    auto add = [&](Action which, const QString& text, const QKeySequence& key,
                   std::function<void()> run, QStyle::StandardPixmap icon = QStyle::SP_CustomBase) {
        auto* a = new QAction(text, this);
        if (!key.isEmpty())
            a->setShortcut(key);
        a->setToolTip(key.isEmpty() ? text
                                    : text + QStringLiteral(" (") +
                                          key.toString(QKeySequence::NativeText) + u')');
        connect(a, &QAction::triggered, this, std::move(run));
        m_toolBar->addAction(a);
        if (icon != QStyle::SP_CustomBase) {
            a->setIcon(st->standardIcon(icon));
            if (auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(a)))
                button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        }
        if (size_t(which) >= m_actions.size())
            m_actions.resize(size_t(which) + 1);
        m_actions[size_t(which)] = a;
    };
    add(
        Action::First, QStringLiteral("Erste Seite"), Qt::Key_Home, [this] { setPage(0); },
        QStyle::SP_MediaSkipBackward);
    add(
        Action::Previous, QStringLiteral("Vorherige Seite"), Qt::Key_PageUp,
        [this] { setPage(m_page - 1); }, QStyle::SP_MediaSeekBackward);
    m_pageLabel = new QLabel(this);
    m_pageLabel->setContentsMargins(8, 0, 8, 0);
    m_toolBar->addWidget(m_pageLabel);
    add(
        Action::Next, QStringLiteral("Nächste Seite"), Qt::Key_PageDown,
        [this] { setPage(m_page + 1); }, QStyle::SP_MediaSeekForward);
    add(
        Action::Last, QStringLiteral("Letzte Seite"), Qt::Key_End,
        [this] { setPage(pageCount() - 1); }, QStyle::SP_MediaSkipForward);
    m_toolBar->addSeparator();
    add(Action::WholePage, QStringLiteral("Ganze Seite"), {},
        [this] { setZoomMode(Zoom::WholePage); });
    add(Action::PageWidth, QStringLiteral("Seitenbreite"), {},
        [this] { setZoomMode(Zoom::PageWidth); });
    add(Action::Actual, QStringLiteral("100 %"), {}, [this] { setZoomFactor(1.0); });
    add(Action::ZoomIn, QStringLiteral("Vergrößern"), QKeySequence::ZoomIn,
        [this] { setZoomFactor(zoomFactor() * kZoomStep); });
    add(Action::ZoomOut, QStringLiteral("Verkleinern"), QKeySequence::ZoomOut,
        [this] { setZoomFactor(zoomFactor() / kZoomStep); });
    m_toolBar->addSeparator();
    add(Action::Print, QStringLiteral("Drucken"), QKeySequence::Print, [this] { printPages(); });
    add(Action::Setup, QStringLiteral("Drucker einrichten"), {}, [this] { setupPrinter(); });
    add(Action::SavePdf, QStringLiteral("Als PDF speichern"), {}, [this] { chooseAndSavePdf(); });
    m_toolBar->addSeparator();
    add(Action::Close, QStringLiteral("Schließen"), {}, [this] { accept(); });

    if (const QScreen* screen = parent ? parent->screen() : QWidget::screen()) {
        const QRect available = screen->availableGeometry();
        resize(available.width() * 85 / 100, available.height() * 90 / 100);
    }
    updateView();
}

ReportPreview::~ReportPreview() = default;

QAction* ReportPreview::action(Action which) const {
    return m_actions.at(size_t(which));
}

QString ReportPreview::pageLabelText() const {
    return QStringLiteral("Seite %1 von %2").arg(pageCount() ? m_page + 1 : 0).arg(pageCount());
}

void ReportPreview::setPage(int index) {
    m_page = std::clamp(index, 0, std::max(0, pageCount() - 1));
    updateView();
}

double ReportPreview::zoomFactor() const {
    const QSizeF paper = m_document.paperMm / 25.4 * logicalDpiX();
    // The room without scroll bars, so that a scroll bar coming or going
    // does not change the zoom again.
    const QSize room =
        m_scroll->maximumViewportSize() - QSize(2 * PreviewPage::kDesk, 2 * PreviewPage::kDesk);
    const double scrollBar = m_scroll->verticalScrollBar()->sizeHint().width();
    switch (m_zoom) {
    case Zoom::WholePage:
        return std::clamp(std::min(room.width() / paper.width(), room.height() / paper.height()),
                          kMinFactor, kMaxFactor);
    case Zoom::PageWidth:
        return std::clamp((room.width() - scrollBar) / paper.width(), kMinFactor, kMaxFactor);
    case Zoom::Factor:
        break;
    }
    return m_factor;
}

void ReportPreview::setZoomMode(Zoom mode) {
    m_zoom = mode;
    chosenZoom().mode = mode;
    updateView();
}

void ReportPreview::setZoomFactor(double factor) {
    m_factor = std::clamp(factor, kMinFactor, kMaxFactor);
    m_zoom = Zoom::Factor;
    chosenZoom() = {m_zoom, m_factor};
    updateView();
}

void ReportPreview::forgetZoom() {
    chosenZoom() = {};
}

void ReportPreview::updateView() {
    m_pageLabel->setText(pageLabelText());
    const bool any = pageCount() > 0;
    action(Action::First)->setEnabled(any && m_page > 0);
    action(Action::Previous)->setEnabled(any && m_page > 0);
    action(Action::Next)->setEnabled(m_page < pageCount() - 1);
    action(Action::Last)->setEnabled(m_page < pageCount() - 1);
    action(Action::Print)->setEnabled(any);
    action(Action::ZoomIn)->setEnabled(zoomFactor() < kMaxFactor);
    action(Action::ZoomOut)->setEnabled(zoomFactor() > kMinFactor);
    m_view->show(m_page, zoomFactor() * logicalDpiX());
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_scroll && event->type() == QEvent::Resize)
        updateView();
    return QDialog::eventFilter(watched, event);
}

void ReportPreview::printPages() {
    widgets::guarded(this, [this] { printDocument(m_document, m_settings, this); });
}

void ReportPreview::setupPrinter() {
    widgets::guarded(this, [this] { printerSystem().setupPrinter(this, m_settings); });
}

void ReportPreview::savePdf(const QString& fileName) {
    widgets::guarded(this, [&] { writePdf(m_document, fileName); });
}

void ReportPreview::chooseAndSavePdf() {
    const QString fileName = choosePdfFile(this, m_document.title);
    if (!fileName.isEmpty())
        savePdf(fileName);
}

void showPreview(Document document, PrintSettings& settings, QWidget* parent) {
    ReportPreview preview(std::move(document), settings, parent);
    preview.exec();
    settings = preview.printSettings();
}

} // namespace report
