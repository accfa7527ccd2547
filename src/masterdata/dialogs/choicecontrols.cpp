#include "masterdata/dialogs/choicecontrols.h"

#include "platform/widgets/dbnavigator.h"

#include <QHBoxLayout>
#include <QPushButton>

using namespace Qt::StringLiterals;

QHBoxLayout* MakeChoiceButtons(QWidget* owner, QPushButton*& ok, QPushButton*& cancel) {
    ok = new QPushButton(u"&OK"_s, owner);
    ok->setObjectName(u"btnOK"_s);
    ok->setDefault(true);
    cancel = new QPushButton(u"&Abbrechen"_s, owner);
    cancel->setObjectName(u"btnCancel"_s);
    cancel->setAutoDefault(false);
    auto* row = new QHBoxLayout;
    row->addWidget(ok);
    row->addStretch();
    row->addWidget(cancel);
    return row;
}

widgets::DbNavigator* MakeMoveNavigator(widgets::DataSource& source, QWidget* parent) {
    auto* navigator = new widgets::DbNavigator(source, parent);
    navigator->setObjectName(u"DBNavigator"_s);
    for (int b = widgets::DbNavigator::Insert; b < widgets::DbNavigator::ButtonCount; ++b)
        navigator->setButtonVisible(widgets::DbNavigator::Button(b), false);
    return navigator;
}
