#include "datasafety/blockingcall.h"
#include "platform/errors.h"

#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace Qt::StringLiterals;

// A blocking call leaves the caller's event loop running: timers fire (a
// window repaints) and the tick is called while the work goes on.
TEST(BlockingCall, EventsGoOnWhileTheWorkRuns) {
    int timerTicks = 0;
    QTimer paint;
    QObject::connect(&paint, &QTimer::timeout, [&] { ++timerTicks; });
    paint.start(10);
    int ticks = 0;
    bool done = false;
    RunKeepingEventsAlive(
        [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            done = true;
        },
        [&] { ++ticks; });
    EXPECT_TRUE(done);
    EXPECT_GE(timerTicks, 10);
    EXPECT_GE(ticks, 3);
}

TEST(BlockingCall, AnErrorOfTheWorkReachesTheCaller) {
    try {
        RunKeepingEventsAlive([] { throw DbError(u"kaputt"_s); }, {});
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), u"kaputt");
    }
    // A quick call returns at once.
    RunKeepingEventsAlive([] {}, {});
}
