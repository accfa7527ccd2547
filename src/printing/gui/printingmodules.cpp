#include "printing/gui/printingmodules.h"

#include "core/datagui/f_firmen.h"
#include "core/datagui/logoimage.h"
#include "core/gui/mainform.h"
#include "core/moduleentries.h"
#include "masterdata/serienbrief.h"
#include "printing/companylogo.h"
#include "printing/documentreport.h"
#include "printing/gui/printbutton.h"
#include "printing/gui/tf_qformedit.h"
#include "printing/gui/tf_umstat.h"
#include "printing/listbutton.h"
#include "printing/serienbriefprint.h"

void RegisterPrintingModules(ModuleDispatcher& dispatcher) {
    SetFirmenLogoLoader(&LoadFirmenLogo);
    SetKopieVermerkSource(&GetKopieVermerk);
    // Before the long-lived forms are built: the address book's
    // "Serienbrief" is made enabled.
    SetSerienbriefPrint(&PrintSerienbrief);
    // "Statistiken": the turnover of objects, customers, suppliers and the firm.
    dispatcher.setOpener(QStringLiteral("ShowUmStatObjForm"), &ShowUmStatObjForm);
    dispatcher.setOpener(QStringLiteral("ShowUmStatKundForm"), &ShowUmStatKundForm);
    dispatcher.setOpener(QStringLiteral("ShowUmStatLiefForm"), &ShowUmStatLiefForm);
    dispatcher.setOpener(QStringLiteral("ShowUmStatGesamtForm"), &ShowUmStatGesamtForm);
    SetFirmenPrinter([](QWidget* form, bool preview) {
        RunListPrintButton({38000, QStringLiteral("PrintFirmendaten"), preview ? 1 : 0},
                           WindowPrintFormChoosers(form));
    });
    // "Einstellungen › Druckformulare verwalten" below the main window; the
    // dispatcher checks right 61 first.
    dispatcher.setOpener(QStringLiteral("ShowQformEditForm"), [] {
        const QRect main = F_LumoMain ? F_LumoMain->frameGeometry() : QRect();
        ShowQformEditForm(main.left(), main.top() + main.height());
    });
}
