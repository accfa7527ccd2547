#include "commercial/scheduling/activityintervals.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

TLuIntervall LoadAusfIntervalle(table::Table& ausfIV) {
    TLuIntervall list;
    list.reserve(ausfIV.recordCount());
    table::Field& id = ausfIV.field(QStringLiteral("AI_ID"));
    table::Field& weeks = ausfIV.field(QStringLiteral("AI_Wochen"));
    for (ausfIV.first(); !ausfIV.eof() && !ausfIV.isEmpty(); ausfIV.next())
        list.append({id.asIntegerOr(0), weeks.asIntegerOr(0)});
    return list;
}

TLuIntervall LoadAusfIntervalle() {
    table::Table& ausfIV = DataModule1().TabAusfInterv();
    OpenForCall opened(ausfIV);
    TLuIntervall list = LoadAusfIntervalle(ausfIV);
    opened.close();
    return list;
}

int WeeksOfMode(const TLuIntervall& intervals, int mode) {
    return FindWeeksOfMode(intervals, mode).value_or(1);
}

std::optional<int> FindWeeksOfMode(const TLuIntervall& intervals, int mode) {
    for (const TLuIntervallEntry& entry : intervals)
        if (entry.id == mode)
            return entry.weeks;
    return std::nullopt;
}
