#include "commercial/gui/f_createrg.h"

#include "commercial/billing/recurringbilling.h"
#include "core/data/datamodule.h"
#include "core/gui/placement.h"
#include "core/values/datetimevalue.h"
#include "masterdata/dialogs/tf_daterangedlg.h"

#include <QApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TF_CreateRg::TF_CreateRg(int mode, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_mode(mode) {
    setObjectName(u"F_CreateRg"_s);
    setWindowTitle(u"Dauerrechnungen erstellen"_s);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The memo lines align their amounts in columns.
    QFont font(u"Courier New"_s, 10);
    font.setStyleHint(QFont::TypeWriter);
    Memo1->setFont(font);

    lbCntRg = new QLabel(this);
    lbCntRg->setObjectName(u"lbCntRg"_s);
    lbCntRg->setAutoFillBackground(true);
    lbCntRg->setBackgroundRole(QPalette::ToolTipBase);
    lbCntRg->setForegroundRole(QPalette::ToolTipText);
    lbCntRg->setMargin(3);
    lbCntRg->hide();
    btnClose = new QPushButton(u"&Schließen"_s, this);
    btnClose->setObjectName(u"btnClose"_s);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lbCntRg);
    bottom->addStretch(1);
    bottom->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1, 1);
    layout->addLayout(bottom);
    // Wide enough for a memo line with a period text of some length.
    const int width = Memo1->fontMetrics().horizontalAdvance(QString(92, u'0'));
    resize(width + 40, 460);
}

TF_CreateRg::~TF_CreateRg() = default;

void TF_CreateRg::reject() {
    if (!m_running)
        QDialog::reject();
}

void TF_CreateRg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    if (!m_started) {
        m_started = true;
        // Once the form is on screen, so the memo is seen while the run works.
        QTimer::singleShot(0, this, &TF_CreateRg::runOnce);
    }
}

void TF_CreateRg::runOnce() {
    RecurringBillingHooks hooks;
    hooks.pickRange = [](QDate& from, QDate& to) {
        TDateTime f = DateTimeOfDate(from);
        TDateTime t = DateTimeOfDate(to);
        if (!EnterDateRange(f, t, 122, 128, u"Rechnungen erstellen für den Zeitraum"_s))
            return false;
        from = DateOfDateTime(f);
        to = DateOfDateTime(t);
        return true;
    };
    hooks.addLine = [this](const QString& line) { Memo1->appendPlainText(line); };
    hooks.showCount = [this](const QString& text) { lbCntRg->setText(text); };
    hooks.setRunning = [this](bool running) {
        m_running = running;
        if (running) {
            lbCntRg->show();
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    };
    hooks.processEvents = [] { QCoreApplication::processEvents(); };

    btnClose->hide();
    try {
        m_created = RunRecurringBilling(DataModule1(), m_mode, QDate::currentDate(), hooks);
    } catch (...) {
        m_error = std::current_exception();
    }
    m_running = false;
    btnClose->show();
    btnClose->click();
}

int RunRecurringBilling(int mode) {
    TF_CreateRg form(mode, MainForm());
    form.Memo1->clear();
    form.exec();
    if (form.error())
        std::rethrow_exception(form.error());
    return form.createdCount();
}
