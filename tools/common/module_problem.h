#pragma once
// Why a module could not be loaded, in the words a command-line tool prints.
#include "music/module_reader.h"

#include <string>

namespace tools {

// One line's worth of text for a result that did not load: the system's
// reason for a file that cannot be opened, "not an XM or MOD module" for an
// unknown type, the reader's own text for a broken file.
std::string moduleProblem(const music::LoadResult& result, const std::string& path);

} // namespace tools
