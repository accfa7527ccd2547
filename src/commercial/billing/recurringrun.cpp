#include "commercial/billing/recurringrun.h"

#include "commercial/billing/defrgmodel.h"
#include "commercial/billing/recurringmemo.h"
#include "commercial/billing/rgtermine.h"
#include "commercial/documents/documentrules.h"
#include "commercial/documents/positionnumbers.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/messages/messages.h"
#include "core/values/rangeerrors.h"
#include "platform/table/table.h"

#include <QtNumeric>

using table::Table;

namespace {

const QString kLumo = QStringLiteral("LumoDB");
const QString kAblage = QStringLiteral("AblageDB");
const QString kHeads = QStringLiteral("Rechkopf.DB");

template <typename F> void call(const F& hook, auto&&... args) {
    if (hook)
        hook(std::forward<decltype(args)>(args)...);
}

QDate dateOf(Table& t, const char* name) {
    return t.field(QLatin1String(name)).asDateOr(QDate());
}

bool boolOf(Table& t, const char* name, bool fallback) {
    return t.field(QLatin1String(name)).asBooleanOr(fallback);
}

} // namespace

TRecurringRun::TRecurringRun(TDataModule1& dm, bool planMode, const QDate& today,
                             const RecurringBillingHooks& hooks)
    : m_dm(dm), m_planMode(planMode), m_today(today), m_hooks(hooks) {}

TRecurringRun::~TRecurringRun() = default;

void TRecurringRun::Begin() {
    m_begun = true;
    m_intervals = LoadAusfIntervalle();
    m_tours.Load();
    m_vatRates = ReadVatRateRows(*OpenTempTable(kLumo, QStringLiteral("Mwstsatz.db")));
    {
        Table& company = m_dm.TabFirmen();
        OpenForCall opened(company);
        m_firstPosNr = company.isEmpty() ? 0 : FieldInt(company, QStringLiteral("F_ErstePosNo"));
        opened.close();
    }
    // The invoice form holds the invoice tables while it calls the run: they
    // are reopened so that this open takes the write locks.
    m_tablesHeld = m_dm.TabRechKopf().isOpen();
    m_sharedHeadFilter = m_dm.TabRechKopf().filter();
    m_sharedHeadFiltered = m_dm.TabRechKopf().isFiltered();
    if (m_tablesHeld)
        CloseRechnungTables(m_dm);
    OpenRechnungTables(m_dm, true);
    m_tablesTaken = true;

    m_db = table::aliases::database(kLumo);
    m_objects = OpenTempTable(kLumo, QStringLiteral("Objekte.DB"), QStringLiteral("O_INr"));
    m_templates = OpenTempTable(kLumo, QStringLiteral("Rgvkopf.db"), QStringLiteral("R_IObjektNr"));
    m_templateLines = OpenTempTable(kLumo, QStringLiteral("RgvSatz.DB"), QStringLiteral("S_IRef"));
    m_notes = OpenTempTable(kLumo, QStringLiteral("LSkopf.DB"), QStringLiteral("R_IObjektNr"));
    m_noteLines = OpenTempTable(kLumo, QStringLiteral("LSsatz.DB"), QStringLiteral("S_IRef"));
    m_definitionHeads = OpenTempTable(kLumo, QStringLiteral("IvDefH.DB"));
    // An invoice is billed once: also after it moved to the open items or the archive.
    m_billedInvoices.push_back(OpenTempTable(kLumo, kHeads, QStringLiteral("R_IObjektNr")));
    m_billedInvoices.push_back(
        OpenTempTable(kLumo, QStringLiteral("OpKopf.DB"), QStringLiteral("R_IObjektNr")));
    if (table::aliases::database(kAblage)->exists(kHeads))
        m_billedInvoices.push_back(OpenTempTable(kAblage, kHeads, QStringLiteral("R_IObjektNr")));
    if (m_planMode)
        m_plan = OpenTempTable(kLumo, QStringLiteral("Rechplan.db"));
    else {
        m_heads = OpenTempTable(kLumo, kHeads);
        m_lines = OpenTempTable(kLumo, QStringLiteral("Rechsatz.db"));
        m_newLineValues = NewBillingLineValues();
    }
}

