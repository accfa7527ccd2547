#include "recordrulesfixture.h"

#include <gtest/gtest.h>

using namespace datatest;

namespace {

class TableLinks : public RecordRules {
protected:
    static QList<int> keys(table::Table& t, const QString& field) {
        QList<int> values;
        for (t.first(); !t.eof() && !t.isEmpty(); t.next())
            values.append(t.field(field).asIntegerOr(0));
        return values;
    }
};

TEST_F(TableLinks, DocumentLinesFollowTheirHead) {
    struct Kind {
        const char* head;
        const char* lines;
    };
    const Kind kinds[] = {{"Rechkopf.DB", "Rechsatz.db"}, {"Angkopf.DB", "AngSatz.DB"},
                          {"Auftkopf.DB", "Auftsatz.DB"}, {"GSkopf.DB", "GSSatz.DB"},
                          {"ERkopf.DB", "ERsatz.db"},     {"bestkopf.db", "bestsatz.db"}};
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.lines);
        const QString head = QString::fromLatin1(k.head), lines = QString::fromLatin1(k.lines);
        addRow(head, {{QStringLiteral("R_ID"), 1}});
        addRow(head, {{QStringLiteral("R_ID"), 2}});
        addRow(lines, {{QStringLiteral("S_ID"), 10}, {QStringLiteral("S_Ref"), 1}});
        addRow(lines, {{QStringLiteral("S_ID"), 11}, {QStringLiteral("S_Ref"), 2}});
        addRow(lines, {{QStringLiteral("S_ID"), 12}, {QStringLiteral("S_Ref"), 1}});
        table::Table& h = dm->table(head);
        table::Table& l = dm->table(lines);
        h.open();
        l.open();
        ASSERT_TRUE(h.locate({QStringLiteral("R_ID")}, {1}));
        EXPECT_EQ(keys(l, QStringLiteral("S_ID")), (QList<int>{10, 12}));
        ASSERT_TRUE(h.locate({QStringLiteral("R_ID")}, {2}));
        EXPECT_EQ(keys(l, QStringLiteral("S_ID")), (QList<int>{11}));
        l.close();
        h.close();
    }
}

TEST_F(TableLinks, DailyListsOpenAsAChainAndLinkOnTwoFields) {
    addRow(QStringLiteral("TglTour.DB"), {{QStringLiteral("A_TourID"), 1}});
    addRow(QStringLiteral("TglObj.DB"), {{QStringLiteral("A_TOID"), 5},
                                         {QStringLiteral("A_TourID"), 1},
                                         {QStringLiteral("A_ObjektNr"), 7}});
    addRow(QStringLiteral("TglObj.DB"), {{QStringLiteral("A_TOID"), 6},
                                         {QStringLiteral("A_TourID"), 1},
                                         {QStringLiteral("A_ObjektNr"), 8}});
    const int rows[][3] = {{20, 1, 7}, {21, 1, 8}, {22, 2, 7}, {23, 1, 7}};
    for (const auto& r : rows)
        addRow(QStringLiteral("TglTaet.DB"), {{QStringLiteral("A_TOTID"), r[0]},
                                              {QStringLiteral("A_TourID"), r[1]},
                                              {QStringLiteral("A_ObjNr"), r[2]}});

    dm->TabTglTour().open();
    EXPECT_TRUE(dm->TabTglObjekt().isOpen());
    EXPECT_TRUE(dm->TabTglTaetig().isOpen());
    EXPECT_TRUE(dm->TabLUTgLState().isOpen());
    EXPECT_TRUE(dm->TabLUTgLSource().isOpen());

    ASSERT_TRUE(dm->TabTglObjekt().locate({QStringLiteral("A_ObjektNr")}, {7}));
    EXPECT_EQ(keys(dm->TabTglTaetig(), QStringLiteral("A_TOTID")), (QList<int>{20, 23}));
    ASSERT_TRUE(dm->TabTglObjekt().locate({QStringLiteral("A_ObjektNr")}, {8}));
    EXPECT_EQ(keys(dm->TabTglTaetig(), QStringLiteral("A_TOTID")), (QList<int>{21}));

    dm->TabTglTour().close();
    EXPECT_FALSE(dm->TabTglObjekt().isOpen());
    EXPECT_FALSE(dm->TabTglTaetig().isOpen());
    EXPECT_FALSE(dm->TabLUTgLState().isOpen());
}

TEST_F(TableLinks, FollowersOpenAndCloseWithTheirLeader) {
    const std::pair<const char*, const char*> chains[] = {
        {"TabOposten", "TabOPSatz"}, {"TabOErKopf", "TabOErSatz"}, {"TabDefYearH", "TabDefYear"},
        {"TabBvListe", "TabBvObj"},  {"TabTour", "TabTourPers"},   {"TabLSKopf", "TabLSSatz"}};
    for (const auto& [leaderName, followerName] : chains) {
        SCOPED_TRACE(followerName);
        table::Table& leader = dm->table(QString::fromLatin1(leaderName));
        table::Table& follower = dm->table(QString::fromLatin1(followerName));
        leader.open();
        EXPECT_TRUE(follower.isOpen());
        leader.close();
        EXPECT_FALSE(follower.isOpen());
    }
}

TEST_F(TableLinks, TurnoverRowsShowTheCurrentCustomersYear) {
    addRow(QStringLiteral("Kunden.DB"), {{QStringLiteral("K_ID"), 1},
                                         {QStringLiteral("K_Nr"), 100},
                                         {QStringLiteral("K_Aktjahr"), 2025}});
    const int rows[][3] = {{1, 100, 2025}, {2, 100, 2024}, {3, 101, 2025}};
    for (const auto& r : rows)
        addRow(QStringLiteral("KUmsatz.DB"), {{QStringLiteral("U_ID"), r[0]},
                                              {QStringLiteral("U_Kunde"), r[1]},
                                              {QStringLiteral("U_Jahr"), r[2]}});
    customerWithNr(100);
    dm->TabKUmsatz().open();
    EXPECT_EQ(keys(dm->TabKUmsatz(), QStringLiteral("U_ID")), (QList<int>{1}));
}

TEST_F(TableLinks, LinksSurviveAClientSwitch) {
    dm->CloseDatabases();
    dm->DataModuleCreate();
    EXPECT_EQ(dm->TabRechSatz().master(), &dm->TabRechKopf());
    EXPECT_EQ(dm->TabTglTaetig().master(), &dm->TabTglObjekt());
}

} // namespace
