#include "core/gui/f_selrb.h"

#include "core/gui/radiogroup.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

TF_SelRB* F_SelRB = nullptr;

TF_SelRB::TF_SelRB(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Optionen..."));
    setFixedSize(192, 164);

    rg1 = new RadioGroup(QStringLiteral("Optionsauswahl"), this);
    rg1->setObjectName(QStringLiteral("rg1"));

    auto* panel = new QWidget(this);
    btnOK = new QPushButton(QStringLiteral("OK"), panel);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Abbrechen"), panel);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto* buttons = new QHBoxLayout(panel);
    buttons->setContentsMargins(4, 4, 4, 4);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(rg1, 1);
    layout->addWidget(panel);

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void FillRadioItems(TF_SelRB* dialog, const QString& items) {
    dialog->rg1->clearItems();
    qsizetype start = 0;
    for (qsizetype bar = items.indexOf(u'|'); bar >= 0; bar = items.indexOf(u'|', start)) {
        dialog->rg1->addItem(items.mid(start, bar - start));
        start = bar + 1;
    }
}

int SelectRadioItem(int left, int top, int itemIndex, const QString& caption,
                    const QString& items) {
    const auto dialog = std::make_unique<TF_SelRB>();
    // The global reference lives exactly as long as the dialog is shown.
    struct Publish {
        explicit Publish(TF_SelRB* d) { F_SelRB = d; }
        ~Publish() { F_SelRB = nullptr; }
        Publish(const Publish&) = delete;
        Publish& operator=(const Publish&) = delete;
    } publish(dialog.get());

    dialog->move(left, top);
    FillRadioItems(dialog.get(), items);
    dialog->rg1->setItemIndex(itemIndex);
    dialog->rg1->setTitle(caption);
    if (dialog->exec() != QDialog::Accepted)
        return -1;
    return dialog->rg1->itemIndex();
}
