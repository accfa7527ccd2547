#include "printing/umsstatprint.h"

#include "core/values/money.h"
#include "platform/report/report.h"
#include "platform/report/runcontext.h"
#include "printing/reportentry.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kFormType = 47000;
const QString kList = u"TabList"_s;

struct Sums {
    double netto = 0, mwst = 0, brutto = 0, mwst1 = 0, mwst2 = 0;
};

double amountOf(report::RunContext& ctx, const QString& field) {
    const QVariant v = ctx.value(kList, field);
    return v.isNull() ? 0.0 : v.toDouble();
}

QColor amountColor(int kind, bool supplierMode) {
    if (kind == 1 && !supplierMode)
        return QColor(0, 255, 0);
    if (kind == 2)
        return QColor(255, 0, 0);
    return Qt::black;
}

void prepare(report::Report& rep, const QString& tableName, const QString& indexName,
             const QString& keyText, const QString& nameText, const QString& fromText,
             const QString& toText, bool supplierMode) {
    bool isNumber = false;
    const int key = keyText.trimmed().toInt(&isNumber);
    report::DatasetDef& list = rep.datasetDef(kList);
    list.table = tableName;
    list.index = indexName;
    if (isNumber && key != 0) {
        list.hasRange = true;
        list.rangeFrom = key;
        list.rangeTo = key;
    }
    rep.component(u"L_Nummer"_s).caption = keyText;
    rep.component(u"L_Bezeichnung"_s).caption = nameText;
    rep.component(u"L_Von"_s).caption = fromText;
    rep.component(u"L_Bis"_s).caption = toText;

    auto sums = std::make_shared<Sums>();
    report::Hooks& hooks = rep.hooks();
    hooks.onPass(u"UmsStatStart"_s, [sums](report::RunContext&) { *sums = {}; });
    hooks.beforeBand(u"UmsStatRow"_s,
                     [sums, supplierMode](report::RunContext& ctx, report::Component&) {
                         const int kind = ctx.value(kList, u"R_Satzart"_s).toInt();
                         const double sign = supplierMode || kind == 0 ? 1.0 : -1.0;
                         const auto add = [&](double& sum, const QString& field) {
                             sum += RoundCents(sign * amountOf(ctx, field));
                         };
                         add(sums->netto, u"R_Netto"_s);
                         add(sums->brutto, u"R_Brutto"_s);
                         add(sums->mwst, u"R_Mwst"_s);
                         add(sums->mwst1, u"R_Mwst1"_s);
                         add(sums->mwst2, u"R_Mwst2"_s);
                         return true;
                     });
    hooks.onPrint(
        u"UmsStatAmount"_s, [supplierMode](report::RunContext& ctx, report::ControlPrint& p) {
            p.font.italic = false;
            p.font.color = amountColor(ctx.value(kList, u"R_Satzart"_s).toInt(), supplierMode);
        });
    hooks.onPrint(u"UmsStatSum"_s, [sums](report::RunContext&, report::ControlPrint& p) {
        const QString name = p.control.name.toLower();
        const double sum = name == u"s_netto"_s    ? sums->netto
                           : name == u"s_mwst"_s   ? sums->mwst
                           : name == u"s_brutto"_s ? sums->brutto
                           : name == u"s_mwst1"_s  ? sums->mwst1
                                                   : sums->mwst2;
        const double rounded = RoundCents(sum);
        p.text = FormatMoney(1, rounded);
        p.font.color = rounded < 0 ? QColor(255, 0, 0) : QColor(Qt::black);
    });
}

} // namespace

void PrintUmsStat(const QString& tableName, const QString& indexName, const QString& keyText,
                  const QString& nameText, const QString& fromText, const QString& toText,
                  const QString& layoutFile, bool supplierMode, bool preview, QWidget* parent) {
    static ReportEntryBusy busy;
    ReportEntryCall call;
    call.formType = kFormType;
    call.preview = preview;
    call.layoutFile = layoutFile;
    call.parent = parent;
    call.prepare = [=](report::Report& rep) {
        prepare(rep, tableName, indexName, keyText, nameText, fromText, toText, supplierMode);
    };
    RunReportEntry(busy, call);
}
