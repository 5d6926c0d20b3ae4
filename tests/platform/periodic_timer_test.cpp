// The periodic timer of the silent driver.
#include "platform/periodic_timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono;
using platform::PeriodicTimer;

TEST(PeriodicTimer, FirstCallComesOnePeriodAfterStart)
{
    std::atomic<int> calls{0};
    auto started = steady_clock::now();
    std::atomic<long> firstAt{-1};
    auto timer = PeriodicTimer::start(milliseconds(100), [&] {
        if (calls++ == 0)
            firstAt = duration_cast<milliseconds>(steady_clock::now() - started).count();
    });
    ASSERT_TRUE(timer);
    std::this_thread::sleep_for(milliseconds(50));
    EXPECT_EQ(calls.load(), 0);
    while (calls.load() == 0 && steady_clock::now() - started < seconds(5))
        std::this_thread::sleep_for(milliseconds(5));
    timer->kill();
    EXPECT_GE(firstAt.load(), 99);
}

TEST(PeriodicTimer, KeepsItsPeriodOverManyCalls)
{
    std::atomic<int> calls{0};
    auto timer = PeriodicTimer::start(milliseconds(20), [&] { ++calls; });
    std::this_thread::sleep_for(milliseconds(500));
    timer->kill();
    // 25 periods fit; a busy shared machine may lose a few, never gain.
    EXPECT_LE(calls.load(), 25);
    EXPECT_GE(calls.load(), 10);
}

TEST(PeriodicTimer, KillWaitsForARunningCallbackAndStopsFurtherCalls)
{
    std::atomic<bool> inside{false};
    std::atomic<bool> finished{false};
    std::atomic<int> calls{0};
    auto timer = PeriodicTimer::start(milliseconds(5), [&] {
        ++calls;
        inside = true;
        std::this_thread::sleep_for(milliseconds(150));
        finished = true;
        inside = false;
    });
    while (!inside.load())
        std::this_thread::sleep_for(milliseconds(1));
    timer->kill();
    EXPECT_TRUE(finished.load()); // the running callback ended before kill returned
    int after = calls.load();
    std::this_thread::sleep_for(milliseconds(50));
    EXPECT_EQ(calls.load(), after);
    timer->kill(); // harmless again
}

TEST(PeriodicTimer, KillFromItsOwnCallbackStopsIt)
{
    std::atomic<int> calls{0};
    PeriodicTimer* self = nullptr;
    std::atomic<bool> ready{false};
    auto timer = PeriodicTimer::start(milliseconds(5), [&] {
        while (!ready.load())
            std::this_thread::yield();
        ++calls;
        self->kill();
    });
    self = timer.get();
    ready = true;
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_EQ(calls.load(), 1);
    timer.reset(); // joins the finished thread
}

TEST(PeriodicTimer, DestroyingAStartedTimerIsPrompt)
{
    auto timer = PeriodicTimer::start(seconds(10), [] {});
    auto before = steady_clock::now();
    timer.reset();
    EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - before).count(), 1000);
}

} // namespace
