#include "operations/gui/tf_choosekey.h"

#include "operations/overheaddistribution.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

TF_ChooseKey::TF_ChooseKey(QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_ChooseKey"_s);
    setWindowTitle(u"Verteilerschlüssel bestimmen"_s);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(u"Verteilerschlüssel berechnen anhand von"_s, this);
    m_list = new QListWidget(this);
    m_list->setObjectName(u"lbKeys"_s);
    for (const QString& text : DistributionKeyTexts())
        m_list->addItem(text);
    m_list->setCurrentRow(0);
    m_list->setMinimumWidth(m_list->sizeHintForColumn(0) + 30);
    m_list->setFixedHeight(m_list->sizeHintForRow(0) * m_list->count() + 2 * m_list->frameWidth() +
                           4);
    label->setBuddy(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(u"OK"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"Abbrechen"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    // Room for the whole title in the frame.
    setMinimumWidth(
        std::max(sizeHint().width(), fontMetrics().horizontalAdvance(windowTitle()) + 120));
}

int TF_ChooseKey::chosen() const {
    return m_list->currentRow();
}

int ChooseDistributionKey(QWidget* parent) {
    TF_ChooseKey dialog(parent);
    return dialog.exec() == QDialog::Accepted ? dialog.chosen() : -1;
}
