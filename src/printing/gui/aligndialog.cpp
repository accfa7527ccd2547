#include "printing/gui/aligndialog.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>

using namespace Qt::StringLiterals;

TAlignDialog::TAlignDialog(QWidget* parent) : DesignerDialog(u"Ausrichtung"_s, parent) {
    auto* group = new QGroupBox(u"Textausrichtung"_s, this);
    auto* layout = new QVBoxLayout(group);
    m_items = new QButtonGroup(this);
    int id = 0;
    for (const QString& caption : {u"Linksbündig"_s, u"Rechtsbündig"_s, u"Zentriert"_s}) {
        auto* button = new QRadioButton(caption, group);
        m_items->addButton(button, id++);
        layout->addWidget(button);
    }
    content()->addWidget(group);
}

void TAlignDialog::setItemIndex(int index) {
    if (QAbstractButton* button = m_items->button(index))
        button->setChecked(true);
}

int TAlignDialog::itemIndex() const {
    return m_items->checkedId();
}
