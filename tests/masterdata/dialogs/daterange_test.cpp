#include "core/framefixture.h"
#include "core/gui/modaldriver.h"
#include "core/values/datetext.h"
#include "masterdata/dialogs/daterangecheck.h"
#include "masterdata/dialogs/daterangeselection.h"
#include "masterdata/dialogs/tf_daterange.h"
#include "masterdata/dialogs/tf_daterangedlg.h"
#include "masterdata/dialogs/tf_seldaterange.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TDateTime date(int day, int month, int year) {
    return DateTimeOfDate(QDate(year, month, day));
}

TEST(DateRangeCheck, TextsAreCheckedStartThenEndThenTheirOrder) {
    const QString order = u"Das Enddatum darf nicht kleiner sein als das Anfangsdatum!"_s;
    const struct {
        QString from, to, refusal;
    } cases[] = {
        {u"01.02.2024"_s, u"29.02.2024"_s, {}},
        {u"1.2.2024"_s, u"1.2.2024"_s, {}},
        {u"01.02.2024"_s, u"31.02.2024"_s, u"\"31.02.2024\" ist kein gültiges Datum!"_s},
        {u"morgen"_s, u"31.02.2024"_s, u"\"morgen\" ist kein gültiges Datum!"_s},
        {u"1.2.24"_s, u"1.3.2024"_s, u"\"1.2.24\" ist kein gültiges Datum!"_s},
        {QString(), u"1.3.2024"_s, u"\"\" ist kein gültiges Datum!"_s},
        {u"02.02.2024"_s, u"01.02.2024"_s, order},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DateRangeRefusal(c.from, c.to), c.refusal) << c.from.toStdString();
    EXPECT_EQ(LimitDateRefusal(u"30.4.2024"_s), QString());
    EXPECT_EQ(LimitDateRefusal(u"31.4.2024"_s), u"\"31.4.2024\" ist kein gültiges Datum!"_s);
    EXPECT_EQ(EndAfterTypedStart(u"05.03.2024"_s, date(1, 3, 2024)), date(5, 3, 2024));
    EXPECT_EQ(EndAfterTypedStart(u"05.02.2024"_s, date(1, 3, 2024)), date(1, 3, 2024));
    EXPECT_EQ(EndAfterTypedStart(u"05.0"_s, date(1, 3, 2024)), date(1, 3, 2024));
}

class DateDialogTest : public ::testing::Test {
protected:
    void SetUp() override { previous = SetMessagePresenter(&presenter); }
    void TearDown() override { SetMessagePresenter(previous); }
    frametest::RecordingPresenter presenter;
    MessagePresenter* previous = nullptr;
};

TEST_F(DateDialogTest, RangeDialogMovesTheEndAlongAndRefusesAWrongOrder) {
    TDateTime from = date(1, 3, 2024);
    TDateTime to = date(10, 3, 2024);
    WhenModalShown([this](QWidget* w) {
        auto& dlg = *qobject_cast<TF_DateRangeDlg*>(w);
        EXPECT_EQ(dlg.editBisDatum()->text(), u"10.03.2024"_s);
        dlg.editVonDatum()->setText(u"15.03.2024"_s);
        EXPECT_EQ(dlg.editBisDatum()->text(), u"15.03.2024"_s);
        dlg.editBisDatum()->setText(u"14.03.2024"_s);
        dlg.okButton()->click();
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(presenter.boxes.last().text,
                  u"Das Enddatum darf nicht kleiner sein als das Anfangsdatum!"_s);
        dlg.editBisDatum()->setText(u"31.02.2024"_s);
        dlg.okButton()->click();
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(dlg.editBisDatum()->text(), u"31.02.2024"_s); // as typed
        EXPECT_EQ(presenter.boxes.last().text, u"\"31.02.2024\" ist kein gültiges Datum!"_s);
        dlg.editBisDatum()->setText(u"20.3.2024"_s);
        dlg.okButton()->click();
    });
    EXPECT_TRUE(EnterDateRange(from, to, 10, 10, u"Zeitraum der Auswertung"_s));
    EXPECT_EQ(from, date(15, 3, 2024));
    EXPECT_EQ(to, date(20, 3, 2024));
    EXPECT_EQ(presenter.boxes.size(), 2);

    WhenModalShown([](QWidget* w) {
        auto& dlg = *qobject_cast<TF_DateRangeDlg*>(w);
        dlg.editVonDatum()->setText(u"kein Datum"_s);
        dlg.cancelButton()->click();
    });
    EXPECT_FALSE(EnterDateRange(from, to, 10, 10, {}));
    EXPECT_EQ(from, date(15, 3, 2024));
    EXPECT_EQ(presenter.boxes.size(), 2); // cancel closes without checks
}

TEST_F(DateDialogTest, LimitDialogTakesTheTypedDateAndHidesAMissingInfo) {
    TDateTime limit = date(31, 1, 2024);
    WhenModalShown([this](QWidget* w) {
        auto& dlg = *qobject_cast<TF_DateRange*>(w);
        EXPECT_EQ(dlg.pos(), QPoint(40, 50));
        EXPECT_EQ(dlg.edit1()->text(), u"15.01.2024"_s);
        EXPECT_EQ(dlg.lbDoneDatum()->text(), u"Erledigt bis"_s);
        dlg.editBisDatum()->setText(u"30.02.2024"_s);
        dlg.okButton()->click();
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(presenter.boxes.last().text, u"\"30.02.2024\" ist kein gültiges Datum!"_s);
        dlg.editBisDatum()->setText(u"29.02.2024"_s);
        dlg.okButton()->click();
    });
    EXPECT_TRUE(
        EnterLimitDate(limit, 40, 50, date(15, 1, 2024), u"Abrechnen bis"_s, u"Erledigt bis"_s));
    EXPECT_EQ(limit, date(29, 2, 2024));

    WhenModalShown([](QWidget* w) {
        auto& dlg = *qobject_cast<TF_DateRange*>(w);
        EXPECT_FALSE(dlg.edit1()->isVisible());
        EXPECT_FALSE(dlg.lbDoneDatum()->isVisible());
        dlg.reject();
    });
    EXPECT_FALSE(EnterLimitDate(limit, 0, 0, EmptyDate, u"Abrechnen bis"_s, u"x"_s));
    EXPECT_EQ(limit, date(29, 2, 2024));
}

