#include "commercial/documents/positiontable.h"
#include "core/data/clientdbfixture.h"
#include "platform/table/table.h"

#include <gtest/gtest.h>
#include <map>

namespace {

class PositionTable : public datatest::ClientDbFixture {
protected:
    void addLine(int id, int ref, int posNr, int posArt) {
        addRow(QStringLiteral("RechSatz.DB"), {{QStringLiteral("S_ID"), id},
                                               {QStringLiteral("S_Ref"), ref},
                                               {QStringLiteral("S_PosNr"), posNr},
                                               {QStringLiteral("S_PosArt"), posArt}});
    }
    std::map<int, int> numbersById() {
        auto tab = open(QStringLiteral("RechSatz.DB"));
        std::map<int, int> result;
        for (tab->first(); !tab->eof(); tab->next())
            result[tab->field(QStringLiteral("S_ID")).asInteger()] =
                tab->field(QStringLiteral("S_PosNr")).asInteger();
        return result;
    }
};

TEST_F(PositionTable, RenumbersOnlyTheCurrentDocumentAndKeepsTheCursor) {
    addLine(1, 7, 1000000, 0);
    addLine(2, 7, 1010000, 3); // text line
    addLine(3, 7, 1020000, 0);
    addLine(4, 7, 2000000, 0);
    addLine(5, 8, 1010000, 0); // another document
    auto lines = open(QStringLiteral("RechSatz.DB"));
    lines->setIndexName(QStringLiteral("S_IRef"));
    ASSERT_TRUE(lines->locate({QStringLiteral("S_ID")}, {3}));

    RenumberPositions(0, 1, *lines);

    const std::map<int, int> expected{
        {1, 1000000}, {2, 2000000}, {3, 2000000}, {4, 3000000}, {5, 1010000}};
    EXPECT_EQ(numbersById(), expected);
    EXPECT_EQ(lines->field(QStringLiteral("S_ID")).asInteger(), 3);
}

TEST_F(PositionTable, RenumberFromHereLeavesEarlierLines) {
    addLine(1, 7, 1000000, 0);
    addLine(2, 7, 1030000, 0);
    addLine(3, 7, 1030100, 0);
    addLine(4, 7, 1040000, 0);
    addLine(5, 7, 2000000, 0);
    auto lines = open(QStringLiteral("RechSatz.DB"));
    lines->setIndexName(QStringLiteral("S_IRef"));
    ASSERT_TRUE(lines->locate({QStringLiteral("S_ID")}, {2}));

    RenumberPositions(103, 103, *lines);

    const std::map<int, int> expected{
        {1, 1000000}, {2, 1030000}, {3, 1040000}, {4, 1050000}, {5, 2000000}};
    EXPECT_EQ(numbersById(), expected);
}

TEST_F(PositionTable, OldUnscaledNumbersAreNormalized) {
    addLine(1, 7, 1, 0);
    addLine(2, 7, 102, 0);
    addLine(3, 7, 2000000, 0);
    addLine(4, 7, 0, 0);
    auto lines = open(QStringLiteral("RechSatz.DB"));
    lines->setIndexName(QStringLiteral("S_IRef"));
    ASSERT_TRUE(lines->locate({QStringLiteral("S_ID")}, {2}));

    NormalizeAllPosNr(*lines);

    const std::map<int, int> expected{{1, 1000000}, {2, 1020000}, {3, 2000000}, {4, 1000000}};
    EXPECT_EQ(numbersById(), expected);
    EXPECT_EQ(lines->field(QStringLiteral("S_ID")).asInteger(), 2);
}

} // namespace
