#include "operations/monthplantable.h"

#include "core/data/worktable.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/table/tabledef.h"

using namespace Qt::StringLiterals;

namespace {

QString dayField(int day) {
    return u"P_F%1"_s.arg(day, 2, 10, QChar(u'0'));
}

} // namespace

table::TableDef MonthPlanTableDef() {
    using table::FieldType;
    table::TableDef def;
    def.fields = {{u"P_ID"_s, FieldType::Integer},
                  {u"P_TourNo"_s, FieldType::Integer},
                  {u"P_TourName"_s, FieldType::String, 40}};
    for (int d = 1; d <= 31; ++d)
        def.fields.append({dayField(d), FieldType::Integer});
    def.indexes = {{u"SORT"_s, {u"P_TourNo"_s}, true, false, false}};
    return def;
}

QList<MonthPlanRow> MonthPlanRows(const QList<MonthEntry>& entries) {
    QList<MonthPlanRow> rows;
    for (const MonthEntry& e : entries)
        rows.append({e.nr, e.text, e.days});
    return rows;
}

QList<MonthPlanRow> MonthPlanRows(const QList<MonthActivityEntry>& entries) {
    QList<MonthPlanRow> rows;
    for (const MonthActivityEntry& e : entries) {
        MonthPlanRow row{e.nr, e.text, {}};
        for (int d = 1; d <= 31; ++d)
            row.days[d] = e.letters[d].unicode();
        rows.append(row);
    }
    return rows;
}

void FillMonthPlanTable(const WorkTable& work, const QList<MonthPlanRow>& rows) {
    const std::shared_ptr<table::Database> db = table::aliases::database(work.databaseName());
    table::Table target(db, work.name());
    target.setExclusive(true);
    target.open();
    {
        table::Transaction tx(*db);
        for (int i = 0; i < rows.size(); ++i) {
            QVariantList values{i, rows[i].nr, rows[i].text.left(40)};
            for (int d = 1; d <= 31; ++d)
                values.append(rows[i].days[d]);
            target.appendRecord(values);
        }
        tx.commit();
    }
    target.close();
}
