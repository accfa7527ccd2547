#include "core/rights/rights.h"
#include "operations/dailylistedits.h"
#include "operations/dailylistformrules.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The current user with the given masks of functions 15 to 18.
class UserWith {
public:
    UserWith(quint8 f15, quint8 f16, quint8 f17, quint8 f18) : m_saved(CurrentUser) {
        CurrentUser = TUserRec();
        CurrentUser.rights.set(15, f15);
        CurrentUser.rights.set(16, f16);
        CurrentUser.rights.set(17, f17);
        CurrentUser.rights.set(18, f18);
    }
    ~UserWith() { CurrentUser = m_saved; }

private:
    TUserRec m_saved;
};

TEST(DailyListRights, FollowTheRightsOfTheFourFunctions) {
    const quint8 all = rbAllRights;
    const quint8 view = rbView;
    const struct {
        quint8 f15, f16, f17, f18;
        bool past;
        DailyListRights expected; // print, create, material, overview, editable, popups, deleting
    } cases[] = {
        {all, all, all, all, false, {true, true, true, true, true, true, true}},
        {all, all, all, all, true, {true, true, true, true, true, true, true}},
        // Past days need the edit right of 16 for the popups.
        {all, view, all, all, true, {true, true, true, true, true, false, true}},
        {all, view, all, all, false, {true, true, true, true, true, true, true}},
        // Viewing only: read-only grids, no popups, no delete, no print, no run.
        {view, all, 0, 0, false, {false, false, false, false, false, false, false}},
        {quint8(rbView | rbPrint),
         0,
         view,
         view,
         false,
         {true, false, true, true, false, false, false}},
        {quint8(rbView | rbCreate | rbEdit),
         0,
         0,
         0,
         false,
         {false, true, false, false, true, true, false}},
        {quint8(rbView | rbDelete),
         0,
         0,
         0,
         true,
         {false, false, false, false, false, false, true}},
    };
    for (const auto& c : cases) {
        const UserWith user(c.f15, c.f16, c.f17, c.f18);
        const DailyListRights r = DailyListRightsFor(c.past);
        const DailyListRights& e = c.expected;
        SCOPED_TRACE(testing::Message() << int(c.f15) << "/" << int(c.f16) << "/" << int(c.f17)
                                        << "/" << int(c.f18) << (c.past ? " past" : ""));
        EXPECT_EQ(r.print, e.print);
        EXPECT_EQ(r.create, e.create);
        EXPECT_EQ(r.material, e.material);
        EXPECT_EQ(r.overview, e.overview);
        EXPECT_EQ(r.editable, e.editable);
        EXPECT_EQ(r.popups, e.popups);
        EXPECT_EQ(r.deleting, e.deleting);
    }
}

// The state keys and the activity popup over states and past, today's and
// future lists: "state → entries enabled" as the popup shows them.
TEST(DailyListMenus, ActivityEntriesByStateAndDay) {
    auto entries = [](const ActivityMenu& m) {
        QString s;
        for (const auto& [on, letter] : {std::pair{m.addActivity, u'T'},
                                         {m.form, u'F'},
                                         {m.done, u'E'},
                                         {m.transfer, u'U'},
                                         {m.move, u'V'},
                                         {m.skip, u'A'},
                                         {m.open, u'O'}})
            s += on ? letter : u'-';
        return s;
    };
    const struct {
        ListDay day;
        int state;
        const char* expected;
    } cases[] = {
        {ListDay::Past, StateOpen, "--EUVA-"},     {ListDay::Past, StateSkipped, "--E---O"},
        {ListDay::Past, StateDone, "-----AO"},     {ListDay::Past, StatePrinted, "--E--AO"},
        {ListDay::Today, StateOpen, "T--UV--"},    {ListDay::Today, StateDone, "T------"},
        {ListDay::Today, StateSkipped, "T------"}, {ListDay::Future, StateOpen, "T--UV--"},
        {ListDay::Future, StateDone, "T------"},   {ListDay::Today, -1, "T------"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(entries(ActivityMenuFor(c.day, true, c.state, false)),
                  QString::fromLatin1(c.expected))
            << int(c.day) << " state " << c.state;
    EXPECT_TRUE(ActivityMenuFor(ListDay::Past, true, StateDone, true).form);
    EXPECT_FALSE(ActivityMenuFor(ListDay::Today, false, -1, false).addActivity);

    const ObjectMenu past = ObjectMenuFor(ListDay::Past, true, true);
    EXPECT_TRUE(past.objectDone);
    EXPECT_FALSE(past.addObject || past.moveObject);
    const ObjectMenu today = ObjectMenuFor(ListDay::Today, true, true);
    EXPECT_FALSE(today.objectDone);
    EXPECT_TRUE(today.addObject && today.moveObject);
    EXPECT_FALSE(ObjectMenuFor(ListDay::Future, true, false).moveObject);
    EXPECT_TRUE(TourMenuFor(ListDay::Past, true).allToursDone);
    EXPECT_FALSE(TourMenuFor(ListDay::Today, true).tourDone);
    EXPECT_TRUE(TourMenuFor(ListDay::Future, false).closing);
}

TEST(DailyListKeys, LettersAndTheTransferKeys) {
    const struct {
        int key;
        QString text;
        StateKey expected;
    } cases[] = {
        {Qt::Key_A, u"a"_s, StateKey::Skip},
        {Qt::Key_A, u"A"_s, StateKey::Skip},
        {Qt::Key_E, u"e"_s, StateKey::Done},
        {Qt::Key_O, u"O"_s, StateKey::Open},
        {Qt::Key_V, u"v"_s, StateKey::Move},
        {Qt::Key_Dead_Circumflex, {}, StateKey::Transfer},
        {Qt::Key_AsciiCircum, u"^"_s, StateKey::Transfer},
        {Qt::Key_Udiaeresis, u"ü"_s, StateKey::Transfer},
        {Qt::Key_Udiaeresis, u"Ü"_s, StateKey::Transfer},
        {Qt::Key_X, u"x"_s, StateKey::None},
        {Qt::Key_1, u"1"_s, StateKey::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StateKeyOf(c.key, c.text), c.expected) << c.text.toStdString();
    EXPECT_EQ(StateOfKey(StateKey::Skip), StateSkipped);
    EXPECT_EQ(StateOfKey(StateKey::Done), StateDone);
    EXPECT_EQ(StateOfKey(StateKey::Open), StateOpen);
    EXPECT_EQ(StateOfKey(StateKey::Move), -1);
}

} // namespace
