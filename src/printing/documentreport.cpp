#include "printing/documentreport.h"

#include "commercial/documents/documentsums.h"
#include "commercial/documents/positionnumbers.h"
#include "commercial/documents/textplaceholders.h"
#include "commercial/documents/vatrates.h"
#include "core/data/reportsource.h"
#include "core/settings/regionalsettings.h"
#include "core/settings/settingsfiles.h"
#include "core/values/atsigns.h"
#include "core/values/money.h"
#include "platform/errors.h"
#include "platform/report/displaymask.h"
#include "platform/report/report.h"
#include "platform/report/runcontext.h"
#include "platform/richtext/rtf.h"
#include "platform/table/table.h"
#include "printing/companylogo.h"

#include <QHash>
#include <QTextCursor>
#include <QTextDocument>
#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

const QString kHead = u"TabRgKopf"_s;
const QString kLines = u"TabRgSatz"_s;
// The line text with its "@" markers blanked, what S_Bezeichnung prints.
const QString kPrintedText = u"S_TextDruck"_s;

std::function<bool()>& kopieVermerkSource() {
    static std::function<bool()> source;
    return source;
}

std::unique_ptr<table::Table> openReadOnly(const QString& alias, const QString& tableName,
                                           const QString& index = {}) {
    auto t = std::make_unique<table::Table>(table::aliases::database(alias), tableName);
    t->setReadOnly(true);
    if (!index.isEmpty())
        t->setIndexName(index);
    t->open();
    return t;
}

TDateTime dateOf(const QVariant& value) {
    return value.isNull() ? EmptyDate : DateTimeOfDate(value.toDate());
}

TDateTime dateField(table::Table& t, const QString& name) {
    const table::Field* f = t.findField(name);
    return f ? dateOf(f->value()) : EmptyDate;
}

TDateTime today() {
    return DateTimeOfDate(QDate::currentDate());
}

// The head's values the preparation needs before the run.
struct HeadFacts {
    TDateTime datumDruck = EmptyDate;
    TDateTime datumErstell = EmptyDate;
    int drucke = 0;
};

// Locates the head on a cursor of its own; nothing when it is missing.
std::optional<HeadFacts> readHead(const QString& alias, const QString& tableName, int id) {
    auto head = openReadOnly(alias, tableName);
    if (!head->findKey({id}))
        return std::nullopt;
    HeadFacts facts;
    facts.datumDruck = dateField(*head, u"R_DatumDruck"_s);
    facts.datumErstell = dateField(*head, u"R_DatumErstell"_s);
    if (const table::Field* drucke = head->findField(u"R_Drucke"_s))
        facts.drucke = drucke->isNull() ? 0 : drucke->asInteger();
    return facts;
}

bool hasLines(const QString& alias, const QString& tableName, int id) {
    auto lines = openReadOnly(alias, tableName, u"S_IRef"_s);
    lines->setRange({id}, {id});
    return !lines->isEmpty();
}

std::vector<TVatRateRow> vatRateRows() {
    auto rates = openReadOnly(u"LumoDB"_s, u"MwstSatz.DB"_s);
    return ReadVatRateRows(*rates);
}

void setCaption(report::Report& rep, const QString& name, const QString& caption) {
    if (report::Component* c = rep.find(name))
        c->caption = caption;
}

