#include "core/data/timerworkpause.h"
#include "masterdata/objektchoices.h"
#include "masterdata/objektprinttypes.h"
#include "objektfixture.h"

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

class ObjektChoices : public masterdatatest::ObjektFixture {
protected:
    void SetUp() override {
        ObjektFixture::SetUp();
        addObjekt(1, 10, 100);
        for (int nr : {3, 4, 5})
            addRow(u"Notdnst.DB"_s, {{u"ND_ID"_s, nr}, {u"ND_Nr"_s, nr}});
        addRow(u"ObjektND.DB"_s, {{u"OND_ID"_s, 1}, {u"OND_ObjNr"_s, 10}, {u"OND_NdNr"_s, 3}});
        addRow(u"ObjektND.DB"_s, {{u"OND_ID"_s, 2}, {u"OND_ObjNr"_s, 10}, {u"OND_NdNr"_s, 4}});
    }
    table::Table& notdienstRow(int id) {
        objekt(10);
        table::Table& t = shared(dm->TabObjND());
        EXPECT_TRUE(t.locate({u"OND_ID"_s}, {id}));
        return t;
    }
};

TEST_F(ObjektChoices, TheSameCustomerOrNoneLeavesTheObjectUntouched) {
    for (int chosen : {0, 100}) {
        table::Table& t = objekt(10);
        EXPECT_FALSE(TakeObjektKunde(t, chosen)) << chosen;
        EXPECT_FALSE(t.isEditing()) << chosen;
    }
    table::Table& t = objekt(10);
    EXPECT_TRUE(TakeObjektKunde(t, 200));
    EXPECT_TRUE(t.isEditing());
    EXPECT_EQ(t.field(u"O_Kunde"_s).asInteger(), 200);
    t.cancel();
}

TEST_F(ObjektChoices, AnEmergencyServiceTheObjectHasIsRefused) {
    table::Table& t = notdienstRow(1);
    EXPECT_FALSE(TakeObjektNotdienst(t, 10, 4));
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Dieser Notdienst ist bereits in der Liste enthalten!"_s});
    EXPECT_FALSE(t.isEditing());
    EXPECT_EQ(t.field(u"OND_NdNr"_s).asInteger(), 3);

    presenter.boxes.clear();
    for (int chosen : {0, 3})
        EXPECT_FALSE(TakeObjektNotdienst(t, 10, chosen)) << chosen;
    EXPECT_TRUE(TakeObjektNotdienst(t, 10, 5));
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_EQ(t.field(u"OND_NdNr"_s).asInteger(), 5);
    t.post();
    EXPECT_EQ(column(u"ObjektND.DB"_s, u"OND_NdNr"_s), (QList<int>{5, 4}));
}

TEST_F(ObjektChoices, ThePrintFormTypesFollowTheReportScopeAndThePage) {
    const struct {
        QVariant scope;
        int type;
    } cases[] = {{QVariant(), 26000}, {1, 26000}, {2, 27000}, {3, 28000}, {0, 28000}};
    for (const auto& c : cases)
        EXPECT_EQ(BerichtFormType(c.scope), c.type) << c.scope.toString().toStdString();
    EXPECT_EQ(MieterGroupFormType(true), 70000);
    EXPECT_EQ(MieterGroupFormType(false), 36000);
}

TEST_F(ObjektChoices, AFocusHoldGivesBackTheTimerWorkItFound) {
    for (bool wasOn : {true, false}) {
        SCOPED_TRACE(wasOn);
        wasOn ? dm->EnableTimerWork() : dm->DisableTimerWork();
        {
            TimerWorkHold hold;
            hold.enter();
            EXPECT_FALSE(dm->IsTimerWorkEnabled());
            hold.enter(); // a second field of the same group
            hold.leave();
            EXPECT_EQ(dm->IsTimerWorkEnabled(), wasOn);
            hold.enter();
        } // the form closes while a grid has the focus
        EXPECT_EQ(dm->IsTimerWorkEnabled(), wasOn);
    }
}

} // namespace
