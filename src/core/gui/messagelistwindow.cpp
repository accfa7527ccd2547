#include "core/gui/messagelistwindow.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

TF_Mess::TF_Mess(QWidget* parent) : QDialog(parent) {
    QFont small = font();
    small.setPointSize(qMax(6, small.pointSize() - 1));
    setFont(small);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Liste = new QListWidget(this);
    Panel2 = new QLabel(this);
    Panel2->setFrameShape(QFrame::Panel);
    Panel2->setFrameShadow(QFrame::Sunken);
    layout->addWidget(Liste, 1);
    layout->addWidget(Panel2);
    resize(DesignedWidth, DesignedHeight);
}

MessageListWindowSink::~MessageListWindowSink() {
    delete m_window;
}

bool MessageListWindowSink::isOpen() const {
    return !m_window.isNull();
}

void MessageListWindowSink::open(const QString& caption, const QString& firstLine, int left,
                                 int top) {
    if (m_window)
        return;
    m_window = new TF_Mess;
    m_designedSize = m_window->size();
    m_window->move(left, top);
    m_window->setWindowTitle(caption);
    m_window->Liste->clear();
    m_window->Liste->addItem(firstLine);
    m_window->setModal(false);
    m_window->show();
}

void MessageListWindowSink::addLine(const QString& text) {
    if (!m_window)
        return;
    m_window->Liste->addItem(text);
    m_window->Liste->setCurrentRow(m_window->Liste->count() - 1);
    m_window->Liste->scrollToBottom();
}

void MessageListWindowSink::setStatus(const QString& text) {
    if (m_window)
        m_window->Panel2->setText(text);
}

void MessageListWindowSink::setHeight(int value) {
    if (m_window)
        m_window->resize(m_window->width(), value);
}

void MessageListWindowSink::setWidth(int value) {
    if (m_window)
        m_window->resize(value, m_window->height());
}

void MessageListWindowSink::close() {
    if (!m_window)
        return;
    m_window->Liste->clear();
    m_window->resize(m_designedSize);
    m_window->close();
    delete m_window;
}
