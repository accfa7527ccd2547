#include "operations/gui/operationsmodules.h"

#include "core/moduleentries.h"
#include "operations/gui/kostartform.h"
#include "operations/gui/tf_zeiterf.h"
#include "operations/gui/zeitartform.h"

void RegisterOperationsModules(ModuleDispatcher& dispatcher) {
    (void)dispatcher;
    dispatcher.setOpener(QStringLiteral("ShowKostartForm"), [] { ShowKostartForm(); });
    dispatcher.setOpener(QStringLiteral("ShowZeitartForm"), [] { ShowZeitartForm(); });
    dispatcher.setOpener(QStringLiteral("ShowZeiterfForm"), [] { ShowZeiterfForm(); });
}
