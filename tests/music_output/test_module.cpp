#include "tests/music_output/test_module.h"

#include "platform/environment.h"

#include <atomic>
#include <cstdio>
#include <fstream>

namespace music_output_test {

music_test::XmModule markerModule(const std::vector<std::pair<int, int>>& rowAndValue, int rows)
{
    music_test::XmModule m;
    m.channels = 2;
    m.speed = 6;
    m.bpm = 125;
    music_test::XmPattern p;
    p.rows = rows;
    p.cells.resize(static_cast<std::size_t>(rows * 2));
    p.cells[0] = {49, 1, 0, 0, 0}; // C-4, instrument 1
    for (auto [row, value] : rowAndValue) {
        auto& cell = p.cells[static_cast<std::size_t>(row * 2 + 1)];
        cell.effect = 32; // W: synchronisation marker
        cell.parameter = static_cast<std::uint8_t>(value);
    }
    m.patterns.push_back(p);
    music_test::XmInstrument ins;
    ins.name = "square";
    music_test::XmSample s;
    s.frames = music_test::squareWave(64, 100);
    s.loopStart = 0;
    s.loopLength = 64;
    s.loopType = 1;
    ins.samples.push_back(s);
    ins.keymap.assign(96, 0);
    m.instruments.push_back(ins);
    return m;
}

ModuleFile::ModuleFile(const music_test::XmModule& module)
{
    static std::atomic<int> counter{0};
    path_ = "output_test_" + std::to_string(platform::processId()) + "_" + std::to_string(counter++) + ".xm";
    auto bytes = music_test::writeXm(module);
    std::ofstream out(path_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

ModuleFile::~ModuleFile()
{
    std::remove(path_.c_str());
}

} // namespace music_output_test
