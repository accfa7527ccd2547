#include "core/data/appointmentrules.h"

#include "core/data/dailylistrules.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/pendingtransactions.h"
#include "core/data/recordrules.h"
#include "core/data/staffnames.h"
#include "core/files/deleteguard.h"
#include "core/messages/messages.h"
#include "core/values/calendar.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <optional>

using table::Field;
using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");
constexpr int kAppointmentFunction = 20;

// The daily-list rows written before an appointment's post land together
// with the post: a post that fails takes them back, and the appointment's
// link is set back to what it was.
PendingTransactions<QVariant>& pendingLinks() { // the link before the post
    static PendingTransactions<QVariant> pending;
    return pending;
}

void endLink(Table& t, bool commit) {
    const std::optional<QVariant> tglIdBefore = pendingLinks().finish(t, commit);
    if (tglIdBefore && !commit && t.isEditing())
        t.field(QStringLiteral("T_TglID")).setValue(*tglIdBefore);
}

void linkBeforePost(TDataModule1& dm, Table& t) {
    // A new appointment may wait for its object until it is posted, not beyond.
    if (t.state() == table::TableState::Insert && GetObjektIdByNr(FieldInt(t, "T_Objekt")) == 0) {
        ShowError(InvalidAppointmentObjectText());
        throw Abort{};
    }
    endLink(t, false);
    const QVariant tglIdBefore = t.field(QStringLiteral("T_TglID")).value();
    pendingLinks().start(t).extra = tglIdBefore;
    try {
        LinkTerminToTagesliste(dm);
    } catch (...) {
        endLink(t, false);
        throw;
    }
}

// A key taken meanwhile by another workstation is drawn again before the
// retry: the daily-list row written for this post follows the new key.
table::PostErrorAction onAppointmentPostError(
    const std::function<table::PostErrorAction(Table&, const table::TableError&)>& inner, Table& t,
    const table::TableError& e) {
    table::PostErrorAction action = table::PostErrorAction::Fail;
    try {
        if (inner)
            action = inner(t, e);
        if (action == table::PostErrorAction::Retry) {
            const int tglId = FieldInt(t, "T_TglID");
            if (tglId != 0) {
                auto rows = OpenTempTable(kDb, QStringLiteral("TglTaet.DB"));
                if (rows->locate({QStringLiteral("A_TOTID")}, {tglId})) {
                    rows->edit();
                    rows->field(QStringLiteral("A_TermID")).setValue(FieldInt(t, "T_ID"));
                    rows->post();
                }
            }
            return action;
        }
    } catch (...) {
        endLink(t, false);
        throw;
    }
    endLink(t, false);
    return action;
}

// The appointment's own lock first, so that its delete cannot fail after its
// daily-list row is gone.
void deleteAppointmentRule(Table& t) {
    ConfirmDelete(kAppointmentFunction);
    WithOwnLock(t, [&t] { DeleteTglTaetig(FieldInt(t, "T_TglID")); });
}

void refuse(const QString& text) {
    ShowError(text);
    throw Abort{};
}

// Field rules run while the user edits, not while a new record is filled.
void bindFieldRules(TDataModule1& dm, Table& t) {
    TDataModule1* module = &dm;
    auto editing = [module](Field& f) {
        return !module->IsInitNewRecord() && f.table().isEditing();
    };
    Field& objekt = t.field(QStringLiteral("T_Objekt"));
    objekt.onValidate += [editing](Field& f) {
        if (editing(f) && GetObjektIdByNr(f.asIntegerOr(0)) == 0)
            refuse(InvalidAppointmentObjectText());
    };
    objekt.onChange += [editing](Field& f) {
        if (editing(f))
            if (const auto& setObjekt = AppointmentRuleHooksRegistry().setObjekt)
                setObjekt(f.asIntegerOr(0));
    };
    t.field(QStringLiteral("T_TourNr")).onValidate += [editing](Field& f) {
        const int tourNr = f.asIntegerOr(0);
        if (!editing(f) || tourNr == 0)
            return;
        const Field& date = f.table().field(QStringLiteral("T_Date"));
        const int weekday =
            WeekdayOfDate(date.isNull() ? EmptyDate : DateTimeOfDate(date.asDate()));
        if (!IntPairExists(kDb, QStringLiteral("Touren.DB"), QStringLiteral("TO_Nr;TO_Wochentag"),
                           tourNr, weekday))
            refuse(TourNotOnDateText());
    };
    t.field(QStringLiteral("T_PersNo")).onChange += [editing](Field& f) {
        if (editing(f))
            f.table()
                .field(QStringLiteral("T_Betreuer"))
                .setValue(GetPersonalName(f.asIntegerOr(0)));
    };
    t.field(QStringLiteral("T_Kurztext")).onChange += [editing](Field& f) {
        Field& text = f.table().field(QStringLiteral("T_Text"));
        if (editing(f) && text.asStringOr(QString()).isEmpty())
            text.setValue(f.asStringOr(QString()));
    };
    // A changed reminder is shown again.
    for (const char* alarmField : {"T_Alarm", "T_AlarmDate", "T_AlarmTime"})
        t.field(QString::fromLatin1(alarmField)).onChange += [editing](Field& f) {
            if (editing(f))
                f.table().field(QStringLiteral("T_AlarmDone")).setValue(false);
        };
}

} // namespace

