#include "tablefixture.h"

using table::LocateOptions;
using table::Table;
using table::TableError;

class IndexTest : public TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        t = std::make_unique<Table>(db, "Kunden");
        t->open();
        const struct {
            int nr;
            const char* name;
            const char* ort;
        } rows[] = {{1, "Zander", "Köln"}, {2, "Öztürk", "Bonn"},    {3, "ober", "Köln"},
                    {4, "Müller", "Bonn"}, {5, "Mueller", "Aachen"}, {6, "Abel", "Köln"},
                    {7, "Straße", "Bonn"}, {8, "Strasser", "Köln"}};
        for (const auto& r : rows)
            addCustomer(*t, r.nr, r.name, r.ort);
    }
    std::unique_ptr<Table> t;
};

TEST_F(IndexTest, GermanCaseInsensitiveOrder) {
    t->setIndexName("iname"); // logical names without regard to case
    EXPECT_EQ(t->indexName(), "IName");
    // Umlauts sort as their base letter, case is ignored, ß as ss.
    EXPECT_EQ(names(*t), (QStringList{"Abel", "Mueller", "Müller", "ober", "Öztürk", "Straße",
                                      "Strasser", "Zander"}));
    t->setIndexName("");
    EXPECT_EQ(t->indexFieldNames(), QStringList{"Nr"});
    t->first();
    EXPECT_EQ((*t)["Name"].asString(), "Zander");
}

TEST_F(IndexTest, IndexDefinitionsAreEnumeratedAndPhysicalNamesTableQualified) {
    const auto defs = t->indexDefs();
    ASSERT_EQ(defs.size(), 2);
    EXPECT_EQ(defs[1].name, "IOrtName");
    EXPECT_EQ(defs[1].fields.join(";"), "Ort;Name");
    // The same logical name on another table does not clash.
    table::TableDef other = customerDef();
    other.name = "Lieferanten.DB";
    EXPECT_NO_THROW(db->createTable(other));
    EXPECT_THROW(t->setIndexName("Gibtsnicht"), TableError);
}

TEST_F(IndexTest, CaseInsensitiveUniqueIndexRefusesUmlautVariants) {
    table::TableDef def;
    def.name = "Orte";
    def.fields = {{"Id", table::FieldType::Integer, 0}, {"Ort", table::FieldType::String, 30}};
    def.indexes = {{"UOrt", {"Ort"}, true, true, false}};
    db->createTable(def);
    Table o(db, "Orte");
    o.open();
    o.append();
    o["Id"] = 1;
    o["Ort"] = "Köln";
    o.post();
    for (const char* variant : {"KÖLN", "köln"}) {
        o.append();
        o["Id"] = 2;
        o["Ort"] = variant;
        try {
            o.post();
            ADD_FAILURE() << variant;
        } catch (const TableError& e) {
            EXPECT_EQ(e.kind(), TableError::KeyViolation) << variant;
        }
        o.cancel();
    }
    o.append();
    o["Id"] = 3;
    o["Ort"] = "Koeln"; // a different word
    EXPECT_NO_THROW(o.post());
}

TEST_F(IndexTest, FindKeyAndFindNearest) {
    t->setIndexName("IName");
    EXPECT_TRUE(t->findKey({"MÜLLER"}));
    EXPECT_EQ((*t)["Nr"].asInteger(), 4);
    EXPECT_EQ(t->recNo(), 3);
    EXPECT_FALSE(t->findKey({"Müll"}));
    EXPECT_EQ((*t)["Nr"].asInteger(), 4); // unchanged
    t->findNearest({"n"});
    EXPECT_EQ((*t)["Name"].asString(), "ober");
    t->findNearest({"zz"}); // past the end: the last record
    EXPECT_EQ((*t)["Name"].asString(), "Zander");

    t->setIndexName("");
    EXPECT_TRUE(t->findKey({6}));
    EXPECT_EQ((*t)["Name"].asString(), "Abel");
    EXPECT_THROW(t->findKey({1, 2}), TableError); // more values than index fields
}

