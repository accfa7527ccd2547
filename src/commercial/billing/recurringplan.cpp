#include "commercial/billing/recurringmemo.h"
#include "commercial/billing/recurringrun.h"
#include "commercial/documents/documentsums.h"
#include "core/data/dbhelpers.h"
#include "core/values/money.h"
#include "platform/table/table.h"

#include <array>

using table::Table;

namespace {

double grossOf(const std::array<double, 3>& net, const std::array<double, 3>& rates) {
    double gross = net[0] + net[1] + net[2];
    for (int code = 0; code < 3; ++code)
        gross += CalcVatAmount(net[code], rates[code]);
    return gross;
}

struct PlanRow {
    int lfdNr = 0;
    int objektNr = 0;
    QString objMatch;
    QDate erstellDatum, rgDatum, vonDatum, bisDatum;
    QString frmNr;
    int fibukonto2 = 0;
    double summeRG = 0.0;
    double summeLS = 0.0;
    double summeGesamt = 0.0;
    double summeBerechnet = 0.0;
};

void appendPlanRow(Table& plan, const PlanRow& row) {
    CancelEditOnError(plan, [&] {
        plan.append();
        auto set = [&plan](const char* name, const QVariant& value) {
            plan.field(QLatin1String(name)).setValue(value);
        };
        set("RP_ID", GetNextId(plan, QStringLiteral("RP_ID")));
        set("RP_LfdNr", row.lfdNr);
        set("RP_ObjektNr", row.objektNr);
        set("RP_ObjMatch", row.objMatch);
        set("RP_ErstellDatum", row.erstellDatum);
        set("RP_RgDatum", row.rgDatum);
        set("RP_VonDatum", row.vonDatum);
        set("RP_BisDatum", row.bisDatum);
        set("RP_FrmNr", row.frmNr);
        set("RP_Fibukonto2", row.fibukonto2);
        set("RP_SummeRG", row.summeRG);
        set("RP_SummeLS", row.summeLS);
        set("RP_SummeGesamt", row.summeGesamt);
        set("RP_SummeBerechnet", row.summeBerechnet);
        set("RP_SummeDiff", row.summeGesamt - row.summeBerechnet);
        plan.post();
    });
}

} // namespace

void TRecurringRun::emptyPlan() {
    m_db->emptyTable(m_plan->tableName());
}

void TRecurringRun::writePlanRow(int objektNr, const QString& rgvNr, const TBillingPeriod& period,
                                 bool hasLines, bool hasNotes) {
    const std::array<double, 3> rates = VatRatesAt(m_vatRates, DateTimeOfDate(period.BillDate));
    std::array<double, 3> net{};
    if (hasLines)
        for (const TemplateLine& t : templateLines()) {
            if (t.posArt == PosArtAlternativ || t.posArt == PosArtBedarf)
                continue;
            net[VatCodeBucket(t.mwstKz.value_or(DefaultMwstKz))] +=
                recurringQuantity(objektNr, t.rechmode, t.posTyp, t.matId, t.menge) * t.ePreis;
        }
    const double templateSum = grossOf(net, rates);
    if (hasNotes)
        for (const Note& note : m_openNotes)
            for (const NoteLine& l : note.lines)
                if (l.open > 0)
                    net[VatCodeBucket(l.mwstKz.value_or(0))] += l.open * l.price;
    const double total = RoundCents(grossOf(net, rates));
    m_lastGross = total;

    PlanRow row;
    row.lfdNr = m_created + 1;
    row.objektNr = objektNr;
    row.objMatch = FieldText(*m_templates, QStringLiteral("R_OMatch"));
    row.erstellDatum = period.PlanDate;
    row.rgDatum = period.BillDate;
    row.vonDatum = m_periodStart;
    row.bisDatum = m_periodEnd;
    row.frmNr = rgvNr;
    row.fibukonto2 = FieldInt(*m_templates, QStringLiteral("R_FibuKonto2"));
    row.summeRG = templateSum;
    row.summeLS = RoundCents(total - templateSum);
    row.summeGesamt = total;
    row.summeBerechnet = RoundCents(m_existingGross);
    appendPlanRow(*m_plan, row);
    m_planBilled += row.summeBerechnet;
    m_planDelivery += row.summeLS;
    m_planTemplate += row.summeRG;
}

void TRecurringRun::writePlanTotal(const QDate& from, const QDate& to) {
    PlanRow row;
    row.objMatch = QStringLiteral("Gesamt");
    row.erstellDatum = m_today;
    row.rgDatum = m_today;
    row.vonDatum = from;
    row.bisDatum = to;
    row.summeLS = m_planDelivery;
    row.summeRG = m_planTemplate;
    row.summeGesamt = m_planDelivery + m_planTemplate;
    row.summeBerechnet = m_planBilled;
    appendPlanRow(*m_plan, row);
    if (m_hooks.processEvents)
        m_hooks.processEvents();
    if (m_hooks.addLine)
        m_hooks.addLine(RecurringMemoPlanTotal(row.summeGesamt));
}
