#include "printing/kostsumprints.h"

#include "commercial/bookings/kostsumperiod.h"
#include "platform/report/report.h"
#include "platform/report/runcontext.h"
#include "printing/reportentry.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace {

void run(ReportEntryBusy& busy, int formType, const KostsumNames& headNames,
         const KostsumNames& lineNames, const QString& filter, const QString& dateText,
         const QString& periodText, bool preview, const QString& layoutFile, QWidget* parent) {
    const auto prepare = [=](report::Report& rep) {
        rep.component(u"L_Zeitbereich"_s).caption = periodText;
        rep.component(u"U_Date"_s).caption = dateText;
        report::DatasetDef& heads = rep.datasetDef(u"TabKSH"_s);
        heads.filter = filter;
        heads.filtered = true;
        auto head = std::make_shared<KostsumFieldCalc>(headNames);
        auto line = std::make_shared<KostsumFieldCalc>(lineNames);
        rep.hooks().onCalcFields(u"KostSumHeadCalc"_s,
                                 [head](report::RunContext&, table::Table& t) { (*head)(t); });
        rep.hooks().onCalcFields(u"KostSumLineCalc"_s,
                                 [line](report::RunContext&, table::Table& t) { (*line)(t); });
    };
    RunReportEntry(busy, {formType, preview, layoutFile, {}, prepare, {}, parent});
}

} // namespace

void PrintKostSumKostart(const QString& filter, const QString& dateText, const QString& periodText,
                         bool preview, const QString& layoutFile, QWidget* parent) {
    static ReportEntryBusy busy;
    // Groups are cost types, lines objects.
    run(busy, 58000, {false, true}, {true, false}, filter, dateText, periodText, preview,
        layoutFile, parent);
}

void PrintKostSumObjekt(const QString& filter, const QString& dateText, const QString& periodText,
                        bool preview, const QString& layoutFile, QWidget* parent) {
    static ReportEntryBusy busy;
    // Groups are objects, lines cost types.
    run(busy, 59000, {true, false}, {false, true}, filter, dateText, periodText, preview,
        layoutFile, parent);
}
