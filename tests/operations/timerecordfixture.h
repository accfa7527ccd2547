#pragma once

#include "core/data/dailylistfixture.h"
#include "core/data/kostenauszeiterfass.h"
#include "core/rights/rights.h"
#include "operations/timerecordservice.h"
#include "platform/table/database.h"

#include <QDate>
#include <QTime>
#include <memory>

namespace operationstest {

// Employees 7 (12.00 an hour, 8 hours a day, 40 a week) and 8 (10.00, no
// limits); objects 10 and 11 of customer 100; cost types 500 (wages) and
// 501; costs from time recording on. Boxes shown while a write transaction
// is open are counted, so a test can say there were none.
class TimeRecords : public datatest::DailyLists {
protected:
    void SetUp() override {
        DailyLists::SetUp();
        m_savedSwitch = KostenAusZeiterfassOn;
        KostenAusZeiterfassOn = true;
        m_savedUser = CurrentUser;
        CurrentUser = TUserRec();
        CurrentUser.rights.set(kZeiterfRight, rbAllRights);
        addEmployee(7, u"Berg", 12.0, 8.0, 40.0);
        addEmployee(8, u"Kranz", 10.0, 0.0, 0.0);
        addCostType(500, u"Löhne", 1);
        addCostType(501, u"Fahrtkosten", 4);
        addRow(QStringLiteral("Kunden.DB"),
               {{QStringLiteral("K_ID"), 100}, {QStringLiteral("K_Nr"), 100}});
        addActiveObject(10, 100, QStringLiteral("Haus A"));
        addActiveObject(11, 100, QStringLiteral("Haus B"));
        m_previous = SetMessagePresenter(&watch);
        watch.inner = &presenter;
    }
    void TearDown() override {
        SetMessagePresenter(m_previous);
        records.reset();
        CurrentUser = m_savedUser;
        KostenAusZeiterfassOn = m_savedSwitch;
        DailyLists::TearDown();
    }

    void addEmployee(int nr, const char16_t* name, double price, double perDay, double perWeek) {
        addRow(QStringLiteral("Personal.DB"),
               {{QStringLiteral("P_ID"), nr},
                {QStringLiteral("P_Nr"), nr},
                {QStringLiteral("P_Match"), QString::fromUtf16(name).toUpper()},
                {QStringLiteral("P_Name1"), QString::fromUtf16(name)},
                {QStringLiteral("P_Selbstkostenpreis"), price},
                {QStringLiteral("P_StundenProTag"), perDay},
                {QStringLiteral("P_StundenWocheMax"), perWeek}});
    }
    void addCostType(int nr, const char16_t* text, int rubrik) {
        addRow(QStringLiteral("Kostart.DB"), {{QStringLiteral("A_ID"), nr},
                                              {QStringLiteral("A_Nr"), nr},
                                              {QStringLiteral("A_Text"), QString::fromUtf16(text)},
                                              {QStringLiteral("A_RubrikNr"), rubrik},
                                              {QStringLiteral("A_Personal"), false}});
    }
    // Changes one field of a stored row.
    void setField(const QString& file, const QString& keyField, int key, const QString& field,
                  const QVariant& value) {
        auto t = open(file);
        ASSERT_TRUE(t->locate({keyField}, {key}));
        t->edit();
        t->field(field).setValue(value);
        t->post();
    }

    TimeRecordCursor& cursor() {
        if (!records)
            records =
                std::make_unique<TimeRecordCursor>(TimeRecordOptions{[this] { return shownDay; }});
        return *records;
    }
    // The values of a record of the employee on the day.
    static TimeRecordValues values(int persNr, const QDate& day, double hours, double rate,
                                   int art = 1, int objNr = 0, const QString& text = QString(),
                                   int kostart = 500) {
        TimeRecordValues v;
        v.datum = day;
        v.persNr = persNr;
        v.objNr = objNr;
        v.art = art;
        v.stunden = hours;
        v.ekPreis = rate;
        v.text = text;
        v.kostart = kostart;
        return v;
    }
    // Appends and posts a record of the employee on the day.
    void post(int persNr, const QDate& day, double hours, double rate, int art = 1, int objNr = 0,
              const QString& text = QString()) {
        cursor().append(values(persNr, day, hours, rate, art, objNr, text));
    }

    // A field of the employee-month's row of Zeitsum.DB; -1 when there is no row.
    double sum(int persNr, const QDate& day, const char* field) {
        auto t = open(QStringLiteral("Zeitsum.DB"));
        if (!t->locate({QStringLiteral("ZS_PersNo"), QStringLiteral("ZS_Jahr"),
                        QStringLiteral("ZS_Monat")},
                       {persNr, day.year(), day.month()}))
            return -1;
        return t->field(QString::fromLatin1(field)).asFloatOr(0);
    }
    // The cost sum of all types and objects in the month of day.
    double monthCosts(const QDate& day) {
        auto t = open(QStringLiteral("KostSumH.db"));
        if (!t->locate({QStringLiteral("K_Jahr"), QStringLiteral("K_Monat"),
                        QStringLiteral("K_Kostart"), QStringLiteral("K_ObjektID")},
                       {day.year(), day.month(), -1, -1}))
            return 0;
        return t->field(QStringLiteral("K_Zugang")).asFloatOr(0);
    }
    // A SQLite trigger that fails the statement named, e.g. "INSERT ON Zeiterf".
    void failOn(const QString& statement) {
        table::aliases::database(datatest::kDb)
            ->execSql(QStringLiteral("CREATE TRIGGER test_fail BEFORE %1 BEGIN SELECT "
                                     "RAISE(ABORT, 'Testfehler'); END")
                          .arg(statement));
    }
    void stopFailing() {
        table::aliases::database(datatest::kDb)->execSql(QStringLiteral("DROP TRIGGER test_fail"));
    }

    // Counts the boxes shown while the client database had a transaction open.
    struct TransactionWatch : MessagePresenter {
        bool show(Kind kind, const QString& text, int x, int y) override {
            if (table::aliases::database(datatest::kDb)->transactionDepth() > 0)
                ++insideTransaction;
            return inner->show(kind, text, x, y);
        }
        MessagePresenter* inner = nullptr;
        int insideTransaction = 0;
    } watch;

    const QDate kMarch10 = QDate(2026, 3, 10); // a Tuesday
    QDate shownDay = kMarch10;
    std::unique_ptr<TimeRecordCursor> records;

private:
    bool m_savedSwitch = false;
    TUserRec m_savedUser;
    MessagePresenter* m_previous = nullptr;
};

} // namespace operationstest
