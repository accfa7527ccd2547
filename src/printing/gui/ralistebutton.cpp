#include "printing/gui/ralistebutton.h"

#include "commercial/invoicing/raliste.h"
#include "core/data/dbhelpers.h"
#include "masterdata/dialogs/tf_raperiod.h"
#include "printing/gui/printbutton.h"
#include "printing/ralisteprint.h"

#include <QDate>

using namespace Qt::StringLiterals;

void RunRaListeButton(QWidget* window, int presetKind, const QString& indexName) {
    QDate from, to;
    int kind = presetKind;
    if (!AskRaListePeriod(from, to, kind))
        return;
    RaListRangeFrom = from.toString(u"dd.MM.yyyy"_s);
    RaListRangeTo = to.toString(u"dd.MM.yyyy"_s);
    RaListPrintTime = RaListPrintTimeNow();
    MarkRaListePeriod(from, to);
    const PrintLayout layout =
        ResolvePrintLayout({PrintVariant::A2, 37000}, WindowPrintFormChoosers(window));
    if (layout.prints())
        PrintRAListe(u"Rechnungsausgangsliste"_s, indexName, GetRaListeFilter(kind), true,
                     layout.layoutPath(), window);
}
