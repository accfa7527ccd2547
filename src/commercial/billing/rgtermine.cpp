#include "commercial/billing/rgtermine.h"

#include "commercial/billing/defrgmodel.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

namespace {

const QString kLumo = QStringLiteral("LumoDB");
const QString kPeriods = QStringLiteral("IvDef.DB");

std::unique_ptr<table::Table> periodsOf(int defNo) {
    auto t = OpenTempTable(kLumo, kPeriods, QStringLiteral("I_DefCr"));
    t->setRange({defNo}, {defNo});
    return t;
}

QDate dateOf(table::Table& t, const char* name) {
    return t.field(QLatin1String(name)).asDateOr(QDate());
}

void setDate(table::Table& t, const char* name, const QDate& d) {
    table::Field& f = t.field(QLatin1String(name));
    if (d.isValid())
        f.setValue(d);
    else
        f.clear();
}

} // namespace

QList<TRgPeriod> LoadRgTermine(int defNo) {
    QList<TRgPeriod> result;
    auto t = periodsOf(defNo);
    for (t->first(); !t->eof() && !t->isEmpty(); t->next())
        result.append({FieldInt(*t, QStringLiteral("Nr"), 1), dateOf(*t, "RangeStart"),
                       dateOf(*t, "RangeEnd"), dateOf(*t, "BillDate"), dateOf(*t, "CreateDate")});
    return result;
}

void SaveRgTermine(int defNo, const QList<TRgPeriod>& periods) {
    auto t = periodsOf(defNo);
    {
        table::Transaction tx(*t->database());
        CancelEditOnError(*t, [&] {
            while (!t->isEmpty()) {
                t->first();
                t->deleteRecord();
            }
            for (const TRgPeriod& p : periods) {
                t->append();
                t->field(QStringLiteral("ID")).setValue(GetNextId(*t, QStringLiteral("ID")));
                t->field(QStringLiteral("Def")).setValue(defNo);
                t->field(QStringLiteral("Nr")).setValue(p.Nr);
                setDate(*t, "RangeStart", p.RangeStart);
                setDate(*t, "RangeEnd", p.RangeEnd);
                setDate(*t, "CreateDate", p.CreateDate);
                setDate(*t, "BillDate", p.BillDate);
                t->post();
            }
        });
        tx.commit();
    }
    if (HasDataModule1())
        RefreshIfActive(DataModule1().TabDefYear());
}
