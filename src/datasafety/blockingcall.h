#pragma once

#include <functional>

// Runs `work` on a worker thread and waits for it. While it runs, the calling
// thread's events are processed (when there is an application), so that a
// window keeps painting and its buttons answer; `tick` is called about every
// 50 ms on the calling thread. An exception of `work` is raised here.
void RunKeepingEventsAlive(const std::function<void()>& work, const std::function<void()>& tick);
