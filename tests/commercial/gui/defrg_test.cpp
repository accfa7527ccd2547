#include "commercial/billing/rgtermine.h"
#include "commercial/gui/commercialmodules.h"
#include "commercial/gui/tf_defrg.h"
#include "commercial/gui/tf_rechint.h"
#include "core/moduleentries.h"
#include "masterdata/gui/tf_tableform.h"
#include "platform/widgets/datagrid.h"
#include "rgeditfixture.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>

using namespace Qt::StringLiterals;
using rgedittest::WhenModal;

namespace {

QDate d(int day, int month, int year = 2002) {
    return QDate(year, month, day);
}

// The calendar of an open editor, worked with the mouse as a user does.
struct Mouse {
    DefRgCalendar& calendar;

    QPoint at(const QDate& date) const {
        int row = 0, day = 0;
        EXPECT_TRUE(TDefRgModel::CellOfDate(date, row, day)) << date.toString().toStdString();
        return calendar.cellRect(row, day).center();
    }
    void send(QEvent::Type type, const QPoint& pos, Qt::MouseButton button, Qt::MouseButtons held,
              Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMouseEvent e(type, QPointF(pos), calendar.mapToGlobal(QPointF(pos)), button, held, mods);
        QApplication::sendEvent(&calendar, &e);
    }
    void click(const QDate& date) {
        send(QEvent::MouseButtonPress, at(date), Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, at(date), Qt::LeftButton, Qt::NoButton);
    }
    // Press on one day, move over the days between, release on the other.
    void drag(const QDate& from, const QDate& to) {
        send(QEvent::MouseButtonPress, at(from), Qt::LeftButton, Qt::LeftButton);
        const int step = from <= to ? 1 : -1;
        for (QDate day = from; day != to;) {
            day = day.addDays(step);
            send(QEvent::MouseMove, at(day), Qt::NoButton, Qt::LeftButton);
        }
        send(QEvent::MouseButtonRelease, at(to), Qt::LeftButton, Qt::NoButton);
    }
    void right(const QDate& date, bool shift = false) {
        const Qt::KeyboardModifiers mods = shift ? Qt::ShiftModifier : Qt::NoModifier;
        send(QEvent::MouseButtonPress, at(date), Qt::RightButton, Qt::RightButton, mods);
        send(QEvent::MouseButtonRelease, at(date), Qt::RightButton, Qt::NoButton, mods);
    }
};

// Definition 9 ("Test") without periods, beside definition 1 of the client.
class DefRgEditor : public rgedittest::RgEdit {
protected:
    void SetUp() override {
        RgEdit::SetUp();
        addRow(u"IvDefH.DB"_s, {{u"I_ID"_s, 9}, {u"I_DefNo"_s, 9}, {u"I_Comment"_s, u"Test"_s}});
    }
    // Opens the editor on definition 9, runs the script and leaves it with
    // the button of that name when it is still open.
    bool edit(std::function<void(TF_DefRg&, Mouse&)> script,
              const QString& leaveWith = u"btnOK"_s) {
        bool ran = false;
        WhenModal<TF_DefRg>([&](TF_DefRg& form) {
            ran = true;
            Mouse mouse{form.calendar()};
            script(form, mouse);
            if (form.isVisible())
                form.findChild<QPushButton*>(leaveWith)->click();
            if (form.isVisible())
                form.reject();
        });
        const bool saved = EditRgTermine(9, u"Test"_s);
        EXPECT_TRUE(ran);
        return saved;
    }
    void store(const QList<TRgPeriod>& periods, int defNo = 9) { SaveRgTermine(defNo, periods); }
    QList<TRgPeriod> stored(int defNo = 9) { return LoadRgTermine(defNo); }
};

TEST_F(DefRgEditor, TwelveMonthlyPeriodsCreatedOnThe25thSaveAsRowsOneToTwelve) {
    ASSERT_TRUE(edit([](TF_DefRg& form, Mouse& mouse) {
        // Drawn in an odd order: the numbers follow the service ranges.
        for (int month : {7, 1, 12, 4, 2, 9, 3, 11, 5, 10, 6, 8}) {
            const QDate first = d(1, month);
            const QDate last = first.addDays(first.daysInMonth() - 1);
            mouse.drag(first, last);
            mouse.right(last, true);
            mouse.right(d(25, month));
        }
        EXPECT_EQ(form.periodList().rowCount(), 12);
        EXPECT_EQ(form.periodList().item(0, 1)->text(), u"01.01.2002"_s);
        EXPECT_EQ(form.periodList().item(11, 4)->text(), u"25.12.2002"_s);
    }));
    const QList<TRgPeriod> periods = stored();
    ASSERT_EQ(periods.size(), 12);
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(periods[i].Nr, i + 1);
        EXPECT_EQ(periods[i].RangeStart, d(1, i + 1));
        EXPECT_EQ(periods[i].RangeEnd, d(1, i + 1).addMonths(1).addDays(-1));
        EXPECT_EQ(periods[i].BillDate, periods[i].RangeEnd);
        EXPECT_EQ(periods[i].CreateDate, d(25, i + 1));
    }
    EXPECT_EQ(stored(1).size(), 12) << "the other definition keeps its periods";
}

