#include "core/gui/modaldriver.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/kalendersteps.h"
#include "masterdata/dialogs/tf_kalender.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbdateedit.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QDate d(int day, int month, int year) {
    return QDate(year, month, day);
}

TEST(KalenderSteps, MonthAndYearStepsKeepTheDayCutToTheMonth) {
    const struct {
        QDate from;
        KalenderStep step;
        QDate to;
    } cases[] = {
        {d(31, 3, 2024), KalenderStep::PreviousMonth, d(29, 2, 2024)},
        {d(31, 1, 2023), KalenderStep::NextMonth, d(28, 2, 2023)},
        {d(15, 1, 2024), KalenderStep::PreviousMonth, d(15, 12, 2023)},
        {d(15, 12, 2024), KalenderStep::NextMonth, d(15, 1, 2025)},
        {d(29, 2, 2024), KalenderStep::NextYear, d(28, 2, 2025)},
        {d(29, 2, 2024), KalenderStep::PreviousYear, d(28, 2, 2023)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StepKalenderDate(c.from, c.step), c.to) << c.from.toString().toStdString();
    EXPECT_EQ(KalenderAltKeyStep(Qt::Key_PageUp), KalenderStep::PreviousYear);
    EXPECT_EQ(KalenderAltKeyStep(Qt::Key_PageDown), KalenderStep::NextYear);
    EXPECT_EQ(KalenderAltKeyStep(Qt::Key_Up), KalenderStep::NextMonth);
    EXPECT_EQ(KalenderAltKeyStep(Qt::Key_Down), KalenderStep::PreviousMonth);
    EXPECT_FALSE(KalenderAltKeyStep(Qt::Key_Left));
    EXPECT_EQ(KalenderHolidayText(d(25, 12, 2024)), u"1. Weihnachtstag"_s);
    EXPECT_EQ(KalenderHolidayText(d(27, 12, 2024)), QString());
}

TEST(Kalender, AltKeysUpDownsAndTodayMoveTheDateAndTheLabelsFollow) {
    TF_Kalender form;
    form.SetDate(DateTimeOfDate(d(29, 2, 2024)));
    form.show();
    QWidget* target =
        form.calendar()->focusProxy() ? form.calendar()->focusProxy() : form.calendar();
    QTest::keyClick(target, Qt::Key_PageDown, Qt::AltModifier);
    EXPECT_EQ(DateOfDateTime(form.GetDate()), d(28, 2, 2025));
    EXPECT_EQ(form.monthLabel()->text(), u"Februar"_s);
    EXPECT_EQ(form.yearLabel()->text(), u"2025"_s);
    QTest::keyClick(target, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(DateOfDateTime(form.GetDate()), d(28, 1, 2025));
    QTest::keyClick(target, Qt::Key_PageUp, Qt::AltModifier);
    QTest::keyClick(target, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(DateOfDateTime(form.GetDate()), d(28, 2, 2024));
    form.monthUp()->click();
    form.yearDown()->click();
    EXPECT_EQ(DateOfDateTime(form.GetDate()), d(28, 3, 2023));
    form.yearUp()->click();
    form.monthDown()->click();
    EXPECT_EQ(DateOfDateTime(form.GetDate()), d(28, 2, 2024));
    form.SetDate(DateTimeOfDate(d(24, 12, 2024)));
    EXPECT_EQ(form.holidayLabel()->text(), QString());
    form.monthUp()->click();
    form.monthDown()->click();
    form.calendar()->setSelectedDate(d(25, 12, 2024));
    EXPECT_EQ(form.holidayLabel()->text(), u"1. Weihnachtstag"_s);
    EXPECT_EQ(form.monthLabel()->text(), u"Dezember"_s);
    form.todayButton()->click();
    EXPECT_EQ(DateOfDateTime(form.GetDate()), QDate::currentDate());
}

TEST(Kalender, PositionIsNeverNegativeAndADoubleClickActsAsOk) {
    TF_Kalender form;
    form.SetPos(-20, 35);
    EXPECT_EQ(form.pos(), QPoint(0, 35));
    WhenModalShown([&form](QWidget*) { Q_EMIT form.calendar()->activated(d(3, 5, 2024)); });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    WhenModalShown([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(form.exec(), QDialog::Rejected);
}

TEST(DatePickers, WithoutTheCalendarNothingChanges) {
    ASSERT_EQ(F_Kalender, nullptr);
    TDateTime date = DateTimeOfDate(d(1, 2, 2024));
    EXPECT_FALSE(PickDateAt(date, 10, 10));
    EXPECT_EQ(DateOfDateTime(date), d(1, 2, 2024));
}

TEST(DatePickers, PickDateAtGivesTheChosenDayOnlyOnOk) {
    const KalenderForm kalender;
    TDateTime date = DateTimeOfDate(d(1, 2, 2024));
    WhenModalShown([](QWidget*) {
        EXPECT_EQ(DateOfDateTime(F_Kalender->GetDate()), d(1, 2, 2024));
        F_Kalender->calendar()->setSelectedDate(d(9, 2, 2024));
        F_Kalender->cancelButton()->click();
    });
    EXPECT_FALSE(PickDateAt(date, 10, 10));
    EXPECT_EQ(DateOfDateTime(date), d(1, 2, 2024));
    WhenModalShown([](QWidget*) {
        F_Kalender->calendar()->setSelectedDate(d(9, 2, 2024));
        F_Kalender->okButton()->click();
    });
    EXPECT_TRUE(PickDateAt(date, 10, 10));
    EXPECT_EQ(DateOfDateTime(date), d(9, 2, 2024));
}

// A table with one date field, shown in the kit's date field.
class DateFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        table::Database::Options o;
        o.syncToDisk = false;
        db = table::Database::open(dir.path(), o);
        table::TableDef def;
        def.name = u"Termine.DB"_s;
        def.fields = {{u"Nr"_s, table::FieldType::Integer, 0},
                      {u"Datum"_s, table::FieldType::Date, 0}};
        db->createTable(def);
        termine = std::make_unique<table::Table>(db, u"Termine.DB"_s);
        termine->open();
        termine->appendRecord({1, QVariant()});
        termine->first();
        source = std::make_unique<widgets::DataSource>(*termine);
    }
    void TearDown() override {
        widgets::setDatePicker({});
        source.reset();
    }

    QTemporaryDir dir;
    std::shared_ptr<table::Database> db;
    std::unique_ptr<table::Table> termine;
    std::unique_ptr<widgets::DataSource> source;
};

TEST_F(DateFieldTest, DoubleClickAndAltKOpenTheInstalledCalendar) {
    widgets::DbDateEdit edit(*source, u"Datum"_s);
    int opened = 0;
    widgets::setDatePicker([&opened](widgets::DbDateEdit&) {
        ++opened;
        return false;
    });
    QTest::mouseDClick(&edit, Qt::LeftButton);
    QTest::keyClick(&edit, Qt::Key_K, Qt::AltModifier);
    EXPECT_EQ(opened, 2);
    widgets::setDatePicker({});
    QTest::keyClick(&edit, Qt::Key_K, Qt::AltModifier);
    EXPECT_FALSE(edit.showCalendar());
    EXPECT_EQ(opened, 2);
}

TEST_F(DateFieldTest, PickDbEditDateStartsAtDayZeroAndWritesOnOkOnly) {
    const KalenderForm kalender;
    widgets::DbDateEdit edit(*source, u"Datum"_s);
    widgets::setDatePicker([](widgets::DbDateEdit& e) { return PickDbEditDate(e); });
    WhenModalShown([](QWidget*) {
        EXPECT_EQ(DateOfDateTime(F_Kalender->GetDate()), d(30, 12, 1899));
        F_Kalender->cancelButton()->click();
    });
    EXPECT_FALSE(edit.showCalendar());
    EXPECT_TRUE(termine->field(u"Datum"_s).isNull());
    EXPECT_FALSE(termine->isEditing());
    WhenModalShown([](QWidget*) {
        F_Kalender->calendar()->setSelectedDate(d(14, 3, 2024));
        F_Kalender->okButton()->click();
    });
    EXPECT_TRUE(edit.showCalendar());
    EXPECT_TRUE(termine->isEditing());
    EXPECT_EQ(termine->field(u"Datum"_s).asDate(), d(14, 3, 2024));
    EXPECT_EQ(edit.text(), u"14.03.2024"_s);
    termine->post();
}

} // namespace
