#include "core/data/dailylistrules.h"

#include "core/data/appointmentrules.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/kostenauszeiterfass.h"
#include "core/data/lookups.h"
#include "core/data/recordrules.h"
#include "core/data/rulebuilders.h"
#include "core/messages/messagecatalog.h"
#include "core/values/datetimevalue.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QDate>
#include <QTime>

using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");
const QString kTours = QStringLiteral("TglTour.DB");
const QString kObjects = QStringLiteral("TglObj.DB");
const QString kActivities = QStringLiteral("TglTaet.DB");

void set(Table& t, const char* field, const QVariant& value) {
    t.field(QString::fromLatin1(field)).setValue(value);
}

std::unique_ptr<table::Transaction> transaction() {
    return std::make_unique<table::Transaction>(*table::aliases::database(kDb));
}

bool hasActivities(int tglTourId, int objektNr) {
    return IntPairExists(kDb, kActivities, QStringLiteral("A_TourID;A_ObjNr"), tglTourId, objektNr);
}

// The daily tour's date and number; false when the tour row is gone.
bool dailyTourOf(int tglTourId, QDate& date, int& tourNr) {
    auto tours = OpenTempTable(kDb, kTours);
    if (!tours->locate({QStringLiteral("A_TourID")}, {tglTourId}))
        return false;
    const table::Field& d = tours->field(QStringLiteral("A_Date"));
    date = d.isNull() ? QDate() : d.asDate();
    tourNr = FieldInt(*tours, "A_TourNr");
    return true;
}

// Only automatic rows go; the object stays while any other row is left.
void dailyObjectDeleteRule(TDataModule1& dm, Table& object) {
    WithOwnLock(object, [&] {
        Table& activities = dm.TabTglTaetig();
        OpenForCall opened(activities);
        auto tx = transaction();
        activities.first();
        while (!activities.eof() && !activities.isEmpty()) {
            if (FieldInt(activities, "A_Source") == SourceAutomatic)
                activities.deleteRecord();
            else
                activities.next();
        }
        // Also rows the view does not show (a filter) keep the object.
        const bool kept =
            hasActivities(FieldInt(object, "A_TourID"), FieldInt(object, "A_ObjektNr"));
        tx->commit();
        if (kept)
            throw Abort{};
    });
}

// Every object goes through its own rule; a refused one stays and keeps the tour.
void dailyTourDeleteRule(TDataModule1& dm, Table& tour) {
    WithOwnLock(tour, [&] {
        Table& objects = dm.TabTglObjekt();
        OpenForCall opened(objects);
        auto tx = transaction();
        objects.first();
        while (!objects.eof() && !objects.isEmpty()) {
            try {
                objects.deleteRecord();
            } catch (const Abort&) {
                objects.next();
            }
        }
        const bool kept =
            IntValueExists(kDb, kObjects, QStringLiteral("A_TourID"), FieldInt(tour, "A_TourID"));
        tx->commit();
        if (kept)
            throw Abort{};
    });
}

// A removed activity no longer holds its appointment, nor its special function.
void dailyActivityDeleteRule(TDataModule1& dm, Table& activity) {
    WithOwnLock(activity, [&] {
        auto tx = transaction();
        const int termId = FieldInt(activity, "A_TermID");
        QDate date;
        int tourNr = 0;
        const bool tourFound = dailyTourOf(FieldInt(activity, "A_TourID"), date, tourNr);
        if (termId != 0)
            LinkTermObjToTaglist(termId, 0, 0, date);
        if (tourFound) {
            Table& functions = dm.TabFunclist();
            OpenForCall opened(functions);
            if (functions.locate({QStringLiteral("FL_Date"), QStringLiteral("FL_TourNr"),
                                  QStringLiteral("FL_ObjNr"), QStringLiteral("FL_TaetigNr")},
                                 {date, tourNr, FieldInt(activity, "A_ObjNr"),
                                  FieldInt(activity, "A_TaetigNr")}))
                functions.deleteRecord();
        }
        tx->commit();
    });
}

// A daily tour's number may change only to a tour that exists and has no
// list of its own that day: never two lists for one tour and date.
void checkDailyTourNumber(Table& tour) {
    const int tourNr = FieldInt(tour, "A_TourNr");
    const int id = FieldInt(tour, "A_TourID");
    if (tour.state() == table::TableState::Edit) {
        auto stored = OpenTempTable(kDb, kTours);
        if (stored->locate({QStringLiteral("A_TourID")}, {id}) &&
            FieldInt(*stored, "A_TourNr") == tourNr)
            return;
    }
    if (!IntValueExists(kDb, QStringLiteral("Touren.DB"), QStringLiteral("TO_Nr"), tourNr))
        throw DbError(QStringLiteral("Die Tour %1 gibt es nicht.").arg(tourNr));
    const table::Field& dateField = tour.field(QStringLiteral("A_Date"));
    const QDate date = dateField.isNull() ? QDate() : dateField.asDate();
    auto others = OpenTempTable(kDb, kTours, QStringLiteral("I_DateTour"));
    others->setRange({date, tourNr}, {date, tourNr});
    for (others->first(); !others->eof() && !others->isEmpty(); others->next())
        if (FieldInt(*others, "A_TourID") != id)
            throw DbError(QStringLiteral("Die Tour %1 hat am %2 bereits eine Tagesliste.")
                              .arg(tourNr)
                              .arg(date.toString(QStringLiteral("dd.MM.yyyy"))));
}

