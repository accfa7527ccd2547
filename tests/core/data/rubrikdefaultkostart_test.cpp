#include "clientdbfixture.h"
#include "core/data/datamodule.h"
#include "core/data/rubrikdefaultkostart.h"
#include "platform/errors.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

namespace {

using datatest::ClientDbFixture;

class RubrikDefaults : public ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        m_saved = RubrikDefaultKostart;
        // Cost types out of every order: by number and by text the first
        // type of a section differs; sections 0, 4 and null are not sections.
        const struct {
            int id;
            QVariant nr;
            QVariant rubrik;
            const char* text;
        } rows[] = {
            {1, 30, 2, "A"}, {2, 10, 1, "E"}, {3, 5, 2, "F"},           {4, 7, 4, "B"},
            {5, 8, {}, "C"}, {6, 12, 1, "D"}, {7, 3, 0, "0"},           {8, 40, 3, "Z"},
            {9, {}, 3, "X"}, {10, 2, 3, "Y"}, {11, 1, QVariant(), "9"},
        };
        for (const auto& r : rows)
            addRow(u"Kostart.DB"_s, {{u"A_ID"_s, r.id},
                                     {u"A_Nr"_s, r.nr},
                                     {u"A_RubrikNr"_s, r.rubrik},
                                     {u"A_Text"_s, QString::fromLatin1(r.text)}});
    }
    void TearDown() override {
        RubrikDefaultKostart = m_saved;
        ClientDbFixture::TearDown();
    }
    std::array<int, 3> m_saved{};
};

TEST_F(RubrikDefaults, TheFirstCostTypeOfEachSectionInTheTablesCurrentOrder) {
    const struct {
        const char* index;
        std::array<int, 3> expected;
    } cases[] = {
        // by number: 2 (section 3), 5 (section 2), 10 (section 1); the row
        // without a number sorts first and is section 3's first type
        {"ANr", {10, 5, 0}},
        // by text: "A" 30 (2), "D" 12 (1), "X" without number (3)
        {"Text", {12, 30, 0}},
    };
    for (const auto& c : cases) {
        RubrikDefaultKostart = {99, 99, 99};
        auto kostart = open(u"Kostart.DB"_s);
        kostart->setIndexName(QString::fromLatin1(c.index));
        LoadRubrikDefaultKostart(*kostart);
        EXPECT_EQ(RubrikDefaultKostart, c.expected) << c.index;
        for (int rubrik = 1; rubrik <= 3; ++rubrik)
            EXPECT_EQ(GetRubrikDefaultKostart(rubrik), c.expected[std::size_t(rubrik - 1)]);
        EXPECT_TRUE(kostart->eof()) << "the cursor is left at the end";
    }
}

TEST_F(RubrikDefaults, SectionsWithoutCostTypesAreZeroAgain) {
    RubrikDefaultKostart = {4, 5, 6};
    auto kostart = open(u"Kostart.DB"_s);
    kostart->setIndexName(u"Rubrik"_s);
    kostart->setRange({2}, {2});
    LoadRubrikDefaultKostart(*kostart);
    EXPECT_EQ(GetRubrikDefaultKostart(1), 0);
    EXPECT_EQ(GetRubrikDefaultKostart(3), 0);
    EXPECT_TRUE(GetRubrikDefaultKostart(2) == 30 || GetRubrikDefaultKostart(2) == 5);
}

TEST_F(RubrikDefaults, AnUnfinishedEditIsNeitherPostedNorRead) {
    RubrikDefaultKostart = {4, 5, 6};
    auto kostart = open(u"Kostart.DB"_s);
    kostart->setIndexName(u"ANr"_s);
    kostart->last();
    kostart->edit();
    kostart->field(u"A_RubrikNr"_s).setValue(1);
    LoadRubrikDefaultKostart(*kostart);
    EXPECT_TRUE(kostart->isEditing());
    EXPECT_EQ(RubrikDefaultKostart, (std::array<int, 3>{4, 5, 6}));
    kostart->cancel();
    auto check = open(u"Kostart.DB"_s);
    ASSERT_TRUE(check->locate({u"A_Nr"_s}, {40}));
    EXPECT_EQ(check->field(u"A_RubrikNr"_s).asInteger(), 3);
}

TEST_F(RubrikDefaults, OnlySectionsOneToThreeExist) {
    for (int rubrik : {0, 4, -1})
        EXPECT_THROW(GetRubrikDefaultKostart(rubrik), DbError) << rubrik;
}

TEST_F(RubrikDefaults, TheDataModulesTableIsWalkedByNumber) {
    TDataModule1 dm;
    dm.DataModuleCreate();
    RubrikDefaultKostart = {};
    LoadRubrikDefaultKostart();
    EXPECT_EQ(RubrikDefaultKostart, (std::array<int, 3>{10, 5, 0}));
    EXPECT_TRUE(dm.TabKostart().eof());
}

} // namespace
