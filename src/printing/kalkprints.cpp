#include "printing/kalkprints.h"

#include "commercial/documents/positionnumbers.h"
#include "core/data/dbhelpers.h"
#include "core/values/minutes.h"
#include "core/values/money.h"
#include "platform/report/displaymask.h"
#include "platform/report/report.h"
#include "platform/report/runcontext.h"
#include "platform/table/table.h"
#include "printing/documentreport.h"
#include "printing/reportentry.h"

#include <QDateTime>
#include <QSet>
#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kLines = u"TabList"_s;
const QString kHead = u"TabAngKopf"_s;
// The line text with its "@" markers blanked, what K_AngebotText prints.
const QString kPrintedText = u"S_TextDruck"_s;

constexpr int kKindText = 3;
constexpr int kKindSubtotal = 4;
constexpr int kKindPageBreak = 5;

struct KalkPrintState {
    ReportEntryBusy busy;
    int lineKind = 0; // of the line printing, then of the one printed last
    double yearPrice = 0;
    double instalmentPrice = 0;
    qint64 yearMinutes = 0;
    qint64 instalmentMinutes = 0;

    void clear() {
        lineKind = 0;
        yearPrice = instalmentPrice = 0;
        yearMinutes = instalmentMinutes = 0;
    }
};

// How one report treats its controls.
struct KalkReportKind {
    int formType = 0;
    QSet<QString> plain; // blank on text, subtotal and page-break lines
    QSet<QString> money; // amounts by tag
    QSet<QString> times; // minutes by tag
    bool timesAboveTag4Unchanged = false;
};

const KalkReportKind& sheetKind() {
    static const KalkReportKind kind{
        39000,
        {u"k_posnr"_s, u"s_posart"_s, u"k_menge"_s, u"k_einheit"_s, u"k_einhpreis"_s,
         u"k_einhzeit"_s, u"k_intervalltext"_s, u"k_einsaetze"_s},
        {u"k_gesamtpreis"_s, u"k_intervallpreis"_s, u"qr_summepreis"_s, u"qrsummepreisint"_s},
        {u"k_gesamtzeit"_s, u"k_intervallzeit"_s, u"qrsummezeit"_s, u"qrsummezeitint"_s,
         u"k_einsatzdauer"_s},
        true};
    return kind;
}

const KalkReportKind& serviceListKind() {
    static const KalkReportKind kind{39500,
                                     {u"k_posnr"_s, u"s_posart"_s, u"k_menge"_s, u"k_einheit"_s,
                                      u"k_einhpreis"_s, u"k_einhzeit"_s, u"k_intervalltext"_s,
                                      u"k_einsaetze"_s, u"k_gesamtpreis"_s, u"k_intervallpreis"_s,
                                      u"k_gesamtzeit"_s, u"k_intervallzeit"_s},
                                     {u"qr_summepreis"_s, u"qrsummepreisint"_s},
                                     {u"qrsummezeit"_s, u"qrsummezeitint"_s, u"k_einsatzdauer"_s},
                                     false};
    return kind;
}

QString minutesText(qint64 minutes) {
    return MinutesToStr(qint32(minutes), 1) + u" Std"_s;
}

QString posNrText(const QVariant& value) {
    return value.isNull() ? QString() : FormatPosNr(QString::number(value.toLongLong()));
}

class KalkSteps {
public:
    KalkSteps(const KalkReportKind& kind, KalkPrintState& state) : m_kind(kind), m_state(state) {}

    void operator()(report::RunContext&, report::ControlPrint& p) {
        const QString name = p.control.name.toLower();
        const int kind = m_state.lineKind;
        if (name != u"k_einsatzdauer"_s)
            p.font.italic = kind == 1 || kind == 2;
        if (m_kind.plain.contains(name))
            plain(p, name, kind);
        else if (m_kind.money.contains(name))
            money(p, kind);
        else if (m_kind.times.contains(name))
            times(p, kind);
    }

private:
    void plain(report::ControlPrint& p, const QString& name, int kind) const {
        if (kind >= kKindText && kind <= kKindPageBreak)
            p.text.clear();
        else if (name == u"k_posnr"_s)
            p.text = posNrText(p.value);
    }

    void money(report::ControlPrint& p, int kind) {
        if (kind == kKindText) {
            p.text.clear();
            return;
        }
        switch (p.control.tag) {
        case 0:
        case 1: {
            const double amount = RoundCents(p.value.toDouble());
            p.text = FormatMoney(1, amount);
            if (kind == 0)
                (p.control.tag == 0 ? m_state.yearPrice : m_state.instalmentPrice) += amount;
            break;
        }
        case 2:
            p.text = FormatMoney(1, RoundCents(m_state.yearPrice));
            break;
        case 3:
            p.text = FormatMoney(1, RoundCents(m_state.instalmentPrice));
            break;
        default:
            break;
        }
    }

    void times(report::ControlPrint& p, int kind) {
        if (kind == kKindText) {
            p.text.clear();
            return;
        }
        const int tag = p.control.tag;
        if (tag > 4 && m_kind.timesAboveTag4Unchanged)
            return;
        // Whole minutes, as the mask prints them.
        const qint64 minutes = std::llround(p.value.toDouble());
        switch (tag) {
        case 0:
        case 1:
            if (kind == 0)
                (tag == 0 ? m_state.yearMinutes : m_state.instalmentMinutes) += minutes;
            p.text = minutesText(minutes);
            break;
        case 2:
            p.text = minutesText(m_state.yearMinutes);
            break;
        case 3:
            p.text = minutesText(m_state.instalmentMinutes);
            break;
        default:
            p.text = minutesText(minutes);
            break;
        }
    }

