#include "printing/basereport.h"

#include "core/data/layoutfiles.h"
#include "core/messages/messages.h"
#include "platform/report/report.h"
#include "platform/report/reportreader.h"
#include "printing/formlayout.h"
#include "printing/formtypes.h"
#include "printing/layoutvalues.h"
#include "printing/printeroptions.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<report::Report>& baseReport() {
    static std::unique_ptr<report::Report> base;
    return base;
}

} // namespace

bool GetControlList(int formType, const QString& layoutFile, QList<ControlEntry>& list,
                    DesignMargins& margins) {
    FreeBaseReport();
    const FormTypeInfo* type = FindFormType(formType);
    if (!type || !report::hasReportDefinition(type->reportClass.toString())) {
        ShowError(u"Basis-Report nicht zugewiesen (GetControlList("_s + QString::number(formType) +
                  u')');
        return false;
    }
    auto created = report::Report::create(type->reportClass.toString());
    if (!ExistingLayoutFile(layoutFile).isEmpty())
        ApplyFormLayout(created.get(), layoutFile);
    else {
        // A new form starts on the default printer and bin, not on those of
        // whatever was printed last.
        ResetPrinterOptions();
        ShowInfo(u"Neue Formulardefinition wird erzeugt!"_s);
    }
    report::ReportDefinition& def = created->def();
    margins.left = DesignPixelsOfMm(def.marginLeft);
    margins.right = DesignPixelsOfMm(def.marginRight);
    margins.top = DesignPixelsOfMm(def.marginTop);
    margins.bottom = DesignPixelsOfMm(def.marginBottom);
    margins.printWidth = DesignPixelsOfMm(PaperMm(def).width() - def.marginLeft - def.marginRight);
    list.clear();
    for (report::Component& c : def.components)
        list.append({c.name, &c});
    baseReport() = std::move(created);
    return true;
}

void FreeBaseReport() {
    baseReport().reset();
}

report::Report* BaseReport() {
    return baseReport().get();
}