TEST_F(DefRgEditor, OneClickMakesAPeriodWithAllFourDatesOnThatDay) {
    ASSERT_TRUE(edit([](TF_DefRg& form, Mouse& mouse) {
        mouse.click(d(10, 6));
        EXPECT_EQ(form.model().Selected(), 1);
        EXPECT_EQ(form.periodList().selectedItems().value(0)->row(), 0);
    }));
    const QList<TRgPeriod> periods = stored();
    ASSERT_EQ(periods.size(), 1);
    for (const QDate& date :
         {periods[0].RangeStart, periods[0].RangeEnd, periods[0].BillDate, periods[0].CreateDate})
        EXPECT_EQ(date, d(10, 6));
}

TEST_F(DefRgEditor, ADayOf2002WhoseDayOf2003IsTakenMakesNoPeriodButNotTheOtherWayRound) {
    store({{1, d(5, 3, 2003), d(5, 3, 2003), d(5, 3, 2003), d(5, 3, 2003)}});
    edit([](TF_DefRg& form, Mouse& mouse) {
        mouse.click(d(5, 3));
        EXPECT_EQ(form.model().Count(), 1);
    });
    store({{1, d(5, 3), d(5, 3), d(5, 3), d(5, 3)}});
    edit([](TF_DefRg& form, Mouse& mouse) {
        mouse.click(d(5, 3, 2003));
        EXPECT_EQ(form.model().Count(), 2);
        EXPECT_EQ(form.periodList().rowCount(), 2);
    });
    EXPECT_EQ(stored().size(), 2);
}

TEST_F(DefRgEditor, AStartDraggedBackOverAnotherPeriodIsRefusedAnEndForwardIsTaken) {
    store(
        {{1, d(1, 2), d(10, 2), d(10, 2), d(10, 2)}, {2, d(20, 2), d(25, 2), d(25, 2), d(25, 2)}});
    ASSERT_TRUE(edit([](TF_DefRg& form, Mouse& mouse) {
        mouse.drag(d(20, 2), d(5, 2));
        EXPECT_EQ(form.model().Periods()[1].RangeStart, d(11, 2))
            << "it stops before the first period's days";
        mouse.drag(d(10, 2), d(22, 2));
        EXPECT_EQ(form.model().Periods()[0].RangeEnd, d(22, 2)) << "the end runs over";
    }));
    const QList<TRgPeriod> periods = stored();
    ASSERT_EQ(periods.size(), 2);
    EXPECT_EQ(periods[0].RangeEnd, d(22, 2));
    EXPECT_EQ(periods[1].RangeStart, d(11, 2));
}

TEST_F(DefRgEditor, DeletingTheOnlyPeriodAndOkEmptiesTheDefinition) {
    store({{1, d(1, 4), d(30, 4), d(30, 4), d(25, 4)}});
    ASSERT_TRUE(edit([](TF_DefRg& form, Mouse& mouse) {
        mouse.click(d(15, 4));
        form.findChild<QPushButton*>(u"btnDelete"_s)->click();
        EXPECT_EQ(form.periodList().rowCount(), 0);
        EXPECT_EQ(form.model().Selected(), 0);
    }));
    EXPECT_TRUE(stored().isEmpty());
}

