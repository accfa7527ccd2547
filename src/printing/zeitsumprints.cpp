#include "printing/zeitsumprints.h"

#include "core/data/dbhelpers.h"
#include "core/values/conversions.h"
#include "core/values/datetext.h"
#include "core/values/money.h"
#include "platform/report/report.h"
#include "platform/report/runcontext.h"
#include "platform/table/table.h"
#include "printing/reportentry.h"

#include <array>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kSumme = u"TabSumme"_s;
const QString kRecords = u"TabZeiterf"_s;

// The column keys of the eight time types and the total, as the labels and
// fields of the reports name them.
struct SumColumn {
    const char16_t* key;
    const char16_t* hours;
    const char16_t* costs;
};
constexpr std::array<SumColumn, 9> kColumns{{
    {u"Normal", u"ZS_StdNormal", u"ZS_EkNormal"},
    {u"Ueb1", u"ZS_StdUeb1", u"ZS_EkUeb1"},
    {u"Ueb2", u"ZS_StdUeb2", u"ZS_EkUeb2"},
    {u"Ueb3", u"ZS_StdUeb3", u"ZS_EkUeb3"},
    {u"Krank", u"ZS_StdKrank", u"ZS_EkKrank"},
    {u"Urlaub", u"ZS_StdUrlaub", u"ZS_EkUrlaub"},
    {u"Leerlauf", u"ZS_StdLeerlauf", u"ZS_EkLeerlauf"},
    {u"Freizeit", u"ZS_StdFreizeit", u"ZS_EkFreizeit"},
    {u"Gesamt", u"ZS_StdGesamt", u"ZS_EkGesamt"},
}};

// The short texts of the time types 1 to 8 caption their columns; a type
// without row keeps the designed caption.
void captionTimeTypes(report::Report& rep) {
    auto types = OpenTempTable(u"LumoDB"_s, u"Zeitart.DB"_s);
    for (types->first(); !types->eof(); types->next()) {
        const int type = FieldInt(*types, u"ZA_Type"_s);
        if (type >= 1 && type <= 8)
            rep.component(u"L_"_s + QString::fromUtf16(kColumns[size_t(type - 1)].key)).caption =
                FieldText(*types, u"ZA_Kurztext"_s);
    }
}

// Hours and costs of every column, summed over the rows of one pass.
struct ColumnSums {
    std::array<double, 9> hours{};
    std::array<double, 9> costs{};
};

double valueOf(report::RunContext& ctx, const char16_t* field) {
    const QVariant v = ctx.value(kSumme, QString::fromUtf16(field));
    return v.isNull() ? 0.0 : v.toDouble();
}

void prepareOverview(report::Report& rep, const QString& workTable, const QString& periodText) {
    rep.datasetDef(kSumme).table = workTable;
    rep.component(u"L_Titel2"_s).caption = periodText;
    rep.component(u"L_Titel3"_s).caption = periodText;
    rep.component(u"U_Date"_s).caption = TodayStr();
    captionTimeTypes(rep);

    auto sums = std::make_shared<ColumnSums>();
    report::Hooks& hooks = rep.hooks();
    // Every pass starts from zero: a print from the preview sums once.
    hooks.onPass(u"ZeitSumStart"_s, [sums](report::RunContext&) { *sums = {}; });
    hooks.beforeBand(u"ZeitSumRow"_s, [sums](report::RunContext& ctx, report::Component&) {
        for (size_t c = 0; c < kColumns.size(); ++c) {
            sums->hours[c] += valueOf(ctx, kColumns[c].hours);
            sums->costs[c] += valueOf(ctx, kColumns[c].costs);
        }
        return true;
    });
    hooks.onPrint(u"ZeitSumTotal"_s, [sums](report::RunContext&, report::ControlPrint& p) {
        for (size_t c = 0; c < kColumns.size(); ++c) {
            const QString name = u"L_Summe"_s + QString::fromUtf16(kColumns[c].key);
            if (p.control.name.compare(name, Qt::CaseInsensitive) == 0) {
                p.text = FloatToStrFix(10, 2, sums->hours[c]) + u" Std"_s;
                return;
            }
            if (p.control.name.compare(name + u"W"_s, Qt::CaseInsensitive) == 0) {
                p.text = FormatMoney(1, RoundCents(sums->costs[c]));
                return;
            }
        }
    });
}

void runOverview(ReportEntryBusy& busy, int formType, const QString& workTable,
                 const QString& periodText, bool preview, const QString& layoutFile,
                 QWidget* parent) {
    const auto prepare = [=](report::Report& rep) { prepareOverview(rep, workTable, periodText); };
    RunReportEntry(busy, {formType, preview, layoutFile, {}, prepare, {}, parent});
}

struct DetailLabels {
    const char16_t* number;
    const char16_t* name;
};

void runDetail(ReportEntryBusy& busy, int formType, const DetailLabels& labels,
               const QString& workTable, const QString& monthText, const QString& filter,
               const QString& nrText, const QString& name, bool fromArchive, bool preview,
               const QString& layoutFile, QWidget* parent) {
    const auto prepare = [=](report::Report& rep) {
        report::DatasetDef& records = rep.datasetDef(kRecords);
        // The sums and the names stay with the client's database.
        if (fromArchive)
            records.alias = u"AblageDB"_s;
        records.filter = filter;
        records.filtered = true;
        rep.datasetDef(kSumme).table = workTable;
        rep.component(u"L_Monat"_s).caption = monthText;
        rep.component(u"L_Titel2"_s).caption =
            monthText + u" [ "_s + nrText + u" "_s + name + u" ]"_s;
        rep.component(QString::fromUtf16(labels.number)).caption = nrText;
        rep.component(QString::fromUtf16(labels.name)).caption = name;
        rep.component(u"U_Date"_s).caption = TodayStr();
        captionTimeTypes(rep);
    };
    RunReportEntry(busy, {formType, preview, layoutFile, {}, prepare, {}, parent});
}

} // namespace

void PrintZeitSumObjMonat(const QString& workTable, const QString& periodText, bool preview,
                          const QString& layoutFile, QWidget* parent) {
    static ReportEntryBusy busy;
    runOverview(busy, 60000, workTable, periodText, preview, layoutFile, parent);
}

void PrintZeitSumPersMonat(const QString& workTable, const QString& periodText, bool preview,
                           const QString& layoutFile, QWidget* parent) {
    static ReportEntryBusy busy;
    runOverview(busy, 62000, workTable, periodText, preview, layoutFile, parent);
}

void PrintZeitSumObjDetail(const QString& workTable, const QString& monthText,
                           const QString& filter, const QString& objNrText, const QString& objName,
                           bool fromArchive, bool preview, const QString& layoutFile,
                           QWidget* parent) {
    static ReportEntryBusy busy;
    runDetail(busy, 61000, {u"L_ObjNr", u"L_ObjBez"}, workTable, monthText, filter, objNrText,
              objName, fromArchive, preview, layoutFile, parent);
}

void PrintZeitSumPersDetail(const QString& workTable, const QString& monthText,
                            const QString& filter, const QString& persNrText,
                            const QString& persName, bool fromArchive, bool preview,
                            const QString& layoutFile, QWidget* parent) {
    static ReportEntryBusy busy;
    runDetail(busy, 63000, {u"L_PersNr", u"L_PersName"}, workTable, monthText, filter, persNrText,
              persName, fromArchive, preview, layoutFile, parent);
}
