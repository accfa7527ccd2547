#include "printing/faktlistprint.h"

#include "core/values/money.h"
#include "platform/report/report.h"
#include "platform/table/database.h"
#include "platform/table/values.h"
#include "printing/reportentry.h"

#include <QDateTime>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kFormType = 81000;

bool hasField(const table::TableDef& def, const QString& name) {
    for (const table::FieldDef& f : def.fields)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

struct Totals {
    double netto = 0, mwst = 0, brutto = 0;
};

void prepare(report::Report& rep, const QString& title, const QString& indexName,
             const QString& tableName, const QString& databaseName) {
    report::DatasetDef& list = rep.datasetDef(u"TabList"_s);
    list.alias = databaseName;
    list.table = tableName;
    list.index = indexName;
    // Every incoming invoice, otherwise the marked heads only.
    const bool everyHead = table::physicalName(tableName).toUpper() == u"ERKOPF"_s;
    list.filter = everyHead ? QString() : u"R_Selected=true"_s;
    list.filtered = !everyHead;
    // Head tables differ in a few fields (incoming invoices have no object):
    // a column whose field the table lacks stays empty.
    const table::TableDef def = table::aliases::database(databaseName)->tableDef(tableName);
    for (report::Component& c : rep.def().components)
        if (c.cls == report::ComponentClass::DBText && c.dataset.compare(u"TabFirma"_s) != 0 &&
            !c.field.isEmpty() && !hasField(def, c.field)) {
            c.cls = report::ComponentClass::Label;
            c.caption.clear();
        }
    report::Component& caption = rep.component(u"L_Titel"_s);
    caption.caption = caption.caption + u' ' + title;

    auto totals = std::make_shared<Totals>();
    report::Hooks& hooks = rep.hooks();
    hooks.onPass(u"FaktListStart"_s, [totals](report::RunContext&) { *totals = {}; });
    // The totals add what was printed, read back as amounts: a layout that
    // switches an amount off leaves its total at 0,00.
    hooks.onPrint(u"FaktListAmount"_s, [totals](report::RunContext&, report::ControlPrint& p) {
        const QString name = p.control.name.toLower();
        double& sum = name == u"r_netto"_s  ? totals->netto
                      : name == u"r_mwst"_s ? totals->mwst
                                            : totals->brutto;
        sum += RoundCents(MoneyStrToFloat(p.text));
    });
    hooks.onPrint(u"FaktListSum"_s, [totals](report::RunContext&, report::ControlPrint& p) {
        const QString name = p.control.name.toLower();
        const double sum = name == u"l_summenetto"_s  ? totals->netto
                           : name == u"l_summemwst"_s ? totals->mwst
                                                      : totals->brutto;
        p.text = FormatMoney(1, RoundCents(sum));
    });
    hooks.onPrint(u"FaktListDate"_s, [](report::RunContext&, report::ControlPrint& p) {
        p.text = QDateTime::currentDateTime().toString(u"dd.MM.yyyy hh:mm"_s) + u" Uhr"_s;
    });
}

} // namespace

void PrintFaktList(bool preview, const QString& title, const QString& layoutFile,
                   const QString& indexName, const QString& tableName, const QString& databaseName,
                   QWidget* parent) {
    static ReportEntryBusy busy;
    ReportEntryCall call;
    call.formType = kFormType;
    call.preview = preview;
    call.layoutFile = layoutFile;
    call.parent = parent;
    call.prepare = [=](report::Report& rep) {
        prepare(rep, title, indexName, tableName, databaseName);
    };
    RunReportEntry(busy, call);
}
