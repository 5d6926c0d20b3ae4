#include "tools/xmrender/wav_file.h"

#include <cstring>

namespace xmrender {

namespace {
void put16(unsigned char* p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
void put32(unsigned char* p, std::uint32_t v)
{
    put16(p, v & 0xFFFF);
    put16(p + 2, v >> 16);
}
} // namespace

std::uint32_t headerDataBytes(std::uint64_t dataBytes)
{
    constexpr std::uint64_t kMax = (0xFFFFFFFFu - 36u) / 4u * 4u;
    return static_cast<std::uint32_t>(dataBytes > kMax ? kMax : dataBytes);
}

WavFile::~WavFile() { close(); }

bool WavFile::open(const std::string& path, std::uint32_t rate)
{
    file_ = std::fopen(path.c_str(), "wb");
    rate_ = rate;
    dataBytes_ = 0;
    ok_ = file_ != nullptr;
    return ok_ && writeHeader(0);
}

bool WavFile::writeHeader(std::uint32_t dataBytes)
{
    unsigned char h[44];
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, 36 + dataBytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);       // format chunk size
    put16(h + 20, 1);        // PCM
    put16(h + 22, 2);        // channels
    put32(h + 24, rate_);
    put32(h + 28, rate_ * 4); // bytes per second
    put16(h + 32, 4);        // block align
    put16(h + 34, 16);       // bits per sample
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, dataBytes);
    return std::fwrite(h, 1, sizeof h, file_) == sizeof h;
}

bool WavFile::write(const void* frames, std::uint32_t bytes)
{
    if (!file_)
        return false;
    // The frames are already little-endian 16-bit pairs on this platform.
    ok_ = ok_ && std::fwrite(frames, 1, bytes, file_) == bytes;
    dataBytes_ += bytes;
    return ok_;
}

bool WavFile::close()
{
    if (!file_)
        return ok_;
    ok_ = ok_ && std::fseek(file_, 0, SEEK_SET) == 0 && writeHeader(headerDataBytes(dataBytes_));
    ok_ = (std::fclose(file_) == 0) && ok_;
    file_ = nullptr;
    return ok_;
}

} // namespace xmrender
