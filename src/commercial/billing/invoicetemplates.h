#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace table {
class Table;
}

// Copy count and next plan date of the invoice templates of an object.

// O_KopienRG of the object; 1 when it is null or the object is unknown.
int CopiesOfObjekt(int objektNr);
// R_Drucke of the object's template templateNr (0 when null), else the
// object's copy count.
int CopiesForInvoice(int objektNr, const QString& templateNr);

// The template's next plan date (R_PlanDatum, head left in edit state):
// cleared without a billing interval; otherwise the earliest creation date
// of the interval's periods, moved into the year of the base date or the
// year after, that lies after the base (the later of the last creation and
// the print date; today when that is empty or before 2000) and before
// today + 730 days. Nothing is written when the interval definition does
// not exist; the date stays when no period qualifies.
void UpdateRgvPlanDatum(table::Table& tpl, const QDate& today = QDate::currentDate());
// The same with the interval's periods at hand, as a run that read them
// once gives them: the creation dates of definition interval's periods, or
// nullopt when the definition does not exist.
using RgvCreationDates = std::function<std::optional<QList<QDate>>(int interval)>;
void UpdateRgvPlanDatum(table::Table& tpl, const QDate& today,
                        const RgvCreationDates& creationDates);
