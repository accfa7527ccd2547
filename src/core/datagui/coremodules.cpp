#include "core/datagui/coremodules.h"

#include "core/data/datamodule.h"
#include "core/datagui/f_firmen.h"
#include "core/gui/mainform.h"
#include "core/messages/messages.h"
#include "core/moduleentries.h"
#include "dbstructure/upgrade.h"

void RegisterCoreModules(ModuleDispatcher& dispatcher) {
    // "Einstellungen › Firmendaten"; the dispatcher checks right 34 first.
    dispatcher.setOpener(QStringLiteral("ShowFirmaForm"),
                         [] { ShowFirmenForm(DataModule1(), F_LumoMain); });
    // "Sonstiges › Neue Druckformulare einbinden": the print form of the
    // invoice lists into a database made before it existed.
    SetOtherMenuAction(QStringLiteral("Neue Druckformulare einbinden"), [] {
        ShowInfo(dbstructure::AddedPrintFormsText(dbstructure::AddInvoiceListsForm()));
    });
}
