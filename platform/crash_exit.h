#pragma once
// How a crash ends the process.

namespace platform {

// After this call, a crash (an access violation, an unhandled exception)
// writes its kind to standard error and ends the process with `status` at
// once. On Linux the system already does so (the process dies of a signal,
// which a parent sees as a failure); on Windows a crash may otherwise end in
// a debugger, or under Wine sometimes with status 0.
void exitOnCrash(int status);

} // namespace platform
