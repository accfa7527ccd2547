#include "commercial/scheduling/plantour.h"

#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

PlanTour PlanTourOfRow(table::Table& tours) {
    PlanTour tour;
    tour.nr = FieldInt(tours, QStringLiteral("TO_Nr"));
    tour.weekday = FieldInt(tours, QStringLiteral("TO_Wochentag"));
    tour.nextDate = DateTimeOfDate(tours.field(QStringLiteral("TO_NextDate")).asDateOr(QDate()));
    tour.servicePattern = FieldText(tours, QStringLiteral("TO_ServPatt"));
    return tour;
}
