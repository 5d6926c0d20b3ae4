// Timer-resolution guard, Escape query and thread priorities.
#include "platform/keyboard.h"
#include "platform/thread_priority.h"
#include "platform/timer_resolution.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

class FakeTimerService final : public platform::TimerResolutionService {
public:
    bool queryOk = true;
    bool beginOk = true;
    std::uint32_t minimum = 1, maximum = 16;
    std::vector<std::string> calls;

    bool query(std::uint32_t& min, std::uint32_t& max) override
    {
        calls.push_back("query");
        min = minimum;
        max = maximum;
        return queryOk;
    }
    bool begin(std::uint32_t period) override
    {
        calls.push_back("begin " + std::to_string(period));
        return beginOk;
    }
    void end(std::uint32_t period) override { calls.push_back("end " + std::to_string(period)); }
};

TEST(TimerResolutionGuard, RequestsAPeriodInsideTheRangeAndReleasesIt)
{
    FakeTimerService service;
    {
        platform::TimerResolutionGuard guard(1, service);
        EXPECT_TRUE(guard.active());
        EXPECT_EQ(guard.period(), 1u);
    }
    EXPECT_EQ(service.calls, (std::vector<std::string>{"query", "begin 1", "end 1"}));
}

TEST(TimerResolutionGuard, PeriodBelowTheMinimumRequestsTheMinimum)
{
    FakeTimerService service;
    service.minimum = 5;
    {
        platform::TimerResolutionGuard guard(1, service);
        EXPECT_EQ(guard.period(), 5u);
    }
    EXPECT_EQ(service.calls, (std::vector<std::string>{"query", "begin 5", "end 5"}));
}

TEST(TimerResolutionGuard, FailuresLeaveItInactiveWithoutRelease)
{
    {
        FakeTimerService service;
        service.queryOk = false;
        { platform::TimerResolutionGuard guard(1, service); EXPECT_FALSE(guard.active()); }
        EXPECT_EQ(service.calls, (std::vector<std::string>{"query"}));
    }
    {
        FakeTimerService service;
        service.beginOk = false;
        { platform::TimerResolutionGuard guard(1, service); EXPECT_FALSE(guard.active()); EXPECT_EQ(guard.period(), 0u); }
        EXPECT_EQ(service.calls, (std::vector<std::string>{"query", "begin 1"}));
    }
    {
        // Above the maximum nothing can be granted, so nothing is asked.
        FakeTimerService service;
        service.maximum = 10;
        { platform::TimerResolutionGuard guard(20, service); EXPECT_FALSE(guard.active()); }
        EXPECT_EQ(service.calls, (std::vector<std::string>{"query"}));
    }
}

TEST(TimerResolutionGuard, SystemServiceGrantsOneMillisecond)
{
    platform::TimerResolutionGuard guard(1);
    EXPECT_TRUE(guard.active());
    EXPECT_EQ(guard.period(), 1u);
}

TEST(EscapeKey, ManualKeyFollowsPressAndRelease)
{
    platform::ManualEscapeKey key;
    EXPECT_FALSE(key.held());
    key.press();
    EXPECT_TRUE(key.held());
    key.release();
    EXPECT_FALSE(key.held());
}

TEST(EscapeKey, SdlKeyIsNotHeldWithoutEvents)
{
    // No window, no events pumped: SDL's keyboard state is all released.
    EXPECT_FALSE(platform::systemEscapeKey().held());
}

TEST(ThreadPriority, RaisingAffectsOnlyTheCallingThreadAndNeverWorsensIt)
{
    // Run in fresh threads so that the test runner's own thread keeps its
    // priority whatever the system allows.
    int before = 0, after = 0;
    bool raised = false;
    std::thread([&] {
        before = platform::currentThreadNice();
        raised = platform::raiseThreadPriorityOneStep();
        after = platform::currentThreadNice();
    }).join();
    if (raised)
        EXPECT_EQ(after, before - 1);
    else
        EXPECT_EQ(after, before);

    int mainBefore = platform::currentThreadNice();
    std::thread([&] {
        before = platform::currentThreadNice();
        raised = platform::raiseThreadPriorityToHighest();
        after = platform::currentThreadNice();
    }).join();
    if (raised)
        EXPECT_LT(after, before);
    else
        EXPECT_EQ(after, before);
    EXPECT_EQ(platform::currentThreadNice(), mainBefore);
}

TEST(ThreadPriority, HighestIsTheBestTheSystemGrants)
{
    int achieved = 0;
    bool raised = false, stillBetter = false;
    std::thread([&] {
        raised = platform::raiseThreadPriorityToHighest();
        achieved = platform::currentThreadNice();
        // Nothing better is left to ask for.
        stillBetter = platform::raiseThreadPriorityToHighest();
    }).join();
    if (!raised)
        GTEST_SKIP() << "this user may not raise priorities";
    EXPECT_LT(achieved, 0);
    EXPECT_FALSE(stillBetter);
}

} // namespace
