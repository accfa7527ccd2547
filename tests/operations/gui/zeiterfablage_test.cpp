#include "core/data/datamodule.h"
#include "core/gui/modaldriver.h"
#include "operations/gui/tf_zeiterf1.h"
#include "operations/gui/zeitsumpanel.h"
#include "platform/table/table.h"
#include "zeiterfarchivefixture.h"

#include <QDateEdit>
#include <QPushButton>
#include <utility>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

using operationstest::ZeiterfArchiveForms;

TEST_F(ZeiterfArchiveForms, TheArchiveBrowserShowsArchivedDaysWithTheClientsMonthlySums) {
    ASSERT_TRUE(dispatcher.isAvailable(u"ShowZeiterfAblageForm"_s));
    EXPECT_EQ(dispatcher.run(u"ShowZeiterfAblageForm"_s), ModuleDispatcher::Outcome::Opened);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Es sind keine Arbeitszeitdaten in der Datenablage vorhanden!"_s});

    // The client's monthly sums of employee 7, and his records of those days
    // in the archive.
    const QDate day(2026, 1, 5);
    post(day, 2.5);
    post(day.addDays(1), 1.5);
    for (const auto& [id, hours] : {std::pair{1, 2.5}, std::pair{2, 1.5}})
        addRow(u"Zeiterf.DB"_s,
               {{u"Z_ID"_s, id},
                {u"Z_Datum"_s, day.addDays(id - 1)},
                {u"Z_PersNr"_s, 7},
                {u"Z_ObjNr"_s, 10},
                {u"Z_Art"_s, 1},
                {u"Z_Stunden"_s, hours}},
               u"AblageDB"_s);

    QString caption;
    bool timerWork = true;
    WhenModalShown([&](QWidget* modal) {
        caption = modal->windowTitle();
        timerWork = dm->IsTimerWorkEnabled();
        modal->close();
    });
    EXPECT_EQ(dispatcher.run(u"ShowZeiterfAblageForm"_s), ModuleDispatcher::Outcome::Opened);
    EXPECT_EQ(caption, u"Arbeitszeit erfassen (Ablage)"_s);
    EXPECT_FALSE(timerWork);

    TF_Zeiterf1 browser(day);
    formtest::ShowActive(browser);
    EXPECT_EQ(browser.records().recordCount(), 1);
    EXPECT_DOUBLE_EQ(browser.records().field(u"Z_Stunden"_s).asFloatOr(0), 2.5);
    // The monthly sums of the client stay after archiving.
    EXPECT_EQ(browser.sumPanel().hoursText(9), u"4,00 Std"_s);
    browser.datePicker().setDate(day.addDays(1));
    EXPECT_EQ(browser.formDate(), day.addDays(1));
    EXPECT_DOUBLE_EQ(browser.records().field(u"Z_Stunden"_s).asFloatOr(0), 1.5);
    EXPECT_TRUE(browser.records().isReadOnly());
    // Employee 8 has nothing archived and no sums.
    dm->TabPersonal().last();
    QCoreApplication::processEvents();
    EXPECT_EQ(browser.records().recordCount(), 0);
    EXPECT_EQ(browser.sumPanel().hoursText(9), QString());

    // "Objekte" opens the monthly view over the archive.
    QString viewCaption;
    WhenModalShown([&](QWidget* modal) {
        viewCaption = modal->windowTitle();
        modal->close();
    });
    browser.button(u"sbtnPrintObj"_s)->click();
    EXPECT_EQ(viewCaption, u"Arbeitszeit Objekte"_s);
}

} // namespace
