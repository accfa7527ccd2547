#include "core/connectedsessions.h"
#include "core/memoryinfo.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(LoggedInUsers, EmptyWithoutASource) {
    ConnectedSessionsSource* previous = SetConnectedSessionsSource(nullptr);
    EXPECT_TRUE(ListLoggedInUsers().isEmpty());
    SetConnectedSessionsSource(previous);
}

TEST(MemoryInfo, TotalAndLoadFromMeminfo) {
    const MemoryInfo info = ParseMemInfo(u"MemTotal:       16000000 kB\n"
                                         u"MemFree:         1000000 kB\n"
                                         u"MemAvailable:    4000000 kB\n"_s);
    EXPECT_EQ(info.totalKb, 16000000);
    EXPECT_EQ(info.loadPercent, 75);
    EXPECT_EQ(ParseMemInfo(u"garbage"_s).totalKb, 0);
    EXPECT_EQ(ParseMemInfo(u"MemTotal: 100 kB\nMemAvailable: 500 kB\n"_s).loadPercent, 0);
}

} // namespace