TEST_F(IndexTest, SetRangeOnWholeAndLeadingPartOfCompositeIndex) {
    t->setIndexName("IOrtName");
    t->setRange({"köln"}, {"KÖLN"});
    EXPECT_EQ(names(*t), (QStringList{"Abel", "ober", "Strasser", "Zander"}));
    EXPECT_EQ(t->recordCount(), 4);
    t->setRange({"Bonn", "M"}, {"Bonn", "P"});
    EXPECT_EQ(names(*t), (QStringList{"Müller", "Öztürk"}));
    t->setRange({"Aachen"}, {"Bonn"});
    EXPECT_EQ(t->recordCount(), 4);
    t->cancelRange();
    EXPECT_EQ(t->recordCount(), 8);

    // A record appended inside the range shows up in it.
    t->setRange({"Köln"}, {"Köln"});
    addCustomer(*t, 9, "Adler", "Köln");
    EXPECT_EQ(names(*t), (QStringList{"Abel", "Adler", "ober", "Strasser", "Zander"}));
}

TEST_F(IndexTest, DescendingIndexReversesOrderAndRange) {
    db->rebuildIndexes("Kunden", {{"INameAb", {"Name"}, true, false, true}});
    Table d(db, "Kunden");
    d.open();
    d.setIndexName("INameAb");
    EXPECT_EQ(names(d).first(), "Zander");
    d.setRange({"S"}, {"M"});
    EXPECT_EQ(names(d), (QStringList{"Öztürk", "ober", "Müller", "Mueller"}));
}

TEST_F(IndexTest, RangeWithEqualLeadingFieldsWalksBothWaysOnDescendingIndexes) {
    db->rebuildIndexes("Kunden", {{"IOrtNameAb", {"Ort", "Name"}, true, false, true}});
    Table d(db, "Kunden");
    d.open();
    d.setIndexName("IOrtNameAb");
    d.setRange({"Köln", "Z"}, {"köln", "B"});
    EXPECT_EQ(names(d), (QStringList{"Strasser", "ober"}));
    d.last();
    EXPECT_EQ(d["Name"].asString(), "ober");
    d.prior();
    EXPECT_EQ(d["Name"].asString(), "Strasser");
    d.prior();
    EXPECT_TRUE(d.bof());
    EXPECT_EQ(d.recordCount(), 2);
}

TEST_F(IndexTest, LocateWithOptions) {
    struct Case {
        const char* name;
        QStringList fields;
        QVariantList values;
        LocateOptions options;
        int expectedNr; // 0: not found
    };
    const Case cases[] = {
        {"exact", {"Name"}, {"Müller"}, {}, 4},
        {"case differs", {"Name"}, {"müller"}, {}, 0},
        {"case-insensitive", {"Name"}, {"MÜLLER"}, {true, false}, 4},
        {"partial", {"Name"}, {"Stra"}, {false, true}, 7},
        {"partial case-insensitive", {"Name"}, {"strass"}, {true, true}, 8},
        {"two fields", {"Ort", "Name"}, {"Köln", "ober"}, {}, 3},
        {"two fields no match", {"Ort", "Name"}, {"Bonn", "ober"}, {}, 0},
        {"number field", {"Nr"}, {5}, {}, 5},
        {"null", {"Seit"}, {QVariant()}, {}, 1},
    };
    for (const auto& c : cases) {
        t->first();
        const bool found = t->locate(c.fields, c.values, c.options);
        EXPECT_EQ(found, c.expectedNr != 0) << c.name;
        if (found) {
            EXPECT_EQ((*t)["Nr"].asInteger(), c.expectedNr) << c.name;
        }
    }
}

TEST_F(IndexTest, LookupDoesNotMove) {
    t->first();
    EXPECT_EQ(t->lookup({"Nr"}, {4}, "Name").toString(), "Müller");
    EXPECT_FALSE(t->lookup({"Nr"}, {99}, "Name").isValid());
    EXPECT_EQ((*t)["Nr"].asInteger(), 1);
}
