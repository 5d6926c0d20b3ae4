// Thread priorities through the scheduler's priority levels. The "nice" value
// the tests read is the level negated, so that lower is more urgent as on
// Linux: normal 0, above normal -1, highest -2, time critical -15.
#include "platform/thread_priority.h"

#include <windows.h>

namespace platform {

int currentThreadNice()
{
    return -GetThreadPriority(GetCurrentThread());
}

bool raiseThreadPriorityOneStep()
{
    const int now = GetThreadPriority(GetCurrentThread());
    if (now == THREAD_PRIORITY_ERROR_RETURN || now >= THREAD_PRIORITY_HIGHEST)
        return false;
    return SetThreadPriority(GetCurrentThread(), now + 1) != 0;
}

bool raiseThreadPriorityToHighest()
{
    // The mixing thread runs time critical: it must never miss a block.
    const int now = GetThreadPriority(GetCurrentThread());
    if (now == THREAD_PRIORITY_ERROR_RETURN || now >= THREAD_PRIORITY_TIME_CRITICAL)
        return false;
    return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL) != 0;
}

} // namespace platform