AppointmentRuleHooks& AppointmentRuleHooksRegistry() {
    static AppointmentRuleHooks hooks;
    return hooks;
}

QDate DailyListToday() {
    const auto& today = AppointmentRuleHooksRegistry().today;
    return today ? today() : QDate::currentDate();
}

QString InvalidAppointmentObjectText() {
    return QStringLiteral("Sie müssen eine gültige Objektnummer eingeben!");
}

QString TourNotOnDateText() {
    return QStringLiteral("Die Tour wird zum angegebenen Datum nicht ausgeführt!");
}

void LinkTerminToTagesliste(TDataModule1& dm) {
    Table& t = dm.TabTermObj();
    const QDate today = DailyListToday();
    const Field& dateField = t.field(QStringLiteral("T_Date"));
    const QDate date = dateField.isNull() ? today : dateField.asDate();
    if (today > date)
        return;
    const int tourNr = FieldInt(t, "T_TourNr");
    const bool toBeEntered = GetFieldBoolOrDefault(t.findField(QStringLiteral("T_Taglist")), false);
    int tglId = FieldInt(t, "T_TglID");
    if (tourNr != 0 && toBeEntered) {
        const int tglTour = GetOrCreateTglTour(dm, tourNr, date);
        if (tglTour == 0)
            return;
        const int objektNr = FieldInt(t, "T_Objekt");
        const int tglObjekt =
            GetOrCreateTglObjekt(dm, tourNr, tglTour, objektNr, FieldInt(t, "T_LsID"));
        if (tglObjekt == 0)
            return;
        const QString objName =
            GetFieldStrOrDefault(t.findField(QStringLiteral("T_ObjName")), QString());
        if (!objName.isEmpty())
            SetTglObjektBez(tglObjekt, objName);
        if (tglId != 0)
            RewriteTerminTglTaetig(dm, tglId, tglTour, objektNr, FieldInt(t, "T_ID"));
        else
            tglId = AddTerminTglTaetig(dm, tglTour, objektNr, FieldInt(t, "T_ID"));
        if (tglId != 0 && FieldInt(t, "T_TglID") != tglId) {
            EnsureEditOrInsert(t);
            t.field(QStringLiteral("T_TglID")).setValue(tglId);
        }
    } else if (tglId != 0) {
        DeleteTglTaetig(tglId);
        EnsureEditOrInsert(t);
        t.field(QStringLiteral("T_TglID")).setValue(0);
    }
}

void LinkTermObjToTaglist(int termId, int taglistId, int tourNr, const QDate& date) {
    auto t = OpenTempTable(kDb, QStringLiteral("TermObj.DB"));
    if (!t->locate({QStringLiteral("T_ID")}, {termId}))
        return;
    t->edit();
    t->field(QStringLiteral("T_TglID")).setValue(taglistId);
    t->field(QStringLiteral("T_TourNr")).setValue(tourNr);
    if (date.isValid())
        t->field(QStringLiteral("T_Date")).setValue(date);
    if (taglistId == 0 || tourNr == 0)
        t->field(QStringLiteral("T_Taglist")).setValue(false);
    t->post();
}

void BindAppointmentRules(TDataModule1& dm) {
    TDataModule1* module = &dm;
    NumberedTableRules r;
    r.tableObject = QStringLiteral("TabTermObj");
    r.createRight = kAppointmentFunction;
    // The form gives the key; without the form the next key stands.
    r.keyField = QStringLiteral("T_ID");
    r.defaults = [](Table& t) {
        if (const auto& init = AppointmentRuleHooksRegistry().initNewTermin)
            init(t);
    };
    r.afterScroll = [](Table& t) {
        if (const auto& remember = AppointmentRuleHooksRegistry().rememberLastTermin)
            remember(t);
    };
    r.postCheck = [module](Table& t) { linkBeforePost(*module, t); };
    r.deleteCheck = deleteAppointmentRule;
    BindNumberedTableRules(dm, r);

    Table& t = dm.TabTermObj();
    t.afterPost += [](Table& self) { endLink(self, true); };
    t.beforeCancel += [](Table& self) { endLink(self, false); };
    t.onPostError = [inner = t.onPostError](Table& self, const table::TableError& e) {
        return onAppointmentPostError(inner, self, e);
    };
    bindFieldRules(dm, t);
}
