#include "platform/widgets/readonlylook.h"

#include <QLineEdit>

namespace widgets {

void ShowAsReadOnly(QLineEdit& edit, const QString& howSet) {
    edit.setReadOnly(true);
    QPalette look = edit.palette();
    look.setColor(QPalette::Active, QPalette::Base,
                  look.color(QPalette::Disabled, QPalette::Window));
    look.setColor(QPalette::Inactive, QPalette::Base,
                  look.color(QPalette::Disabled, QPalette::Window));
    edit.setPalette(look);
    if (!howSet.isEmpty())
        edit.setToolTip(howSet);
    edit.setCursor(howSet.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

} // namespace widgets
