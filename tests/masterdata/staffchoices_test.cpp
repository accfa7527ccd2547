#include "core/data/recordrulesfixture.h"
#include "masterdata/staffchoices.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

FixedChoiceList listOf(const QString& field) {
    for (const FixedChoiceList& list : PersonalChoiceLists())
        if (list.field == field)
            return list;
    ADD_FAILURE() << "no list for " << field.toStdString();
    return {};
}

TEST(StaffChoices, TheListsAreExactlyTheseAndOnlyThreeAreClosed) {
    EXPECT_EQ(listOf(u"P_Steuerklasse"_s).texts,
              QStringList({QString(), u"I    ledig"_s, u"II   ledig m. Kindern"_s,
                           u"III  vh., Mehrverdiener"_s, u"IV vh.,  Doppelverdiener"_s,
                           u"V  vh., Geringverdiener"_s, u"VI 2. Lohnsteuerkarte"_s}));
    EXPECT_EQ(listOf(u"P_Religion"_s).texts,
              QStringList({QString(), u"rk  - römisch katholisch"_s, u"ev - evangelisch"_s,
                           u"so - sonstige"_s}));
    EXPECT_EQ(listOf(u"P_Anstellart"_s).texts[3], u"305 €-Mitarbeiter"_s);
    EXPECT_EQ(listOf(u"P_Job"_s).texts.size(), 16);
    EXPECT_EQ(listOf(u"P_Job"_s).texts.last(), u"Unternehmensleitung"_s);
    EXPECT_EQ(listOf(u"P_Pkw"_s).texts.size(), 4);
    EXPECT_EQ(listOf(u"P_Familienstand"_s).texts.last(), u"getrennt lebend"_s);

    QStringList closed;
    for (const FixedChoiceList& list : PersonalChoiceLists())
        if (list.closed)
            closed << list.field;
    EXPECT_EQ(closed, QStringList({u"P_Steuerklasse"_s, u"P_Kinder"_s, u"P_Familienstand"_s}));
}

TEST(StaffChoices, ChildrenGoInHalvesAndStoreTheirNumber) {
    const FixedChoiceList kinder = listOf(u"P_Kinder"_s);
    ASSERT_EQ(kinder.texts.size(), 25);
    ASSERT_EQ(kinder.values.size(), 25);
    EXPECT_EQ(kinder.texts.mid(0, 4), QStringList({u"0,0"_s, u"0,5"_s, u"1"_s, u"1,5"_s}));
    EXPECT_EQ(kinder.texts.last(), u"12"_s);
    EXPECT_DOUBLE_EQ(kinder.values[3].toDouble(), 1.5);
    EXPECT_DOUBLE_EQ(kinder.values.last().toDouble(), 12.0);
}

TEST(StaffChoices, EachTimeTypeBooksIntoItsCostTypeField) {
    const std::pair<int, const char*> cases[] = {
        {1, "P_Kostart1"}, {2, "P_Kostart2"}, {5, "P_Kostart5"}, {8, "P_Kostart8"},
        {0, "P_Kostart1"}, {9, "P_Kostart1"}, {-3, "P_Kostart1"}};
    for (const auto& [type, field] : cases)
        EXPECT_EQ(PersonalKostartField(type), QString::fromLatin1(field)) << type;
}

class StaffDefaults : public datatest::RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        // A new client comes with time types; these tests bring their own.
        for (auto z = open(u"Zeitart.DB"_s); !z->isEmpty();)
            z->deleteRecord();
        addRow(u"Personal.DB"_s, {{u"P_ID"_s, 1}, {u"P_Nr"_s, 5}, {u"P_Kostart3"_s, 77}});
        table::Table& t = shared(dm->TabPersonal());
        ASSERT_TRUE(t.locate({u"P_Nr"_s}, {5}));
        t.afterPost += [this](table::Table&) { ++posts; };
    }
    int posts = 0;
};

TEST_F(StaffDefaults, TheTimeTypesCostTypesComeInOnePost) {
    // Types 1 to 8 and, last, one outside 2 to 8 that writes the first field again.
    for (int type = 1; type <= 8; ++type)
        addRow(u"Zeitart.DB"_s,
               {{u"ZA_ID"_s, type}, {u"ZA_Type"_s, type}, {u"ZA_Kostart"_s, 900 + type}});
    addRow(u"Zeitart.DB"_s, {{u"ZA_ID"_s, 9}, {u"ZA_Type"_s, 12}, {u"ZA_Kostart"_s, 999}});
    table::Table& t = dm->TabPersonal();
    TakeZeitartKostarten(t);
    EXPECT_EQ(posts, 1);
    EXPECT_FALSE(t.isEditing());
    auto stored = open(u"Personal.DB"_s);
    EXPECT_EQ(stored->field(u"P_Kostart1"_s).asInteger(), 999);
    for (int n = 2; n <= 8; ++n)
        EXPECT_EQ(stored->field(u"P_Kostart%1"_s.arg(n)).asInteger(), 900 + n) << n;
}

TEST_F(StaffDefaults, WithoutTimeTypesNothingIsPosted) {
    TakeZeitartKostarten(dm->TabPersonal());
    EXPECT_EQ(posts, 0);
    EXPECT_EQ(open(u"Personal.DB"_s)->field(u"P_Kostart3"_s).asInteger(), 77);
}

} // namespace
