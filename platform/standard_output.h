#pragma once
// Standard output for command-line tools whose libraries also print there.
#include <cstdio>

namespace platform {

// Called once by a tool before it uses a library that prints progress lines
// with printf (the display console's conversion-engine lines, the TGA
// reader's "Can't find"): from then on what is printed to standard output
// goes nowhere, and the returned stream writes to the process's real
// standard output, for the tool's own lines. When the output cannot be
// moved, standard output itself is returned and nothing changes.
std::FILE* divertLibraryOutput();

} // namespace platform
