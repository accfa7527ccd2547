#include "commercial/billing/defrgmodel.h"
#include "commercial/billing/rgtermine.h"
#include "core/data/recordrulesfixture.h"
#include "core/framefixture.h"
#include "core/values/rangeerrors.h"

#include <gtest/gtest.h>

namespace {

QDate d(int day, int month, int year = 2002) {
    return QDate(year, month, day);
}

// The cell of a date of the calendar.
struct At {
    int row = 0;
    int day = 0;
    explicit At(const QDate& date) { EXPECT_TRUE(TDefRgModel::CellOfDate(date, row, day)); }
};

TRgPeriod period(const QDate& start, const QDate& end, int nr = 1) {
    return {nr, start, end, end, end};
}

// A month of 2002 as a period created on the 25th.
TRgPeriod month(int m) {
    const QDate start = d(1, m);
    const QDate end = start.addDays(start.daysInMonth() - 1);
    return {99, start, end, end, d(25, m)};
}

QList<QDate> starts(const TDefRgModel& model) {
    QList<QDate> result;
    for (const TRgPeriod& p : model.Periods())
        result.append(p.RangeStart);
    return result;
}

TEST(DefRgModel, LoadingSortsByStartRenumbersAndSwapsReversedRanges) {
    TDefRgModel model;
    TRgPeriod reversed = period(d(20, 3), d(10, 3), 7);
    TRgPeriod sameStartFirst = period(d(1, 2), d(5, 2), 1);
    sameStartFirst.BillDate = d(3, 2);
    TRgPeriod sameStartSecond = period(d(1, 2), d(9, 2), 1);
    model.Load({reversed, sameStartFirst, period(d(1, 1), d(31, 1), 3), sameStartSecond});
    EXPECT_EQ(starts(model), (QList<QDate>{d(1, 1), d(1, 2), d(1, 2), d(10, 3)}));
    EXPECT_EQ(model.Periods()[1].BillDate, d(3, 2)) << "equal starts keep their order";
    EXPECT_EQ(model.Periods()[3].RangeEnd, d(20, 3));
    for (int i = 0; i < model.Count(); ++i)
        EXPECT_EQ(model.Periods()[i].Nr, i + 1);
    EXPECT_EQ(model.Selected(), 0);
}

TEST(DefRgModel, MoreThanTheLimitOfPeriodsAbortsTheOpening) {
    TDefRgModel model;
    QList<TRgPeriod> periods;
    for (int i = 0; i <= TDefRgModel::MaxPeriods; ++i)
        periods.append(period(d(1, 1).addDays(i), d(1, 1).addDays(i)));
    EXPECT_THROW(model.Load(periods), DbError);
    periods.removeLast();
    model.Load(periods);
    EXPECT_EQ(model.Count(), TDefRgModel::MaxPeriods);
}

TEST(DefRgModel, CellsShowDaysNumbersMarksPaletteAndSelection) {
    TDefRgModel model;
    QList<TRgPeriod> periods;
    for (int m = 1; m <= 12; ++m)
        periods.append(month(m));
    periods.append(period(d(1, 1, 2003), d(31, 1, 2003)));
    model.Load(periods);
    model.Select(2);

    EXPECT_EQ(TDefRgModel::DateOfCell(1, 1), d(1, 1));
    EXPECT_EQ(TDefRgModel::DateOfCell(14, 28), d(28, 2, 2003));
    EXPECT_FALSE(TDefRgModel::DateOfCell(2, 29).isValid());
    EXPECT_FALSE(TDefRgModel::DateOfCell(25, 1).isValid());
    EXPECT_TRUE(model.CellAt(2, 30).missing);
    EXPECT_TRUE(model.CellAt(16, 31).missing) << "April 2003 has 30 days";

    const TDefRgModel::Cell march = model.CellAt(At(d(10, 3)).row, At(d(10, 3)).day);
    EXPECT_EQ(march.nr, 3);
    EXPECT_EQ(march.palette, 3);
    EXPECT_EQ(march.text(), QStringLiteral(" 3"));
    EXPECT_FALSE(march.selected);
    EXPECT_TRUE(model.CellAt(2, 10).selected);
    EXPECT_EQ(model.CellAt(At(d(25, 3)).row, 25).text(), QStringLiteral("E"));
    EXPECT_EQ(model.CellAt(At(d(31, 3)).row, 31).text(), QStringLiteral("R"));
    const TDefRgModel::Cell thirteenth = model.CellAt(13, 5);
    EXPECT_EQ(thirteenth.text(), QStringLiteral("13"));
    EXPECT_EQ(thirteenth.palette, 1) << "the palette starts again after twelve";
    EXPECT_EQ(model.CellAt(14, 5).period, 0);
    EXPECT_EQ(model.CellAt(14, 5).text(), QString());
    EXPECT_EQ(model.ListRow(3),
              (QStringList{QStringLiteral("3"), QStringLiteral("01.03.2002"),
                           QStringLiteral("31.03.2002"), QStringLiteral("31.03.2002"),
                           QStringLiteral("25.03.2002")}));
}

TEST(DefRgModel, ClickOnAFreeDayMakesAOneDayPeriodThatPassesTheCheck) {
    frametest::RecordingPresenter presenter;
    MessagePresenter* previous = SetMessagePresenter(&presenter);
    TDefRgModel model;
    model.Load({period(d(1, 6), d(30, 6))});
    const At click(d(14, 2));
    ASSERT_TRUE(model.PressLeft(click.row, click.day));
    EXPECT_TRUE(model.Dragging());
    ASSERT_EQ(model.Count(), 2);
    EXPECT_EQ(model.Selected(), 1) << "sorted before the June period";
    const TRgPeriod& p = model.Periods()[0];
    EXPECT_EQ(p.Nr, 1);
    EXPECT_EQ(p.RangeStart, d(14, 2));
    EXPECT_EQ(p.RangeEnd, d(14, 2));
    EXPECT_EQ(p.BillDate, d(14, 2));
    EXPECT_EQ(p.CreateDate, d(14, 2));
    EXPECT_TRUE(model.CheckOk());
    EXPECT_TRUE(presenter.boxes.isEmpty());
    model.Release();
    EXPECT_FALSE(model.Dragging());
    EXPECT_FALSE(model.PressLeft(2, 30)) << "a day February lacks";
    EXPECT_EQ(model.Count(), 2);
    SetMessagePresenter(previous);
}

TEST(DefRgModel, NewPeriodsRespectTheLimitAndTheSameDayOfTheSecondYear) {
    TDefRgModel model;
    model.Load({period(d(5, 3, 2003), d(5, 3, 2003))});
    EXPECT_FALSE(model.PressLeft(At(d(5, 3)).row, 5)) << "05.03.2003 is taken";
    EXPECT_EQ(model.Count(), 1);

    model.Load({period(d(5, 3), d(5, 3))});
    EXPECT_TRUE(model.PressLeft(At(d(5, 3, 2003)).row, 5)) << "the first year does not block";
    EXPECT_EQ(model.Count(), 2);
    EXPECT_EQ(model.Selected(), 2);

    QList<TRgPeriod> full;
    for (int i = 0; i < TDefRgModel::MaxPeriods; ++i)
        full.append(period(d(1, 1).addDays(i), d(1, 1).addDays(i)));
    model.Load(full);
    EXPECT_FALSE(model.PressLeft(At(d(1, 12)).row, 1));
    EXPECT_EQ(model.Count(), TDefRgModel::MaxPeriods);
    EXPECT_TRUE(model.PressLeft(1, 1)) << "a period's cell is still selected";
    EXPECT_EQ(model.Selected(), 1);
}

TEST(DefRgModel, DraggingMovesStartAndEndWithinFreeDays) {
    TDefRgModel model;
    model.Load({period(d(1, 4), d(10, 4)), period(d(15, 4), d(20, 4))});
    auto drag = [&model](const QDate& x) {
        const At at(x);
        return model.DragTo(at.row, at.day);
    };
    EXPECT_FALSE(drag(d(12, 4))) << "no drag before a press";
    ASSERT_TRUE(model.PressLeft(At(d(17, 4)).row, 17));
    EXPECT_EQ(model.Selected(), 2);

    EXPECT_FALSE(drag(d(5, 4))) << "the start backwards over another period";
    EXPECT_EQ(model.Periods()[1].RangeStart, d(15, 4));
    EXPECT_TRUE(drag(d(12, 4))) << "the start backwards over free days";
    EXPECT_EQ(model.Periods()[1].RangeStart, d(12, 4));
    EXPECT_TRUE(drag(d(16, 4))) << "the end pulled back inside the period";
    EXPECT_EQ(model.Periods()[1].RangeEnd, d(16, 4));
    EXPECT_TRUE(drag(d(12, 4)));
    EXPECT_EQ(model.Periods()[1].RangeStart, d(12, 4));
    EXPECT_EQ(model.Periods()[1].RangeEnd, d(16, 4)) << "the start's own day changes nothing";
    model.Release();

    ASSERT_TRUE(model.PressLeft(At(d(3, 4)).row, 3));
    EXPECT_EQ(model.Selected(), 1);
    EXPECT_TRUE(drag(d(14, 4))) << "the end forwards over another period";
    EXPECT_EQ(model.Periods()[0].RangeEnd, d(14, 4));
    EXPECT_EQ(model.Periods()[1].RangeStart, d(12, 4)) << "the two ranges now overlap";
    EXPECT_TRUE(model.CellAt(At(d(13, 4)).row, 13).period == 2)
        << "the later period is drawn over the earlier";
    model.Release();
    EXPECT_FALSE(drag(d(30, 4))) << "the release ended the drag";
}

TEST(DefRgModel, DraggingInTheSecondYearLooksAtItsOwnDays) {
    TDefRgModel model;
    model.Load({period(d(1, 1), d(31, 1)), period(d(10, 1, 2003), d(20, 1, 2003))});
    ASSERT_TRUE(model.PressLeft(At(d(15, 1, 2003)).row, 15));
    const At x(d(2, 1, 2003));
    EXPECT_TRUE(model.DragTo(x.row, x.day)) << "January 2002 does not block January 2003";
    EXPECT_EQ(model.Periods()[1].RangeStart, d(2, 1, 2003));
}

TEST(DefRgModel, RightButtonSetsInvoiceOrCreationDateOfTheSelection) {
    TDefRgModel model;
    model.Load({period(d(1, 5), d(31, 5))});
    const At may28(d(28, 5));
    EXPECT_FALSE(model.PressRight(may28.row, may28.day, false)) << "nothing selected";
    model.Select(1);
    EXPECT_TRUE(model.PressRight(may28.row, may28.day, false));
    EXPECT_EQ(model.Periods()[0].CreateDate, d(28, 5));
    const At june2(d(2, 6));
    EXPECT_TRUE(model.PressRight(june2.row, june2.day, true));
    EXPECT_EQ(model.Periods()[0].BillDate, d(2, 6));
    EXPECT_EQ(model.CellAt(june2.row, june2.day).text(), QStringLiteral("R"));
    EXPECT_EQ(model.Periods()[0].CreateDate, d(28, 5));
    EXPECT_FALSE(model.PressRight(2, 30, true));
}

TEST(DefRgModel, DeletingRenumbersAndKeepsASelection) {
    frametest::RecordingPresenter presenter;
    MessagePresenter* previous = SetMessagePresenter(&presenter);
    TDefRgModel model;
    model.Load({month(1), month(2), month(3)});
    model.Select(2);
    model.DeleteSelected();
    EXPECT_EQ(starts(model), (QList<QDate>{d(1, 1), d(1, 3)}));
    EXPECT_EQ(model.Periods()[1].Nr, 2);
    EXPECT_EQ(model.Selected(), 2);
    model.DeleteSelected();
    EXPECT_EQ(model.Selected(), 1) << "beyond the last: the last one";
    model.DeleteSelected();
    EXPECT_EQ(model.Count(), 0);
    EXPECT_EQ(model.Selected(), 0);
    model.DeleteSelected();

    model.Load({month(1), month(2)});
    presenter.answers = {false};
    EXPECT_FALSE(model.DeleteAllAsked());
    EXPECT_EQ(model.Count(), 2);
    presenter.answers = {true};
    EXPECT_TRUE(model.DeleteAllAsked());
    EXPECT_EQ(model.Count(), 0);
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Question),
              (QStringList{QStringLiteral("Gesamte Tabelle löschen?"),
                           QStringLiteral("Gesamte Tabelle löschen?")}));
    SetMessagePresenter(previous);
}