void setVatCaptions(report::Report& rep, const DocumentForm& form, const HeadFacts& head) {
    double full = 0;
    double reduced = 0;
    switch (form.vatRates) {
    case DocumentVatRates::None:
        return;
    case DocumentVatRates::AtDocumentDate: {
        const auto rates =
            VatRatesAt(vatRateRows(), DocumentVatDate(head.datumDruck, head.datumErstell, today()));
        full = rates[1];
        reduced = rates[2];
        break;
    }
    case DocumentVatRates::DefaultAndReduced: {
        const TDateTime date = head.datumDruck == EmptyDate ? today() : head.datumDruck;
        const std::vector<TVatRateRow> rows = vatRateRows();
        full = LookupVatRate(rows, DefaultMwstKz, date).Rate;
        reduced = LookupVatRate(rows, 2, date).Rate;
        break;
    }
    }
    for (const auto& [name, rate, sum] :
         {std::tuple{u"L_Mwst16"_s, full, false}, std::tuple{u"L_Mwst16_2"_s, full, false},
          std::tuple{u"L_Mwst16Summe"_s, full, true}, std::tuple{u"L_Mwst8"_s, reduced, false},
          std::tuple{u"L_Mwst8_2"_s, reduced, false}, std::tuple{u"L_Mwst8Summe"_s, reduced, true}})
        setCaption(rep, name, VatCaptionText(form.vatCaption, rate, sum));
}

bool isZero(const QString& printed) {
    return std::abs(MoneyStrToFloat(printed)) < 0.001;
}

QString posNrText(const QVariant& value) {
    return value.isNull() ? QString() : FormatPosNr(QString::number(value.toLongLong()));
}

QString kindText(int kind) {
    if (kind == 1)
        return PosArt1AmountText;
    if (kind == 2)
        return PosArt2AmountText;
    return {};
}

// The print step of one line column.
class ColumnStep {
public:
    ColumnStep(const DocumentForm& form, DocumentPrintState& state)
        : m_form(form), m_state(state) {}

    void operator()(report::RunContext& ctx, report::ControlPrint& p, const DocumentColumn& col) {
        const int kind = m_form.lineKinds ? m_state.lineKind : 0;
        if (col.styled)
            applyStyle(kind, p.font);
        if (blank(ctx, p, col, kind)) {
            p.text.clear();
            return;
        }
        if (col.carryOver && m_form.carryOver && kind == 0)
            m_state.carryOver = RoundCents(m_state.carryOver + MoneyStrToFloat(p.text));
        switch (col.show) {
        case DocumentShow::AsStored:
            break;
        case DocumentShow::PosNr:
            p.text = posNrText(p.value);
            break;
        case DocumentShow::PosArtMark:
            p.text = kind >= 0 && kind < 5 ? PosArtMarks[kind] : QString();
            break;
        case DocumentShow::KindTexts:
            if (const QString text = m_form.lineKinds ? kindText(kind) : QString(); !text.isEmpty())
                p.text = text;
            break;
        }
    }

private:
    void applyStyle(int kind, report::FontSpec& font) const {
        if (m_form.fontStyle == DocumentFontStyle::None)
            return;
        font.bold = kind == 4 && m_form.fontStyle == DocumentFontStyle::ItalicBold;
        font.italic = kind == 1 || kind == 2;
    }

    bool blank(report::RunContext& ctx, const report::ControlPrint& p, const DocumentColumn& col,
               int kind) const {
        const unsigned b = col.blank;
        if ((b & BlankZero) && isZero(p.text))
            return true;
        if (m_form.lineKinds && (((b & BlankKinds345) && kind >= 3 && kind <= 5) ||
                                 ((b & BlankKindsAbove2) && kind > 2) ||
                                 ((b & BlankKinds35) && (kind == 3 || kind == 5)) ||
                                 ((b & BlankKindsAbove4) && kind > 4)))
            return true;
        // A subtotal always shows its amounts.
        const bool subtotal = m_form.lineKinds && kind == 4;
        if (!subtotal && (((b & BlankNetSuppressed) && m_state.suppress.Netto) ||
                          ((b & BlankGrossSuppressed) && m_state.suppress.Brutto) ||
                          ((b & BlankVatSuppressed) && m_state.suppress.Mwst)))
            return true;
        if (b & (BlankDefaultVat | BlankOtherVat)) {
            const QVariant code = ctx.value(kLines, u"S_MwstKz"_s);
            const bool isDefault = !code.isNull() && code.toInt() == DefaultMwstKz;
            if (((b & BlankDefaultVat) && isDefault) || ((b & BlankOtherVat) && !isDefault))
                return true;
        }
        return false;
    }

