#include "printing/printprotocol.h"

#include "core/data/layoutfiles.h"
#include "core/data/printforms.h"
#include "platform/errors.h"

namespace {

int ask(const std::function<int(int)>& chooser, int formType) {
    if (!chooser)
        throw DbError(QStringLiteral("Für diesen Druck ist keine Formularauswahl vorgesehen."));
    return chooser(formType);
}

// A chosen id printing when `usable` holds; the choice is not shown at all
// when the client has no form of the type.
template <class Usable>
PrintLayout chosen(const std::function<int(int)>& chooser, int formType, Usable usable) {
    if (FirstUserPrintForm(formType) == 0)
        return PrintLayout::shipped();
    const int id = ask(chooser, formType);
    return usable(id) ? PrintLayout::form(id) : PrintLayout::none();
}

// The stored form when it exists, else the type's first user form, else the
// shipped layout.
PrintLayout existingOrFirst(int id, int formType) {
    if (id != 0 && PrintFormExists(id))
        return PrintLayout::form(id);
    const int first = FirstUserPrintForm(formType);
    return first != 0 ? PrintLayout::form(first) : PrintLayout::shipped();
}

} // namespace

QString PrintLayout::layoutPath() const {
    return kind == Kind::Form ? LayoutFilePath(formId) : QString();
}

PrintLayout ResolvePrintLayout(const PrintButton& button, const PrintFormChoosers& choosers) {
    const int type = button.formType;
    const auto ofType = [type](int id) { return SameFormType(id, type); };
    switch (button.variant) {
    case PrintVariant::A:
        return chosen(choosers.choose, type, ofType);
    case PrintVariant::A2:
        return chosen(choosers.chooseForField, type, ofType);
    case PrintVariant::C:
        return chosen(choosers.choose, type, [](int id) { return PrintFormExists(id); });
    case PrintVariant::G:
        return chosen(choosers.choose, type, [](int id) { return id != 0; });
    case PrintVariant::D:
        if (SameFormType(button.storedId, type))
            return PrintLayout::form(button.storedId);
        return chosen(choosers.chooseForField, type, ofType);
    case PrintVariant::D2: {
        if (SameFormType(button.storedId, type))
            return PrintLayout::form(button.storedId);
        const int first = FirstUserPrintForm(type);
        return first != 0 ? PrintLayout::form(first) : PrintLayout::shipped();
    }
    case PrintVariant::E: {
        if (button.printRun)
            return existingOrFirst(button.storedId, type);
        if (FirstUserPrintForm(type) == 0)
            return PrintLayout::shipped();
        const int id = ask(choosers.choose, type);
        return id == 0 ? PrintLayout::none() : existingOrFirst(id, type);
    }
    case PrintVariant::F:
        if (SameFormType(button.storedId, type))
            return PrintLayout::form(button.storedId);
        if (button.storedId == 0 && FirstUserPrintForm(type) == 0)
            return PrintLayout::shipped();
        return PrintLayout::none();
    }
    return PrintLayout::none();
}

PrintLayout DocumentPrintLayout(int storedId, int formType, const PrintLayout& runLayout) {
    return SameFormType(storedId, formType) ? PrintLayout::form(storedId) : runLayout;
}

void RunPrintButton(const PrintButton& button, const PrintFormChoosers& choosers,
                    const std::function<void(const QString& layoutPath)>& entry) {
    const PrintLayout layout = ResolvePrintLayout(button, choosers);
    if (layout.prints())
        entry(layout.layoutPath());
}
