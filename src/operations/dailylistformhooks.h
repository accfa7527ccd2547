#pragma once

#include <QDate>
#include <functional>

// The windows the daily-list form opens that later modules bring: each
// entry stays disabled in the form while its hook is empty.
struct DailyListFormHooks {
    // "Übersicht": the monthly tour overview of the shown day's month. The
    // form closes the data module's daily-tour table (TabTglTour) before the
    // call and opens it again with its day filter afterwards, also after an
    // error; the overview works on the daily-list tables itself.
    std::function<void(const QDate& shownDay)> showMonthlyOverview;
    // "Offenliste alle Touren": the immediate completion of open activities.
    // TabTglTour is closed with its day filter off for the call and opened
    // again with the filter afterwards.
    std::function<void()> showOpenList;
};
DailyListFormHooks& DailyListFormHooksRegistry();
