#include "masterdata/dialogs/duallistdialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QListWidget* newList(QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setMinimumWidth(280);
    list->setFont(QFont(u"Courier New"_s));
    return list;
}

} // namespace

DualListDialog::DualListDialog(const QString& title, const QList<Entry>& offered, QWidget* parent)
    : QDialog(parent), m_left(newList(this)), m_right(newList(this)) {
    setObjectName(u"DualListDlg"_s);
    setWindowTitle(title);
    for (const Entry& entry : offered) {
        auto* item = new QListWidgetItem(entry.text, m_left);
        item->setData(Qt::UserRole, entry.key);
    }
    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    const auto arrow = [&](const QString& text, auto action) {
        auto* b = new QPushButton(text, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, action);
        arrows->addWidget(b);
    };
    arrow(u">"_s, [this] { choose(false); });
    arrow(u">>"_s, [this] { choose(true); });
    arrow(u"<"_s, [this] { giveBack(false); });
    arrow(u"<<"_s, [this] { giveBack(true); });
    arrows->addStretch();
    connect(m_left, &QListWidget::itemDoubleClicked, this, [this] { choose(false); });
    connect(m_right, &QListWidget::itemDoubleClicked, this, [this] { giveBack(false); });

    auto* lists = new QHBoxLayout;
    lists->addWidget(m_left, 1);
    lists->addLayout(arrows);
    lists->addWidget(m_right, 1);
    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(u"&OK"_s, QDialogButtonBox::AcceptRole);
    buttons->addButton(u"&Abbrechen"_s, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(buttons);
    resize(720, 420);
}

void DualListDialog::move(QListWidget& from, QListWidget& to, bool all) {
    QList<QListWidgetItem*> items;
    for (int i = 0; i < from.count(); ++i)
        if (all || from.item(i)->isSelected())
            items.append(from.item(i));
    for (QListWidgetItem* item : items)
        to.addItem(from.takeItem(from.row(item)));
}

void DualListDialog::choose(bool all) {
    move(*m_left, *m_right, all);
}

void DualListDialog::giveBack(bool all) {
    move(*m_right, *m_left, all);
}

QStringList DualListDialog::chosenKeys() const {
    QStringList keys;
    for (int i = 0; i < m_right->count(); ++i)
        keys.append(m_right->item(i)->data(Qt::UserRole).toString());
    return keys;
}

QStringList ChooseFromDualList(const QString& title, const QList<DualListDialog::Entry>& offered,
                               QWidget* parent) {
    DualListDialog dialog(title, offered, parent);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.chosenKeys();
}
