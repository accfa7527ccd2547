#include "printing/rechplanprint.h"

#include "platform/report/report.h"
#include "printing/reportentry.h"

using namespace Qt::StringLiterals;

void PrintRechplan(bool preview, const QString& title, const QString& layoutFile, QWidget* parent) {
    static ReportEntryBusy busy;
    ReportEntryCall call;
    call.formType = 74000;
    call.preview = preview;
    call.layoutFile = layoutFile;
    call.parent = parent;
    call.prepare = [=](report::Report& rep) {
        rep.datasetDef(u"TabRechplan"_s).alias = u"LumoDB"_s;
        rep.component(u"Lb_Titel2"_s).caption = title;
    };
    RunReportEntry(busy, call);
}
