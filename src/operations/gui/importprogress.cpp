#include "operations/gui/importprogress.h"

#include <QProgressDialog>

using namespace Qt::StringLiterals;

namespace {
// The window repaints and hears its button at most this often, so that a
// long run is not slowed by it.
constexpr int kUpdateMs = 40;
} // namespace

ImportProgressWindow::ImportProgressWindow(QWidget* parent, QString countText)
    : m_parent(parent), m_countText(std::move(countText)) {}

ImportProgressWindow::~ImportProgressWindow() = default;

TimeImportProgress ImportProgressWindow::progress() {
    return {[this](int total) { start(total); }, [this](int done) { return step(done); },
            [this] { finish(); }};
}

void ImportProgressWindow::start(int total) {
    m_total = total;
    m_dialog = std::make_unique<QProgressDialog>(m_countText.arg(0).arg(total), u"Abbrechen"_s, 0,
                                                 std::max(total, 1), m_parent);
    m_dialog->setObjectName(u"ImportProgress"_s);
    m_dialog->setWindowTitle(u"Datenimport"_s);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(500);
    m_dialog->setValue(0);
    m_sinceUpdate.start();
}

bool ImportProgressWindow::step(int done) {
    if (!m_dialog)
        return true;
    if (done == m_total || m_sinceUpdate.elapsed() >= kUpdateMs) {
        m_sinceUpdate.restart();
        m_dialog->setLabelText(m_countText.arg(done).arg(m_total));
        // A modal progress window handles its events here, the button included.
        m_dialog->setValue(done);
    }
    return !m_dialog->wasCanceled();
}

void ImportProgressWindow::finish() {
    m_dialog.reset();
}
