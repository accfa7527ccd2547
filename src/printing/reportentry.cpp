#include "printing/reportentry.h"

#include "core/messages/syslog.h"
#include "platform/errors.h"
#include "platform/report/report.h"
#include "platform/report/reportoutput.h"
#include "printing/formlayout.h"
#include "printing/formtypes.h"

#include <exception>
#include <memory>

class ReportEntryBusyScope {
public:
    explicit ReportEntryBusyScope(ReportEntryBusy& busy) : m_busy(busy) { m_busy.m_busy = true; }
    ~ReportEntryBusyScope() { m_busy.m_busy = false; }
    ReportEntryBusyScope(const ReportEntryBusyScope&) = delete;
    ReportEntryBusyScope& operator=(const ReportEntryBusyScope&) = delete;

private:
    ReportEntryBusy& m_busy;
};

namespace {

void engineOutput(report::Report& rep, bool preview, QWidget* parent) {
    if (preview)
        report::previewReport(rep, parent);
    else
        report::printReport(rep, parent); // a cancel in the progress window is the user's
}

ReportOutput& output() {
    static ReportOutput out = engineOutput;
    return out;
}

QString reportClassOf(int formType) {
    const FormTypeInfo* type = FindFormType(formType);
    if (!type || type->reportClass.isEmpty())
        throw DbError(QStringLiteral("Für das Formular %1 gibt es keinen Bericht.").arg(formType));
    return type->reportClass.toString();
}

void print(const ReportEntryCall& call) {
    const std::unique_ptr<report::Report> rep =
        report::Report::create(reportClassOf(call.formType));
    if (call.beforeLayout)
        call.beforeLayout(*rep);
    ApplyFormLayout(rep.get(), call.layoutFile);
    if (call.prepare)
        call.prepare(*rep);
    output()(*rep, call.preview, call.parent);
}

} // namespace

bool RunReportEntry(ReportEntryBusy& busy, const ReportEntryCall& call) {
    if (busy.isBusy())
        return false;
    ReportEntryBusyScope scope(busy);
    try {
        print(call);
    } catch (const ReportNothingToPrint&) {
        if (call.cleanup)
            call.cleanup();
        return true;
    } catch (...) {
        // The first error is the one the user needs; a failing clean-up after
        // it is only logged.
        try {
            if (call.cleanup)
                call.cleanup();
        } catch (const std::exception& e) {
            WriteLog(QStringLiteral("Report cleanup: ") + QString::fromUtf8(e.what()));
        } catch (...) {
            WriteLog(QStringLiteral("Report cleanup failed"));
        }
        throw;
    }
    if (call.cleanup)
        call.cleanup();
    return true;
}

ReportOutput SetReportOutput(ReportOutput out) {
    ReportOutput previous = std::move(output());
    output() = out ? std::move(out) : ReportOutput(engineOutput);
    return previous;
}
