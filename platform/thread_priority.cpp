#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

// On Linux a nice value set with a thread id applies to that thread alone.
id_t callingThreadId() { return static_cast<id_t>(syscall(SYS_gettid)); }

bool setNice(int value) { return setpriority(PRIO_PROCESS, callingThreadId(), value) == 0; }

} // namespace

int currentThreadNice()
{
    errno = 0;
    return getpriority(PRIO_PROCESS, callingThreadId());
}

bool raiseThreadPriorityOneStep()
{
    int now = currentThreadNice();
    if (now <= -20)
        return false;
    return setNice(now - 1);
}

bool raiseThreadPriorityToHighest()
{
    // RLIMIT_NICE says how far an unprivileged thread may go (20 - limit);
    // a privileged one may reach -20. Try from the top and keep the first
    // value the system accepts that is better than the current one.
    int now = currentThreadNice();
    for (int value = -20; value < now; ++value) {
        if (setNice(value))
            return true;
    }
    return false;
}

} // namespace platform