    const DocumentForm& m_form;
    DocumentPrintState& m_state;
};

void installLineSteps(report::Report& rep, const DocumentForm& form, DocumentPrintState& state,
                      bool linesPresent) {
    report::Hooks& hooks = rep.hooks();
    bool subtotalPrints = false;
    for (const QString& name : {u"S_Netto"_s, u"S_Brutto"_s}) {
        const report::Component* c = rep.find(name);
        if (c && c->enabled && (name == u"S_Netto"_s || form.subtotalOnGross))
            subtotalPrints = true;
    }
    for (report::Component& c : rep.def().components) {
        if (c.cls != report::ComponentClass::Band)
            continue;
        if (c.bandType == report::BandType::ColumnHeader)
            c.beforePrint = u"DocColumnHeader"_s;
        else if (c.bandType == report::BandType::Detail) {
            c.beforePrint = u"DocLine"_s;
            c.afterPrint = u"DocLineDone"_s;
        }
    }
    // The column header stands over lines only; a form that prints one empty
    // line band without lines has its header too.
    const bool header = linesPresent || form.emptyLineBand;
    hooks.beforeBand(u"DocColumnHeader"_s,
                     [header](report::RunContext&, report::Component&) { return header; });
    hooks.beforeBand(u"DocLine"_s,
                     [&form, &state, subtotalPrints](report::RunContext& ctx, report::Component&) {
                         state.lineKind = 0;
                         if (!form.lineKinds)
                             return true;
                         const QVariant kind = ctx.value(kLines, u"S_PosArt"_s);
                         state.lineKind = kind.isNull() ? 0 : kind.toInt();
                         return state.lineKind != 4 || subtotalPrints;
                     });
    hooks.afterBand(u"DocLineDone"_s, [&form, &state](report::RunContext& ctx, report::Component&) {
        if (form.lineKinds && state.lineKind == 5)
            ctx.newPage();
    });

    auto columns = std::make_shared<QHash<QString, DocumentColumn>>();
    for (const DocumentColumn& col : form.columns) {
        report::Component* c = rep.find(col.control.toString());
        if (!c)
            continue;
        c->onPrint = u"DocColumn"_s;
        columns->insert(col.control.toString().toLower(), col);
    }
    hooks.onPrint(u"DocColumn"_s, [columns, step = ColumnStep(form, state)](
                                      report::RunContext& ctx, report::ControlPrint& p) mutable {
        const auto it = columns->constFind(p.control.name.toLower());
        if (it != columns->constEnd())
            step(ctx, p, *it);
    });

    if (form.atSigns) {
        if (report::Component* text = rep.find(u"S_Bezeichnung"_s)) {
            report::DatasetDef& lines = rep.datasetDef(kLines);
            lines.calculated.append({kPrintedText, u"Memo"_s, 0});
            lines.onCalcFields = u"DocLineText"_s;
            text->field = kPrintedText;
            hooks.onCalcFields(u"DocLineText"_s, [](report::RunContext&, table::Table& t) {
                t.field(kPrintedText)
                    .setValue(ReplaceAtSignsInRichText(t.value(u"S_Text"_s).toString()));
            });
        }
    }
}

void setOnPrint(report::Report& rep, const QString& control, const QString& hook) {
    if (report::Component* c = rep.find(control))
        c->onPrint = hook;
}

