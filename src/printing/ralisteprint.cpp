#include "printing/ralisteprint.h"

#include "core/values/money.h"
#include "platform/report/report.h"
#include "platform/report/runcontext.h"
#include "platform/table/database.h"
#include "printing/reportentry.h"

#include <QDateTime>
#include <array>
#include <memory>

using namespace Qt::StringLiterals;

QString RaListRangeFrom;
QString RaListRangeTo;
QString RaListPrintTime;

namespace {

constexpr int kFormType = 37000;
const QString kDataset = u"TabRAliste"_s;

// The twelve amounts in the order their totals are kept.
const std::array<QString, 12> kAmounts{
    u"R_Netto"_s,   u"R_Netto0"_s,  u"R_Netto1"_s, u"R_Netto2"_s, u"R_Brutto"_s, u"R_Brutto0"_s,
    u"R_Brutto1"_s, u"R_Brutto2"_s, u"R_Mwst"_s,   u"R_Mwst0"_s,  u"R_Mwst1"_s,  u"R_Mwst2"_s};

// The total a summary label prints: "L_SummeNetto" the net total,
// "L_SummeMwst1" the VAT of code 1.
int totalIndexOf(const QString& label) {
    const QString name = label.mid(QStringLiteral("L_Summe").size());
    for (size_t i = 0; i < kAmounts.size(); ++i)
        if (kAmounts[i].mid(2).compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QString journalIndex(const QString& indexName) {
    const QString wanted = indexName.compare(u"R_IKundenNr"_s, Qt::CaseInsensitive) == 0
                               ? u"R_IKundeObj"_s
                               : indexName;
    const table::TableDef def = table::aliases::database(u"LumoDB"_s)->tableDef(u"RAListe.DB"_s);
    for (const table::IndexDef& index : def.indexes)
        if (!wanted.isEmpty() && index.name.compare(wanted, Qt::CaseInsensitive) == 0)
            return index.name;
    return u"R_INr"_s;
}

void prepare(report::Report& rep, const QString& title, const QString& indexName,
             const QString& extraFilter) {
    report::DatasetDef& list = rep.datasetDef(kDataset);
    list.alias = u"LumoDB"_s;
    list.index = journalIndex(indexName);
    list.filter = u"R_Selected='true'"_s;
    // In brackets: a filter of alternatives ("(R_Satzart=1) OR (R_SatzArt=3)")
    // must not let unmarked rows in.
    if (!extraFilter.trimmed().isEmpty())
        list.filter += u" AND ("_s + extraFilter + u')';
    list.filtered = true;
    if (!title.isEmpty())
        rep.component(u"L_Titel2"_s).caption = title;

    auto totals = std::make_shared<std::array<double, 12>>();
    report::Hooks& hooks = rep.hooks();
    hooks.onPass(u"RaListeStart"_s, [totals](report::RunContext&) { totals->fill(0); });
    // Credit notes and incoming invoices reduce the totals; each amount is
    // rounded to cents before it is added.
    hooks.beforeBand(u"RaListeRow"_s, [totals](report::RunContext& run, report::Component&) {
        const double sign = run.value(kDataset, u"R_Satzart"_s).toInt() != 0 ? -1.0 : 1.0;
        for (size_t i = 0; i < kAmounts.size(); ++i)
            (*totals)[i] += RoundCents(sign * run.value(kDataset, kAmounts[i]).toDouble());
        return true;
    });
    hooks.onPrint(u"RaListeSum"_s, [totals](report::RunContext&, report::ControlPrint& p) {
        const int i = totalIndexOf(p.control.name);
        p.text = FormatMoney(1, RoundCents(i < 0 ? 0.0 : (*totals)[size_t(i)]));
    });
    hooks.onPrint(u"RaListePrintTime"_s,
                  [](report::RunContext&, report::ControlPrint& p) { p.text = RaListPrintTime; });
    hooks.onPrint(u"RaListeFrom"_s,
                  [](report::RunContext&, report::ControlPrint& p) { p.text = RaListRangeFrom; });
    hooks.onPrint(u"RaListeTo"_s,
                  [](report::RunContext&, report::ControlPrint& p) { p.text = RaListRangeTo; });
}

} // namespace

QString RaListPrintTimeNow() {
    const QDateTime now = QDateTime::currentDateTime();
    return now.toString(u"dd.MM.yyyy"_s) + u" - "_s + now.toString(u"hh:mm"_s) + u" Uhr"_s;
}

void PrintRAListe(const QString& title, const QString& indexName, const QString& extraFilter,
                  bool preview, const QString& layoutFile, QWidget* parent) {
    static ReportEntryBusy busy;
    ReportEntryCall call;
    call.formType = kFormType;
    call.preview = preview;
    call.layoutFile = layoutFile;
    call.parent = parent;
    call.prepare = [=](report::Report& rep) { prepare(rep, title, indexName, extraFilter); };
    RunReportEntry(busy, call);
}
