#include "datasafety/blockingcall.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <exception>
#include <future>

namespace {

constexpr int kTickMs = 50;

} // namespace

void RunKeepingEventsAlive(const std::function<void()>& work, const std::function<void()>& tick) {
    QCoreApplication* app = QCoreApplication::instance();
    const bool pumpEvents = app && QThread::currentThread() == app->thread();
    QEventLoop loop;
    std::packaged_task<void()> task([&] {
        try {
            work();
        } catch (...) {
            if (pumpEvents)
                QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
            throw;
        }
        if (pumpEvents)
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    std::future<void> done = task.get_future();
    std::thread worker(std::move(task));
    if (pumpEvents) {
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
            if (tick)
                tick();
        });
        timer.start(kTickMs);
        // The quit may already be queued; exec() then returns at once.
        loop.exec();
    } else {
        while (done.wait_for(std::chrono::milliseconds(kTickMs)) != std::future_status::ready)
            if (tick)
                tick();
    }
    worker.join();
    done.get();
}