void installHeadSteps(report::Report& rep, const DocumentForm& form, DocumentPrintState& state) {
    report::Hooks& hooks = rep.hooks();
    rep.def().beforePrint = u"DocPass"_s;
    // Every pass starts anew, so a print from the preview counts from 0 too.
    hooks.onPass(u"DocPass"_s, [&state](report::RunContext&) {
        state.carryOver = 0;
        state.lineKind = 0;
    });

    if (form.carryOver) {
        setOnPrint(rep, u"lb_Uebertrag"_s, u"DocCarry"_s);
        setOnPrint(rep, u"lb_Uebertrag0"_s, u"DocCarryFooter"_s);
        setOnPrint(rep, u"L_Uebertrag0"_s, u"DocCarryFooter"_s);
        hooks.onPrint(u"DocCarry"_s, [&state](report::RunContext&, report::ControlPrint& p) {
            p.text = FormatMoney(1, state.carryOver);
        });
        // The closing page has nothing to carry over.
        hooks.onPrint(
            u"DocCarryFooter"_s, [&state](report::RunContext& ctx, report::ControlPrint& p) {
                if (ctx.finalPageFooter())
                    p.text.clear();
                else if (p.control.name.compare(u"lb_Uebertrag0"_s, Qt::CaseInsensitive) == 0)
                    p.text = FormatMoney(1, state.carryOver);
            });
    }

    if (state.maskNumber) {
        for (const QString& name : {u"R_RgNr1"_s, u"R_RgNr2"_s, u"R_Rechnungsjahr"_s})
            setOnPrint(rep, name, u"DocMasked"_s);
        hooks.onPrint(u"DocMasked"_s,
                      [](report::RunContext&, report::ControlPrint& p) { p.text = u"*****"_s; });
    }

    if (!form.paymentTermsDate.isEmpty()) {
        setOnPrint(rep, u"R_Zahlungsbed"_s, u"DocPaymentTerms"_s);
        const QString dateName = form.paymentTermsDate.toString();
        hooks.onPrint(
            u"DocPaymentTerms"_s, [dateName](report::RunContext& ctx, report::ControlPrint& p) {
                const auto head = [&ctx](const QString& field) { return ctx.value(kHead, field); };
                TPaymentTermValues v;
                v.Days1 = head(u"R_ZahlBedTage"_s).toInt();
                v.Days2 = head(u"R_ZahlBedTage2"_s).toInt();
                v.Percent1 = head(u"R_ZahlBedSkonto"_s).toDouble();
                v.Percent2 = head(u"R_ZahlBedSkonto2"_s).toDouble();
                v.Gross = head(u"R_Brutto"_s).toDouble();
                v.DocDate = dateOf(head(dateName));
                p.text = ExpandPaymentTerms(p.value.toString(), v);
            });
    }

    setOnPrint(rep, u"R_RgDatumLang"_s, u"DocLongDate"_s);
    hooks.onPrint(u"DocLongDate"_s, [](report::RunContext&, report::ControlPrint& p) {
        const QDate date = p.value.toDate();
        p.text = date.isValid() ? report::formatDateTime(date.startOfDay(), u"dd.mmmm.yyyy"_s)
                                : QString();
    });
}

std::array<DocumentPrintState, 8>& states() {
    static std::array<DocumentPrintState, 8> all;
    return all;
}

} // namespace

DocumentPrintState& DocumentPrintStateOf(int formType) {
    const std::span<const DocumentForm> forms = DocumentForms();
    for (size_t i = 0; i < forms.size(); ++i)
        if (forms[i].formType == formType)
            return states().at(i);
    throw DbError(u"Für das Formular %1 gibt es keinen Belegdruck."_s.arg(formType));
}

