#include "masterdata/gui/listprinting.h"

#include "masterdata/gui/tf_tableform.h"
#include "printing/gui/printbutton.h"
#include "printing/listbutton.h"

void InstallListPrinting() {
    SetListPrinter([](TF_TableForm& form, const PrintButtonDecl& button) {
        RunListPrintButton({button.formType, button.entry, button.tag},
                           WindowPrintFormChoosers(&form));
    });
}