using rulebuilders::keyed;

std::vector<NumberedTableRules> dailyListRules(TDataModule1& dm) {
    TDataModule1* module = &dm;
    NumberedTableRules tours = keyed("TabTglTour", "A_TourID");
    tours.afterScroll = [](Table&) {
        if (const auto& enable = AppointmentRuleHooksRegistry().enableDetailGrids)
            enable();
    };
    tours.deleteCheck = [module](Table& t) { dailyTourDeleteRule(*module, t); };
    tours.postCheck = checkDailyTourNumber;

    NumberedTableRules objects = keyed("TabTglObjekt", "A_TOID");
    objects.deleteCheck = [module](Table& t) { dailyObjectDeleteRule(*module, t); };

    NumberedTableRules activities = keyed("TabTglTaetig", "A_TOTID");
    activities.deleteCheck = [module](Table& t) { dailyActivityDeleteRule(*module, t); };

    NumberedTableRules functions = keyed("TabFunclist", "FL_ID");
    functions.defaults = [](Table& t) {
        set(t, "FL_Date", DateOfDateTime(EmptyDate));
        for (const char* zero : {"FL_TourNr", "FL_ObjNr", "FL_TaetigNr", "FL_Type"})
            set(t, zero, 0);
        set(t, "FL_Param", QString());
        set(t, "FL_Included", false);
    };

    return {tours,
            objects,
            activities,
            functions,
            keyed("TabKostH", "K_ID"),
            keyed("TabKostD", "K_ID"),
            keyed("TabKosten", "K_ID")};
}

// Text of a daily activity entered from an appointment: its text, else its short text.
QString appointmentText(Table& appointment) {
    const QString text = FieldText(appointment, "T_Text");
    return text.isEmpty() ? FieldText(appointment, "T_Kurztext") : text;
}

} // namespace

QString AppointmentActivityText() {
    return LoadMessage(65050);
}

int GetOrCreateTglTour(TDataModule1& dm, int tourNr, const QDate& date) {
    auto dailyTours = OpenTempTable(kDb, kTours);
    if (dailyTours->locate({QStringLiteral("A_TourNr"), QStringLiteral("A_Date")}, {tourNr, date}))
        return FieldInt(*dailyTours, "A_TourID");
    // Looked up on a cursor of its own: a list filter on the shared tour
    // objects must not hide a tour from the daily lists.
    auto tours = OpenTempTable(kDb, QStringLiteral("Touren.DB"));
    if (!tours->locate({QStringLiteral("TO_Nr")}, {tourNr}))
        return 0;
    const int person = FieldInt(*tours, "TO_Person");
    auto staff = OpenTempTable(kDb, QStringLiteral("Personal.DB"));
    const QString searchWord = staff->locate({QStringLiteral("P_Nr")}, {person})
                                   ? FieldText(*staff, "P_Match")
                                   : QString();
    const int id = GetNextId(dm.TabTglTour(), QStringLiteral("A_TourID"));
    dailyTours->append();
    set(*dailyTours, "A_TourID", id);
    set(*dailyTours, "A_TourNr", tourNr);
    set(*dailyTours, "A_Date", date);
    set(*dailyTours, "A_PersNr", person);
    set(*dailyTours, "A_PersName", searchWord);
    set(*dailyTours, "A_Bezeichnung", FieldText(*tours, "TO_Beschreibung"));
    set(*dailyTours, "A_Pattern", FieldText(*tours, "TO_ServPatt"));
    dailyTours->post();
    return id;
}

int GetOrCreateTglObjekt(TDataModule1& dm, int tourNr, int tglTourId, int objektNr, int lsId) {
    auto rows = OpenTempTable(kDb, kObjects);
    if (rows->locate({QStringLiteral("A_TourID"), QStringLiteral("A_ObjektNr")},
                     {tglTourId, objektNr})) {
        if (lsId != 0 && FieldInt(*rows, "A_LsID") == 0) {
            rows->edit();
            set(*rows, "A_LsID", lsId);
            rows->post();
        }
        return FieldInt(*rows, "A_TOID");
    }
    Table& objekte = dm.TabObjekt();
    OpenForCall opened(objekte);
    if (!objekte.locate({QStringLiteral("O_Nr")}, {objektNr}))
        return 0;
    const QString match = FieldText(objekte, "O_Match");
    const int kunde = FieldInt(objekte, "O_Kunde");
    QVariant von, bis;
    GetTourObjektZeiten(tourNr, objektNr, von, bis);
    auto timeOf = [](const QVariant& v) {
        return v.typeId() == QMetaType::QTime ? v.toTime() : QTime(0, 0);
    };
    const int id = GetNextId(kDb, kObjects, QStringLiteral("A_TOID"));
    rows->append();
    set(*rows, "A_TOID", id);
    set(*rows, "A_TourID", tglTourId);
    set(*rows, "A_ObjektNr", objektNr);
    set(*rows, "A_ObjektBez", match);
    set(*rows, "A_Kunde", kunde);
    set(*rows, "A_LsID", lsId);
    set(*rows, "A_VonUhr", timeOf(von));
    set(*rows, "A_BisUhr", timeOf(bis));
    rows->post();
    return id;
}

