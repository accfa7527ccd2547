#include "operations/gui/operationsmodules.h"

#include "core/moduleentries.h"
#include "masterdata/gui/objektformhooks.h"
#include "operations/dailylistformhooks.h"
#include "operations/gui/kostartform.h"
#include "operations/gui/tf_bericht.h"
#include "operations/gui/tf_chipdrive.h"
#include "operations/gui/tf_editmontour.h"
#include "operations/gui/tf_kostsum.h"
#include "operations/gui/tf_plancheck.h"
#include "operations/gui/tf_taglist.h"
#include "operations/gui/tf_termedit.h"
#include "operations/gui/tf_termprev.h"
#include "operations/gui/tf_zeiterf.h"
#include "operations/gui/tf_zeiterf1.h"
#include "operations/gui/tf_zeiterfo.h"
#include "operations/gui/tourform.h"
#include "operations/gui/zeitartform.h"
#include "operations/gui/zeiterfarchive.h"
#include "operations/gui/zeiterfbuttons.h"
#include "operations/gui/zeiterfimports.h"

void RegisterOperationsModules(ModuleDispatcher& dispatcher) {
    InstallTourForm();
    dispatcher.setOpener(QStringLiteral("TF_Tour"), &ShowTourForm);
    ObjektFormHooksRegistry().showPlanCheck = &ShowPlanCheckForm;
    dispatcher.setOpener(QStringLiteral("ShowKostartForm"), [] { ShowKostartForm(); });
    dispatcher.setOpener(QStringLiteral("ShowZeitartForm"), [] { ShowZeitartForm(); });
    dispatcher.setOpener(QStringLiteral("ShowZeiterfForm"), [] { ShowZeiterfForm(); });
    dispatcher.setOpener(QStringLiteral("ShowKostsumOForm"), &ShowKostsumOForm);
    dispatcher.setOpener(QStringLiteral("ShowKostsumKForm"), &ShowKostsumKForm);
    ZeiterfButtonHooksRegistry().objekte = [](TF_Zeiterf&) { ShowZeiterfOForm(false); };
    ZeiterfButtonHooksRegistry().mitarbeiter = [](TF_Zeiterf&) { ShowZeiterfPForm(false); };
    ZeiterfButtonHooksRegistry().auslagern = [](TF_Zeiterf& window) { RunZeiterfArchive(window); };
    dispatcher.setOpener(QStringLiteral("ShowZeiterfAblageForm"), &ShowZeiterfAblageForm);
    dispatcher.setOpener(QStringLiteral("ShowTermEditForm"), [] { ShowTermEditForm(0); });
    ObjektFormHooksRegistry().showTermPreview = [](int activityId) {
        ShowActivityTermPreview(activityId, 0, true);
    };
    ZeiterfButtonHooksRegistry().import1 = &RunZeiterfImport;
    ZeiterfButtonHooksRegistry().import2 = &RunZewtagImport;
    ZeiterfButtonHooksRegistry().chipdrive = &ShowChipDriveForm;
    dispatcher.setOpener(QStringLiteral("ShowTaglistForm"), [] { ShowTaglistForm(); });
    dispatcher.setOpener(QStringLiteral("ShowBerichtForm"), &ShowBerichtForm);
    dispatcher.setOpener(QStringLiteral("ShowBerAblageForm"), &ShowBerAblageForm);
    DailyListFormHooksRegistry().showOpenList = &ShowOpenlistForm;
    DailyListFormHooksRegistry().showMonthlyOverview = [](const QDate& day) {
        ShowMonTourForm(day);
    };
}
