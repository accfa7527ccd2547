#include "masterdata/gui/masterdatamodules.h"

#include "core/data/clientswitch.h"
#include "core/gui/mainform.h"
#include "core/moduleentries.h"
#include "masterdata/activities.h"
#include "masterdata/gui/adressform.h"
#include "masterdata/gui/artikelform.h"
#include "masterdata/gui/cnvadressform.h"
#include "masterdata/gui/dvgroupsform.h"
#include "masterdata/gui/fremdleistform.h"
#include "masterdata/gui/kundenform.h"
#include "masterdata/gui/lieferantform.h"
#include "masterdata/gui/listprinting.h"
#include "masterdata/gui/mwstform.h"
#include "masterdata/gui/notdienstform.h"
#include "masterdata/gui/objektform.h"
#include "masterdata/gui/objektformhooks.h"
#include "masterdata/gui/personalform.h"
#include "masterdata/gui/schluesselform.h"
#include "masterdata/gui/smalltableforms.h"
#include "masterdata/gui/taetigform.h"
#include "masterdata/gui/zahlintervform.h"

void RegisterMasterDataModules(ModuleDispatcher& dispatcher) {
    InstallListPrinting();
    // The settings menu opens the small lists without a new row.
    dispatcher.setOpener(QStringLiteral("ShowMwstForm"), [] { ShowMwstForm(); });
    dispatcher.setOpener(QStringLiteral("ShowZahlBedForm"), [] { ShowZahlBedForm(false); });
    dispatcher.setOpener(QStringLiteral("ShowZahlartForm"), [] { ShowZahlartForm(false); });
    dispatcher.setOpener(QStringLiteral("ShowMengEinhForm"), [] { ShowMengEinhForm(false); });
    dispatcher.setOpener(QStringLiteral("ShowKrankenkasseForm"),
                         [] { ShowKrankenkasseForm(false); });
    dispatcher.setOpener(QStringLiteral("ShowBankenForm"), [] { ShowBankenForm(false); });
    dispatcher.setOpener(QStringLiteral("ShowZahlIntervForm"), [] { ShowZahlIntervForm(); });
    dispatcher.setOpener(QStringLiteral("ShowKundenForm"), [] { ShowKundenForm(); });
    // The central stock; an object's stock opens from the object form.
    dispatcher.setOpener(QStringLiteral("ShowArtikelForm"), [] { ShowArtikelForm(0, 0); });
    dispatcher.setOpener(QStringLiteral("TF_Taetig"), [] { ShowTaetigForm(); });
    dispatcher.setOpener(QStringLiteral("ShowPersonalForm"), [] { ShowPersonalForm(); });
    dispatcher.setOpener(QStringLiteral("ShowLieferantForm"), [] { ShowLieferantForm(); });
    dispatcher.setOpener(QStringLiteral("TF_Objekt"), [] { ShowObjektForm(); });
    // The object form's stock button and activity drops reach the article and activity forms.
    ObjektFormHooksRegistry().showArtikelForm = [](int objId, int objNr) {
        ShowArtikelForm(objId, objNr);
    };
    ObjektFormHooksRegistry().taetigNrOfDrag = [](const QMimeData& data) {
        return TaetigNrOfDragData(data);
    };
    // The address book opens the master forms through the dispatcher.
    SetAdressFormDispatcher(&dispatcher);
    ClientSwitchHooksRegistry().reopenFormTables = [] { OpenAdressTables(); };
    dispatcher.setOpener(QStringLiteral("TF_Adress"), [] { ShowAdressForm(); });
    SetOtherMenuAction(QStringLiteral("Adressdatenbank erstellen"), [] { RunCnvAdressEntry(); });
    dispatcher.setOpener(QStringLiteral("ShowDvGroupsForm"), [] { ShowDvGroupsForm(); });
    dispatcher.setOpener(QStringLiteral("ShowNotdienstForm"), [] { ShowNotdienstForm(); });
    dispatcher.setOpener(QStringLiteral("ShowSchluesselForm"), [] { ShowSchluesselForm(); });
    dispatcher.setOpener(QStringLiteral("ShowFremdleistForm"), [] { ShowFremdleistForm(); });
}
