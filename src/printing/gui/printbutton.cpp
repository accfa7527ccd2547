#include "printing/gui/printbutton.h"

#include "core/datagui/tf_selform.h"

#include <QAbstractButton>
#include <QPointer>
#include <QWidget>

namespace {

const char* const kTag = "Tag";

} // namespace

void MarkPreviewButton(QAbstractButton* button) {
    button->setProperty(kTag, 1);
}

bool IsPreviewButton(const QObject* button) {
    return button && button->property(kTag).toInt() == 1;
}

PrintFormChoosers WindowPrintFormChoosers(QWidget* window, QWidget* control, table::Field* field) {
    QPointer<QWidget> w(window);
    QPointer<QWidget> c(control);
    PrintFormChoosers choosers;
    choosers.choose = [w](int formType) {
        return ChoosePrintForm(formType, 0, w ? w->x() + 100 : 100, w ? w->y() + 140 : 140);
    };
    choosers.chooseForField = [c, field](int formType) {
        return ChoosePrintFormForField(c.data(), field, formType, true);
    };
    return choosers;
}

void PrintButtonClicked(QAbstractButton* button, const PrintButton& spec,
                        const PrintFormChoosers& choosers,
                        const std::function<void(bool preview, const QString& layoutPath)>& entry) {
    // Speed buttons spring back up, also when the print failed.
    struct Release {
        QPointer<QAbstractButton> button;
        ~Release() {
            if (button) {
                button->setDown(false);
                if (button->isCheckable())
                    button->setChecked(false);
            }
        }
    } release{button};
    const bool preview = IsPreviewButton(button);
    RunPrintButton(spec, choosers,
                   [&entry, preview](const QString& layoutPath) { entry(preview, layoutPath); });
}