bool PrepareDocumentReport(report::Report& rep, const DocumentForm& form, DocumentPrintState& state,
                           const DocumentPrintRequest& request) {
    state.preview = request.preview;
    state.maskNumber = form.maskNumber && request.maskNumber;
    state.suppress = {};
    state.layoutPath = request.layoutFile;
    state.carryOver = 0;
    state.lineKind = 0;

    const QString alias = ReportDatabaseName;
    const DocumentTables tables = DocumentTablesFor(form, RgPrintSource);
    const std::optional<HeadFacts> head = readHead(alias, tables.head.toString(), request.id);
    if (!head)
        return false;
    report::DatasetDef& headDef = rep.datasetDef(kHead);
    headDef.alias = alias;
    headDef.table = tables.head.toString();
    headDef.index.clear();
    headDef.hasRange = true;
    headDef.rangeFrom = request.id;
    headDef.rangeTo = request.id;

    bool linesPresent = false;
    if (form.hasLines) {
        report::DatasetDef& linesDef = rep.datasetDef(kLines);
        linesDef.alias = alias;
        linesDef.table = tables.lines.toString();
        linesPresent = hasLines(alias, linesDef.table, request.id);
        // Without lines the detail band prints once, empty, where the form wants it.
        if (!linesPresent && form.emptyLineBand)
            rep.def().dataset.clear();
        installLineSteps(rep, form, state, linesPresent);
    }
    if (form.suppressFlags)
        LoadSuppressFlags(state.layoutPath, state.suppress);

    if (const report::Component* logo = rep.find(u"F_Logo"_s); logo && logo->enabled)
        ApplyFirmenLogo(rep, u"F_Logo"_s);
    setVatCaptions(rep, form, *head);
    if (report::Component* copy = rep.find(u"L_Kopie"_s))
        copy->enabled = copy->enabled && form.copyMark && KopieVermerkOn() && head->drucke > 0;
    installHeadSteps(rep, form, state);
    return true;
}

void PrintDocument(int formType, const DocumentPrintRequest& request, QWidget* parent) {
    const DocumentForm* form = FindDocumentForm(formType);
    if (!form)
        throw DbError(u"Für das Formular %1 gibt es keinen Belegdruck."_s.arg(formType));
    DocumentPrintState& state = DocumentPrintStateOf(formType);
    ReportEntryCall call;
    call.formType = formType;
    call.preview = request.preview;
    call.layoutFile = request.layoutFile;
    call.parent = parent;
    call.prepare = [form, &state, request](report::Report& rep) {
        if (!PrepareDocumentReport(rep, *form, state, request))
            throw ReportNothingToPrint{};
        if (request.printer) {
            rep.printSettings().printerIndex = request.printer->printerIndex;
            rep.printSettings().copies = request.printer->copies;
        }
    };
    RunReportEntry(state.busy, call);
}

void SetKopieVermerkSource(std::function<bool()> source) {
    kopieVermerkSource() = std::move(source);
}

bool KopieVermerkOn() {
    return kopieVermerkSource() && kopieVermerkSource()();
}

QString ReplaceAtSignsInRichText(const QString& stored) {
    if (!stored.contains(u'@'))
        return stored;
    const QByteArray bytes = stored.toLatin1();
    if (!richtext::isRtf(bytes))
        return ReplaceAtSigns(stored);
    std::unique_ptr<QTextDocument> doc;
    try {
        doc = richtext::fromRtf(bytes);
    } catch (const richtext::RtfError&) {
        // What cannot be read prints as the text it holds.
        return ReplaceAtSigns(stored);
    }
    QTextCursor at(doc.get());
    while (!(at = doc->find(u"@"_s, at)).isNull())
        at.insertText(u"  "_s, at.charFormat());
    return QString::fromLatin1(richtext::toRtf(*doc));
}

QString VatCaptionText(DocumentVatCaption style, double rate, bool sum) {
    QString number = QString::number(rate, 'f', 1);
    if (style != DocumentVatCaption::MwstPercentDot)
        number.replace(u'.', Regional().decimalSeparator);
    switch (style) {
    case DocumentVatCaption::Percent:
        return number + u" %"_s;
    case DocumentVatCaption::PercentTight:
        return number + u'%';
    case DocumentVatCaption::MwstPercent:
    case DocumentVatCaption::MwstPercentDot:
        return (sum ? u"Summe Mwst "_s : u"Mwst "_s) + number + u'%';
    }
    return number;
}
