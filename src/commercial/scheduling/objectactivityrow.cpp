#include "commercial/scheduling/objectactivityrow.h"

#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

namespace {

const QString kDb = QStringLiteral("LumoDB");

TDateTime dateOf(table::Table& t, const QString& name) {
    return DateTimeOfDate(t.field(name).asDateOr(QDate()));
}

} // namespace

ObjectActivity ObjectActivityOfRow(table::Table& objTaet) {
    ObjectActivity a;
    a.objektNr = FieldInt(objTaet, QStringLiteral("TS_Objekt"));
    a.taetigNr = FieldInt(objTaet, QStringLiteral("TS_Taetigkeit"));
    a.modus = FieldInt(objTaet, QStringLiteral("TS_Modus"), 1);
    a.startDatum = dateOf(objTaet, QStringLiteral("TS_StartDatum"));
    a.serviceId = FieldText(objTaet, QStringLiteral("TS_ServiceID"));
    a.wtag = FieldText(objTaet, QStringLiteral("TS_Wtag"));
    return a;
}

void LookUpActivitySeason(ObjectActivity& activity) {
    auto taetig = OpenTempTable(kDb, QStringLiteral("Taetig.DB"));
    if (!taetig->locate({QStringLiteral("T_Nr")}, {activity.taetigNr}))
        return;
    activity.saisonVon = dateOf(*taetig, QStringLiteral("T_SaisonVon"));
    activity.saisonBis = dateOf(*taetig, QStringLiteral("T_SaisonBis"));
}

void StoreActivityStartDate(int tsId, TDateTime start) {
    auto rows = OpenTempTable(kDb, QStringLiteral("ObjTaet.db"));
    if (!rows->locate({QStringLiteral("TS_ID")}, {tsId}))
        return;
    CancelEditOnError(*rows, [&] {
        rows->edit();
        rows->field(QStringLiteral("TS_StartDatum")).setValue(DateOfDateTime(start));
        rows->post();
    });
}
