#include "printing/gui/captiondialog.h"

#include <QBoxLayout>
#include <QLineEdit>

using namespace Qt::StringLiterals;

TCaptionDialog::TCaptionDialog(QWidget* parent) : DesignerDialog(u"Beschriftung"_s, parent) {
    m_edit = new QLineEdit(this);
    m_edit->setMinimumWidth(280);
    content()->addWidget(m_edit);
    setStartFocus(m_edit);
}

void TCaptionDialog::setText(const QString& text) {
    m_edit->setText(text);
}

QString TCaptionDialog::text() const {
    return m_edit->text();
}

bool InputText(QString& text, const QString& title, int left, int top, int width, QWidget* parent) {
    TCaptionDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setText(text);
    if (width > 0)
        dialog.resize(width, dialog.sizeHint().height());
    if (!dialog.ExecuteAt(left, top))
        return false;
    text = dialog.text();
    return true;
}