void TRecurringRun::Finish() {
    if (!m_begun)
        return;
    m_begun = false;
    m_plan.reset();
    m_lines.reset();
    m_heads.reset();
    m_billedInvoices.clear();
    m_definitionHeads.reset();
    m_noteLines.reset();
    m_notes.reset();
    m_templateLines.reset();
    m_templates.reset();
    m_objects.reset();
    if (!m_tablesTaken)
        return;
    m_tablesTaken = false;
    table::Table& heads = m_dm.TabRechKopf();
    if (heads.isOpen() && heads.isEditing())
        heads.cancel();
    heads.setFilter(m_sharedHeadFilter);
    heads.setFiltered(m_sharedHeadFiltered);
    CloseRechnungTables(m_dm);
    if (m_tablesHeld)
        OpenRechnungTables(m_dm, false);
}

void TRecurringRun::count() {
    if (qAddOverflow(m_created, 1, &m_created))
        RaiseOverflowError();
}

void TRecurringRun::ProcessAllObjects(const QDate& from, const QDate& to) {
    // A plan replaces the former one whole or not at all.
    std::optional<table::Transaction> planTx;
    if (m_planMode) {
        planTx.emplace(*m_db);
        emptyPlan();
    }
    try {
        for (m_objects->first(); !m_objects->eof() && !m_objects->isEmpty(); m_objects->next()) {
            if (!boolOf(*m_objects, "O_Aktiv", true) ||
                boolOf(*m_objects, "O_Rechnungsstellung", false))
                continue;
            const int objektNr = FieldInt(*m_objects, QStringLiteral("O_Nr"));
            const QDate contractStart = dateOf(*m_objects, "O_Vertragsbeginn");
            m_templates->setRange({objektNr}, {objektNr});
            for (m_templates->first(); !m_templates->eof() && !m_templates->isEmpty();
                 m_templates->next())
                processTemplate(objektNr, contractStart, from, to);
        }
        if (m_planMode) {
            writePlanTotal(from, to);
            planTx->commit();
        }
    } catch (...) {
        if (m_plan && m_plan->isEditing())
            m_plan->cancel();
        throw;
    }
}

void TRecurringRun::processTemplate(int objektNr, const QDate& contractStart, const QDate& from,
                                    const QDate& to) {
    if (boolOf(*m_templates, "R_Ausgesetzt", false))
        return;
    const QDate notBefore = dateOf(*m_templates, "R_DatumDruck");
    const int ivNr = FieldInt(*m_templates, QStringLiteral("R_Intervall"));
    SetLastLineKey(0);
    QDate searchFrom = from;
    while (const std::optional<TBillingPeriod> period =
               nextBillingPeriod(ivNr, searchFrom, to, notBefore)) {
        processPeriod(objektNr, contractStart, *period);
        searchFrom = period->PlanDate.addDays(1);
    }
}

void TRecurringRun::processPeriod(int objektNr, const QDate& contractStart,
                                  const TBillingPeriod& period) {
    if (contractStart.isValid() && contractStart > period.PlanDate)
        return;
    bool hasNotes = false;
    bool hasLines = false;
    if (!hasBillableContent(objektNr, period.BillDate, hasNotes, hasLines))
        return;
    const QString rgvNr = FieldText(*m_templates, QStringLiteral("R_Nr"));
    QString line = RecurringMemoLineStart(objektNr, rgvNr, period.BillDate, period.PlanDate);
    if (invoiceExists(objektNr, rgvNr, period.PlanDate)) {
        line += RecurringMemoExists(m_existingGross);
    } else if (m_planMode) {
        writePlanRow(objektNr, rgvNr, period, hasLines, hasNotes);
        count();
        line += RecurringMemoMade(m_lastGross, period.Text());
    } else {
        switch (createInvoice(objektNr, rgvNr, period, hasLines, hasNotes)) {
        case Outcome::Made:
            count();
            line += RecurringMemoMade(m_lastGross, period.Text());
            break;
        case Outcome::Empty:
            line += RecurringMemoEmpty(m_lastGross);
            break;
        case Outcome::NoPosNr:
            line += NoFreePosNrText();
            break;
        }
    }
    call(m_hooks.addLine, line);
    call(m_hooks.showCount, RecurringCountText(m_created));
    call(m_hooks.processEvents);
}

// Read once per run: definitions do not change while invoices are made.
const TRecurringRun::Definition* TRecurringRun::definition(int ivNr) {
    auto it = m_definitions.find(ivNr);
    if (it == m_definitions.end()) {
        std::optional<Definition> found;
        if (m_definitionHeads->locate({QStringLiteral("I_DefNo")}, {ivNr}))
            found = Definition{LoadRgTermine(ivNr), GetIvDefComment(ivNr)};
        it = m_definitions.emplace(ivNr, std::move(found)).first;
    }
    return it->second ? &*it->second : nullptr;
}

