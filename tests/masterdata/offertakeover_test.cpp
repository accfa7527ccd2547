#include "masterdata/offertakeover.h"
#include "objektfixture.h"
#include "platform/errors.h"

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

class OfferTakeOver : public masterdatatest::ObjektFixture {
protected:
    void SetUp() override {
        ObjektFixture::SetUp();
        addObjekt(1, 10);
        addObjekt(2, 20);
        addActivity(1, 5);
        addActivity(2, 6, 1);
        addActivity(3, 7);
        addObjTaetig({1, 10, 5, 2, QDate(2026, 1, 5), u"A"_s, u"135"_s, 0, {}});
        addObjTaetig({2, 20, 6, 3, QDate(2026, 2, 1), {}, {}, 1, {}});
        addOffer(1, u"A-100"_s);
        // Keys against position order: the rows follow the positions.
        addPosition(14, 1, 4, 8, u"7"_s, 5);
        addPosition(13, 1, 3, 8, u" 5"_s, 23);
        addPosition(12, 1, 2, 1, u"6"_s, 22); // an article position
        addPosition(11, 1, 1, 8, u"6"_s, 21);
        addOffer(2, u"A-200"_s);
        addPosition(21, 2, 1, 8, u"7"_s, 2);
        addPosition(22, 2, 2, 8, u"99"_s, 2); // no such activity
        before10 = storedRows(10);
        before20 = storedRows(20);
    }
    void addOffer(int id, const QString& nr) {
        addRow(u"Angkopf.DB"_s, {{u"R_ID"_s, id}, {u"R_Nr"_s, nr}, {u"R_ObjektNr"_s, 20}});
    }
    void addPosition(int id, int offer, int pos, int origin, const QString& src, int interval) {
        addRow(u"AngSatz.DB"_s, {{u"S_ID"_s, id},
                                 {u"S_Ref"_s, offer},
                                 {u"S_PosNr"_s, pos},
                                 {u"S_Origin"_s, origin},
                                 {u"S_SrcNr"_s, src},
                                 {u"S_Intervall"_s, interval}});
    }
    QStringList before10, before20;
    const QString today = QDate::currentDate().toString(Qt::ISODate);
};

TEST_F(OfferTakeOver, IntervalsAboveTwentyBecomeWeekdays) {
    const struct {
        int interval, modus;
        const char* weekdays;
    } cases[] = {{5, 5, ""},         {20, 20, ""},       {21, 1, "1234567"},
                 {22, 1, "12"},      {23, 1, "123"},     {26, 1, "123456"},
                 {27, 1, "1234567"}, {35, 1, "1234567"}, {0, 0, ""}};
    for (const auto& c : cases) {
        const OfferActivityInterval got = OfferActivityIntervalOf(c.interval);
        EXPECT_EQ(got.modus, c.modus) << c.interval;
        EXPECT_EQ(got.weekdays, QString::fromLatin1(c.weekdays)) << c.interval;
    }
}

TEST_F(OfferTakeOver, AnUnknownOfferAsksNothingAndChangesNothing) {
    EXPECT_FALSE(TakeOverOfferActivities(objTaetig(10), u"A-999"_s));
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_EQ(storedRows(10), before10);
}

TEST_F(OfferTakeOver, KeepingTheRowsUpdatesTheOffersActivitiesAndAppendsTheOthers) {
    presenter.answers = {true};
    EXPECT_TRUE(TakeOverOfferActivities(objTaetig(10), u"A-100"_s));
    EXPECT_EQ(presenter.texts(Kind::Question), QStringList{u"Vorhandene Einträge beibehalten?"_s});
    const QStringList expected = {
        u"1:5,1,2026-01-05,A,123,0,"_s,
        u"3:6,1,"_s + today + u",,1234567,1,"_s,
        u"4:7,5,"_s + today + u",,,0,"_s,
    };
    EXPECT_EQ(storedRows(10), expected);
    EXPECT_EQ(storedRows(20), before20);

    // The same offer again, rows kept: updated in place, no duplicates.
    presenter.answers = {true};
    EXPECT_TRUE(TakeOverOfferActivities(objTaetig(10), u"A-100"_s));
    EXPECT_EQ(storedRows(10), expected);
}

TEST_F(OfferTakeOver, NotKeepingTheRowsReplacesThemByTheOffersActivities) {
    presenter.answers = {false};
    EXPECT_TRUE(TakeOverOfferActivities(objTaetig(10), u"A-100"_s));
    EXPECT_EQ(storedRows(10), (QStringList{
                                  u"3:6,1,"_s + today + u",,1234567,1,"_s,
                                  u"4:5,1,"_s + today + u",,123,0,"_s,
                                  u"5:7,5,"_s + today + u",,,0,"_s,
                              }));
    EXPECT_EQ(storedRows(20), before20);
}

TEST_F(OfferTakeOver, AFailingTakeOverLeavesTheRowsAsTheyWere) {
    for (bool keep : {true, false}) {
        SCOPED_TRACE(keep);
        presenter.answers = {keep};
        table::Table& rows = objTaetig(10);
        try {
            TakeOverOfferActivities(rows, u"A-200"_s);
            ADD_FAILURE() << "the take-over went through";
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(), u"Das Angebot wurde nicht übernommen:\r"
                                   u"Objekt-Tätigkeit: Sie müssen eine gültige Nummer eingeben"_s);
        }
        EXPECT_EQ(storedRows(10), before10);
        EXPECT_FALSE(rows.isEditing());
        EXPECT_EQ(rows.recordCount(), 1);
    }
    // A row another workstation edits cannot be deleted: nothing is taken over.
    datatest::HeldElsewhere held(u"ObjTaet.db"_s, u"TS_ID"_s, 1);
    presenter.answers = {false};
    EXPECT_THROW(TakeOverOfferActivities(objTaetig(10), u"A-100"_s), DbError);
    EXPECT_EQ(storedRows(10), before10);
}

} // namespace
