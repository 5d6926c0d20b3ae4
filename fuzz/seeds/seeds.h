#pragma once
// The seed corpora of the fuzz targets, made by the project's own writers:
// the data generator's files and small files of every layout the readers know.
#include <cstdint>
#include <filesystem>
#include <vector>

namespace fuzz_seeds {

using Bytes = std::vector<std::uint8_t>;

// Writes bytes into dir under a name made from `stem` and the ordinal.
void writeSeed(const std::filesystem::path& dir, const char* stem, int ordinal, const Bytes& bytes);

// Small XM and MOD modules: both period systems, 8- and 16-bit samples with
// every loop type, envelopes, empty patterns and instruments, MOD tags of
// several channel counts.
std::vector<Bytes> moduleSeeds();

// Small TGA images of every type, depth, map entry size and orientation.
std::vector<Bytes> tgaSeeds();

// Small settings files: every drawing kind, the texture names of the scene
// targets' folder, and the format's liberties (case, spaces, comments).
std::vector<Bytes> settingsSeeds();

} // namespace fuzz_seeds