TEST(DefRgModel, OkNamesTheFirstGapInListOrder) {
    struct Case {
        const char* name;
        TRgPeriod second;
        QString expected;
    };
    const QDate none;
    const Case cases[] = {
        {"complete", {2, d(1, 2), d(28, 2), d(28, 2), d(25, 2)}, QString()},
        {"start",
         {2, none, d(28, 2), none, none},
         QStringLiteral("Fehler in Zeile 1: Bereichsanfang nicht definiert")},
        {"end",
         {2, d(1, 2), none, none, none},
         QStringLiteral("Fehler in Zeile 1: Bereichsanfang nicht definiert")},
        {"invoice date",
         {2, d(1, 2), d(28, 2), none, none},
         QStringLiteral("Fehler in Zeile 2: Rechnungsdatum nicht definiert")},
        {"creation date",
         {2, d(1, 2), d(28, 2), d(28, 2), none},
         QStringLiteral("Fehler in Zeile 2: Erstelldatum nicht definiert")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frametest::RecordingPresenter presenter;
        MessagePresenter* previous = SetMessagePresenter(&presenter);
        TDefRgModel model;
        model.Load({month(1), c.second});
        EXPECT_EQ(model.CompletenessError(), c.expected);
        EXPECT_EQ(model.CheckOk(), c.expected.isEmpty());
        EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error),
                  c.expected.isEmpty() ? QStringList() : QStringList{c.expected});
        SetMessagePresenter(previous);
    }
    TDefRgModel model;
    model.Load({{1, d(1, 2), none, d(1, 2), d(1, 2)}, month(3)});
    EXPECT_EQ(model.CompletenessError(),
              QStringLiteral("Fehler in Zeile 1: Bereichsanfang nicht definiert"))
        << "a range without end is swapped into one without start";
}

