#include "masterdata/gui/listprinting.h"

#include "masterdata/gui/tf_tableform.h"
#include "printing/gui/printbutton.h"
#include "printing/listbutton.h"

void InstallListPrinting() {
    SetListPrinter([](TF_TableForm& form, const PrintButtonDecl& button) {
        ListPrintButton list{button.formType, button.entry, button.tag};
        if (button.prepare)
            button.prepare(form, list);
        RunListPrintButton(list, WindowPrintFormChoosers(&form));
    });
}
