#include "dbstructure/gui/tableselectdialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TF_TableSelect::TF_TableSelect(const QStringList& tables, QWidget* parent) : QDialog(parent) {
    setWindowTitle(u"Auswahl verdichten"_s);
    lstTables = new QListWidget(this);
    lstTables->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstTables->addItems(tables);
    btnOK = new QPushButton(u"&OK"_s, this);
    btnCancel = new QPushButton(u"&Abbrechen"_s, this);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstTables, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstTables);
    layout->addLayout(buttons);
    resize(280, 360);
}

QStringList TF_TableSelect::selectedTables() const {
    QStringList names;
    for (int row = 0; row < lstTables->count(); ++row)
        if (lstTables->item(row)->isSelected())
            names.append(lstTables->item(row)->text());
    return names;
}

QStringList SelectTablesToPack(const QStringList& tables, QWidget* parent) {
    TF_TableSelect dialog(tables, parent);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedTables();
}
