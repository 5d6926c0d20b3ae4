#pragma once
// Standard output for programs whose libraries print progress there but
// whose own result must stand alone on it (a JSON report, for instance).
#include <cstdio>

namespace platform {

// From now on everything written to standard output (by any library, through
// any stream) goes to standard error; the returned stream writes to the
// original standard output. Returns stdout itself when that cannot be done.
std::FILE* divertStandardOutput();

} // namespace platform
