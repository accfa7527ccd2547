#include "operations/termdone.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/values/datetimevalue.h"
#include "platform/table/table.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace {

const QString kDb = u"LumoDB"_s;

} // namespace

void SetTerminErledigt(TDataModule1& dm, bool done) {
    table::Table& t = dm.TabTermObj();
    if (!t.isOpen() || (t.isEmpty() && !t.isEditing()))
        return;
    table::Transaction tx(*t.database());
    EnsureEditOrInsert(t);
    t.field(u"T_Erledigt"_s).setValue(done);
    if (const int tglId = FieldInt(t, u"T_TglID"_s); tglId != 0) {
        auto rows = OpenTempTable(kDb, u"TglTaet.DB"_s);
        if (rows->locate({u"A_TOTID"_s}, {tglId})) {
            rows->edit();
            rows->field(u"A_State"_s).setValue(done ? kTglStateDone : kTglStateOpen);
            rows->post();
        }
    }
    t.post();
    tx.commit();
}

int DeleteDoneAppointments(const QDate& limit) {
    const TDateTime last = limit.isValid() ? DateTimeOfDate(limit) : EmptyDate;
    auto db = table::aliases::database(kDb);
    table::Transaction tx(*db);
    QSet<int> gone;
    {
        table::Table rows(db, u"TermObj.DB"_s);
        rows.setFilter(u"T_Erledigt=true"_s);
        rows.setFiltered(true);
        rows.open();
        QList<int> ids;
        for (rows.first(); !rows.eof() && !rows.isEmpty(); rows.next()) {
            const table::Field& date = rows.field(u"T_Date"_s);
            const TDateTime day = date.isNull() ? EmptyDate : DateTimeOfDate(date.asDate());
            if (day <= last)
                ids.append(FieldInt(rows, u"T_ID"_s));
        }
        rows.setFiltered(false);
        for (const int id : std::as_const(ids))
            if (rows.locate({u"T_ID"_s}, {id})) {
                rows.deleteRecord();
                gone.insert(id);
            }
    }
    if (!gone.isEmpty()) {
        table::Table links(db, u"TglTaet.DB"_s);
        links.setFilter(u"A_TermID<>0"_s);
        links.setFiltered(true);
        links.open();
        QList<int> linked;
        for (links.first(); !links.eof() && !links.isEmpty(); links.next())
            if (gone.contains(FieldInt(links, u"A_TermID"_s)))
                linked.append(FieldInt(links, u"A_TOTID"_s));
        links.setFiltered(false);
        for (const int id : std::as_const(linked))
            if (links.locate({u"A_TOTID"_s}, {id})) {
                links.edit();
                links.field(u"A_TermID"_s).setValue(0);
                links.post();
            }
    }
    tx.commit();
    return int(gone.size());
}
