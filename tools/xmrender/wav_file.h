#pragma once
// A standard RIFF WAVE file of 16-bit signed stereo PCM.
#include <cstdint>
#include <cstdio>
#include <string>

namespace xmrender {

// The data size a header states for `dataBytes` bytes of frames: all of them,
// or, for recordings past 4 GiB, the most whole frames whose RIFF size
// (data + 36) still fits the header's 32-bit field.
std::uint32_t headerDataBytes(std::uint64_t dataBytes);

class WavFile {
public:
    WavFile() = default;
    ~WavFile();
    WavFile(const WavFile&) = delete;
    WavFile& operator=(const WavFile&) = delete;

    // Creates the file and writes a header for an empty recording.
    bool open(const std::string& path, std::uint32_t rate);
    bool write(const void* frames, std::uint32_t bytes);
    // Fills in the sizes and closes. Returns false when any write failed.
    bool close();

private:
    bool writeHeader(std::uint32_t dataBytes);
    std::FILE* file_ = nullptr;
    std::uint32_t rate_ = 0;
    std::uint64_t dataBytes_ = 0;
    bool ok_ = true;
};

} // namespace xmrender
