#include "tools/common/module_problem.h"

#include "tools/common/command_line.h"

namespace tools {

std::string moduleProblem(const music::LoadResult& result, const std::string& path)
{
    switch (result.status) {
    case music::LoadStatus::Loaded:
        return {};
    case music::LoadStatus::CannotOpen: {
        const std::string why = whyUnreadable(path);
        return why.empty() ? "cannot be read" : why;
    }
    case music::LoadStatus::UnknownType:
        return "not an XM or MOD module";
    case music::LoadStatus::BadTag:
        return "a MOD tag that names no channel count";
    case music::LoadStatus::Broken:
        return result.messages.empty() ? "broken module" : result.messages.back().text;
    case music::LoadStatus::PoolExhausted:
    case music::LoadStatus::OutOfMemory:
        return "too large to load";
    }
    return "cannot be read";
}

} // namespace tools
