#include "core/gui/okcancelrow.h"

#include <QHBoxLayout>
#include <QPushButton>

using namespace Qt::StringLiterals;

QHBoxLayout* MakeOkCancelRow(QWidget* owner, QPushButton*& ok, QPushButton*& cancel) {
    ok = new QPushButton(u"OK"_s, owner);
    ok->setObjectName(u"btnOK"_s);
    ok->setDefault(true);
    cancel = new QPushButton(u"Abbrechen"_s, owner);
    cancel->setObjectName(u"btnCancel"_s);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}
