#pragma once
// Scheduling priority of the calling thread. Both calls are best effort: a
// refusal (an unprivileged user may not raise priorities) is silent.

namespace platform {

// Raises the calling thread one step above normal. Called once by the entry
// routine for the drawing thread. Returns false when the system refused.
bool raiseThreadPriorityOneStep();

// Raises the calling thread to the highest priority the system grants it
// without real-time scheduling (a nice value as low as allowed). Called by the
// mixing thread when it starts. Returns false when nothing could be raised.
bool raiseThreadPriorityToHighest();

// The calling thread's current nice value (lower is more urgent); for tests.
int currentThreadNice();

} // namespace platform
