#include "tests/support/scratch_dir.h"

#include "platform/environment.h"

namespace testing_support {

ScratchDir::ScratchDir(const std::string& name)
    : path_(std::filesystem::temp_directory_path() / (name + "." + std::to_string(platform::processId())))
{
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace testing_support
