#include "masterdata/gui/masterdatamodules.h"

#include "core/moduleentries.h"
#include "masterdata/gui/kundenform.h"
#include "masterdata/gui/listprinting.h"
#include "masterdata/gui/mwstform.h"
#include "masterdata/gui/objektform.h"
#include "masterdata/gui/smalltableforms.h"
#include "masterdata/gui/zahlintervform.h"

void RegisterMasterDataModules(ModuleDispatcher& dispatcher) {
    InstallListPrinting();
    // The settings menu opens the small lists without a new row.
    dispatcher.setOpener(QStringLiteral("ShowMwstForm"), [] { ShowMwstForm(); });
    dispatcher.setOpener(QStringLiteral("TF_Objekt"), [] { ShowObjektForm(); });
    dispatcher.setOpener(QStringLiteral("ShowZahlBedForm"), [] { ShowZahlBedForm(false); });
    dispatcher.setOpener(QStringLiteral("ShowZahlartForm"), [] { ShowZahlartForm(false); });
    dispatcher.setOpener(QStringLiteral("ShowMengEinhForm"), [] { ShowMengEinhForm(false); });
    dispatcher.setOpener(QStringLiteral("ShowKrankenkasseForm"),
                         [] { ShowKrankenkasseForm(false); });
    dispatcher.setOpener(QStringLiteral("ShowBankenForm"), [] { ShowBankenForm(false); });
    dispatcher.setOpener(QStringLiteral("ShowZahlIntervForm"), [] { ShowZahlIntervForm(); });
    dispatcher.setOpener(QStringLiteral("ShowKundenForm"), [] { ShowKundenForm(); });
}
