#include "printing/listbutton.h"

#include "core/messages/syslog.h"
#include "platform/errors.h"
#include "printing/formtypes.h"

#include <exception>

using namespace Qt::StringLiterals;

namespace {

ListEntry entryOf(const ListPrintButton& button, int formType) {
    QString name = button.entry;
    if (name.isEmpty() || formType != button.formType) {
        const FormTypeInfo* type = FindFormType(formType);
        name = type ? type->printEntry.toString() : QString();
    }
    const ListEntry entry = FindListEntry(name);
    if (!entry)
        throw DbError(u"Für das Formular %1 gibt es keine Liste."_s.arg(formType));
    return entry;
}

void print(const ListPrintButton& button, const PrintFormChoosers& choosers,
           const ListEntryArgs& args) {
    const bool dispatch = !button.dispatchTypes.isEmpty();
    // A dispatching choice may be of any of its types: only a cancel stops it here.
    const PrintButton protocol{dispatch ? PrintVariant::G : button.variant, button.formType};
    const PrintLayout layout = ResolvePrintLayout(protocol, choosers);
    if (!layout.prints())
        return;
    const int type =
        layout.kind == PrintLayout::Kind::Form ? FormTypeOfId(layout.formId) : button.formType;
    if (dispatch && !button.dispatchTypes.contains(type))
        return;
    const ListEntry entry = entryOf(button, dispatch ? type : button.formType);
    if (!button.logName.isEmpty())
        WriteLog(button.logName + u" IN"_s);
    entry((button.tag & 1) != 0, layout.layoutPath(), args);
    if (!button.logName.isEmpty())
        WriteLog(button.logName + u" OUT"_s);
}

} // namespace

void RunListPrintButton(const ListPrintButton& button, const PrintFormChoosers& choosers) {
    ListEntryArgs args = button.args;
    const std::function<void()> undo = button.around ? button.around(args) : nullptr;
    try {
        print(button, choosers, args);
    } catch (...) {
        // The print's error is the one to show; a failing undo after it is only logged.
        try {
            if (undo)
                undo();
        } catch (const std::exception& e) {
            WriteLog(u"Listendruck: "_s + QString::fromUtf8(e.what()));
        }
        throw;
    }
    if (undo)
        undo();
}
