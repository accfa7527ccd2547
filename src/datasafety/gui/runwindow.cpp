#include "datasafety/gui/runwindow.h"

#include "core/messages/messages.h"
#include "platform/errors.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
constexpr qint64 kPollMs = 40;
} // namespace

TF_RunWindow::TF_RunWindow(const QString& caption, std::function<void()> work,
                           std::function<void()> cancel, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_work(std::move(work)) {
    setWindowTitle(caption);
    setMinimumWidth(460);
    Label3 = new QLabel(this);
    Label3->setObjectName(u"Label3"_s);
    Label3->setWordWrap(true);
    Label1 = new QLabel(this);
    Label1->setObjectName(u"Label1"_s);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label2 = new QLabel(this);
    Label2->setObjectName(u"Label2"_s);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(u"ProgressBar1"_s);
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    btnCancel = new QPushButton(u"A&bbruch"_s, this);
    btnCancel->setObjectName(u"btnCancel"_s);
    btnClose = new QPushButton(u"&Schließen"_s, this);
    btnClose->setObjectName(u"btnClose"_s);
    btnClose->setVisible(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label3);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(ProgressBar1);
    layout->addLayout(buttons);

    connect(btnCancel, &QPushButton::clicked, this, [cancel = std::move(cancel)] { cancel(); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
}

void TF_RunWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    QTimer::singleShot(0, this, &TF_RunWindow::start);
}

void TF_RunWindow::start() {
    m_sincePoll.start();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Restore {
        ~Restore() { QApplication::restoreOverrideCursor(); }
    } restore;
    // Nothing may leave a slot of the event loop: what the run did not
    // report itself is shown here.
    try {
        m_work();
    } catch (const Abort&) {
    } catch (const DbError& error) {
        ShowError(error.message());
    }
    m_finished = true;
    btnCancel->setVisible(false);
    btnClose->setVisible(true);
    btnClose->setDefault(true);
    btnClose->setFocus();
}

void TF_RunWindow::poll() {
    if (m_sincePoll.isValid() && m_sincePoll.elapsed() < kPollMs)
        return;
    m_sincePoll.restart();
    QApplication::processEvents();
}

void TF_RunWindow::reject() {
    if (m_finished)
        QDialog::reject();
}
