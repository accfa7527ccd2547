#include "masterdata/dialogs/keypreview.h"

#include <QWidget>

void InstallKeyPreview(QWidget& form, QObject& filter) {
    // Installing twice on one object keeps a single entry.
    form.installEventFilter(&filter);
    const QList<QWidget*> controls = form.findChildren<QWidget*>();
    for (QWidget* control : controls)
        control->installEventFilter(&filter);
}
