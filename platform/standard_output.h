#pragma once
// Standard output for command-line tools whose libraries also print there.
#include <cstdio>

namespace platform {

// Where the libraries' lines go once a tool has taken standard output for
// its own: to standard error (still visible, e.g. beside a JSON report), or
// nowhere (the console library's conversion-engine lines in a converter).
enum class LibraryOutput { ToStandardError, Discarded };

// Called once by a tool before it uses a library that prints progress lines
// with printf (the display console's lines, the TGA and 3D Studio readers'
// messages): from then on what is printed to standard output goes where
// `where` says, and the returned stream writes to the process's real
// standard output, for the tool's own lines. When the output cannot be
// moved, standard output itself is returned and nothing changes.
std::FILE* divertLibraryOutput(LibraryOutput where);

} // namespace platform
