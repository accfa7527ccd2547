#include "operations/dailylistformrules.h"

#include "core/rights/rights.h"
#include "operations/dailylistedits.h"

#include <Qt>

DailyListRights DailyListRightsFor(bool pastDay) {
    DailyListRights r;
    r.print = HasPrintRight(kDailyListFunction);
    r.create = HasCreateRight(kDailyListFunction);
    r.material = HasViewRight(kDailyListMaterialFunction);
    r.overview = HasViewRight(kDailyListOverviewFunction);
    r.editable = HasEditRight(kDailyListFunction);
    r.popups = r.editable && (!pastDay || HasEditRight(kDailyListPastFunction));
    r.deleting = HasDeleteRight(kDailyListFunction);
    return r;
}

TourMenu TourMenuFor(ListDay day, bool hasTour) {
    TourMenu m;
    // On past days the popup opens only with right 16, so "past" says it all.
    m.allToursDone = day == ListDay::Past && hasTour;
    m.tourDone = day == ListDay::Past && hasTour;
    return m;
}

ObjectMenu ObjectMenuFor(ListDay day, bool hasTour, bool hasObject) {
    ObjectMenu m;
    m.objectDone = day == ListDay::Past && hasObject;
    m.addObject = day != ListDay::Past && hasTour;
    m.moveObject = day != ListDay::Past && hasObject;
    return m;
}

ActivityMenu ActivityMenuFor(ListDay day, bool hasObject, int state, bool hasFunction) {
    ActivityMenu m;
    const bool past = day == ListDay::Past;
    const bool row = state >= 0;
    m.addActivity = !past && hasObject;
    m.form = row && hasFunction;
    m.done = row && past && state != StateDone;
    m.transfer = row && state == StateOpen;
    m.move = row && state == StateOpen;
    m.skip = row && past && state != StateSkipped;
    m.open = row && past && state != StateOpen;
    return m;
}

StateKey StateKeyOf(int key, const QString& text) {
    switch (key) {
    case Qt::Key_A:
        return StateKey::Skip;
    case Qt::Key_E:
        return StateKey::Done;
    case Qt::Key_O:
        return StateKey::Open;
    case Qt::Key_V:
        return StateKey::Move;
    case Qt::Key_AsciiCircum:
    case Qt::Key_Dead_Circumflex:
    case Qt::Key_Udiaeresis:
        return StateKey::Transfer;
    default:
        break;
    }
    if (text == QStringLiteral("^") || text.compare(QStringLiteral("ü"), Qt::CaseInsensitive) == 0)
        return StateKey::Transfer;
    return StateKey::None;
}

int StateOfKey(StateKey key) {
    switch (key) {
    case StateKey::Skip:
        return StateSkipped;
    case StateKey::Done:
        return StateDone;
    case StateKey::Open:
        return StateOpen;
    default:
        return -1;
    }
}
