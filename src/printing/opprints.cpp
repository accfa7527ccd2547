#include "printing/opprints.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/openitemrules.h"
#include "core/values/datetext.h"
#include "core/values/datetimevalue.h"
#include "platform/report/report.h"
#include "platform/report/runcontext.h"
#include "platform/table/table.h"
#include "printing/companylogo.h"
#include "printing/printedtotals.h"
#include "printing/reportentry.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {

const QString kAmountHook = u"OpListAmount"_s;
const QString kSumHook = u"OpListSum"_s;
const QString kPassHook = u"OpListStart"_s;

// The data module's current open item; nothing prints without one.
table::Table& currentItem() {
    table::Table& items = DataModule1().TabOposten();
    if (!items.isOpen() || items.isEmpty())
        throw ReportNothingToPrint{};
    return items;
}

// Limits a dataset to the one item by its key.
void limitToItem(report::Report& rep, const QString& dataset, int id) {
    report::DatasetDef& d = rep.datasetDef(dataset);
    d.index.clear();
    d.hasRange = true;
    d.rangeFrom = id;
    d.rangeTo = id;
}

// The lists filter their items as the open-items window did, on the run's own cursor.
void filterItems(report::RunContext& ctx) {
    const TOpFilterParams params = OpFilterParams();
    table::Table& items = ctx.cursor(u"TabOP"_s);
    items.setFilterFunction([params](table::Table& t) { return OpostenFilterAccepts(params, t); });
    items.setFiltered(true);
    items.first();
}

void runList(ReportEntryBusy& busy, int formType, bool preview, const QString& layoutFile,
             QWidget* parent, const std::function<void(report::Report&)>& prepare) {
    ReportEntryCall call;
    call.formType = formType;
    call.preview = preview;
    call.layoutFile = layoutFile;
    call.parent = parent;
    call.prepare = prepare;
    RunReportEntry(busy, call);
}

PrintedTotalsPlan listTotals(QHash<QString, QString> amounts) {
    PrintedTotalsPlan plan;
    plan.passHook = kPassHook;
    plan.amountHook = kAmountHook;
    plan.sumHook = kSumHook;
    plan.amounts = amounts;
    for (auto it = amounts.cbegin(); it != amounts.cend(); ++it)
        plan.sums.insert(u"L_Summe"_s + it.value(), it.value());
    plan.atPassStart = filterItems;
    return plan;
}

void printStatement(ReportEntryBusy& busy, int formType, bool preview, const QString& layoutFile,
                    QWidget* parent) {
    runList(busy, formType, preview, layoutFile, parent, [](report::Report& rep) {
        limitToItem(rep, u"TabAkt"_s, FieldInt(currentItem(), u"R_ID"_s));
        InstallPrintedTotals(rep, listTotals({{u"R_Netto"_s, u"Netto"_s},
                                              {u"R_Mwst"_s, u"Mwst"_s},
                                              {u"R_Brutto"_s, u"Brutto"_s},
                                              {u"R_Zahlung"_s, u"Zahlung"_s},
                                              {u"R_Offen"_s, u"Offen"_s}}));
        InstallPrintTimeHook(rep, u"OpPrintTime"_s);
    });
}

} // namespace

void PrintOpListe(bool preview, const QString& /*filter*/, const QString& title,
                  const QString& rangeText, const QString& layoutFile, QWidget* parent) {
    static ReportEntryBusy busy;
    runList(busy, 66000, preview, layoutFile, parent, [&](report::Report& rep) {
        // The items in the order the window shows them.
        rep.datasetDef(u"TabOP"_s).index = DataModule1().TabOposten().indexName();
        rep.component(u"L_Bereich"_s).caption = rangeText;
        rep.component(u"L_Bereich2"_s).caption = rangeText;
        if (!title.isEmpty()) {
            rep.component(u"L_Titel"_s).caption = title;
            rep.component(u"L_Titel2"_s).caption = title;
        }
        InstallPrintedTotals(rep, listTotals({{u"R_Brutto"_s, u"Brutto"_s},
                                              {u"R_Zahlung"_s, u"Zahlung"_s},
                                              {u"R_Offen"_s, u"Offen"_s}}));
        InstallPrintTimeHook(rep, u"OpPrintTime"_s);
    });
}

void PrintOpZahlungen(bool preview, const QString& layoutFile, QWidget* parent) {
    static ReportEntryBusy busy;
    runList(busy, 67000, preview, layoutFile, parent, [](report::Report& rep) {
        table::Table& item = currentItem();
        limitToItem(rep, u"TabOP"_s, FieldInt(item, u"R_ID"_s));
        report::DatasetDef& payments = rep.datasetDef(u"TabZahl"_s);
        payments.hasRange = true;
        payments.rangeFrom = payments.rangeTo = FieldText(item, u"R_Nr"_s);
        InstallPrintTimeHook(rep, u"OpPrintTime"_s);
    });
}

void PrintOpKontoKunde(bool preview, const QString& /*filter*/, const QString& /*rangeText*/,
                       const QString& layoutFile, QWidget* parent) {
    static ReportEntryBusy busy;
    printStatement(busy, 68000, preview, layoutFile, parent);
}

void PrintOpKontoObjekt(bool preview, const QString& /*filter*/, const QString& /*rangeText*/,
                        const QString& layoutFile, QWidget* parent) {
    static ReportEntryBusy busy;
    printStatement(busy, 69000, preview, layoutFile, parent);
}

void PrintMahnung(const QString& printTable, bool preview, const QString& layoutFile,
                  QWidget* parent, const report::PrintSettings* printer) {
    static ReportEntryBusy busy;
    ReportEntryCall call;
    call.formType = 50000;
    call.preview = preview;
    call.layoutFile = layoutFile;
    call.parent = parent;
    call.prepare = [&](report::Report& rep) {
        rep.datasetDef(u"TabPrint"_s).table = printTable;
        if (rep.component(u"F_Logo"_s).enabled)
            ApplyFirmenLogo(rep, u"F_Logo"_s);
        const QDate today = QDate::currentDate();
        for (int days = 1; days <= 3; ++days)
            rep.component(u"L_Datum_%1"_s.arg(days)).caption =
                DateToStrDMY(DateTimeOfDate(today.addDays(-days)));
        if (printer) {
            rep.printSettings().printerIndex = printer->printerIndex;
            rep.printSettings().copies = printer->copies;
        }
    };
    RunReportEntry(busy, call);
}
