#pragma once
// Small modules for the output tests, written with the music suites' writer.
#include "tests/music/module_writer.h"

#include <string>
#include <utility>
#include <vector>

namespace music_output_test {

// A two-channel XM at speed 6, 125 BPM: channel 0 plays a looping square
// wave from row 0; channel 1 carries a W marker (value) on each given row.
music_test::XmModule markerModule(const std::vector<std::pair<int, int>>& rowAndValue, int rows = 64);

// Writes the module to a file of its own in the working folder; the file is
// removed when the object goes.
class ModuleFile {
public:
    explicit ModuleFile(const music_test::XmModule& module);
    ~ModuleFile();
    ModuleFile(const ModuleFile&) = delete;
    ModuleFile& operator=(const ModuleFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

} // namespace music_output_test
