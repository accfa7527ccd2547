#include "commercial/documents/deliverynoteentries.h"
#include "core/values/calendar.h"
#include "operations/dailylistfixture.h"
#include "operations/gui/tf_editmontour.h"
#include "platform/table/table.h"

#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

// A month two months back (no today column): tour 1 has lists on the 3rd
// (object 10 with activity 1) and on the 5th (object 10 with activity 2).
class MonTourForm : public operationstest::Generation {
protected:
    void SetUp() override {
        Generation::SetUp();
        m_savedEntries = DeliveryNoteEntriesRegistry();
        DeliveryNoteEntriesRegistry() = {};
        month = QDate(today.year(), today.month(), 1).addMonths(-2);
        addActiveObject(10, 100, u"Haus A"_s);
        for (int nr = 1; nr <= 2; ++nr)
            addTaetigkeit(nr, u"Arbeit %1"_s.arg(nr));
        addDailyTour(1, 1, month.addDays(2));
        addDailyTour(2, 1, month.addDays(4));
        addDailyObject(1, 1, 10);
        addDailyObject(2, 2, 10);
        addActivity(1, 1, 10, 0, 1);
        addActivity(2, 2, 10, 0, 2);
    }
    void TearDown() override {
        DeliveryNoteEntriesRegistry() = m_savedEntries;
        Generation::TearDown();
    }
    QDate month;

private:
    DeliveryNoteEntries m_savedEntries;
};

TEST_F(MonTourForm, AMonthWithoutListsShowsNoWindow) {
    ShowMonTourForm(month.addMonths(-1));
    EXPECT_EQ(presenter.texts(Kind::Error), QStringList{u"Keine Tageslisten gefunden!"_s});
}

TEST_F(MonTourForm, TheMonthOpensWithItsCaptionAndGrids) {
    TF_EditMonTour form;
    ASSERT_TRUE(form.openMonth(month));
    EXPECT_EQ(form.windowTitle(),
              u"Tourenübersicht für "_s + GetMonthName(month.month()) + u' ' +
                  QString::number(month.year()));
    EXPECT_FALSE(form.backButton().isEnabled());
    EXPECT_FALSE(form.forwardButton().isEnabled());
    QTableWidget& tours = form.grid(MonthGrid::Tours);
    EXPECT_EQ(tours.columnCount(), month.daysInMonth() + 1);
    EXPECT_EQ(tours.item(1, 0)->text(), u"1:"_s);
    EXPECT_EQ(tours.item(1, 3)->text(), u"1"_s);
    EXPECT_EQ(form.grid(MonthGrid::Objects).item(1, 3)->text(), u"0:01"_s);
    EXPECT_EQ(form.grid(MonthGrid::Activities).item(1, 3)->text(), u"O"_s);
    EXPECT_FALSE(form.deliveryNoteButton().isEnabled());
    EXPECT_FALSE(form.deliveryNoteButton().toolTip().isEmpty()) << "not installed";
}

TEST_F(MonTourForm, TheDeliveryNoteOfAnObjectsDayGoesThroughTheInstalledEditor) {
    QList<QVariantList> calls;
    DeliveryNoteEntriesRegistry().editLieferschein = [&](const QString& nr, int objektNr,
                                                         bool autoInvoice, int lsTyp, int creator) {
        calls.append({nr, objektNr, autoInvoice, lsTyp, creator});
        return 55;
    };
    TF_EditMonTour form;
    ASSERT_TRUE(form.openMonth(month));
    form.clickCell(MonthGrid::Tours, 1, 3);
    EXPECT_FALSE(form.deliveryNoteButton().isEnabled());
    form.clickCell(MonthGrid::Objects, 1, 5);
    ASSERT_TRUE(form.deliveryNoteButton().isEnabled());
    form.deliveryNoteButton().click();
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0], (QVariantList{QString(), 10, true, kLsTypTageslisten, 2}));
    EXPECT_EQ(open(u"TglObj.DB"_s)->lookup({u"A_TOID"_s}, {2}, u"A_LsID"_s).toInt(), 55);
}

TEST_F(MonTourForm, AnActivityPickedUpMovesToTheTourDayItIsDroppedOn) {
    TF_EditMonTour form;
    ASSERT_TRUE(form.openMonth(month));
    form.rightClickCell(MonthGrid::Activities, 1, 3);
    ASSERT_TRUE(form.picking());
    form.rightClickCell(MonthGrid::Objects, 1, 5);
    EXPECT_FALSE(form.picking());
    EXPECT_EQ(presenter.texts(Kind::Error), QStringList{u"Ungültige Auswahl!"_s});
    form.rightClickCell(MonthGrid::Activities, 1, 3);
    form.rightClickCell(MonthGrid::Tours, 1, 5);
    EXPECT_FALSE(form.picking());
    QList<int> tourIds;
    for (const QVariantMap& a : rows(u"TglTaet.DB"_s))
        tourIds.append(a.value("A_TourID").toInt());
    EXPECT_EQ(tourIds, (QList<int>{2, 2}));
    EXPECT_EQ(count(u"TglObj.DB"_s), 1) << "the emptied object row went";
    EXPECT_EQ(form.grid(MonthGrid::Tours).item(1, 3)->text(), u"1"_s) << "the list stays";
}

} // namespace
