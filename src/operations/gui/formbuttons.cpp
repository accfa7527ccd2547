#include "operations/gui/formbuttons.h"

#include <QPushButton>

QPushButton* MakeFormButton(QWidget* parent, const QString& name, const QString& caption,
                            const QString& hint) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}
