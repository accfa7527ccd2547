#include "core/gui/radiogroup.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

RadioGroup::RadioGroup(const QString& title, QWidget* parent)
    : QGroupBox(title, parent), m_buttons(new QButtonGroup(this)), m_layout(new QVBoxLayout(this)) {
    m_layout->addStretch();
}

void RadioGroup::clearItems() {
    const QList<QAbstractButton*> buttons = m_buttons->buttons();
    for (QAbstractButton* button : buttons) {
        m_buttons->removeButton(button);
        delete button;
    }
}

void RadioGroup::addItem(const QString& text) {
    auto* button = new QRadioButton(text, this);
    const int index = int(m_buttons->buttons().size());
    m_buttons->addButton(button, index);
    m_layout->insertWidget(index, button);
}

QStringList RadioGroup::items() const {
    QStringList texts;
    for (QAbstractButton* button : m_buttons->buttons())
        texts.append(button->text());
    return texts;
}

int RadioGroup::itemIndex() const {
    return m_buttons->checkedId();
}

void RadioGroup::setItemIndex(int index) {
    QAbstractButton* wanted = m_buttons->button(index);
    if (wanted) {
        wanted->setChecked(true);
        return;
    }
    // An exclusive group will not uncheck its last button by itself.
    QAbstractButton* checked = m_buttons->checkedButton();
    if (checked) {
        m_buttons->setExclusive(false);
        checked->setChecked(false);
        m_buttons->setExclusive(true);
    }
}
