#include "appointmentsfixture.h"
#include "core/data/datamodule.h"
#include "operations/termdone.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

using namespace Qt::StringLiterals;

namespace {

// Object 21; a daily tour with two activity rows, the first linked to
// appointment 1, the second to appointment 2.
class TermDone : public operationstest::Appointments {
protected:
    void SetUp() override {
        Appointments::SetUp();
        addActiveObject(21, 1, u"Objekt 21"_s);
        addDailyTour(1, 3, kDay);
        addDailyObject(1, 1, 21);
        addActivity(1, 1, 21, 3, 0, 1);
        addActivity(2, 1, 21, 3, 0, 2);
    }
    int termIdOfRow(int totId) {
        for (const QVariantMap& row : rows(u"TglTaet.DB"_s))
            if (row.value(u"A_TOTID"_s).toInt() == totId)
                return row.value(u"A_TermID"_s).toInt();
        return -1;
    }
    int stateOfRow(int totId) {
        for (const QVariantMap& row : rows(u"TglTaet.DB"_s))
            if (row.value(u"A_TOTID"_s).toInt() == totId)
                return row.value(u"A_State"_s).toInt();
        return -1;
    }
    static inline const QDate kDay{2026, 3, 10};
};

TEST_F(TermDone, DoneAppointmentsUpToTheLimitGoAndTheirDailyRowsAreUnlinked) {
    addAppointment(1, 21, kDay, true, {{u"T_TglID"_s, 1}});
    addAppointment(2, 21, kDay, false, {{u"T_TglID"_s, 2}});
    addAppointment(3, 21, kDay.addDays(1), true);
    addAppointment(4, 21, QVariant(), true); // no date counts as the empty date
    addAppointment(5, 21, kDay.addDays(-30), true);

    EXPECT_EQ(DeleteDoneAppointments(kDay), 3);
    QList<int> left;
    for (const QVariantMap& row : rows(u"TermObj.DB"_s))
        left.append(row.value(u"T_ID"_s).toInt());
    EXPECT_EQ(left, (QList<int>{2, 3}));
    // The daily-list rows stay; only the deleted appointment's link is gone.
    EXPECT_EQ(count(u"TglTaet.DB"_s), 2);
    EXPECT_EQ(termIdOfRow(1), 0);
    EXPECT_EQ(termIdOfRow(2), 2);
    EXPECT_EQ(count(u"TglObj.DB"_s), 1);
    EXPECT_EQ(count(u"TglTour.DB"_s), 1);
}

TEST_F(TermDone, AFailedUnlinkDeletesNothing) {
    addAppointment(1, 21, kDay, true, {{u"T_TglID"_s, 1}});
    auto db = table::aliases::database(datatest::kDb);
    db->execSql(u"CREATE TRIGGER fail_unlink BEFORE UPDATE ON \"%1\" BEGIN SELECT "
                u"RAISE(ABORT, 'gesperrt'); END"_s.arg(table::physicalName(u"TglTaet.DB"_s)));
    EXPECT_THROW(DeleteDoneAppointments(kDay), std::exception);
    EXPECT_EQ(count(u"TermObj.DB"_s), 1) << "all or nothing";
    EXPECT_EQ(termIdOfRow(1), 1);
    db->execSql(u"DROP TRIGGER fail_unlink"_s);
    EXPECT_EQ(DeleteDoneAppointments(kDay), 1);
}

TEST_F(TermDone, AnEmptyLimitTakesOnlyAppointmentsWithoutDate) {
    addAppointment(1, 21, kDay, true);
    addAppointment(4, 21, QVariant(), true);
    EXPECT_EQ(DeleteDoneAppointments(QDate()), 1);
    EXPECT_EQ(count(u"TermObj.DB"_s), 1);
    EXPECT_EQ(DeleteDoneAppointments(QDate()), 0) << "safe to repeat";
}

TEST_F(TermDone, MarkingDonePostsTheAppointmentWithItsDailyRow) {
    addAppointment(1, 21, kDay, false, {{u"T_TglID"_s, 1}});
    table::Table& t = shared(dm->TabTermObj());
    ASSERT_TRUE(t.locate({u"T_ID"_s}, {1}));
    SetTerminErledigt(*dm, true);
    EXPECT_FALSE(t.isEditing());
    EXPECT_TRUE(appointmentRow(1).value(u"T_Erledigt"_s).toBool());
    EXPECT_EQ(stateOfRow(1), kTglStateDone);
    SetTerminErledigt(*dm, false);
    EXPECT_FALSE(appointmentRow(1).value(u"T_Erledigt"_s).toBool());
    EXPECT_EQ(stateOfRow(1), kTglStateOpen);
}

TEST_F(TermDone, ARefusedPostKeepsTheDailyRowAsItWas) {
    addAppointment(1, 21, kDay, false, {{u"T_TglID"_s, 1}});
    table::Table& t = shared(dm->TabTermObj());
    ASSERT_TRUE(t.locate({u"T_ID"_s}, {1}));
    t.beforePost += [](table::Table&) { throw DbError(u"Schreiben verweigert"_s); };
    EXPECT_THROW(SetTerminErledigt(*dm, true), DbError);
    EXPECT_TRUE(t.isEditing()) << "the appointment stays in edit with the new value";
    EXPECT_TRUE(t.field(u"T_Erledigt"_s).asBoolean());
    t.cancel();
    EXPECT_EQ(stateOfRow(1), kTglStateOpen);
    EXPECT_FALSE(appointmentRow(1).value(u"T_Erledigt"_s).toBool());
}

} // namespace