TEST(DefRgModel, DragNeedsThreePixels) {
    EXPECT_FALSE(TDefRgModel::IsDragMove(2, -2));
    EXPECT_TRUE(TDefRgModel::IsDragMove(3, 0));
    EXPECT_TRUE(TDefRgModel::IsDragMove(0, -3));
}

class RgTermineStore : public datatest::RecordRules {};

TEST_F(RgTermineStore, SavingReplacesTheDefinitionsPeriodsInRangeOrder) {
    const QList<TRgPeriod> before = LoadRgTermine(1);
    ASSERT_EQ(before.size(), 12) << "the default monthly definition";
    const int otherRows = LoadRgTermine(2).size();

    TDefRgModel model;
    QList<TRgPeriod> twelve;
    for (int m = 12; m >= 1; --m)
        twelve.append(month(m));
    model.Load(twelve);
    ASSERT_TRUE(model.CheckOk());
    SaveRgTermine(7, model.Periods());

    const QList<TRgPeriod> stored = LoadRgTermine(7);
    ASSERT_EQ(stored.size(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(stored[i].Nr, i + 1);
        EXPECT_EQ(stored[i].RangeStart, d(1, i + 1));
        EXPECT_EQ(stored[i].CreateDate, d(25, i + 1));
    }
    model.Select(1);
    model.DeleteSelected();
    SaveRgTermine(7, model.Periods());
    EXPECT_EQ(LoadRgTermine(7).size(), 11);
    SaveRgTermine(7, {});
    EXPECT_TRUE(LoadRgTermine(7).isEmpty());
    EXPECT_EQ(LoadRgTermine(1).size(), 12);
    EXPECT_EQ(LoadRgTermine(2).size(), otherRows);
}

TEST_F(RgTermineStore, NullsReadAsNumberOneAndUnsetDates) {
    addRow(QStringLiteral("IvDef.DB"), {{QStringLiteral("ID"), 900},
                                        {QStringLiteral("Def"), 9},
                                        {QStringLiteral("RangeStart"), d(1, 4)}});
    const QList<TRgPeriod> stored = LoadRgTermine(9);
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0].Nr, 1);
    EXPECT_EQ(stored[0].RangeStart, d(1, 4));
    EXPECT_FALSE(stored[0].RangeEnd.isValid());
    EXPECT_FALSE(stored[0].CreateDate.isValid());
}

TEST_F(RgTermineStore, AFailedSaveLeavesTheStoredPeriods) {
    datatest::HeldElsewhere held(QStringLiteral("IvDef.DB"), QStringLiteral("ID"), 12);
    TDefRgModel model;
    model.Load({month(1)});
    EXPECT_ANY_THROW(SaveRgTermine(1, model.Periods()));
    EXPECT_EQ(LoadRgTermine(1).size(), 12);
}

} // namespace