    const KalkReportKind& m_kind;
    KalkPrintState& m_state;
};

void rangeOnOffer(report::DatasetDef& def, int angId) {
    def.alias = u"LumoDB"_s;
    def.hasRange = true;
    def.rangeFrom = angId;
    def.rangeTo = angId;
}

bool offerExists(int angId) {
    return !OpenTempTableWhere(u"LumoDB"_s, u"Angkopf.DB"_s, u"R_ID=%1"_s.arg(angId))->isEmpty();
}

void setCaption(report::Report& rep, const QString& name, const QString& caption) {
    if (report::Component* c = rep.find(name))
        c->caption = caption;
}

void prepare(report::Report& rep, const KalkReportKind& kind, KalkPrintState& state, int angId,
             const QString& title, const QString& angNr) {
    if (!offerExists(angId))
        throw ReportNothingToPrint{};
    state.clear();
    report::DatasetDef& head = rep.datasetDef(kHead);
    head.index.clear();
    rangeOnOffer(head, angId);
    report::DatasetDef& lines = rep.datasetDef(kLines);
    lines.index = u"S_IRef"_s;
    rangeOnOffer(lines, angId);

    setCaption(rep, u"L_Titel2"_s, title);
    setCaption(rep, u"L_Kalkulation"_s, u"Kalkulation "_s + QString::number(angId));
    setCaption(rep, u"L_Angebot"_s, u"Angebot "_s + angNr);

    report::Hooks& hooks = rep.hooks();
    rep.def().beforePrint = u"KalkPass"_s;
    // Every pass counts from 0, a print started from the preview too.
    hooks.onPass(u"KalkPass"_s, [&state](report::RunContext&) { state.clear(); });

    if (report::Component* date = rep.find(u"U_Date"_s)) {
        date->onPrint = u"KalkDate"_s;
        hooks.onPrint(u"KalkDate"_s, [](report::RunContext&, report::ControlPrint& p) {
            p.text = report::formatDateTime(QDateTime::currentDateTime(), u"dd.mm.yyyy   hh:nn"_s) +
                     u" Uhr"_s;
        });
    }

    const report::Component* gesamtpreis = rep.find(u"K_Gesamtpreis"_s);
    const bool subtotalPrints = gesamtpreis && gesamtpreis->enabled;
    for (report::Component& c : rep.def().components)
        if (c.cls == report::ComponentClass::Band && c.bandType == report::BandType::Detail)
            c.beforePrint = u"KalkLine"_s;
    hooks.beforeBand(u"KalkLine"_s,
                     [&state, subtotalPrints](report::RunContext& ctx, report::Component&) {
                         const QVariant kind = ctx.value(kLines, u"S_PosArt"_s);
                         state.lineKind = kind.isNull() ? 0 : kind.toInt();
                         if (state.lineKind == kKindPageBreak) {
                             ctx.newPage();
                             return false;
                         }
                         return state.lineKind != kKindSubtotal || subtotalPrints;
                     });

    for (report::Component& c : rep.def().components) {
        const QString name = c.name.toLower();
        if (kind.plain.contains(name) || kind.money.contains(name) || kind.times.contains(name))
            c.onPrint = u"KalkColumn"_s;
    }
    hooks.onPrint(u"KalkColumn"_s, KalkSteps(kind, state));

    // The "@" markers become blanks in what prints only; the stored text stays.
    if (report::Component* text = rep.find(u"K_AngebotText"_s)) {
        lines.calculated.append({kPrintedText, u"Memo"_s, 0});
        lines.onCalcFields = u"KalkLineText"_s;
        text->field = kPrintedText;
        hooks.onCalcFields(u"KalkLineText"_s, [](report::RunContext&, table::Table& t) {
            t.field(kPrintedText)
                .setValue(ReplaceAtSignsInRichText(t.value(u"S_Text"_s).toString()));
        });
    }
}

void printKalk(const KalkReportKind& kind, int angId, const QString& title, const QString& angNr,
               bool preview, const QString& layoutFile, QWidget* parent) {
    static KalkPrintState sheetState;
    static KalkPrintState listState;
    KalkPrintState& state = kind.formType == 39000 ? sheetState : listState;
    ReportEntryCall call;
    call.formType = kind.formType;
    call.preview = preview;
    call.layoutFile = layoutFile;
    call.parent = parent;
    call.prepare = [&](report::Report& rep) { prepare(rep, kind, state, angId, title, angNr); };
    RunReportEntry(state.busy, call);
}

} // namespace

void PrintKalkBlatt(int angId, const QString& title, const QString& angNr, bool preview,
                    const QString& layoutFile, QWidget* parent) {
    printKalk(sheetKind(), angId, title, angNr, preview, layoutFile, parent);
}

void PrintLeistVerz(int angId, const QString& title, const QString& angNr, bool preview,
                    const QString& layoutFile, QWidget* parent) {
    printKalk(serviceListKind(), angId, title, angNr, preview, layoutFile, parent);
}
