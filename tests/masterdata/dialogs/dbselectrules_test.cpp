#include "masterdata/dialogs/dbselectrules.h"
#include "platform/errors.h"

#include <climits>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(DbSelectRules, StartSortTakesSortFieldThenLocateFieldThenKey) {
    EXPECT_EQ(LookupStartSort(u"K_Match"_s, u"T_Match"_s, u"K_Nr"_s), u"K_Match"_s);
    EXPECT_EQ(LookupStartSort({}, u"T_Match"_s, u"K_Nr"_s), u"T_Match"_s);
    EXPECT_EQ(LookupStartSort({}, {}, u"K_Nr"_s), u"K_Nr"_s);
}

TEST(DbSelectRules, ClientHeightRaisesInsteadOfWrapping) {
    EXPECT_EQ(LookupClientHeight(200, 41, 43), 284);
    EXPECT_THROW(LookupClientHeight(INT_MAX - 50, 41, 43), DbError);
    EXPECT_THROW(LookupClientHeight(100, INT_MAX, 43), DbError);
}

TEST(DbSelectRules, OnlyPlainDigitsAndLettersStartTheSearch) {
    EXPECT_EQ(SearchStartChar(Qt::Key_7, {}), QChar(u'7'));
    EXPECT_EQ(SearchStartChar(Qt::Key_K, {}), QChar(u'K'));
    EXPECT_EQ(SearchStartChar(Qt::Key_K, Qt::ShiftModifier), QChar(u'K'));
    EXPECT_TRUE(SearchStartChar(Qt::Key_O, Qt::AltModifier).isNull()); // "&OK"
    EXPECT_TRUE(SearchStartChar(Qt::Key_C, Qt::ControlModifier).isNull());
    EXPECT_TRUE(SearchStartChar(Qt::Key_Space, {}).isNull());
    EXPECT_TRUE(SearchStartChar(Qt::Key_Down, {}).isNull());
}
