#include "printing/gui/designerdialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

DesignerDialog::DesignerDialog(const QString& caption, QWidget* parent) : QDialog(parent) {
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    m_content = new QVBoxLayout;
    layout->addLayout(m_content);
    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(u"OK"_s, QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(u"Abbrechen"_s, QDialogButtonBox::RejectRole);
    m_ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    m_startFocus = m_ok;
}

bool DesignerDialog::ExecuteAt(int x, int y) {
    move(x, y);
    return exec() == QDialog::Accepted;
}

void DesignerDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_startFocus)
        m_startFocus->setFocus(Qt::ActiveWindowFocusReason);
}
