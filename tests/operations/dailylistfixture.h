#pragma once

#include "core/data/dailylistfixture.h"
#include "datasafety/autobackup.h"
#include "operations/dailylistgeneration.h"

#include <QDate>
#include <QStringList>

// Readable failures of texts.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << list.join(QStringLiteral(" | ")).toStdString();
}
QT_END_NAMESPACE

namespace operationstest {

// Monday 2 March 2026.
inline const QDate kToday(2026, 3, 2);

// Another workstation on the same client directory.
struct OtherWorkstation {
    OtherWorkstation()
        : session(std::make_shared<table::Session>(NetDir, QStringLiteral("andere"))),
          db(table::Database::open(DataDir)) {
        db->setSession(session);
        activities = std::make_unique<table::Table>(db, QStringLiteral("TglTaet.DB"));
        activities->open();
    }
    // Whether it could take the daily lists' lock now (it gives it back at once).
    bool canLockActivities() {
        try {
            activities->lockTable();
        } catch (const table::TableError&) {
            return false;
        }
        activities->unlockTable();
        return true;
    }
    std::shared_ptr<table::Session> session;
    std::shared_ptr<table::Database> db;
    std::unique_ptr<table::Table> activities;
};

// The daily-list tables and their masters, with the form's part of a run
// recorded: the range it hands over, what it was asked to show.
class Generation : public datatest::DailyLists {
protected:
    void SetUp() override {
        DailyLists::SetUp();
        for (const char* file : {"ObjTaet.db", "Taetig.DB", "TglFterm.DB"})
            table::aliases::database(datatest::kDb)->emptyTable(QString::fromLatin1(file));
        m_savedBackup = AutoBackupServiceRegistry();
        AutoBackupServiceRegistry() = {[] { return true; },
                                       [this](const QString& c) { backups.append(c); }};
        hooks.pickRange = [this](QDate& from, QDate& to) {
            proposals.append({from, to});
            if (ranges.isEmpty())
                return false;
            from = ranges.first().first;
            to = ranges.takeFirst().second;
            return true;
        };
        hooks.setRunning = [this](bool on) { events.append(on ? "running" : "stopped"); };
        hooks.showDay = [this](const QDate& day) { shownDays.append(day); };
        hooks.showState = [this](const QString& caption, const QString& counts) {
            states.append(caption + counts);
            if (onState)
                onState();
        };
    }
    void TearDown() override {
        AutoBackupServiceRegistry() = m_savedBackup;
        DailyLists::TearDown();
    }

    void addPlanTour(int nr, int weekday, const QDate& next, const QString& pattern, int kind = 0) {
        addRow(QStringLiteral("Touren.db"),
               {{QStringLiteral("TO_ID"), nr},
                {QStringLiteral("TO_Nr"), nr},
                {QStringLiteral("TO_Wochentag"), weekday},
                {QStringLiteral("TO_NextDate"), next.isValid() ? QVariant(next) : QVariant()},
                {QStringLiteral("TO_Person"), 3},
                {QStringLiteral("TO_Beschreibung"), QStringLiteral("Tour %1").arg(nr)},
                {QStringLiteral("TO_ServPatt"), pattern},
                {QStringLiteral("TO_Kind"), kind}});
    }
    void addInactiveObject(int nr) {
        addRow(QStringLiteral("Objekte.DB"), {{QStringLiteral("O_ID"), nr},
                                              {QStringLiteral("O_Nr"), nr},
                                              {QStringLiteral("O_Match"), QStringLiteral("Alt")},
                                              {QStringLiteral("O_Aktiv"), false}});
    }
    void addTaetigkeit(int nr, const QString& name) {
        addRow(QStringLiteral("Taetig.DB"),
               {{QStringLiteral("T_ID"), nr},
                {QStringLiteral("T_Nr"), nr},
                {QStringLiteral("T_Match"), name},
                {QStringLiteral("T_TextTour"), QString(name + QStringLiteral(" Tour"))},
                {QStringLiteral("T_TextKontroll"), QString(name + QStringLiteral(" Kontr"))}});
    }
    // An object activity; an invalid start leaves TS_StartDatum empty.
    void addObjTaet(int id, int objektNr, int taetigNr, int modus, const QDate& start,
                    const QString& service = QString(), int func = 0,
                    const QString& param = QString()) {
        addRow(QStringLiteral("ObjTaet.db"),
               {{QStringLiteral("TS_ID"), id},
                {QStringLiteral("TS_Objekt"), objektNr},
                {QStringLiteral("TS_Taetigkeit"), taetigNr},
                {QStringLiteral("TS_Modus"), modus},
                {QStringLiteral("TS_StartDatum"), start.isValid() ? QVariant(start) : QVariant()},
                {QStringLiteral("TS_ServiceID"), service},
                {QStringLiteral("TS_Func"), func},
                {QStringLiteral("TS_Param"), param}});
    }

    int run(const QDate& from, const QDate& to) {
        ranges.append({from, to});
        return CreateDailyLists(*dm, kToday, shownDay, hooks);
    }

    // "tour date: object/activity(source,backlog) ..." of every daily list, in key order.
    QStringList lists() {
        QStringList result;
        for (const QVariantMap& tour : rows(QStringLiteral("TglTour.DB"))) {
            QString line = QStringLiteral("%1 %2:")
                               .arg(tour.value("A_TourNr").toInt())
                               .arg(tour.value("A_Date").toDate().toString(u"dd.MM."));
            for (const QVariantMap& a : rows(QStringLiteral("TglTaet.DB")))
                if (a.value("A_TourID") == tour.value("A_TourID"))
                    line += QStringLiteral(" %1/%2(%3,%4)")
                                .arg(a.value("A_ObjNr").toInt())
                                .arg(a.value("A_TaetigNr").toInt())
                                .arg(a.value("A_Source").toInt())
                                .arg(a.value("A_Rueckstand").toInt());
            result.append(line);
        }
        return result;
    }
    QDate startDate(int tsId) {
        auto t = open(QStringLiteral("ObjTaet.db"));
        EXPECT_TRUE(t->locate({QStringLiteral("TS_ID")}, {tsId}));
        return t->field(QStringLiteral("TS_StartDatum")).asDateOr(QDate());
    }

    DailyListRunHooks hooks;
    QDate shownDay = QDate(2026, 3, 4);
    QList<std::pair<QDate, QDate>> ranges;
    QList<std::pair<QDate, QDate>> proposals;
    QStringList events;
    QList<QDate> shownDays;
    QStringList states;
    std::function<void()> onState;
    QStringList backups;

private:
    AutoBackupService m_savedBackup;
};

} // namespace operationstest
