#include "core/gui/placement.h"

#include <QPointer>
#include <QWidget>

namespace {
QPointer<QWidget>& mainFormRef() {
    static QPointer<QWidget> mainForm;
    return mainForm;
}
} // namespace

void SetMainForm(QWidget* mainForm) {
    mainFormRef() = mainForm;
}

QWidget* MainForm() {
    return mainFormRef().data();
}

void PlaceBelowMainForm(QWidget* form, int dx, int dy, int dw) {
    const QWidget* main = MainForm();
    if (form == nullptr || main == nullptr)
        return;
    const QRect frame = main->frameGeometry();
    form->move(frame.left() + dx, frame.top() + frame.height() + dy);
    // The widths are those of the whole windows, frames included.
    const int formFrameExtra = form->frameGeometry().width() - form->width();
    form->resize(frame.width() + dw - formFrameExtra, form->height());
}

int GetEditScreenX(const QWidget* control) {
    if (control == nullptr)
        return 0;
    return control->mapToGlobal(QPoint(0, 0)).x();
}

int GetEditScreenY(const QWidget* control) {
    if (control == nullptr)
        return 0;
    return control->mapToGlobal(QPoint(0, 0)).y();
}
