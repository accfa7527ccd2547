#include "operations/dayrecords.h"

#include "core/data/dbhelpers.h"
#include "core/data/recordrules.h"
#include "core/messages/messages.h"
#include "core/rights/rights.h"
#include "operations/timerecordservice.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;
using table::Table;

namespace {

const QString kDayText = u"Objekt-Arbeitszeit"_s;

QTime timeOf(Table& t, const QString& field) {
    const table::Field& f = t.field(field);
    return f.isNull() ? QTime() : f.asTime();
}

bool createAllowed() {
    const auto& hook = RecordRuleHooksRegistry().checkCreateRight;
    return hook ? hook(kZeiterfRight) : CheckCreateRight(kZeiterfRight);
}

} // namespace

int ObjektTimeMinutes(const QTime& von, const QTime& bis) {
    const QTime from = von.isValid() ? von : QTime(0, 0);
    const QTime to = bis.isValid() ? bis : QTime(0, 0);
    // Counted in whole milliseconds and cut to whole minutes: 08:00 to 10:30
    // is 150, never 149 as a fraction of a day may give.
    const int msecs = from.msecsTo(to);
    return msecs > 0 ? msecs / 60000 : 0;
}

void DistributeDayHours(TObjektTimeList& items, double dailyHours) {
    if (items.empty())
        return;
    double rest = dailyHours;
    for (ObjektTimeItem& item : items) {
        const int minutes = ObjektTimeMinutes(item.von, item.bis);
        if (minutes <= 0)
            continue;
        item.hours = minutes / 60 + (minutes % 60) / 60.0;
        rest -= item.hours;
    }
    if (rest <= 0)
        return;
    const double share = rest / double(items.size());
    for (ObjektTimeItem& item : items)
        item.hours += share;
}

struct DayRecords::Cursors {
    explicit Cursors(const std::shared_ptr<table::Database>& db)
        : dailyTours(db, u"TglTour.DB"_s), dailyObjects(db, u"TglObj.DB"_s),
          tours(db, u"Touren.db"_s), tourStaff(db, u"TourPers.DB"_s), staff(db, u"Personal.DB"_s) {
        dailyTours.setIndexName(u"I_DateTour"_s);
        dailyObjects.setIndexName(u"I_TourID"_s);
        tours.setIndexName(u"T_I_Nr"_s);
        tourStaff.setIndexName(u"I_TourNr"_s);
        staff.setIndexName(u"P_INr"_s);
        for (Table* t : {&dailyTours, &dailyObjects, &tours, &tourStaff, &staff}) {
            t->setReadOnly(true);
            t->open();
        }
    }
    Table dailyTours;
    Table dailyObjects;
    Table tours;
    Table tourStaff;
    Table staff;
};

DayRecords::DayRecords(TimeRecordCursor& records) : m_records(records) {}

DayRecords::~DayRecords() = default;

bool DayRecords::IsPersonOnTour(int tourNr, int persNr) {
    if (!m_cursors)
        m_cursors = std::make_unique<Cursors>(table::aliases::database(u"LumoDB"_s));
    Table& tours = m_cursors->tours;
    if (!tours.locate({u"TO_Nr"_s}, {tourNr}))
        return false;
    if (FieldInt(tours, u"TO_Person"_s) == persNr)
        return true;
    Table& staff = m_cursors->tourStaff;
    staff.setRange({tourNr}, {tourNr});
    for (staff.first(); !staff.eof(); staff.next())
        if (FieldInt(staff, u"TP_Pnr"_s) == persNr)
            return true;
    return false;
}

