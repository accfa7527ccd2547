#include "commercial/bookings/umsatzstatistik.h"

#include "commercial/bookings/umsatztemptable.h"
#include "core/data/dbhelpers.h"
#include "core/data/temptablename.h"
#include "core/messages/syslog.h"
#include "core/values/calendar.h"
#include "core/values/money.h"
#include "platform/table/database.h"
#include "platform/table/field.h"
#include "platform/table/table.h"
#include "platform/table/tableerror.h"

#include <exception>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// A source of a window; fixedKind < 0: the journal row's own kind.
struct Source {
    QString table;
    int fixedKind;
};

// The journal first, then the current documents of the included kinds.
std::vector<Source> sourcesOf(const UmStatCollect& c) {
    std::vector<Source> sources{{u"raliste.db"_s, -1}};
    if (c.kind == UmStatKind::Lieferanten) {
        sources.push_back({u"ERKopf.DB"_s, kSatzartER});
        return sources;
    }
    if (c.kinds.contains(kSatzartAR))
        sources.push_back({u"Rechkopf.DB"_s, kSatzartAR});
    if (c.kinds.contains(kSatzartGS))
        sources.push_back({u"Gskopf.DB"_s, kSatzartGS});
    if (c.kind == UmStatKind::Gesamt && c.kinds.contains(kSatzartER))
        sources.push_back({u"ERKopf.DB"_s, kSatzartER});
    return sources;
}

bool kindTaken(const UmStatCollect& c, int kind) {
    return c.kind == UmStatKind::Lieferanten ? kind == kSatzartER : c.kinds.contains(kind);
}

// Source field -> work-table field by name; the key and the kind are set apart.
std::vector<std::pair<table::Field*, table::Field*>> fieldMap(table::Table& from,
                                                              table::Table& to) {
    std::vector<std::pair<table::Field*, table::Field*>> map;
    for (int i = 1; i < from.fieldCount(); ++i) {
        table::Field& f = from.field(i);
        if (f.isCalculated() || f.name().compare(u"R_Satzart"_s, Qt::CaseInsensitive) == 0)
            continue;
        if (table::Field* target = to.findField(f.name()))
            map.emplace_back(&f, target);
    }
    return map;
}

void copySource(const QString& databaseName, const Source& s, const UmStatCollect& c,
                table::Table& work, int& counter) {
    const std::unique_ptr<table::Table> from = OpenTempTable(databaseName, s.table);
    const auto map = fieldMap(*from, work);
    table::Field& date = from->field(u"R_DatumDruck"_s);
    table::Field* kindField = s.fixedKind < 0 ? &from->field(u"R_Satzart"_s) : nullptr;
    for (from->first(); !from->eof(); from->next()) {
        const TDateTime day = date.isNull() ? EmptyDate : DateTimeOfDate(date.asDate());
        // DateInRange counts an empty date as within.
        if (!DateInRange(day, c.range.from, c.range.to))
            continue;
        const int kind = kindField ? kindField->asIntegerOr(kSatzartAR) : s.fixedKind;
        if (!kindTaken(c, kind))
            continue;
        work.append();
        work.field(u"R_ID"_s).setValue(counter++);
        for (const auto& [source, target] : map)
            if (!source->isNull())
                target->setValue(source->value());
        work.field(u"R_Satzart"_s).setValue(kind);
        work.field(u"R_DatumDruck"_s).setValue(date.isNull() ? QVariant() : date.value());
        work.post();
    }
}

} // namespace

QString UmStatSatzartName(int satzart) {
    switch (satzart) {
    case kSatzartAR:
        return u"AR"_s;
    case kSatzartGS:
        return u"GS"_s;
    case kSatzartER:
        return u"ER"_s;
    default:
        return {};
    }
}

QString UmStatIndexName(UmStatKind kind) {
    return kind == UmStatKind::Objekte ? u"I_ObjSaDat"_s : u"I_KdObjSaDat"_s;
}

QString UmStatKeyField(UmStatKind kind) {
    switch (kind) {
    case UmStatKind::Objekte:
        return u"R_ObjektNr"_s;
    case UmStatKind::Kunden:
    case UmStatKind::Lieferanten:
        return u"R_KundenNr"_s;
    case UmStatKind::Gesamt:
        break;
    }
    return {};
}

QSet<int> UmStatBoxKinds(UmStatKind kind) {
    switch (kind) {
    case UmStatKind::Objekte:
    case UmStatKind::Kunden:
        return {kSatzartAR, kSatzartGS};
    case UmStatKind::Gesamt:
        return {kSatzartAR, kSatzartGS, kSatzartER};
    case UmStatKind::Lieferanten:
        break;
    }
    return {};
}

UmStatRange UmStatMonthRange(const QDate& today) {
    const QDate first(today.year(), today.month(), 1);
    return {DateTimeOfDate(first), DateTimeOfDate(first.addDays(today.daysInMonth() - 1))};
}

UmsatzWorkTable::UmsatzWorkTable(const QString& databaseName, const NameProposer& proposeName)
    : m_work(databaseName, UmsatzTempTableDef(), proposeName) {}

int CollectUmsatz(const UmsatzWorkTable& work, const UmStatCollect& collect) {
    const std::shared_ptr<table::Database> db = table::aliases::database(work.databaseName());
    table::Table target(db, work.name());
    target.setExclusive(true);
    target.open();
    int counter = 0;
    {
        table::Transaction tx(*db);
        db->emptyTable(work.name());
        CancelEditOnError(target, [&] {
            for (const Source& s : sourcesOf(collect))
                copySource(work.databaseName(), s, collect, target, counter);
        });
        tx.commit();
    }
    target.close();
    return counter;
}

double UmsatzSumme(const UmsatzWorkTable& work, UmStatKind kind, std::optional<int> key) {
    const QString keyField = UmStatKeyField(kind);
    if (!keyField.isEmpty() && !key)
        return 0;
    const std::unique_ptr<table::Table> rows =
        OpenTempTable(work.databaseName(), work.name(), UmStatIndexName(kind));
    if (!keyField.isEmpty())
        rows->setRange({*key}, {*key});
    table::Field& brutto = rows->field(u"R_Brutto"_s);
    table::Field& satzart = rows->field(u"R_Satzart"_s);
    double sum = 0;
    for (rows->first(); !rows->eof(); rows->next()) {
        const double amount = brutto.isNull() ? 0.0 : brutto.asFloat();
        const bool adds = kind == UmStatKind::Lieferanten || satzart.asIntegerOr(0) == kSatzartAR;
        sum += adds ? amount : -amount;
    }
    return RoundCents(sum);
}

QString UmsatzSummeText(double sum) {
    return FormatMoney(0, sum).rightJustified(16);
}
