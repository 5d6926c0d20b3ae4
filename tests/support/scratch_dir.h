#pragma once
// A folder of the test process's own under the system's temporary folder.
// CTest runs the cases of one suite in parallel processes, so a fixed name
// would let one process delete or overwrite another's files.
#include <filesystem>
#include <string>

namespace testing_support {

class ScratchDir {
public:
    // Creates <temp>/<name>.<process id>, empty.
    explicit ScratchDir(const std::string& name);
    // Removes the folder and everything in it.
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& file) const { return path_ / file; }

private:
    std::filesystem::path path_;
};

} // namespace testing_support