void SetTglObjektBez(int tglObjektId, const QString& text) {
    auto rows = OpenTempTable(kDb, kObjects);
    if (!rows->locate({QStringLiteral("A_TOID")}, {tglObjektId}))
        return;
    rows->edit();
    set(*rows, "A_ObjektBez", text);
    rows->post();
}

int AddTerminTglTaetig(TDataModule1& dm, int tglTourId, int objektNr, int terminId) {
    Table& appointment = dm.TabTermObj();
    auto rows = OpenTempTable(kDb, kActivities);
    const int id = GetNextId(kDb, kActivities, QStringLiteral("A_TOTID"));
    const QString text = appointmentText(appointment);
    rows->append();
    set(*rows, "A_TOTID", id);
    set(*rows, "A_TourID", tglTourId);
    set(*rows, "A_ObjNr", objektNr);
    set(*rows, "A_TaetigNr", 0);
    set(*rows, "A_Source", SourceAppointment);
    set(*rows, "A_State", 0);
    set(*rows, "A_Rueckstand", 0);
    set(*rows, "A_ServiceID", QStringLiteral("*"));
    set(*rows, "A_LsID", FieldInt(appointment, "T_LsID"));
    set(*rows, "A_TermID", terminId);
    set(*rows, "A_ZusatzText", AppointmentActivityText());
    set(*rows, "A_Param", QString());
    set(*rows, "A_TourText", text);
    set(*rows, "A_KontrollText", text);
    rows->post();
    return id;
}

bool RewriteTerminTglTaetig(TDataModule1& dm, int tglTaetigId, int tglTourId, int objektNr,
                            int terminId) {
    auto tx = transaction();
    auto rows = OpenTempTable(kDb, kActivities);
    if (!rows->locate({QStringLiteral("A_TOTID")}, {tglTaetigId}))
        return false;
    const int oldTourId = FieldInt(*rows, "A_TourID");
    const int oldObjektNr = FieldInt(*rows, "A_ObjNr");
    const QString text = appointmentText(dm.TabTermObj());
    rows->edit();
    set(*rows, "A_TourID", tglTourId);
    set(*rows, "A_ObjNr", objektNr);
    set(*rows, "A_TermID", terminId);
    set(*rows, "A_TourText", text);
    set(*rows, "A_KontrollText", text);
    rows->post();
    rows.reset();
    // A moved row must not leave an empty object behind in the old daily list.
    const bool moved = oldTourId != tglTourId || oldObjektNr != objektNr;
    if (moved && !hasActivities(oldTourId, oldObjektNr))
        DeleteTglObjekt(oldTourId, oldObjektNr, true);
    tx->commit();
    return true;
}

void DeleteTglTaetig(int tglTaetigId) {
    auto tx = transaction();
    auto rows = OpenTempTable(kDb, kActivities);
    if (!rows->locate({QStringLiteral("A_TOTID")}, {tglTaetigId}))
        return;
    const int tourId = FieldInt(*rows, "A_TourID");
    const int objektNr = FieldInt(*rows, "A_ObjNr");
    rows->deleteRecord();
    rows.reset();
    if (!hasActivities(tourId, objektNr))
        DeleteTglObjekt(tourId, objektNr, true);
    tx->commit();
}

void DeleteTglObjekt(int tglTourId, int objektNr, bool dropEmptyTour) {
    auto tx = transaction();
    auto rows = OpenTempTable(kDb, kObjects);
    if (rows->locate({QStringLiteral("A_TourID"), QStringLiteral("A_ObjektNr")},
                     {tglTourId, objektNr}))
        rows->deleteRecord();
    rows.reset();
    if (dropEmptyTour && !IntValueExists(kDb, kObjects, QStringLiteral("A_TourID"), tglTourId))
        DeleteTglTourById(tglTourId);
    tx->commit();
}

void DeleteTglTourById(int tglTourId) {
    auto rows = OpenTempTable(kDb, kTours);
    if (rows->locate({QStringLiteral("A_TourID")}, {tglTourId}))
        rows->deleteRecord();
}

void InstallDailyListRules(TDataModule1& dm) {
    dm.AddTableSetup([](TDataModule1& module) {
        for (const NumberedTableRules& r : dailyListRules(module))
            BindNumberedTableRules(module, r);
        BindAppointmentRules(module);
        // The time recording reads the program's copy of the company switch.
        Table& company = module.TabFirmen();
        if (table::Field* f = company.findField(QStringLiteral("F_KostenausZeiterfass")))
            f->onChange += [&company](table::Field&) { GetKostenAusZeiterfass(company); };
    });
}