TEST(DateRangeSelection, TheFirstRowIsTheMonthBeforeTheStart) {
    DateRangeSelection january(date(10, 1, 2024), date(20, 1, 2024));
    EXPECT_EQ(january.baseYear(), 2023);
    EXPECT_EQ(january.baseMonth(), 12);
    EXPECT_EQ(january.cellText(1, 0), u"Dezember"_s);
    EXPECT_EQ(january.cellText(2, 0), u"Januar"_s);
    EXPECT_EQ(january.cellText(0, 1), u"01"_s);
    EXPECT_EQ(january.cellText(0, 31), u"31"_s);
    EXPECT_EQ(january.cellDate(2, 10), date(10, 1, 2024));
    EXPECT_EQ(january.cellText(2, 10), u"*"_s);
    EXPECT_EQ(january.cellText(2, 9), QString());
    EXPECT_EQ(january.cellDate(12, 30), date(30, 11, 2024));
    EXPECT_FALSE(january.cellDate(3, 30)); // February 2024 has 29 days
    EXPECT_TRUE(january.cellDate(3, 29));
    EXPECT_FALSE(january.cellDate(0, 5));
    EXPECT_FALSE(january.cellDate(3, 0));
}

TEST(DateRangeSelection, ADoubleClickMovesTheNearerEnd) {
    const struct {
        const char* name;
        int day; // in March 2024, row 2
        TDateTime start, end;
    } cases[] = {
        {"the start day: one day", 1, date(1, 3, 2024), date(1, 3, 2024)},
        {"the end day: one day", 21, date(21, 3, 2024), date(21, 3, 2024)},
        {"beyond the midpoint moves the end", 12, date(1, 3, 2024), date(12, 3, 2024)},
        {"on the midpoint moves the start", 11, date(11, 3, 2024), date(21, 3, 2024)},
        {"after the end moves the end", 30, date(1, 3, 2024), date(30, 3, 2024)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DateRangeSelection s(date(1, 3, 2024), date(21, 3, 2024));
        EXPECT_TRUE(s.pick(2, c.day));
        EXPECT_EQ(s.start(), c.start);
        EXPECT_EQ(s.end(), c.end);
    }
    DateRangeSelection s(date(1, 3, 2024), date(21, 3, 2024));
    EXPECT_FALSE(s.pick(0, 5));  // caption
    EXPECT_FALSE(s.pick(1, 30)); // 30 February
    EXPECT_EQ(s.end(), date(21, 3, 2024));
    EXPECT_TRUE(s.pick(2, 1));
    EXPECT_TRUE(s.pick(2, 1)); // the start twice stays one day
    EXPECT_EQ(s.days(), 1);
}

TEST(DateRangeSelection, DaysAreCountedInclusiveAndMoreThan31AreTooMany) {
    DateRangeSelection s(date(1, 3, 2024), date(31, 3, 2024));
    EXPECT_EQ(s.daysText(), u" 31 Tage"_s);
    EXPECT_FALSE(s.tooLong());
    DateRangeSelection forty(date(1, 3, 2024), date(9, 4, 2024));
    EXPECT_EQ(forty.daysText(), u" 40 Tage"_s);
    EXPECT_TRUE(forty.tooLong());
}

TEST(SelDateRange, DoubleClicksChangeTheRangeAndTheFieldsBelow) {
    TDateTime start = date(1, 3, 2024);
    TDateTime end = date(10, 3, 2024);
    WhenModalShown([](QWidget* w) {
        auto& form = *qobject_cast<TF_SelDateRange*>(w);
        EXPECT_EQ(form.windowTitle(), u"Datumsbereich wählen"_s);
        EXPECT_EQ(form.edDays()->text(), u" 10 Tage"_s);
        const QColor plain = form.edDays()->palette().color(QPalette::Base);
        form.gridDblClick(3, 9); // 9 April: beyond the midpoint
        EXPECT_EQ(form.edEnd()->text(), u"09.04.2024"_s);
        EXPECT_EQ(form.edDays()->text(), u" 40 Tage"_s);
        EXPECT_EQ(form.edDays()->palette().color(QPalette::Base), QColor(Qt::red));
        form.gridDblClick(2, 20); // 20 March: before the midpoint
        EXPECT_EQ(form.edStart()->text(), u"20.03.2024"_s);
        EXPECT_EQ(form.edDays()->palette().color(QPalette::Base), plain);
        form.okButton()->click();
    });
    EXPECT_TRUE(PickDateRange(start, end));
    EXPECT_EQ(start, date(20, 3, 2024));
    EXPECT_EQ(end, date(9, 4, 2024));
    WhenModalShown([](QWidget* w) {
        qobject_cast<TF_SelDateRange*>(w)->gridDblClick(2, 25);
        w->close();
    });
    EXPECT_FALSE(PickDateRange(start, end));
    EXPECT_EQ(start, date(20, 3, 2024));
}

} // namespace
