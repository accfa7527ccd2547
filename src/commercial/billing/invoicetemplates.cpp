#include "commercial/billing/invoicetemplates.h"

#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

#include <algorithm>
#include <optional>

namespace {

const QString kLumo = QStringLiteral("LumoDB");

QDate dateOf(table::Table& t, const QString& name) {
    table::Field* f = t.findField(name);
    return f && !f->isNull() ? f->asDate() : QDate();
}

// The date moved into the year, its day cut to the length of the month.
QDate inYear(const QDate& date, int year) {
    const QDate first(year, date.month(), 1);
    return first.addDays(std::min(date.day(), first.daysInMonth()) - 1);
}

} // namespace

int CopiesOfObjekt(int objektNr) {
    auto t = OpenTempTable(kLumo, QStringLiteral("Objekte.DB"));
    if (!t->locate({QStringLiteral("O_Nr")}, {objektNr}))
        return 1;
    return FieldInt(*t, QStringLiteral("O_KopienRG"), 1);
}

int CopiesForInvoice(int objektNr, const QString& templateNr) {
    auto t = OpenTempTable(kLumo, QStringLiteral("Rgvkopf.db"));
    if (!t->locate({QStringLiteral("R_Nr"), QStringLiteral("R_ObjektNr")}, {templateNr, objektNr}))
        return CopiesOfObjekt(objektNr);
    return FieldInt(*t, QStringLiteral("R_Drucke"));
}

void UpdateRgvPlanDatum(table::Table& tpl, const QDate& today) {
    UpdateRgvPlanDatum(tpl, today, [](int interval) -> std::optional<QList<QDate>> {
        auto definitions = OpenTempTable(kLumo, QStringLiteral("IvDefH.DB"));
        if (!definitions->locate({QStringLiteral("I_DefNo")}, {interval}))
            return std::nullopt;
        QList<QDate> dates;
        auto periods = OpenTempTable(kLumo, QStringLiteral("IvDef.DB"));
        periods->setFilter(QStringLiteral("Def=%1").arg(interval));
        periods->setFiltered(true);
        for (periods->first(); !periods->eof() && !periods->isEmpty(); periods->next())
            dates.append(dateOf(*periods, QStringLiteral("CreateDate")));
        return dates;
    });
}

void UpdateRgvPlanDatum(table::Table& tpl, const QDate& today,
                        const RgvCreationDates& creationDates) {
    const QString planField = QStringLiteral("R_PlanDatum");
    const int interval = FieldInt(tpl, QStringLiteral("R_Intervall"));
    if (interval == 0) {
        EnsureEditOrInsert(tpl);
        tpl.field(planField).clear();
        return;
    }
    QDate base = std::max(dateOf(tpl, QStringLiteral("R_DatumErstell")),
                          dateOf(tpl, QStringLiteral("R_DatumDruck")));
    if (!base.isValid() || base.year() < 2000)
        base = today;
    const QDate limit = today.addDays(730);
    const std::optional<QList<QDate>> dates = creationDates(interval);
    if (!dates)
        return;
    // The earliest qualifying date over both years, wherever its period is
    // stored: the first match in table order may fall later in the year.
    std::optional<QDate> next;
    for (const QDate& created : *dates) {
        if (!created.isValid())
            continue;
        for (const int year : {base.year(), base.year() + 1}) {
            const QDate moved = inYear(created, year);
            if (moved > base && moved < limit && (!next || moved < *next))
                next = moved;
        }
    }
    EnsureEditOrInsert(tpl);
    if (next)
        tpl.field(planField).setValue(*next);
}
