#include "core/data/recordrulesfixture.h"
#include "masterdata/pickedvalue.h"
#include "masterdata/supplierassortment.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Supplier 20's row for article 000001; article 000009 exists only in the
// stock of object 7.
class SupplierAssortment : public datatest::RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        addRow(u"Liefrnt.DB"_s, {{u"K_ID"_s, 20}, {u"K_Nr"_s, 200}});
        addRow(u"Artikel.DB"_s, {{u"A_ID"_s, 1}, {u"A_ObjID"_s, 0}, {u"A_ArtNo"_s, u"000001"_s}});
        addRow(u"Artikel.DB"_s, {{u"A_ID"_s, 2},
                                 {u"A_ObjID"_s, 7},
                                 {u"A_ArtNo"_s, u"000009"_s},
                                 {u"A_Bezeich1"_s, u"Eimer"_s},
                                 {u"A_Bezeich2"_s, u"10 l"_s},
                                 {u"A_Bezeich3"_s, u"blau"_s},
                                 {u"A_Beschreibung"_s, u"Ein Eimer"_s},
                                 {u"A_EkPreis"_s, 3.2},
                                 {u"A_Mwst"_s, 1},
                                 {u"A_VerpackEinheit"_s, 2},
                                 {u"A_VerpackMenge"_s, 6.0},
                                 {u"A_Gewicht"_s, 0.4}});
        addRow(u"Liefart.DB"_s, {{u"A_ID"_s, 1},
                                 {u"A_LieferantID"_s, 20},
                                 {u"A_ArtNo"_s, u"000001"_s},
                                 {u"A_Bezeich3"_s, u"eigener Text"_s}});
        table::Table& t = shared(dm->TabLiefArt());
        ASSERT_TRUE(t.locate({u"A_ID"_s}, {1}));
    }
};

TEST_F(SupplierAssortment, TheCaptionNamesTheSupplier) {
    EXPECT_EQ(LiefArtCaption(200), u"Sortiment [Lieferant 200]"_s);
}

TEST_F(SupplierAssortment, AnArticleOfAnObjectsStockStillGivesItsData) {
    table::Table& t = dm->TabLiefArt();
    ASSERT_TRUE(TakeArticleIntoLiefArt(t, u"000009"_s));
    EXPECT_TRUE(t.isEditing());
    EXPECT_EQ(t.field(u"A_ArtNo"_s).asString(), u"000009"_s);
    EXPECT_EQ(t.field(u"A_Bezeich1"_s).asString(), u"Eimer"_s);
    EXPECT_EQ(t.field(u"A_Bezeich2"_s).asString(), u"10 l"_s);
    EXPECT_EQ(t.field(u"A_Bezeich3"_s).asString(), u"eigener Text"_s);
    EXPECT_EQ(t.field(u"A_Beschreibung"_s).asString(), u"Ein Eimer"_s);
    EXPECT_DOUBLE_EQ(t.field(u"A_EkPreis"_s).asFloat(), 3.2);
    EXPECT_EQ(t.field(u"A_Mwst"_s).asInteger(), 1);
    EXPECT_EQ(t.field(u"A_VerpackEinheit"_s).asInteger(), 2);
    EXPECT_DOUBLE_EQ(t.field(u"A_VerpackMenge"_s).asFloat(), 6.0);
    EXPECT_DOUBLE_EQ(t.field(u"A_Gewicht"_s).asFloat(), 0.4);
    t.cancel();
}

TEST_F(SupplierAssortment, AnEmptyOrUnchangedChoiceLeavesTheRow) {
    table::Table& t = dm->TabLiefArt();
    EXPECT_FALSE(TakeArticleIntoLiefArt(t, QString()));
    EXPECT_FALSE(TakeArticleIntoLiefArt(t, u"000001"_s));
    EXPECT_FALSE(t.isEditing());
}

TEST_F(SupplierAssortment, APickedValueIsWrittenOnlyWhenItChangesSomething) {
    table::Table& t = dm->TabLiefArt();
    int posts = 0;
    t.afterPost += [&](table::Table&) { ++posts; };
    EXPECT_FALSE(StorePickedValue(t, u"A_Liefertage"_s, 0, true));
    EXPECT_TRUE(StorePickedValue(t, u"A_Liefertage"_s, 3, false));
    EXPECT_TRUE(t.isEditing());
    EXPECT_EQ(posts, 0);
    t.post();
    EXPECT_FALSE(StorePickedValue(t, u"A_Liefertage"_s, 3, true));
    EXPECT_TRUE(StorePickedValue(t, u"A_LiefArtNo"_s, u"X-1"_s, true));
    EXPECT_FALSE(StorePickedValue(t, u"A_LiefArtNo"_s, QString(), true));
    EXPECT_EQ(posts, 2);
    EXPECT_FALSE(t.isEditing());
}

} // namespace
