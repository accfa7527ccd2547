#include "commercial/gui/commercialmodules.h"

#include "commercial/gui/f_cnvrgv.h"
#include "core/gui/mainform.h"
#include "core/messages/messages.h"
#include "core/moduleentries.h"
#include "core/settings/programsettings.h"
#include "core/settings/settingsfiles.h"

using namespace Qt::StringLiterals;

void RegisterCommercialModules(ModuleDispatcher& dispatcher) {
    (void)dispatcher;
    // "Sonstiges › Rechnungsvorlagen konvertieren": the old billing
    // definitions of the objects become invoice templates.
    SetOtherMenuAction(u"Rechnungsvorlagen konvertieren"_s, [] {
        if (IsRgvConverted(MandantNr) &&
            !AskYesNo(u"Die Rechnungsvorlagen wurden bereits konvertiert.\rTrotzdem fortfahren?"_s))
            return;
        RunCnvRgv(MandantNr);
    });
}