TEST_F(DefRgEditor, AMissingDateKeepsTheWindowOpenWithItsLineAndCancelWritesNothing) {
    store({{1, d(1, 1), d(31, 1), d(31, 1), d(25, 1)}, {2, d(1, 2), d(28, 2), QDate(), d(25, 2)}});
    bool stayed = false;
    EXPECT_FALSE(edit(
        [&](TF_DefRg& form, Mouse& mouse) {
            mouse.click(d(3, 3));
            form.findChild<QPushButton*>(u"btnOK"_s)->click();
            stayed = form.isVisible();
        },
        u"btnCancel"_s));
    EXPECT_TRUE(stayed);
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error),
              QStringList{u"Fehler in Zeile 2: Rechnungsdatum nicht definiert"_s});
    EXPECT_EQ(stored().size(), 2) << "nothing written";
}

TEST_F(DefRgEditor, DeletingEverythingAsksFirst) {
    store({{1, d(1, 1), d(31, 1), d(31, 1), d(25, 1)}});
    presenter.answers = {false, true};
    ASSERT_TRUE(edit([](TF_DefRg& form, Mouse&) {
        form.findChild<QPushButton*>(u"btnDeleteAll"_s)->click();
        EXPECT_EQ(form.model().Count(), 1);
        form.findChild<QPushButton*>(u"btnDeleteAll"_s)->click();
        EXPECT_EQ(form.model().Count(), 0);
    }));
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Question),
              (QStringList{u"Gesamte Tabelle löschen?"_s, u"Gesamte Tabelle löschen?"_s}));
    EXPECT_TRUE(stored().isEmpty());
}

TEST_F(DefRgEditor, TheCalendarShowsMonthsDaysAndMarks) {
    store({{1, d(1, 1), d(31, 1), d(31, 1), d(25, 1)}});
    edit([](TF_DefRg& form, Mouse&) {
        EXPECT_TRUE(form.windowTitle() == u"Rechnungstermine festlegen  [Test]"_s);
        const TDefRgModel::Cell created = form.model().CellAt(1, 25);
        EXPECT_EQ(created.text(), u"E"_s);
        EXPECT_EQ(form.model().CellAt(2, 30).missing, true);
        EXPECT_TRUE(form.help().text().contains(u"Erstelldatum markieren"_s));
        const QImage shot = form.calendar().grab().toImage();
        const QRect missing = form.calendar().cellRect(2, 30);
        EXPECT_EQ(shot.pixelColor(missing.center() + QPoint(-3, -3)), QColor(238, 238, 238));
    });
}

// The list of definitions, reached as the menu reaches it.
class RechintList : public DefRgEditor {};

TEST_F(RechintList, EditOpensTheCalendarOfTheCurrentDefinition) {
    ModuleDispatcher dispatcher;
    RegisterCommercialModules(dispatcher);
    ASSERT_TRUE(dispatcher.isAvailable(u"ShowRechintForm"_s));
    QString caption;
    WhenModal<TF_TableForm>([&](TF_TableForm& form) {
        EXPECT_EQ(form.windowTitle(), u"Rechnungsintervalle"_s);
        EXPECT_NE(form.button(u"&Schließen"_s), nullptr);
        EXPECT_NE(form.button(u"Dr&uck"_s), nullptr);
        EXPECT_NE(form.button(u"Vorsc&hau"_s), nullptr);
        ASSERT_TRUE(form.table().locate({u"I_DefNo"_s}, {9}));
        WhenModal<TF_DefRg>([&](TF_DefRg& editor) {
            caption = editor.windowTitle();
            Mouse{editor.calendar()}.click(d(2, 2));
            editor.findChild<QPushButton*>(u"btnOK"_s)->click();
        });
        form.button(u"Bearbeiten"_s)->click();
        form.button(u"&Schließen"_s)->click();
    });
    EXPECT_EQ(dispatcher.run(u"ShowRechintForm"_s), ModuleDispatcher::Outcome::Opened);
    EXPECT_EQ(caption, u"Rechnungstermine festlegen  [Test]"_s);
    EXPECT_EQ(stored().size(), 1);
    EXPECT_FALSE(dm->TabDefYearH().isOpen()) << "closed with the form";
}

} // namespace