std::optional<TBillingPeriod> TRecurringRun::nextBillingPeriod(int ivNr, const QDate& searchFrom,
                                                               const QDate& searchTo,
                                                               const QDate& notBefore) {
    m_periodStart = {};
    m_periodEnd = {};
    if (ivNr == 0)
        return std::nullopt;
    const Definition* found = definition(ivNr);
    if (!found)
        return std::nullopt;
    std::optional<TBillingPeriod> period =
        NextBillingPeriod(found->periods, searchFrom, searchTo, notBefore);
    if (period) {
        m_periodStart = period->RangeStart;
        m_periodEnd = period->RangeEnd;
    }
    return period;
}

bool TRecurringRun::hasBillableContent(int objektNr, const QDate& billDate, bool& hasNotes,
                                       bool& hasLines) {
    m_emptyAllowed = boolOf(*m_templates, "R_LeerRechnungErlaubt", false);
    hasNotes = false;
    m_openNotes.clear();
    if (boolOf(*m_templates, "R_AutoLS", false))
        m_openNotes = openAutoDeliveryNotes(objektNr, billDate);
    for (const Note& note : m_openNotes)
        for (const NoteLine& line : note.lines)
            hasNotes = hasNotes || line.open > 0;
    const int id = FieldInt(*m_templates, QStringLiteral("R_ID"));
    m_templateLines->setRange({id}, {id});
    hasLines = !m_templateLines->isEmpty();
    return hasNotes || hasLines || m_emptyAllowed;
}

bool TRecurringRun::invoiceExists(int objektNr, const QString& rgvNr, const QDate& planDate) {
    m_existingGross = 0.0;
    const QStringList fields{QStringLiteral("R_ObjektNr"), QStringLiteral("R_ANr"),
                             QStringLiteral("R_PlanDatum")};
    for (const auto& heads : m_billedInvoices) {
        if (!heads->locate(fields, {objektNr, rgvNr, planDate}))
            continue;
        m_existingGross = FieldFloat(*heads, QStringLiteral("R_Brutto"));
        // A plan lists the period with what is billed already.
        return !m_planMode;
    }
    return false;
}

void TRecurringRun::CreateOneInvoice(int objektNr, const QString& rgvNr, const QDate& planDate) {
    if (!m_objects->locate({QStringLiteral("O_Nr")}, {objektNr})) {
        ShowError(QStringLiteral("Das Objekt wurde nicht gefunden!"));
        return;
    }
    if (!boolOf(*m_objects, "O_Aktiv", true))
        return;
    if (boolOf(*m_objects, "O_Rechnungsstellung", false)) {
        ShowError(QStringLiteral("Rechnungserstellung ist deaktiviert!"));
        return;
    }
    m_templates->cancelRange();
    if (!m_templates->locate({QStringLiteral("R_Nr"), QStringLiteral("R_ObjektNr")},
                             {rgvNr, objektNr})) {
        ShowError(QStringLiteral("Rechnungsvorlage %1 nicht gefunden!").arg(rgvNr));
        return;
    }
    SetLastLineKey(0);
    const std::optional<TBillingPeriod> period =
        nextBillingPeriod(FieldInt(*m_templates, QStringLiteral("R_Intervall")), planDate, planDate,
                          dateOf(*m_templates, "R_DatumDruck"));
    if (!period)
        return;
    const QDate contractStart = dateOf(*m_objects, "O_Vertragsbeginn");
    if (contractStart.isValid() && contractStart > period->PlanDate) {
        ShowError(QStringLiteral("Plandatum liegt vor Vertragsbeginn!"));
        return;
    }
    bool hasNotes = false;
    bool hasLines = false;
    if (!hasBillableContent(objektNr, period->BillDate, hasNotes, hasLines)) {
        ShowError(QStringLiteral("Keine Rechnungspositionen gefunden!"));
        return;
    }
    if (invoiceExists(objektNr, rgvNr, period->PlanDate)) {
        ShowError(QStringLiteral("Die gewählte Rechnung existiert bereits!"));
        return;
    }
    switch (createInvoice(objektNr, rgvNr, *period, hasLines, hasNotes)) {
    case Outcome::Made:
        count();
        ShowInfo(QStringLiteral("Die Rechnung wurde erstellt."));
        break;
    case Outcome::Empty:
        ShowInfo(QStringLiteral("Die Rechnung ergibt keinen Betrag und wurde nicht erstellt."));
        break;
    case Outcome::NoPosNr:
        ShowError(NoFreePosNrText());
        break;
    }
}
