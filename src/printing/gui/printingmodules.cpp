#include "printing/gui/printingmodules.h"

#include "core/datagui/f_firmen.h"
#include "core/datagui/logoimage.h"
#include "core/moduleentries.h"
#include "printing/companylogo.h"
#include "printing/gui/printbutton.h"
#include "printing/gui/tf_umstat.h"
#include "printing/listbutton.h"

void RegisterPrintingModules(ModuleDispatcher& dispatcher) {
    SetFirmenLogoLoader(&LoadFirmenLogo);
    // "Statistiken": the turnover of objects, customers, suppliers and the firm.
    dispatcher.setOpener(QStringLiteral("ShowUmStatObjForm"), &ShowUmStatObjForm);
    dispatcher.setOpener(QStringLiteral("ShowUmStatKundForm"), &ShowUmStatKundForm);
    dispatcher.setOpener(QStringLiteral("ShowUmStatLiefForm"), &ShowUmStatLiefForm);
    dispatcher.setOpener(QStringLiteral("ShowUmStatGesamtForm"), &ShowUmStatGesamtForm);
    SetFirmenPrinter([](QWidget* form, bool preview) {
        RunListPrintButton({38000, QStringLiteral("PrintFirmendaten"), preview ? 1 : 0},
                           WindowPrintFormChoosers(form));
    });
}
