#include "tablefixture.h"

#include <QDate>

using table::Table;

class FilterTest : public TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        t = std::make_unique<Table>(db, "Kunden");
        t->open();
        const struct {
            int nr;
            const char* name;
            const char* ort;
            QDate seit;
            bool aktiv;
        } rows[] = {{1, "Abel", "Köln", {2020, 1, 15}, true},
                    {2, "Berg", "Bonn", {2021, 6, 1}, false},
                    {3, "Cäsar", "köln", {2022, 3, 31}, true},
                    {4, "Dorn", "Aachen", {}, true}};
        for (const auto& r : rows) {
            t->append();
            (*t)["Nr"] = r.nr;
            (*t)["Name"] = r.name;
            (*t)["Ort"] = r.ort;
            (*t)["Seit"] = r.seit.isValid() ? QVariant(r.seit) : QVariant();
            (*t)["Aktiv"] = r.aktiv;
            t->post();
        }
    }
    std::unique_ptr<Table> t;
};

TEST_F(FilterTest, ExpressionsRestrictTheView) {
    struct Case {
        const char* filter;
        QStringList expected;
    };
    const Case cases[] = {
        {"Aktiv='true'", {"Abel", "Cäsar", "Dorn"}},
        {"aktiv = false", {"Berg"}},
        {"Seit >= 01.01.2021 AND Seit <= '31.12.2022'", {"Berg", "Cäsar"}},
        {"(Nr = 1) OR (NR = 4)", {"Abel", "Dorn"}},
        {"NOT Ort = 'Köln'", {"Berg", "Cäsar", "Dorn"}},
        {"Nr <> 2 AND Nr < 4", {"Abel", "Cäsar"}},
        {"Name > 'B'", {"Berg", "Cäsar", "Dorn"}},
    };
    t->setFiltered(true);
    for (const auto& c : cases) {
        t->setFilter(QString::fromUtf8(c.filter));
        EXPECT_EQ(names(*t), c.expected) << c.filter;
        EXPECT_EQ(t->recordCount(), c.expected.size()) << c.filter;
        EXPECT_EQ(t->filter(), QString::fromUtf8(c.filter));
    }
    t->setFiltered(false);
    EXPECT_EQ(t->recordCount(), 4);
}

TEST_F(FilterTest, CaseInsensitiveFilterOption) {
    t->setFilter("Ort = 'KÖLN'");
    t->setFiltered(true);
    EXPECT_EQ(t->recordCount(), 0);
    t->setFilterCaseInsensitive(true);
    EXPECT_EQ(names(*t), (QStringList{"Abel", "Cäsar"}));
}

TEST_F(FilterTest, MalformedExpressionsGiveGermanErrorAndKeepTheOldFilter) {
    t->setFilter("Nr = 1");
    t->setFiltered(true);
    for (const char* bad : {"Nr = ", "(Nr = 1", "Gibtsnicht = 1", "Nr = 'abc'", "Seit = 31.02.2020",
                            "Nr = 1; DROP"}) {
        try {
            t->setFilter(QString::fromUtf8(bad));
            ADD_FAILURE() << bad;
        } catch (const DbError& e) {
            EXPECT_FALSE(e.message().isEmpty()) << bad;
        }
        EXPECT_EQ(t->filter(), "Nr = 1") << bad;
        EXPECT_EQ(t->recordCount(), 1) << bad;
    }
    EXPECT_TRUE(db->exists("Kunden"));
}

TEST_F(FilterTest, UserTextIsBoundNotPasted) {
    t->setFiltered(true);
    t->setFilter("Name = 'x'' OR ''1''=''1'");
    EXPECT_EQ(t->recordCount(), 0);
}

TEST_F(FilterTest, CallbackFilterCombinesWithExpressionAndRecNo) {
    t->setFilterFunction([](Table& x) { return x["Name"].asString().size() == 4; });
    t->setFilter("Aktiv = true");
    t->setFiltered(true);
    EXPECT_EQ(names(*t), (QStringList{"Abel", "Dorn"}));
    t->last();
    EXPECT_EQ(t->recNo(), 2);
    EXPECT_TRUE(t->locate({"Nr"}, {1}));
    EXPECT_FALSE(t->locate({"Nr"}, {2})); // outside the view
    EXPECT_EQ((*t)["Nr"].asInteger(), 1);
}