TObjektTimeList DayRecords::dayObjects(int persNr, const QDate& day) {
    if (!m_cursors)
        m_cursors = std::make_unique<Cursors>(table::aliases::database(u"LumoDB"_s));
    TObjektTimeList items;
    Table& tours = m_cursors->dailyTours;
    tours.setRange({day}, {day});
    for (tours.first(); !tours.eof(); tours.next()) {
        if (!IsPersonOnTour(FieldInt(tours, u"A_TourNr"_s), persNr))
            continue;
        const int tourId = FieldInt(tours, u"A_TourID"_s);
        Table& objects = m_cursors->dailyObjects;
        objects.setRange({tourId}, {tourId});
        for (objects.first(); !objects.eof(); objects.next())
            items.push_back({FieldInt(objects, u"A_ObjektNr"_s), timeOf(objects, u"A_VonUhr"_s),
                             timeOf(objects, u"A_BisUhr"_s), 0});
    }
    return items;
}

DayRecordOutcome DayRecords::CreateDayRecords(int persNr, bool quiet, const QDate& day) {
    TObjektTimeList items = dayObjects(persNr, day);
    if (items.empty()) {
        if (!quiet)
            ShowError(u"Keine Einträge gefunden!"_s);
        return DayRecordOutcome::NoDailyTours;
    }
    Table& staff = m_cursors->staff;
    const double dailyHours =
        staff.locate({u"P_Nr"_s}, {persNr}) ? FieldFloat(staff, u"P_StundenProTag"_s) : 0.0;
    DistributeDayHours(items, dailyHours);
    return WriteDayRecords(persNr, day, items, quiet);
}

DayRecordOutcome DayRecords::WriteDayRecords(int persNr, const QDate& day,
                                             const TObjektTimeList& items, bool quiet) {
    // With no hours to write the records of the day stay as they are.
    bool anyHours = false;
    for (const ObjektTimeItem& item : items)
        anyHours = anyHours || item.hours > 0;
    if (!anyHours)
        return DayRecordOutcome::NothingToWrite;

    // Every question and refusal before the transaction begins.
    TimeRecordService& service = m_records.service();
    m_records.showDay(persNr, day);
    Table& records = m_records.table();
    if (!records.isEmpty()) {
        if (!CheckDeleteRight(kZeiterfRight))
            return DayRecordOutcome::Kept;
        if (!quiet && !AskYesNo(u"Möchten Sie vorhandene Datensätze löschen?"_s))
            return DayRecordOutcome::Kept;
    }
    if (!createAllowed())
        return DayRecordOutcome::Kept;
    const double rate = service.CalcStundensatz(persNr, 1);
    const int kostart = service.GetPersonalKostart(persNr, 1);
    if (!service.kostartExists(kostart)) {
        ShowError(u"Kostenart: Sie müssen eine gültige Nummer eingeben"_s);
        throw Abort{};
    }
    for (const ObjektTimeItem& item : items)
        if (item.hours > 0 && !service.objektExists(item.objektNr)) {
            ShowError(u"Unbekanntes Objekt!"_s);
            throw Abort{};
        }

    table::Transaction tx(service.database());
    for (records.first(); !records.isEmpty(); records.first())
        records.deleteRecord();
    for (const ObjektTimeItem& item : items) {
        if (item.hours <= 0)
            continue;
        m_records.append({day, persNr, item.objektNr, 1, item.hours, kDayText, rate, kostart});
    }
    tx.commit();
    return DayRecordOutcome::Written;
}

int DayRecords::CreateDayRecordsForAll(const QDate& day,
                                       const std::function<void()>& processEvents) {
    if (!m_cursors)
        m_cursors = std::make_unique<Cursors>(table::aliases::database(u"LumoDB"_s));
    QList<int> staffNrs;
    Table& staff = m_cursors->staff;
    for (staff.first(); !staff.eof() && !staff.isEmpty(); staff.next())
        staffNrs.append(FieldInt(staff, u"P_Nr"_s));
    int written = 0;
    for (const int persNr : staffNrs) {
        if (CreateDayRecords(persNr, true, day) == DayRecordOutcome::Written)
            ++written;
        if (processEvents)
            processEvents();
    }
    return written;
}
